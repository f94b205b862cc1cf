#!/usr/bin/env bash
# check-package.sh BUILD_DIR OUT_DIR
set -euo pipefail
build="$1"; out="$2"
rm -rf "$out"; mkdir -p "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/tembrook_*.deb)
echo "built $deb"

fail=0
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for need in libqt6widgets6 libqt6network6 libcurl4 fonts-monapo fonts-ipafont-gothic qt6-qpa-plugins; do
  case "$depends" in *"$need"*) ;; *) echo "missing dependency: $need"; fail=1;; esac
done
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/tembrook ./usr/bin/tembrook-export ./usr/share/applications/tembrook.desktop \
            ./usr/share/icons/hicolor/48x48/apps/tembrook.png ./usr/share/man/man1/tembrook-export.1; do
  case "$contents" in *" $path"*) ;; *) echo "missing in package: $path"; fail=1;; esac
done
exit $fail
