#!/usr/bin/env bash
# Installs the Debian packages Portiva needs (when missing) and builds it into build/.
#
#   bash scripts/setup.sh [target ...]
#
# With targets, only those (and what they need) are built; without, everything.
set -euo pipefail
cd "$(dirname "$0")/.."
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
missing=$(grep -v '^#' .ci/packages | while read -r p; do
  [ -n "$p" ] && ! dpkg -s "$p" >/dev/null 2>&1 && echo "$p"; done || true)
if [ -n "$missing" ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  # shellcheck disable=SC2086
  $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
# Warnings are errors here as in the test command, so that the demo (scripts/run-demo.sh) and
# the tests (scripts/test.sh) share one configuration of build/: the tests then build only
# what the demo did not. PORTIVA_WERROR=OFF in the environment leaves warnings as warnings
# (for another compiler than Debian 12's); build/ is then configured, and built, anew.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPORTIVA_WERROR="${PORTIVA_WERROR:-ON}" >/dev/null
if [ "$#" -gt 0 ]; then
  cmake --build build -j"$(nproc)" --target "$@"
else
  cmake --build build -j"$(nproc)"
fi
