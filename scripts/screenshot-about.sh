#!/usr/bin/env bash
# Saves pictures of the About box and of the URL caption's box label, drawn on a
# real X server (Xvfb). Usage: screenshot-about.sh [OUTPUT_DIR] (default build/screenshots);
# TEMBROOK_BUILD_DIR names the build tree to use (default build/screenshots-build).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(mkdir -p "${1:-$here/build/screenshots}" && cd "${1:-$here/build/screenshots}" && pwd)"
build="${TEMBROOK_BUILD_DIR:-$here/build/screenshots-build}"
jobs="${TEMBROOK_JOBS:-2}"

cmake -S "$here" -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j "$jobs" --target tembrook_app_tests
TEMBROOK_SCREENSHOT_DIR="$out" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
  "$build/tests/app/tembrook_app_tests" --gtest_filter='AboutFormScreenshotTest.*'
echo "saved: $out/about-box.png $out/box-label.png"
