#!/usr/bin/env bash
# Installs the dependencies, builds Pelvantz and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
exec build/app/pelvantz
