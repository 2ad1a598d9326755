#!/usr/bin/env bash
# Composes a mock-up of the game screen (800x600) from the shipped atlases and data/sprites.xml,
# with block tints multiplied in as the game does, to judge the art together. Usage: preview_art.sh [out.png]
set -euo pipefail

cd "$(dirname "$0")/.."
CONVERT=${CONVERT:-convert}
OUT=${1:-/tmp/pellvane_preview.png}
TEX=data/textures
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Prints "texture x y width height" of a sprite id from the sprite set.
region() {
    sed -n "s/.*<sprite id=\"$1\" texture=\"\([^\"]*\)\" x=\"\([0-9]*\)\" y=\"\([0-9]*\)\" width=\"\([0-9]*\)\" height=\"\([0-9]*\)\".*/\1 \2 \3 \4 \5/p" \
        data/sprites.xml
}

# Cuts a sprite out of its atlas, optionally stretched to w x h and multiplied by a tint colour.
cut() { # id destination [tint] [WxH]
    local tex x y w h
    read -r tex x y w h < <(region "$1")
    local args=("$TEX/$tex" -crop "${w}x${h}+$x+$y" +repage)
    [ -n "${4:-}" ] && args+=(-scale "$4!")
    [ -n "${3:-}" ] && args+=(-channel RGB +level-colors "black,$3" +channel)
    [ -n "${5:-}" ] && args+=(-channel A -evaluate Multiply "$5" +channel)
    # The game's alpha test drops fragments with alpha 0.1 or less.
    args+=(-channel A -black-threshold 10.2% +channel)
    "$CONVERT" "${args[@]}" "$2"
}

LAYERS=()
put() { # image x y
    LAYERS+=("$1" -geometry "+$2+$3" -composite)
}

cut backdrop "$WORK/backdrop.miff" "" 800x600
LAYERS=("$WORK/backdrop.miff")

# Particle columns rising from the bottom edge in a fixed wave, violet fading to clear.
cut particle "$WORK/p.miff" '#8a6bff'
cut particle "$WORK/p50.miff" '#8a6bff' "" 0.5
cut particle "$WORK/p25.miff" '#8a6bff' "" 0.25
for ((col = 0; col < 25; col++)); do
    n=$(((col * 7) % 9 + 2))
    for ((k = 0; k < n; k++)); do
        img=$WORK/p.miff
        [ $k -gt 2 ] && img=$WORK/p50.miff
        [ $k -gt 5 ] && img=$WORK/p25.miff
        put "$img" $((col * 32)) $((600 - 16 - k * 30))
    done
done

cut wall_h "$WORK/wh.miff"
cut wall_v "$WORK/wv.miff"
put "$WORK/wh.miff" 0 48
put "$WORK/wv.miff" 16 64
put "$WORK/wv.miff" 768 64

cut block "$WORK/b0.miff" '#ff0000'
cut block "$WORK/b1.miff" '#ff8000'
cut block "$WORK/b2.miff" '#ffff00'
for ((row = 0; row < 5; row++)); do
    t=$((row < 2 ? 0 : (row < 4 ? 1 : 2)))
    for ((c = 0; c < 11; c++)); do
        put "$WORK/b$t.miff" $((37 + c * 66)) $((104 + row * 26))
    done
done
cut block_small "$WORK/bs.miff" '#ffff00'
for ((c = 0; c < 14; c++)); do put "$WORK/bs.miff" $((38 + c * 52)) 250; done
cut block_hard "$WORK/bh.miff" '#ffff00'
for ((c = 0; c < 11; c++)); do put "$WORK/bh.miff" $((37 + c * 66)) 76; done

cut ball "$WORK/ball.miff"
cut ball "$WORK/ballo.miff" '#ff9a40'
put "$WORK/ball.miff" 560 500
put "$WORK/ballo.miff" 600 470
cut paddle "$WORK/paddle.miff"
put "$WORK/paddle.miff" 380 560

# HUD in the band above the top wall.
cut label_level "$WORK/ll.miff"
cut label_lives "$WORK/lv.miff"
cut label_score "$WORK/ls.miff"
put "$WORK/ll.miff" 24 16
put "$WORK/lv.miff" 300 16
put "$WORK/ls.miff" 560 16
# Counter digits: level and lives tinted, score untinted.
number() { # digits x tint
    local x=$2 d
    for ((k = 0; k < ${#1}; k++)); do
        d=${1:k:1}
        cut "$d" "$WORK/n$x.miff" "$3"
        put "$WORK/n$x.miff" "$x" 10
        x=$((x + 22))
    done
}
number 03 96 '#ffe066'
number 3 368 '#7fe8ff'
number 0012570 638 ''

cut title "$WORK/title.miff"
read -r _ _ _ tw _ < <(region title)
put "$WORK/title.miff" $(((800 - tw) / 2)) 290
cut button_new_game "$WORK/btn.miff"
read -r _ _ _ bw _ < <(region button_new_game)
put "$WORK/btn.miff" $(((800 - bw) / 2)) 400

"$CONVERT" "${LAYERS[@]}" -alpha off "$OUT"
echo "preview_art: wrote $OUT" >&2
