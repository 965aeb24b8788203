#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Shakemeter and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh
scripts/build.sh default
ctest --preset default -j2
