#!/usr/bin/env bash
# Installs everything Pelvantz needs to build, run and test on Debian 12.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  build-essential cmake pkg-config git \
  qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6 \
  libgtest-dev libgmock-dev googletest \
  libreoffice-impress libreoffice-draw libreoffice-writer libreoffice-dev libqpdf-dev \
  ghostscript poppler-utils libpaper-utils locales python3-uno \
  xvfb xauth x11-utils xdg-utils procps imagemagick \
  fonts-dejavu-core fonts-liberation fonts-liberation2 fonts-crosextra-carlito fonts-crosextra-caladea
