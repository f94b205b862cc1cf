#!/usr/bin/env bash
# check-package.sh BUILD_DIR OUT_DIR
# Builds the Debian package from BUILD_DIR and checks its control data, its
# contents and Debian's policy checker's verdict on it.
set -euo pipefail
build="$1"; out="$2"
rm -rf "$out"; mkdir -p "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/tembrook_*.deb)
echo "built $deb"
id=io.github.tembrook.Tembrook

fail=0
bad() { echo "FAIL: $*"; fail=1; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for need in libqt6widgets6 libqt6network6 libcurl4 libxml2 fonts-monapo fonts-ipafont-gothic qt6-qpa-plugins \
            qt6-translations-l10n; do
  case "$depends" in *"$need"*) ;; *) bad "missing dependency: $need";; esac
done
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/tembrook ./usr/bin/tembrook-export \
            ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
            ./usr/share/icons/hicolor/48x48/apps/$id.png ./usr/share/icons/hicolor/scalable/apps/$id.svg \
            ./usr/share/man/man1/tembrook.1.gz ./usr/share/man/man1/tembrook-export.1.gz \
            ./usr/share/bash-completion/completions/tembrook-export \
            ./usr/share/doc/tembrook/copyright ./usr/share/doc/tembrook/changelog.gz; do
  case "$contents" in *" $path"$'\n'* | *" $path") ;; *) bad "missing in package: $path";; esac
done

# The package's programs are stripped; the build tree's keep their symbols.
unpacked="$out/unpacked"
dpkg-deb -x "$deb" "$unpacked"
for program in tembrook tembrook-export; do
  case "$(file -b "$unpacked/usr/bin/$program")" in *", stripped"*) ;; *) bad "$program is not stripped in the package";; esac
  built=$(find "$build" -path "$out" -prune -o -type f -name "$program" -perm -u+x -print | head -n 1)
  case "$(file -b "$built")" in *"not stripped"*) ;; *) bad "the build tree's $built was stripped";; esac
done

# The unpacked programs open the packaged network-information module.
bash "$(dirname "${BASH_SOURCE[0]}")/check-module.sh" "$unpacked/usr" || bad "network-information module"

# Debian's policy checker: no error and no warning (the default profile);
# its informational and pedantic notes are shown for whoever reads the log.
command -v lintian >/dev/null || { bad "lintian is not installed (scripts/deps.sh)"; exit 1; }
start=$(date +%s)
lintian_out=$(lintian --tag-display-limit 0 --display-info --pedantic "$deb" 2>&1 | grep -v 'running with root privileges' || true)
echo "lintian ($(($(date +%s) - start)) s):"
echo "${lintian_out:-  (nothing to say)}"
if grep -qE '^[EW]: ' <<<"$lintian_out"; then bad "lintian reports errors or warnings"; fi
if grep -qE '^(X|internal error)' <<<"$lintian_out"; then bad "lintian could not check the package"; fi
exit $fail
