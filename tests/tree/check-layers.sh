#!/usr/bin/env bash
# Fails when a source file of the product includes what its folder may not:
# a header of a folder, a Qt module or a library that the folder's line of
# the table (tests/tree/layers.txt) does not name. A file may always include
# the headers of its own folder and the C, C++ and POSIX libraries. Every
# folder with C++ sources outside tests/, bench/ and fuzz/ needs a line, and
# every line names a folder that exists.
# Usage: check-layers.sh SOURCE_ROOT QT_HEADERS [TABLE]
#   QT_HEADERS  the folder that holds QtCore/, QtGui/... (which module a
#               header such as <QString> belongs to)
#   TABLE       defaults to SOURCE_ROOT/tests/tree/layers.txt
set -euo pipefail
root="${1:?usage: check-layers.sh SOURCE_ROOT QT_HEADERS [TABLE]}"
qt_headers="${2:?usage: check-layers.sh SOURCE_ROOT QT_HEADERS [TABLE]}"
table="${3:-$root/tests/tree/layers.txt}"
cd "$root"

# The table: folder -> " item item ... " (spaces around each item).
folders=()
declare -A allowed=()
while IFS= read -r row; do
    row="${row%%#*}"
    [[ "$row" =~ ^[[:space:]]*$ ]] && continue
    if [[ ! "$row" =~ ^([^[:space:]:]+):(.*)$ ]]; then
        echo "$table: not a row of the table: $row" >&2
        exit 1
    fi
    folder="${BASH_REMATCH[1]}"
    read -r -a items <<< "${BASH_REMATCH[2]}"
    if [ ! -d "$folder" ]; then
        echo "$table: the folder $folder/ does not exist" >&2
        exit 1
    fi
    folders+=("$folder")
    allowed[$folder]=" ${items[*]} "
done < "$table"

# The Qt module of each header Qt installs (<QString> -> Qt:Core).
declare -A qt_module=()
for module_dir in "$qt_headers"/Qt*/; do
    module="$(basename "$module_dir")"
    while IFS= read -r header; do
        qt_module[$header]="Qt:${module#Qt}"
    done < <(find "$module_dir" -maxdepth 1 -type f -printf '%f\n')
done
if [ "${#qt_module[@]}" -eq 0 ]; then
    echo "no Qt header found under $qt_headers" >&2
    exit 1
fi

# The folder of the table a file belongs to: the longest folder that holds it.
folder_of() {
    local best="" folder
    for folder in "${folders[@]}"; do
        if [[ "$1" == "$folder"/* && ${#folder} -gt ${#best} ]]; then best="$folder"; fi
    done
    echo "$best"
}

# Which folder owns each header name (headers are included by bare name).
declare -A owner=()
failures=0
mapfile -t sources < <(find . \( -path ./.git -o -path './build*' -o -path ./tests -o -path ./bench -o -path ./fuzz \) \
    -prune -o \( -name '*.h' -o -name '*.cpp' \) -printf '%P\n' | sort)
declare -A source_folder=()
for file in "${sources[@]}"; do
    folder="$(folder_of "$file")"
    if [ -z "$folder" ]; then
        echo "$file: its folder has no line in $table" >&2
        failures=$((failures + 1))
        continue
    fi
    source_folder[$file]="$folder"
    [[ "$file" == *.h ]] || continue
    name="${file##*/}"
    if [ -n "${owner[$name]:-}" ] && [ "${owner[$name]}" != "$folder" ]; then
        echo "$file: the name $name is also a header of ${owner[$name]}/" >&2
        exit 1
    fi
    owner[$name]="$folder"
done

# What an include names, as the table words it: a folder, a Qt module, curl,
# libxml2, a generated header, "std" for the system's libraries, or "?" for a
# header nobody provides.
include_kind() {
    local included="$1" quoted="$2" name="${1##*/}" first="${1%%/*}"
    if [ "$quoted" = 1 ]; then
        if [ -n "${owner[$name]:-}" ]; then
            echo "${owner[$name]}"
        elif [ -f "cmake/$name.in" ]; then
            echo "$name"
        else
            echo "?"
        fi
    elif [[ "$included" == */* ]]; then
        case "$first" in
            curl) echo curl ;;
            libxml) echo libxml2 ;;
            Qt*) if [ -d "$qt_headers/$first" ]; then echo "Qt:${first#Qt}"; else echo "?"; fi ;;
            *) echo std ;;
        esac
    elif [ -n "${qt_module[$name]:-}" ]; then
        echo "${qt_module[$name]}"
    elif [[ "$name" == Q* ]]; then
        echo "?"
    else
        echo std
    fi
}

include_pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^>"]+)[>"]'
for file in "${sources[@]}"; do
    folder="${source_folder[$file]:-}"
    [ -n "$folder" ] || continue
    line_no=0
    while IFS= read -r line; do
        line_no=$((line_no + 1))
        [[ "$line" =~ $include_pattern ]] || continue
        included="${BASH_REMATCH[2]}"
        quoted=0
        [ "${BASH_REMATCH[1]}" = '"' ] && quoted=1
        kind="$(include_kind "$included" "$quoted")"
        case "$kind" in
            std | "$folder") continue ;;
            "?")
                echo "$file:$line_no: includes $included, which no folder of the tree and no known library provides" >&2
                failures=$((failures + 1))
                ;;
            *)
                if [[ "${allowed[$folder]}" != *" $kind "* ]]; then
                    echo "$file:$line_no: $folder/ includes $included ($kind), which its line of the table does not name" >&2
                    failures=$((failures + 1))
                fi
                ;;
        esac
    done < "$file"
done

if [ "$failures" -gt 0 ]; then
    echo "$failures include(s) break the layering" >&2
    exit 1
fi
echo "every include is one its folder may make"
