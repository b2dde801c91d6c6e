# Writes the AppStream data with the date of this version's release set to the date of the
# commit the program is built from. Without a git checkout (a source archive) the date comes
# from SOURCE_DATE_EPOCH when that is set, else the date in the file stays.
#   cmake -DSOURCE=in.xml -DOUTPUT=out.xml -DVERSION=1.1 -DSOURCE_DIR=... [-DGIT=git] -P release-date.cmake
file(READ "${SOURCE}" text)
set(date "")
if(GIT AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT}" -C "${SOURCE_DIR}" log -1 --format=%cs
                  OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    set(date "")
  endif()
endif()
if(NOT date MATCHES "^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$" AND DEFINED ENV{SOURCE_DATE_EPOCH})
  string(TIMESTAMP date "%Y-%m-%d" UTC)  # SOURCE_DATE_EPOCH is the time TIMESTAMP gives
endif()
if(date MATCHES "^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$")
  string(REPLACE "." "\\." version "${VERSION}")
  string(REGEX REPLACE "(<release version=\"${version}\" date=\")[0-9-]+\"" "\\1${date}\"" text "${text}")
endif()
# Rewritten only when it changes, so that nothing that depends on it is done again.
set(old "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUTPUT}" "${text}")
endif()
