#!/usr/bin/env bash
# Builds the Debian package and checks it as an installation would use it:
# the files are where a desktop expects them, the desktop entry validates,
# and the packaged programs run from another directory with their data.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
make package BUILD="$BUILD"
deb=$(ls -t "$BUILD"/stylomat_*.deb | head -n 1)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
for f in usr/bin/stylomat usr/bin/stylomat-cli usr/share/applications/stylomat.desktop \
         usr/share/icons/hicolor/scalable/apps/stylomat.svg usr/share/man/man1/stylomat.1 \
         usr/share/man/man1/stylomat-cli.1 usr/share/stylomat/korvsstable.dat \
         usr/share/stylomat/recordings/pen_tablet.evemu; do
  [[ -e "$root/$f" ]] || { echo "the package lacks $f" >&2; exit 1; }
done
desktop-file-validate "$root/usr/share/applications/stylomat.desktop"
dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6 || { echo "the package declares no Qt dependency" >&2; exit 1; }
# nlohmann-json is a header-only library of the build: nothing to install with the package.
if dpkg-deb --field "$deb" Depends | grep -q nlohmann; then echo "the package depends on nlohmann-json" >&2; exit 1; fi
cd /
"$root/usr/bin/stylomat-cli" --version
env -u STYLOMAT_DATA_DIR STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual STYLOMAT_SIMULATE=1=quorral3 \
  "$root/usr/bin/stylomat-cli" settings show --port 1 > "$root/out.txt"
grep -q "Window: KORV_form" "$root/out.txt"
if grep -q "could not be read" "$root/out.txt"; then echo "the packaged program did not find its data" >&2; exit 1; fi
# The recorded tablets are found by name in the installed data.
env -u STYLOMAT_DATA_DIR STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual STYLOMAT_INPUT_RECORDING=pen_tablet.evemu \
  "$root/usr/bin/stylomat-cli" driver info | grep -qx 'Tablet_ID: "Calvetra PT-0906 Pen Tablet"'
echo "package $deb checked"
