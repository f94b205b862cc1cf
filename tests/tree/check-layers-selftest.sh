#!/usr/bin/env bash
# The layer check must fail on an upward include and on Qt in a std-only
# layer, and pass on a tree that keeps the rule.
set -euo pipefail
check="${1:?usage: check-layers-selftest.sh CHECK_SCRIPT}"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/{platform/base,platform/net,text,model,import,app,cli}
echo '#include "Clock.h"' > "$tree/text/Text.h"
echo '' > "$tree/platform/base/Clock.h"
echo '#include <QThread>' > "$tree/platform/net/Thread.h"
echo '#include "Text.h"' > "$tree/model/Record.h"
echo '#include "Record.h"' > "$tree/import/Parser.cpp"
echo '#include "Parser.cpp"' > "$tree/app/Window.h"
bash "$check" "$tree" >/dev/null || { echo "a sound tree was refused" >&2; exit 1; }

echo '#include "Parser.h"' > "$tree/import/Parser.h"
echo '#include "Parser.h"' >> "$tree/model/Record.h"
if bash "$check" "$tree" 2>/dev/null; then echo "model/ including import/ passed" >&2; exit 1; fi
sed -i '$d' "$tree/model/Record.h"

echo '#include <QString>' >> "$tree/text/Text.h"
if bash "$check" "$tree" 2>/dev/null; then echo "Qt in text/ passed" >&2; exit 1; fi
sed -i '$d' "$tree/text/Text.h"

echo '#include "Thread.h"' >> "$tree/model/Record.h"
if bash "$check" "$tree" 2>/dev/null; then echo "model/ including platform/net/ passed" >&2; exit 1; fi
sed -i '$d' "$tree/model/Record.h"

echo '#include "Window.h"' > "$tree/cli/Main.cpp"
if bash "$check" "$tree" 2>/dev/null; then echo "cli/ including app/ passed" >&2; exit 1; fi
echo "the layer check refuses what it should"
