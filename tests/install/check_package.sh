#!/usr/bin/env bash
# Builds the Debian package of the build tree into a temporary folder and checks its contents.
set -euo pipefail
build_dir="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build_dir/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/*.deb)
contents=$(dpkg-deb -c "$deb")
status=0
for path in usr/bin/shakemeter usr/bin/shakemeter-cli usr/bin/qz810-sim usr/bin/setupgate \
            usr/share/applications/shakemeter.desktop usr/share/mime/packages/shakemeter-vibration.xml \
            usr/lib/udev/rules.d/70-qz810-logger.rules usr/share/shakemeter/help/help.html; do
  grep -q " \./$path\$" <<<"$contents" || { echo "package lacks $path"; status=1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
# xdg-utils: the Help command hands the help page to xdg-open; libhdf5: the HDF5 export; libqt6svg6: SVG pictures of the graph.
for dep in libqt6widgets6 libusb-1.0-0 libhdf5-103 libqt6svg6 shared-mime-info xdg-utils; do
  grep -q "$dep" <<<"$depends" || { echo "package does not depend on $dep: $depends"; status=1; }
done
exit $status
