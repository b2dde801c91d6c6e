#!/usr/bin/env bash
# Installs the program into a temporary prefix and checks the installed copy: it finds its
# picture libraries in share/kavrin2 from any working folder, a library that is missing there or
# lacks pictures still stops it with its message and status 1 (one in the working folder does
# not count), the desktop entry and AppStream data pass their validators, and the Debian package
# built from the same build holds what it should, stripped, under /usr, with its control fields.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
prefix=$(mktemp -d)
work=$(mktemp -d)
pkg=$(mktemp -d)
trap 'rm -rf "$prefix" "$work" "$pkg"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null

fail() { echo "FAIL: $*"; exit 1; }
for f in bin/kavrin2 share/kavrin2/reskav2.rcc share/kavrin2/boekhoud.rcc share/kavrin2/demo0.txt \
         share/kavrin2/demo4.txt share/applications/nl.orvelaan.Kavrin2.desktop \
         share/metainfo/nl.orvelaan.Kavrin2.metainfo.xml share/icons/hicolor/scalable/apps/nl.orvelaan.Kavrin2.svg; do
  [ -f "$prefix/$f" ] || fail "$f not installed"
done

cd "$work"
out=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/kavrin2" --items 21,25 --level 2 --count 4 --seed 3 2>/dev/null)
[ "$(grep -c '"theme":2[15]' <<< "$out")" = 4 ] || fail "the installed item dump gave: $out"
"$prefix/bin/kavrin2" --version | grep -qx 'Kavrin 2 1.1' || fail "--version"

# Runs the item dump and expects it to stop with status 1 and a message naming $1.
stops_naming() {
  local err rc
  set +e
  err=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/kavrin2" --items 21 2>&1 >/dev/null); rc=$?
  set -e
  [ "$rc" = 1 ] || fail "$2 gave exit status $rc"
  grep -qF "$1" <<< "$err" || fail "$2: the message does not name $1: $err"
}
mv "$prefix/share/kavrin2/boekhoud.rcc" "$prefix/share/kavrin2/boekhoud.rcc.weg"
stops_naming boekhoud.rcc "a missing library"
# A library in the working folder does not stand in for the program's own.
cp "$prefix/share/kavrin2/boekhoud.rcc.weg" boekhoud.rcc
stops_naming boekhoud.rcc "a library in the working folder only"
rm boekhoud.rcc
# A library that opens but lacks the pictures counts as missing.
cp "$prefix/share/kavrin2/reskav2.rcc" "$prefix/share/kavrin2/boekhoud.rcc"
stops_naming "$prefix/share/kavrin2/boekhoud.rcc" "a library without its pictures"

if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$prefix/share/applications/nl.orvelaan.Kavrin2.desktop" || fail "desktop entry"
else
  echo "desktop-file-validate not installed: desktop entry not validated"
fi
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/nl.orvelaan.Kavrin2.metainfo.xml" || fail "AppStream data"
else
  echo "appstreamcli not installed: AppStream data not validated"
fi
# The release in the AppStream data carries the date of the commit the program was built from.
metainfo="$prefix/share/metainfo/nl.orvelaan.Kavrin2.metainfo.xml"
grep -q '<release version="1.1" date="[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]">' "$metainfo" || fail "no dated release 1.1"
if command -v git > /dev/null && [ -e "$source/.git" ] && committed=$(git -C "$source" log -1 --format=%cs 2>/dev/null); then
  grep -q "<release version=\"1.1\" date=\"$committed\">" "$metainfo" || fail "the release is not dated $committed"
fi

# The Debian package.
command -v dpkg-shlibdeps > /dev/null || fail "building the package needs dpkg-dev (apt-get install dpkg-dev)"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$pkg" > "$pkg/cpack.log" 2>&1 || { cat "$pkg/cpack.log"; fail "cpack"; }
debs=("$pkg"/*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single package: ${debs[*]}"
deb=${debs[0]}
files=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for f in bin/kavrin2 share/kavrin2/reskav2.rcc share/kavrin2/boekhoud.rcc share/kavrin2/demo0.txt \
         share/kavrin2/demo1.txt share/kavrin2/demo2.txt share/kavrin2/demo3.txt share/kavrin2/demo4.txt \
         share/applications/nl.orvelaan.Kavrin2.desktop share/metainfo/nl.orvelaan.Kavrin2.metainfo.xml \
         share/icons/hicolor/scalable/apps/nl.orvelaan.Kavrin2.svg; do
  grep -qx "\./usr/$f" <<< "$files" || fail "the package lacks /usr/$f"
done
outside=$(grep -v '^\./usr/' <<< "$files" | grep -vx '\./' || true)
[ -z "$outside" ] || fail "the package has files outside /usr: $outside"
dpkg-deb -x "$deb" "$pkg/root"
sections=$(readelf -S -W "$pkg/root/usr/bin/kavrin2") || fail "the packaged program is no ELF file"
if grep -qE '\.symtab|\.debug_' <<< "$sections"; then fail "the packaged program is not stripped"; fi

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = kavrin2 ] || fail "Package: $(field Package)"
[[ "$(field Version)" =~ ^1\.1(-[0-9A-Za-z.+~]+)?$ ]] || fail "Version: $(field Version)"
[ "$(field Maintainer)" = "Kavrin 2 maintainers <maintainers@users.noreply.c-seed-96d08a0e.example>" ] \
  || fail "Maintainer: $(field Maintainer)"
[ "$(field Section)" = education ] || fail "Section: $(field Section)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
# Each needed package by name, whatever else a build adds (a sanitizer build adds its runtimes).
needed=$(field Depends | tr ',|' '\n\n' | sed 's/(.*//; s/ //g')
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 libqt6sql6 libqt6printsupport6 libqt6sql6-sqlite libqt6sql6-psql \
         libqt6texttospeech6 qt6-qpa-plugins qt6-translations-l10n fonts-liberation2 libc6 libstdc++6; do
  grep -qxF "$p" <<< "$needed" || fail "Depends lacks $p: $(field Depends)"
done
# "Lees voor" speaks with speech-dispatcher's engine and espeak-ng's Dutch voice when installed.
recommended=$(field Recommends | tr ',|' '\n\n' | sed 's/(.*//; s/ //g')
for p in qt6-speech-speechd-plugin speech-dispatcher-espeak-ng; do
  grep -qxF "$p" <<< "$recommended" || fail "Recommends lacks $p: $(field Recommends)"
done
echo "installed copy, data folder, missing and incomplete libraries, desktop files and package: all right"
