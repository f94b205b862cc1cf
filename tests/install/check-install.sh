#!/usr/bin/env bash
# check-install.sh BUILD_DIR STAGE_DIR
set -euo pipefail
build="$1"; stage="$2"
rm -rf "$stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null

fail=0
expect() {
  if [ -e "$stage/usr/$1" ]; then echo "ok: $1"; else echo "MISSING: $1"; fail=1; fi
}
expect bin/tembrook
expect bin/tembrook-export
expect share/applications/tembrook.desktop
expect share/icons/hicolor/scalable/apps/tembrook.svg
expect share/icons/hicolor/48x48/apps/tembrook.png
expect share/man/man1/tembrook-export.1

desktop-file-validate "$stage/usr/share/applications/tembrook.desktop"
grep -qx 'Exec=tembrook' "$stage/usr/share/applications/tembrook.desktop"
grep -qx 'Terminal=false' "$stage/usr/share/applications/tembrook.desktop"

png_size=$(file -b "$stage/usr/share/icons/hicolor/48x48/apps/tembrook.png")
case "$png_size" in *"48 x 48"*) ;; *) echo "icon is not 48 px: $png_size"; fail=1;; esac

# The installed exporter runs and describes itself.
help=$("$stage/usr/bin/tembrook-export" --help)
case "$help" in *"--sort"*"URL"*) ;; *) echo "unexpected --help output: $help"; fail=1;; esac
version=$("$stage/usr/bin/tembrook-export" --version)
case "$version" in *"0.10.10"*) ;; *) echo "unexpected --version output: $version"; fail=1;; esac

# The manual page is well-formed roff.
if command -v man >/dev/null; then
  MANWIDTH=80 man -l "$stage/usr/share/man/man1/tembrook-export.1" 2>&1 | grep -q 'tembrook-export'
fi
exit $fail
