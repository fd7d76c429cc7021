#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree and checks it:
#   scripts/check-package.sh <build-dir>
# The package must hold the program, the desktop entry, the icons and the
# AppStream file, carry dependencies found by dpkg-shlibdeps, and (where the
# tools are installed) pass desktop-file-validate, appstreamcli and lintian.
set -euo pipefail
build="$(cd "$1" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
debs=("$work"/tengwar-ostrel_*_amd64.deb)
deb="${debs[0]}"
[ -f "$deb" ] || { echo "no tengwar-ostrel_<version>_amd64.deb made"; ls "$work"; exit 1; }
echo "package: $(basename "$deb")"

app=tengwar.ostrel.TengwarOstrel
expected=(
  ./usr/bin/tengwar-ostrel
  "./usr/share/applications/$app.desktop"
  "./usr/share/metainfo/$app.metainfo.xml"
  ./usr/share/doc/tengwar-ostrel/copyright
  ./usr/bin/ostrel
  ./usr/share/man/man1/ostrel.1.gz
  ./usr/share/man/man1/tengwar-ostrel.1.gz
)
for size in 16 24 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/tengwar-ostrel.png")
done
files="$(dpkg-deb -c "$deb" | awk '{print $6}')"
status=0
for f in "${expected[@]}"; do
  if ! grep -qxF "$f" <<<"$files"; then
    echo "missing from the package: $f"
    status=1
  fi
done

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6dbus6 libc6 libqt6sql6-sqlite qt6-translations-l10n hunspell-sl; do
  grep -q "$lib" <<<"$depends" || { echo "Depends lacks $lib"; status=1; }
done
recommends="$(dpkg-deb -f "$deb" Recommends)"
echo "Recommends: $recommends"
grep -qw qt6-wayland <<<"$recommends" || { echo "Recommends lacks qt6-wayland"; status=1; }

dpkg-deb -x "$deb" "$work/root"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$work/root/usr/share/applications/$app.desktop" || status=1
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app.metainfo.xml" || status=1
fi
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" || status=1
fi
exit $status
