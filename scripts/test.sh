#!/usr/bin/env bash
# Installs the dependencies, builds Pelvantz and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cd build
# A case that fails is run once more before it counts as failed: the integration
# cases drive a whole office process, which now and then starts slowly under load.
ctest --output-on-failure -j"$(nproc)" --timeout 900 --repeat until-pass:2
