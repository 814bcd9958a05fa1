#!/usr/bin/env bash
# Builds the .deb into a folder of its own and checks what it holds.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" > "$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/hourvane_*.deb)
contents=$(dpkg-deb --contents "$deb")
status=0
for f in ./usr/bin/hourvane ./usr/bin/hourvane-cli ./usr/share/applications/hourvane.desktop \
         ./usr/share/icons/hicolor/scalable/apps/hourvane.svg ./usr/share/icons/hicolor/48x48/apps/hourvane.png \
         ./usr/share/hourvane/HOURVANE.TIP ./usr/share/hourvane/hourvane.tid ./usr/share/hourvane/help/index.html; do
  if ! grep -q " $f\$" <<< "$contents"; then
    echo "missing from the package: $f"
    status=1
  fi
done
depends=$(dpkg-deb --field "$deb" Depends)
for p in libqt6widgets6 libzip4 fonts-liberation2; do
  grep -q "$p" <<< "$depends" || { echo "Depends lacks $p: $depends"; status=1; }
done
exit $status
