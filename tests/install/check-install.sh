#!/usr/bin/env bash
# check-install.sh BUILD_DIR STAGE_DIR
# Installs the project into STAGE_DIR and checks what a desktop, a software
# centre, man and bash find there.
set -euo pipefail
build="$1"; stage="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
rm -rf "$stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
usr="$stage/usr"
id=io.github.tembrook.Tembrook

fail=0
bad() { echo "FAIL: $*"; fail=1; }
expect() {
  if [ -e "$usr/$1" ]; then echo "ok: $1"; else bad "missing $1"; fi
}
expect bin/tembrook
expect bin/tembrook-export
expect share/applications/$id.desktop
expect share/metainfo/$id.metainfo.xml
expect share/icons/hicolor/scalable/apps/$id.svg
expect share/icons/hicolor/48x48/apps/$id.png
expect share/man/man1/tembrook.1.gz
expect share/man/man1/tembrook-export.1.gz
expect share/bash-completion/completions/tembrook-export
expect share/doc/tembrook/copyright
expect share/doc/tembrook/changelog.gz
[ "$fail" -eq 0 ] || exit 1

# The desktop entry, and the icon it names.
desktop="$usr/share/applications/$id.desktop"
desktop-file-validate "$desktop" || bad "desktop-file-validate"
grep -qx 'Exec=tembrook' "$desktop" || bad "desktop entry: Exec"
grep -qx 'Terminal=false' "$desktop" || bad "desktop entry: Terminal"
grep -qx "Icon=$id" "$desktop" || bad "desktop entry: Icon is not $id"
png_size=$(file -b "$usr/share/icons/hicolor/48x48/apps/$id.png")
case "$png_size" in *"48 x 48"*) ;; *) bad "icon is not 48 px: $png_size";; esac

# The installed exporter runs and describes itself; bad usage is two lines.
help=$("$usr/bin/tembrook-export" --help)
case "$help" in *"--sort"*"URL"*) ;; *) bad "unexpected --help output: $help";; esac
version_line=$("$usr/bin/tembrook-export" --version)
version=${version_line#tembrook-export }
[ "$version" = "0.10.10" ] || bad "unexpected --version output: $version_line"
set +e
usage_err=$("$usr/bin/tembrook-export" --no-such-option 2>&1 >/dev/null)
usage_status=$?
set -e
[ "$usage_status" -eq 2 ] || bad "bad usage exits $usage_status, not 2"
[ "$usage_err" = "tembrook-export: Unknown option 'no-such-option'.
Try 'tembrook-export --help' for more information." ] || bad "bad usage says: $usage_err"
bash "$here/check-module.sh" "$usr" || bad "network-information module"

# AppStream: valid for the strictest check; the one pedantic note allowed is
# the capital letter of the id, the reverse-DNS form desktops expect.
metainfo="$usr/share/metainfo/$id.metainfo.xml"
appstream=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1) || bad "appstreamcli validate failed"
echo "$appstream"
unexpected=$(echo "$appstream" | grep -E '^[EWIP]: ' | grep -v "cid-contains-uppercase-letter $id\$" || true)
[ -z "$unexpected" ] || bad "appstreamcli: $unexpected"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || bad "metainfo: launchable"
grep -q "<release version=\"$version\"" "$metainfo" || bad "metainfo: no release entry for $version"
# Both languages, as the window speaks Japanese.
for tag in '<summary xml:lang="ja">' '<p xml:lang="ja">' '<caption xml:lang="ja">'; do
  grep -qF "$tag" "$metainfo" || bad "metainfo: no $tag"
done

# The changelog's newest entry is this version.
newest=$(zcat "$usr/share/doc/tembrook/changelog.gz" | head -n 1)
case "$newest" in "tembrook ($version) "*) ;; *) bad "changelog starts with: $newest";; esac

# Both manual pages format without a warning and name their program.
for page in tembrook tembrook-export; do
  gz="$usr/share/man/man1/$page.1.gz"
  gzip -t "$gz" || bad "$page.1.gz is not gzip"
  warnings=$(zcat "$gz" | groff -k -man -Tutf8 -ww -z 2>&1) || bad "groff failed on $page.1"
  [ -z "$warnings" ] || bad "groff warns on $page.1: $warnings"
  text=$(MANWIDTH=80 man -l "$gz" 2>&1)
  case "$text" in *NAME*"$page "*SYNOPSIS*) ;; *) bad "man $page shows: $(echo "$text" | head -n 5)";; esac
done

# The completion loads by itself, completes the way it should, and knows
# every option and every --format value the installed exporter's --help lists
# (each format's name begins a line of the --format entry).
completion="$usr/share/bash-completion/completions/tembrook-export"
bash -c "source '$completion' && complete -p tembrook-export" | grep -q -- '-F _tembrook_export tembrook-export' \
  || bad "completion does not register"
known=$(grep -oE -- '--[a-z0-9-]+' <<<"$help" | sort -u)
formats=$(sed -n '/^  --format FORMAT/,/^  --/p' <<<"$help" | grep -oE '^ {20}[a-z0-9]+ ' | tr -d ' ' | sort | paste -sd ' ' -)
[ -n "$formats" ] || bad "--help lists no format"
bash "$here/check-completion.sh" "$completion" "$known" "$formats" || bad "completion"

exit $fail
