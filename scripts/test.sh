#!/usr/bin/env bash
# Installs the dependencies, builds Pelvantz and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
python3 scripts/check_layers.py
bash scripts/build.sh
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 900
