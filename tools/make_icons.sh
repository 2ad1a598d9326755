#!/usr/bin/env bash
# Regenerates the game's icon at 48, 64, 128 and 256 pixels: data/icons/pellvane-<size>.png. The
# window uses the 64 px one; an install puts all four in the desktop's icon theme. A glossy ball
# over a paddle and a row of blocks, on a rounded tile of the game's night sky, in the palette of
# tools/make_art.sh. Deterministic: the same bytes every run.
#
# Needs ImageMagick's convert (Debian: imagemagick).
set -euo pipefail

cd "$(dirname "$0")/.."
CONVERT=${CONVERT:-convert}
OUT_DIR=data/icons
command -v "$CONVERT" >/dev/null || { echo "make_icons: ImageMagick convert not found" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT_DIR"

# The palette of the game's art.
INK='#0b0720'
NIGHT_TOP='#04061a'
NIGHT_LOW='#261660'
STEEL_HI='#9aa4ee'
STEEL='#4b5399'
CYAN_HI='#c8f6ff'
CYAN='#4fd8ff'
GOLD='#fff27a'
AMBER='#ffb02e'
FIRE='#ff3d1f'

# Drawn once at 1024 px (4x the largest size) and scaled down, so every size is antialiased alike.
S=1024
"$CONVERT" -size ${S}x${S} xc:none \
    \( -size ${S}x${S} gradient:"$NIGHT_TOP"-"$NIGHT_LOW" \) -compose over -composite \
    \( -size ${S}x${S} xc:black -fill white -draw "roundrectangle 24,24 999,999 180,180" \) \
    -alpha off -compose copy_opacity -composite "$WORK/tile.png"

# Three blocks across the top, warm to hot, each with a light top edge and a dark seam.
"$CONVERT" "$WORK/tile.png" -stroke "$INK" -strokewidth 14 \
    -fill "$GOLD" -draw "roundrectangle 140,190 380,300 26,26" \
    -fill "$AMBER" -draw "roundrectangle 392,190 632,300 26,26" \
    -fill "$FIRE" -draw "roundrectangle 644,190 884,300 26,26" \
    -stroke none -fill '#ffffff70' \
    -draw "roundrectangle 160,204 360,228 12,12" -draw "roundrectangle 412,204 612,228 12,12" \
    -draw "roundrectangle 664,204 864,228 12,12" \
    "$WORK/blocks.png"

# The paddle: a steel capsule with cyan end caps.
"$CONVERT" "$WORK/blocks.png" -stroke "$INK" -strokewidth 14 \
    -fill "$STEEL" -draw "roundrectangle 250,800 774,880 40,40" \
    -stroke none -fill "$STEEL_HI" -draw "roundrectangle 280,812 744,836 12,12" \
    -fill "$CYAN" -draw "roundrectangle 258,808 330,872 30,30" -draw "roundrectangle 694,808 766,872 30,30" \
    "$WORK/paddle.png"

# The ball: a lit sphere with a sharp highlight, over a faint trail of cyan light.
"$CONVERT" -size 220x220 radial-gradient:"$CYAN_HI"-"$STEEL" \
    \( -size 220x220 xc:black -fill white -draw "circle 110,110 110,4" \) \
    -alpha off -compose copy_opacity -composite \
    -fill '#ffffffd0' -draw "ellipse 80,72 34,22 0,360" "$WORK/ball.png"
"$CONVERT" "$WORK/paddle.png" \
    -fill '#4fd8ff38' -draw "ellipse 512,660 60,110 0,360" \
    "$WORK/ball.png" -geometry +402+440 -compose over -composite \
    -stroke "$INK" -strokewidth 12 -fill none -draw "circle 512,550 512,446" \
    "$WORK/icon.png"

for size in 48 64 128 256; do
    "$CONVERT" "$WORK/icon.png" -filter Box -resize ${size}x${size} -strip \
        -define png:exclude-chunks=date,time -interlace none PNG32:"$OUT_DIR/pellvane-$size.png"
done
echo "make_icons: wrote $OUT_DIR/pellvane-{48,64,128,256}.png" >&2
