#!/usr/bin/env bash
# Installs the dependencies, builds Pelvantz, makes its Debian package and
# installs that with apt (the program lands in /usr/lib/pelvantz, the command
# pelvantz on the PATH, a menu entry under Office).
set -euo pipefail
cd "$(dirname "$0")/.."
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
bash scripts/install-deps.sh
bash scripts/build.sh
cmake --build build --target package
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y ./build/pelvantz_*_amd64.deb
