#!/usr/bin/env bash
# The layer check, run with the tree's own table, must pass on a tree that
# keeps the table and fail on an include the table does not allow: an upward
# include, one between two folders of the same floor, Qt in a std-only layer,
# a Qt module a folder does not use, and sources in a folder with no line.
set -euo pipefail
check="${1:?usage: check-layers-selftest.sh CHECK_SCRIPT TABLE}"
table="${2:?usage: check-layers-selftest.sh CHECK_SCRIPT TABLE}"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/tests/tree" "$tree/cmake" "$tree/qt"/{QtCore,QtGui,QtWidgets}
cp "$table" "$tree/tests/tree/layers.txt"
sed -e 's/#.*//' -e '/^[[:space:]]*$/d' -e 's/:.*//' "$table" | while IFS= read -r folder; do
    mkdir -p "$tree/$folder"
done
touch "$tree/qt/QtCore/QString" "$tree/qt/QtCore/QThread" "$tree/qt/QtGui/QFont" "$tree/qt/QtWidgets/QWidget"
touch "$tree/cmake/TembrookVersion.h.in"
run_check() { bash "$check" "$tree" "$tree/qt"; }

echo '' > "$tree/platform/base/Clock.h"
echo '#include <string>' > "$tree/text/Text.h"
echo '#include <QThread>' > "$tree/platform/net/Thread.h"
printf '#include "Text.h"\n#include "Clock.h"\n' > "$tree/model/Record.h"
echo '#include "Record.h"' > "$tree/import/Parser.h"
echo '#include "Parser.h"' > "$tree/import/Parser.cpp"
printf '#include "Text.h"\n#include <QWidget>\n' > "$tree/ui/About.h"
printf '#include "TembrookVersion.h"\n#include "Parser.h"\n#include "About.h"\n' > "$tree/app/Window.h"
run_check >/dev/null || { echo "a sound tree was refused" >&2; exit 1; }

echo '#include "Parser.h"' >> "$tree/model/Record.h"
if run_check 2>/dev/null; then echo "model/ including import/ passed" >&2; exit 1; fi
sed -i '$d' "$tree/model/Record.h"

echo '#include <QString>' >> "$tree/text/Text.h"
if run_check 2>/dev/null; then echo "Qt in text/ passed" >&2; exit 1; fi
sed -i '$d' "$tree/text/Text.h"

echo '#include "Thread.h"' >> "$tree/model/Record.h"
if run_check 2>/dev/null; then echo "model/ including platform/net/ passed" >&2; exit 1; fi
sed -i '$d' "$tree/model/Record.h"

echo '#include "Transfer.h"' > "$tree/ui/Progress.cpp"
echo '' > "$tree/net/Transfer.h"
if run_check 2>/dev/null; then echo "ui/ including net/ passed" >&2; exit 1; fi
rm "$tree/ui/Progress.cpp"

echo '#include <QWidget>' > "$tree/exchange/Codec.cpp"
if run_check 2>/dev/null; then echo "Qt Widgets in exchange/ passed" >&2; exit 1; fi
rm "$tree/exchange/Codec.cpp"

echo '#include "TembrookVersion.h"' >> "$tree/ui/About.h"
if run_check 2>/dev/null; then echo "ui/ including the version header passed" >&2; exit 1; fi
sed -i '$d' "$tree/ui/About.h"

echo '' > "$tree/platform/Stray.h"
if run_check 2>/dev/null; then echo "a source in a folder with no line passed" >&2; exit 1; fi
rm "$tree/platform/Stray.h"

run_check >/dev/null || { echo "the sound tree was refused after the cases" >&2; exit 1; }
echo '#include "Window.h"' > "$tree/cli/Main.cpp"
if run_check 2>/dev/null; then echo "cli/ including app/ passed" >&2; exit 1; fi
echo "the layer check refuses what it should"
