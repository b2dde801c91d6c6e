#!/usr/bin/env bash
# Installs the program into a temporary prefix and checks the installed copy: it finds its
# picture libraries in share/kavrin2 from any working folder, a library that is missing there or
# lacks pictures still stops it with its message and status 1 (one in the working folder does
# not count), and the desktop entry and AppStream data pass their validators.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT
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
echo "installed copy, data folder, missing and incomplete libraries and desktop files: all right"
