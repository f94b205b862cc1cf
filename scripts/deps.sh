#!/usr/bin/env bash
# Installs the Debian packages the project needs, quietly, skipping what is
# already there. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libcurl4-openssl-dev
  # HTML 4's named character references for the outputs to other programs
  libxml2-dev
  libgtest-dev libgmock-dev libcpp-httplib-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-monapo fonts-ipafont-gothic xvfb xauth
  desktop-file-utils help2man dpkg-dev file
  lintian appstream bash-completion man-db groff-base
  clang-format
  # the functions' lengths for the function-length check of the tree
  universal-ctags
  # the suite under load (scripts/test-under-load.sh)
  stress-ng
  # TLS test servers and their certificates
  libssl-dev
  # the tests read the exporter's csv, json and ics back with Python
  python3 python3-icalendar
  # the fresh-process benchmarks: the lxml scraper, and the X connection that
  # sees the window mapped
  python3-lxml python3-xlib
  # Qt's own texts in Japanese (qtbase_ja.qm)
  qt6-translations-l10n
  # the window through the accessibility bus a screen reader uses: the
  # AT-SPI bus and registry, a private session bus, the Python bindings
  at-spi2-core dbus-daemon python3-pyatspi
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "Installing: ${missing[*]}"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
