#!/usr/bin/env bash
# Renders the 48 px PNG icon from the SVG (needs librsvg2-bin). The PNG is
# committed so that builds do not need the renderer.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
rsvg-convert -w 48 -h 48 tembrook.svg -o tembrook-48.png
