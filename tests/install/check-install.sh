#!/usr/bin/env bash
# Installs the program into a temporary prefix and checks the installed copy: it finds its
# picture libraries in share/kavrin2 from any working folder, a missing library still stops it
# with its message and status 1, and the desktop entry and AppStream data pass their validators.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null

fail() { echo "FAIL: $*"; exit 1; }
for f in bin/kavrin2 share/kavrin2/reskav2.rcc share/kavrin2/boekhoud.rcc share/kavrin2/demo0.txt \
         share/kavrin2/demo4.txt share/applications/nl.orvelaan.Kavrin2.desktop \
         share/metainfo/nl.orvelaan.Kavrin2.metainfo.xml share/icons/hicolor/scalable/apps/nl.orvelaan.Kavrin2.svg; do
  [ -f "$prefix/$f" ] || fail "$f not installed"
done

cd "$(mktemp -d)"
out=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/kavrin2" --items 21,25 --level 2 --count 4 --seed 3 2>/dev/null)
[ "$(grep -c '"theme":2[15]' <<< "$out")" = 4 ] || fail "the installed item dump gave: $out"
"$prefix/bin/kavrin2" --version | grep -qx 'Kavrin 2 1.1' || fail "--version"

mv "$prefix/share/kavrin2/boekhoud.rcc" "$prefix/share/kavrin2/boekhoud.rcc.weg"
set +e
err=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/kavrin2" --items 21 2>&1 >/dev/null); rc=$?
set -e
[ "$rc" = 1 ] || fail "a missing library gave exit status $rc"
grep -q 'boekhoud.rcc' <<< "$err" || fail "the message does not name the library: $err"

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
echo "installed copy, data folder, missing library and desktop files: all right"
