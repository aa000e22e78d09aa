#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick: the four pictures of the main
# window, the splash banner and the application icon. The results are kept in
# the repository; run this again only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")/.."
IM=${IM:-/usr/bin/convert}
BOLD=Liberation-Sans-Bold
REGULAR=Liberation-Sans
GREEN='#1f6b2a'
LEAF='#9ddfa0'
PAPER='#f7fbf5'

# A link picture: a rounded tile with a symbol and a caption under it.
link_picture() {  # width height symbol caption file (symbol: drawing primitives)
  "$IM" -size "$1x$2" xc:none \
    -fill "$PAPER" -stroke "$GREEN" -strokewidth 2 -draw "roundrectangle 2,2 $(($1-3)),$(($2-3)) 10,10" \
    -stroke "$GREEN" -strokewidth 3 -fill none -draw "$3" \
    -stroke none -fill "$GREEN" -font "$BOLD" -pointsize 12 -gravity south -annotate +0+6 "$4" \
    -background "$LEAF" -flatten "$5"
}

link_picture 75 75 "path 'M 18,36 L 37,18 L 56,36 M 24,32 L 24,52 L 50,52 L 50,32 M 33,52 L 33,40 L 41,40 L 41,52'" \
  "Home" images/home.gif
link_picture 77 75 "path 'M 16,20 L 60,20 L 60,50 L 16,50 Z M 16,20 L 38,38 L 60,20'" \
  "Contact" images/contact.gif
"$IM" -size 76x75 xc:none \
  -fill "$PAPER" -stroke "$GREEN" -strokewidth 2 -draw "roundrectangle 2,2 73,72 10,10" \
  -fill none -strokewidth 3 -draw "circle 38,34 38,16" \
  -stroke none -fill "$GREEN" -font "$BOLD" -pointsize 24 -gravity center -annotate +0-4 "?" \
  -font "$BOLD" -pointsize 12 -gravity south -annotate +0+6 "Help" \
  -background "$LEAF" -flatten images/faq.gif

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
  -colors 16 -depth 8 icons/pelvantz.png
