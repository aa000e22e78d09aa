#!/usr/bin/env bash
# Installs everything Pelvantz needs to build, run and test on Debian 12.
# Fonts: metric-compatible stand-ins for the Office fonts, and Noto CJK for
# Chinese, Japanese and Korean text (without it such slides print as empty
# boxes). Noto CJK costs 57 MB to download and 91 MB installed, against 7.5 MB
# and 16 MB for WenQuanYi Zen Hei, but draws each language's own glyph forms
# and has real bold and serif faces, which the decks' SimSun, MS Mincho and
# bold titles map to. openbox and xdotool: the window tests run under a window
# manager on Xvfb.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  build-essential cmake pkg-config git \
  qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6 \
  libgtest-dev libgmock-dev googletest \
  libreoffice-impress libreoffice-draw libreoffice-writer libreoffice-dev libqpdf-dev libgsf-1-dev \
  ghostscript poppler-utils qpdf libpaper-utils locales python3 python3-uno stress-ng \
  xvfb xauth x11-utils xdg-utils procps imagemagick openbox xdotool \
  fonts-dejavu-core fonts-liberation fonts-liberation2 fonts-crosextra-carlito fonts-crosextra-caladea \
  fonts-noto-cjk
