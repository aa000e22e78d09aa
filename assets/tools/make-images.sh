#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick: the four pictures of the main
# window, the splash banner and the application icon, and renders the menu
# icon's drawing at the theme's sizes. The results are kept in the repository;
# run this again only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")/.."
IM=${IM:-/usr/bin/convert}
BOLD=Liberation-Sans-Bold
REGULAR=Liberation-Sans
GREEN='#1f6b2a'
LEAF='#9ddfa0'
PAPER='#f7fbf5'

# A link picture: a small tile with a symbol and a caption in its top-left
# 58 by 48 pixels; the rest stays transparent, because the main window lets
# the three pictures overlap each other and puts a line and a frame across
# their lower part.
link_picture() {  # width height symbol caption file (symbol: drawing primitives)
  local shift=$((29 - $1 / 2))  # the caption is centred under the tile, not the picture
  "$IM" -size "$1x$2" xc:none \
    -fill "$PAPER" -stroke "$GREEN" -strokewidth 2 -draw "roundrectangle 1,1 57,47 8,8" \
    -stroke "$GREEN" -strokewidth 2 -fill none -draw "$3" \
    -stroke none -fill "$GREEN" -font "$BOLD" -pointsize 10 -gravity north -annotate "${shift}+34" "$4" \
    "$5"
}

link_picture 75 75 "path 'M 17,21 L 29,9 L 41,21 M 21,18 L 21,31 L 37,31 L 37,18 M 26,31 L 26,24 L 32,24 L 32,31'" \
  "Home" images/home.gif
link_picture 77 75 "path 'M 14,10 L 44,10 L 44,30 L 14,30 Z M 14,10 L 29,22 L 44,10'" \
  "Contact" images/contact.gif
link_picture 76 75 "circle 29,19 29,8 fill '#1f6b2a' stroke none font-size 17 text 24,26 '?'" "Help" images/faq.gif

# The logo: a page turning into a PDF, and the program's name.
"$IM" -size 187x55 xc:"$LEAF" \
  -fill white -stroke "$GREEN" -strokewidth 2 -draw "polygon 8,6 32,6 42,16 42,49 8,49" \
  -fill "$LEAF" -draw "polygon 32,6 32,16 42,16" \
  -stroke none -fill '#c00000' -font "$BOLD" -pointsize 11 -annotate +12+38 "PDF" \
  -fill "$GREEN" -font "$BOLD" -pointsize 26 -annotate +50+32 "Pelvantz" \
  -font "$REGULAR" -pointsize 10 -annotate +52+47 "PowerPoint to PDF" \
  images/pelvant.gif

# The splash banner, 700 by 90: the window shows its left half, so
# everything that must be read lies there.
"$IM" -size 700x90 gradient:"$LEAF"-"$PAPER" -rotate -90 -resize '700x90!' \
  -fill white -stroke "$GREEN" -strokewidth 2 -draw "polygon 14,12 44,12 56,24 56,78 14,78" \
  -fill "$LEAF" -draw "polygon 44,12 44,24 56,24" \
  -stroke none -fill '#c00000' -font "$BOLD" -pointsize 13 -annotate +20+60 "PDF" \
  -fill "$GREEN" -font "$BOLD" -pointsize 30 -annotate +68+52 "Pelvantz" \
  -font "$REGULAR" -pointsize 12 -annotate +70+72 "by Quillborn" \
  -stroke "$GREEN" -strokewidth 1 -draw "line 360,80 690,80" \
  images/splash.gif

# The application icon, 32 by 32 in 16 colours.
"$IM" -size 32x32 xc:none \
  -fill white -stroke "$GREEN" -strokewidth 2 -draw "polygon 5,2 21,2 28,9 28,30 5,30" \
  -fill "$LEAF" -draw "polygon 21,2 21,9 28,9" \
  -stroke none -fill '#c00000' -font "$BOLD" -pointsize 9 -annotate +7+23 "PDF" \
  -colors 16 -depth 8 -strip -define png:exclude-chunks=date,time icons/pelvantz.png

# The menu icon at the sizes of the desktop's icon theme, from its drawing
# (rsvg-convert, from librsvg2-bin).
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" ../packaging/icons/pelvantz.svg -o ../packaging/icons/pelvantz-"$size".png
done
