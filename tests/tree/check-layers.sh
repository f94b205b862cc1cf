#!/usr/bin/env bash
# Fails when a source file includes a header from a layer that stands above
# its own. The layers, bottom up:
#   platform/base -> text -> model -> import -> platform/net -> net
#     -> exchange -> platform/gui -> ui -> app, cli
# app and cli are two programs on the same floor; neither includes the other.
# platform/base, text/, model/ and import/ use the standard library only, so
# a Qt or curl header there fails too.
# Usage: check-layers.sh SOURCE_ROOT
set -euo pipefail
root="${1:?usage: check-layers.sh SOURCE_ROOT}"
cd "$root"

layers=(platform/base text model import platform/net net exchange platform/gui ui app cli)
declare -A rank=([platform/base]=0 [text]=1 [model]=2 [import]=3 [platform/net]=4 [net]=5
                 [exchange]=6 [platform/gui]=7 [ui]=8 [app]=9 [cli]=9)

# Which layer owns each header name (headers are included by bare name).
declare -A owner=()
for layer in "${layers[@]}"; do
    [ -d "$layer" ] || continue
    while IFS= read -r header; do
        name="${header##*/}"
        if [ -n "${owner[$name]:-}" ] && [ "${owner[$name]}" != "$layer" ]; then
            echo "$header: the name $name is also a header of ${owner[$name]}/" >&2
            exit 1
        fi
        owner[$name]="$layer"
    done < <(find "$layer" -name '*.h' | sort)
done

failures=0
for layer in "${layers[@]}"; do
    [ -d "$layer" ] || continue
    while IFS= read -r file; do
        line_no=0
        while IFS= read -r line; do
            line_no=$((line_no + 1))
            if [[ "$line" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
                included="${BASH_REMATCH[1]}"
                name="${included##*/}"
                target="${owner[$name]:-}"
                [ -n "$target" ] || continue  # a header of a library, not of ours
                [ "$target" = "$layer" ] && continue
                if [ "${rank[$target]}" -ge "${rank[$layer]}" ]; then
                    echo "$file:$line_no: $layer/ includes $included from $target/, which stands above or beside it" >&2
                    failures=$((failures + 1))
                fi
            elif [[ "$line" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<(Q[A-Za-z]*|curl/[^>]*|qt[^>]*)\> ]]; then
                case "$layer" in
                    platform/base | text | model | import)
                        echo "$file:$line_no: $layer/ uses the standard library only, yet includes <${BASH_REMATCH[1]}>" >&2
                        failures=$((failures + 1))
                        ;;
                esac
            fi
        done < "$file"
    done < <(find "$layer" \( -name '*.h' -o -name '*.cpp' \) | sort)
done

if [ "$failures" -gt 0 ]; then
    echo "$failures include(s) break the layering" >&2
    exit 1
fi
echo "every include goes down the layers"
