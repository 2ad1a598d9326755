#!/usr/bin/env bash
# Regenerates every texture under data/textures/ and the sprite set data/sprites.xml that maps them.
# Deterministic: no randomness, no timestamps in the PNGs, so running it twice gives identical bytes.
#
# Three atlases keep the number of sprite batches low and make layering easy:
#   background.png  the night backdrop strip and the soft particles (drawn first, lowest layers)
#   pieces.png      walls, blocks, ball and paddles
#   hud.png         digits, labels, title, messages and the new-game button
# Every atlas side is a power of two so that region coordinates (pixel / side) are exact in float
# and a frame's width and height read back from them exactly.
#
# Needs ImageMagick's convert (Debian: imagemagick) and the DejaVu fonts (Debian: fonts-dejavu-core).
set -euo pipefail

cd "$(dirname "$0")/.."
CONVERT=${CONVERT:-convert}
OUT_DIR=data/textures
SPRITES_XML=data/sprites.xml
FONT_DIR=/usr/share/fonts/truetype/dejavu
FONT_BOLD=$FONT_DIR/DejaVuSans-Bold.ttf

[ -r "$FONT_BOLD" ] || { echo "make_art: missing font $FONT_BOLD (install fonts-dejavu-core)" >&2; exit 1; }
command -v "$CONVERT" >/dev/null || { echo "make_art: ImageMagick convert not found" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# ---------------------------------------------------------------------------------------------
# Palette: a deep navy/indigo night, steel-indigo metal, cyan light, warm fire for the logo.
# Blocks, ball, digits and labels are near-white so the colours the scene multiplies in read true.
INK='#0b0720'          # outlines and seams
NIGHT_TOP='#04061a'
NIGHT_MID='#0e1240'
NIGHT_LOW='#261660'
STEEL_HI='#9aa4ee'
STEEL='#4b5399'
STEEL_LO='#262c63'
CYAN_HI='#c8f6ff'
CYAN='#4fd8ff'
CYAN_LO='#1f7fd0'
GOLD='#fff27a'
AMBER='#ffb02e'
FIRE='#ff3d1f'

im() { "$CONVERT" "$@"; }

# Writes a plain 8-bit RGBA, non-interlaced PNG without dates or other ancillary text.
save_png() { # source destination
    im "$1" -strip -define png:exclude-chunks=date,time -interlace none PNG32:"$2"
}

size_of() { # image -> "W H"
    im "$1" -format '%w %h\n' info:
}

# Rounded-rectangle coverage mask, antialiased by drawing at 4x and averaging back down.
# inset shrinks the shape by that many (1x) pixels on every side, for outlines and rims.
round_mask() { # width height radius inset destination
    local w=$1 h=$2 r=$3 i=$4 dst=$5
    local W=$((w * 4)) H=$((h * 4)) I=$((i * 4)) R=$(((r - i) * 4))
    [ "$R" -lt 0 ] && R=0
    im -size "${W}x${H}" xc:black -fill white \
        -draw "roundrectangle $I,$I $((W - 1 - I)),$((H - 1 - I)) $R,$R" \
        -filter box -resize "${w}x${h}!" "$dst"
}

# Puts colour image src inside mask as its alpha.
with_alpha() { # src mask destination
    im "$1" "$2" -alpha off -compose CopyOpacity -composite "$3"
}

# A vertical gradient through any number of colour stops, evenly spaced over the height.
vgradient() { # width height destination colour...
    local w=$1 h=$2 dst=$3
    shift 3
    local n=$(($# - 1)) args=() k=0 y0=0 y1 prev=$1
    shift
    for c in "$@"; do
        k=$((k + 1))
        y1=$((h * k / n))
        args+=(\( -size "1x$((y1 - y0))" "gradient:$prev-$c" \))
        prev=$c
        y0=$y1
    done
    im "${args[@]}" -append -scale "${w}x${h}!" "$dst"
}

# ---------------------------------------------------------------------------------------------
# Game pieces.

# Block: light bevel top-left, dark bottom-right, soft face gradient and a gloss band, all grey so
# multiplying by yellow, orange or red keeps the shading.
# The "hard" style adds corner rivets and a recessed plate, for blocks that take many hits.
make_block() { # width height destination [hard]
    local w=$1 h=$2 dst=$3 style=${4:-} b=3
    local r=$((w - 1)) d=$((h - 1))
    vgradient "$w" "$h" "$WORK/bface.miff" '#e8e8e8' '#d0d0d0' '#a8a8a8'
    im "$WORK/bface.miff" +antialias \
        -fill '#ffffff' -draw "polygon 0,0 $r,0 $((r - b)),$b $b,$b" \
        -fill '#ececec' -draw "polygon 0,0 $b,$b $b,$((d - b)) 0,$d" \
        -fill '#6c6c6c' -draw "polygon 0,$d $b,$((d - b)) $((r - b)),$((d - b)) $r,$d" \
        -fill '#888888' -draw "polygon $r,0 $r,$d $((r - b)),$((d - b)) $((r - b)),$b" \
        -fill '#ffffff58' -draw "rectangle $((b + 1)),$((b + 1)) $((r - b - 1)),$((h / 2 - 1))" \
        -fill '#ffffff' -draw "line $((b + 1)),$((b + 1)) $((r - b - 1)),$((b + 1))" \
        "$WORK/bbody.miff"
    if [ "$style" = hard ]; then
        local px=$((b + 6)) py=$((b + 3))
        im "$WORK/bbody.miff" +antialias -fill none \
            -stroke '#8a8a8a' -draw "rectangle $px,$py $((r - px)),$((d - py))" \
            -stroke '#f8f8f8' -draw "line $((px + 1)),$((d - py + 1)) $((r - px + 1)),$((d - py + 1))" \
            -draw "line $((r - px + 1)),$((py + 1)) $((r - px + 1)),$((d - py + 1))" -stroke none \
            -fill '#5a5a5a' -draw "rectangle $((b + 1)),$((b + 1)) $((b + 2)),$((b + 2))" \
            -draw "rectangle $((r - b - 2)),$((b + 1)) $((r - b - 1)),$((b + 2))" \
            -draw "rectangle $((b + 1)),$((d - b - 2)) $((b + 2)),$((d - b - 1))" \
            -draw "rectangle $((r - b - 2)),$((d - b - 2)) $((r - b - 1)),$((d - b - 1))" \
            -fill '#ffffff' -draw "point $((b + 1)),$((b + 1))" -draw "point $((r - b - 2)),$((b + 1))" \
            -draw "point $((b + 1)),$((d - b - 2))" -draw "point $((r - b - 2)),$((d - b - 2))" \
            "$WORK/bbody.miff"
    fi
    round_mask "$w" "$h" 3 0 "$WORK/bouter.miff"
    round_mask "$w" "$h" 3 1 "$WORK/binner.miff"
    im -size "${w}x${h}" xc:'#3a3a3a' "$WORK/bbody.miff" "$WORK/binner.miff" -composite "$WORK/bcol.miff"
    with_alpha "$WORK/bcol.miff" "$WORK/bouter.miff" "$dst"
}

# Ball: a lit sphere drawn at 4x by formula and averaged down, near-white with a sharp highlight.
make_ball() { # diameter destination
    local s=$1 dst=$2 S=$(($1 * 4))
    im -size "${S}x${S}" xc:black -fx \
        'xx=(i+0.5)/w*2-1; yy=(j+0.5)/h*2-1; rr=xx*xx+yy*yy; zz=sqrt(max(0,1-rr));
         dd=max(0,-0.45*xx-0.55*yy+0.70*zz); ss=exp(-((xx+0.34)^2+(yy+0.40)^2)/0.018);
         min(1,0.42+0.50*dd+1.0*ss)*(rr>0.78?0.72:1)' "$WORK/bshade.miff"
    im -size "${S}x${S}" xc:black -fx 'xx=(i+0.5)/w*2-1; yy=(j+0.5)/h*2-1; (xx*xx+yy*yy<=1)?1:0' \
        "$WORK/bmask.miff"
    with_alpha "$WORK/bshade.miff" "$WORK/bmask.miff" "$WORK/bfull.miff"
    im "$WORK/bfull.miff" -filter box -resize "${s}x${s}!" "$dst"
}

# Paddle: a metal capsule (bright top band, dark belly) with glowing cyan end caps.
make_paddle() { # width height destination
    local w=$1 h=$2 dst=$3 cap=$(($2 - 2))
    vgradient "$w" "$h" "$WORK/pmetal.miff" '#ffffff' '#c9cfe8' '#7d86b4' '#424a80' '#2a3060' '#59629a'
    vgradient "$cap" "$h" "$WORK/pcap.miff" "$CYAN_HI" "$CYAN" "$CYAN_LO" '#15508f' "$CYAN_LO"
    im "$WORK/pmetal.miff" \
        "$WORK/pcap.miff" -geometry +0+0 -composite \
        "$WORK/pcap.miff" -geometry "+$((w - cap))+0" -composite \
        -fill "$INK" -draw "line $cap,0 $cap,$((h - 1))" -draw "line $((w - cap - 1)),0 $((w - cap - 1)),$((h - 1))" \
        -fill '#ffffffb0' -draw "line $((cap + 4)),3 $((w - cap - 5)),3" \
        "$WORK/pbody.miff"
    round_mask "$w" "$h" $((h / 2)) 0 "$WORK/pouter.miff"
    round_mask "$w" "$h" $((h / 2)) 1 "$WORK/pinner.miff"
    im -size "${w}x${h}" xc:"$INK" "$WORK/pbody.miff" "$WORK/pinner.miff" -composite "$WORK/pcol.miff"
    with_alpha "$WORK/pcol.miff" "$WORK/pouter.miff" "$dst"
}

# Debris: a small fragment of a block for the break effect, in the block's greys (lit top-left,
# shaded bottom-right) so the block's tint multiplies in the same way; its bottom-right corner is
# chipped off along a diagonal, antialiased by drawing the outline at 4x.
make_debris() { # size destination
    local s=$1 dst=$2 S=$(($1 * 4)) e=$(($1 - 1)) chip=$(($1 * 5 / 8))
    vgradient "$s" "$s" "$WORK/dface.miff" '#f4f4f4' '#d0d0d0' '#a8a8a8'
    # The chip runs where column + row = e + chip - 1; it and everything past it is the dark edge.
    im "$WORK/dface.miff" +antialias \
        -fill '#ffffff' -draw "line 0,0 $e,0" \
        -fill '#ececec' -draw "line 0,1 0,$e" \
        -fill '#888888' -draw "line $e,1 $e,$((chip - 1))" \
        -fill '#6c6c6c' -draw "line 1,$e $((chip - 1)),$e" \
        -draw "polygon $((chip - 1)),$e $e,$((chip - 1)) $e,$e" \
        "$WORK/dbody.miff"
    im -size "${S}x${S}" xc:black -fill white \
        -draw "polygon 0,0 $S,0 $S,$(((chip + 1) * 4)) $(((chip + 1) * 4)),$S 0,$S" \
        -filter box -resize "${s}x${s}!" "$WORK/dmask.miff"
    with_alpha "$WORK/dbody.miff" "$WORK/dmask.miff" "$dst"
}

# Walls: a steel rail with a cyan light groove, 16 px thick, in 40 px panels with rivets.
# The horizontal bar is lit from above; the vertical one is the same tile turned so it is lit from
# the left. 800 and 600 are whole numbers of panels, so the bars span the window exactly.
make_walls() { # horizontal-destination vertical-destination
    local p=40
    im \( -size 1x1 xc:"$INK" \) \( -size 1x1 xc:"$STEEL_HI" \) \
        \( -size 1x4 gradient:"$STEEL-#3a4186" \) \( -size 1x1 xc:'#141838' \) \
        \( -size 1x1 xc:"$CYAN_HI" \) \( -size 1x1 xc:"$CYAN" \) \( -size 1x1 xc:'#141838' \) \
        \( -size 1x5 gradient:"#343b7a-$STEEL_LO" \) \( -size 1x1 xc:"$INK" \) \
        -append -scale "${p}x16!" \
        -fill "$INK" -draw "line 0,0 0,15" -fill '#7c85cc' -draw "line 1,1 1,5" -draw "line 1,10 1,14" \
        -fill '#15183a' -draw "rectangle 19,2 21,4" -draw "rectangle 19,11 21,13" \
        -fill '#b4bcf5' -draw "point 19,2" -draw "point 19,11" \
        -fill '#5a62a8' -draw "point 20,3" -draw "point 20,12" \
        "$WORK/wtile.miff"
    im -size 800x16 tile:"$WORK/wtile.miff" "$1"
    im "$WORK/wtile.miff" -rotate -90 "$WORK/wtilev.miff"
    im -size 16x600 tile:"$WORK/wtilev.miff" "$2"
}

# ---------------------------------------------------------------------------------------------
# Text.

# Glyph coverage of text on a canvas of the given size, centred (used for digits: one fixed cell).
text_mask_cell() { # text pointsize width height dy destination
    im -size "${3}x${4}" xc:black -font "$FONT_BOLD" -pointsize "$2" -fill white \
        -gravity center -annotate "+0+$5" "$1" "$6"
}

# Glyph coverage of text, trimmed to the ink and padded by pad pixels on every side.
text_mask_trim() { # text pointsize pad destination [shear]
    im -size 1600x400 xc:black -font "$FONT_BOLD" -pointsize "$2" -fill white \
        -gravity center -annotate +0+0 "$1" ${5:+-background black -shear "$5"} -trim +repage \
        -bordercolor black -border "$3" "$4"
}

# HUD text: white-to-silver fill with an ink outline, so a tint colours it while it stays readable.
hud_text_from_mask() { # mask outline destination
    local m=$1 o=$2 dst=$3 w h
    read -r w h < <(size_of "$m")
    im "$m" -morphology Dilate "Disk:$o" "$WORK/hdil.miff"
    vgradient "$w" "$h" "$WORK/hgrad.miff" '#ffffff' '#ffffff' '#c9cbd6'
    im -size "${w}x${h}" xc:"$INK" "$WORK/hdil.miff" -alpha off -compose CopyOpacity -composite "$WORK/hline.miff"
    with_alpha "$WORK/hgrad.miff" "$m" "$WORK/hfill.miff"
    im "$WORK/hline.miff" "$WORK/hfill.miff" -compose Over -composite "$dst"
}

# Logo text: a multi-stop gradient fill, a glossy top edge and a shaded bottom edge inside the
# glyphs, a thick ink outline, an optional extruded side in a dark shade, and a drop shadow.
logo_text() { # text pointsize outline depth shear destination side-colour colour...
    local text=$1 pt=$2 o=$3 depth=$4 shear=$5 dst=$6 side=$7 w h k
    shift 7
    text_mask_trim "$text" "$pt" $((o + depth + 8)) "$WORK/lmask.miff" "$shear"
    read -r w h < <(size_of "$WORK/lmask.miff")
    vgradient "$w" "$h" "$WORK/lgrad.miff" "$@"
    # Inner edges: glyph pixels whose neighbour 2 px above (below) lies outside the glyph.
    im "$WORK/lmask.miff" \( "$WORK/lmask.miff" -roll +0+2 -negate \) -compose Multiply -composite \
        "$WORK/ltop.miff"
    im "$WORK/lmask.miff" \( "$WORK/lmask.miff" -roll +0-2 -negate \) -compose Multiply -composite \
        "$WORK/lbot.miff"
    with_alpha "$WORK/lgrad.miff" "$WORK/lmask.miff" "$WORK/lfill.miff"
    im -size "${w}x${h}" xc:white \( "$WORK/ltop.miff" -evaluate Multiply 0.75 \) \
        -alpha off -compose CopyOpacity -composite "$WORK/lhi.miff"
    im -size "${w}x${h}" xc:'#5a0a10' \( "$WORK/lbot.miff" -evaluate Multiply 0.5 \) \
        -alpha off -compose CopyOpacity -composite "$WORK/llo.miff"
    im "$WORK/lmask.miff" -morphology Dilate "Disk:$o" "$WORK/ldil.miff"
    # The solid: the outlined glyphs swept straight down by depth pixels.
    local sweep=("$WORK/ldil.miff")
    for ((k = 1; k <= depth; k++)); do
        sweep+=(\( "$WORK/ldil.miff" -roll "+0+$k" \) -compose Lighten -composite)
    done
    im "${sweep[@]}" "$WORK/lsolid.miff"
    im -size "${w}x${h}" xc:"$INK" "$WORK/lsolid.miff" -alpha off -compose CopyOpacity -composite \
        "$WORK/lline.miff"
    im "$WORK/ldil.miff" -morphology Erode Disk:1.5 "$WORK/lsidem.miff"
    local sides=(-size "${w}x${h}" xc:none)
    for ((k = depth; k >= 1; k--)); do
        sides+=(\( -size "${w}x${h}" xc:"$side" \( "$WORK/lsidem.miff" -roll "+0+$k" \)
            -alpha off -compose CopyOpacity -composite \) -compose Over -composite)
    done
    im "${sides[@]}" "$WORK/lside.miff"
    # The glyphs' own outline, drawn again over the side so the face stays closed.
    im -size "${w}x${h}" xc:"$INK" "$WORK/ldil.miff" -alpha off -compose CopyOpacity -composite "$WORK/lrim.miff"
    im -size "${w}x${h}" xc:'#000000' \( "$WORK/lsolid.miff" -roll +4+6 -evaluate Multiply 0.55 \) \
        -alpha off -compose CopyOpacity -composite "$WORK/lshadow.miff"
    im "$WORK/lshadow.miff" "$WORK/lline.miff" -compose Over -composite \
        "$WORK/lside.miff" -compose Over -composite \
        "$WORK/lrim.miff" -compose Over -composite \
        "$WORK/lfill.miff" -compose Over -composite \
        "$WORK/lhi.miff" -compose Over -composite \
        "$WORK/llo.miff" -compose Over -composite "$dst"
}

# The new-game button: a glassy cyan rounded slab with an ink rim and outlined white text.
make_button() { # text width height destination
    local text=$1 w=$2 h=$3 dst=$4 r=14
    vgradient "$w" "$h" "$WORK/ubody.miff" "$CYAN_HI" "$CYAN" "$CYAN_LO" '#1b3f9e'
    round_mask "$w" "$h" $r 0 "$WORK/uouter.miff"
    round_mask "$w" "$h" $r 2 "$WORK/uinner.miff"
    round_mask "$w" "$h" $r 3 "$WORK/ucore.miff"
    # Gloss: the upper half of the core, lightened.
    im "$WORK/ucore.miff" -fill black -draw "rectangle 0,$((h / 2)) $w,$h" -evaluate Multiply 0.35 "$WORK/ugloss.miff"
    im -size "${w}x${h}" xc:white "$WORK/ugloss.miff" -alpha off -compose CopyOpacity -composite "$WORK/uglossc.miff"
    im -size "${w}x${h}" xc:"$INK" \
        \( -size "${w}x${h}" xc:'#e8fbff' \) "$WORK/uinner.miff" -composite \
        "$WORK/ubody.miff" "$WORK/ucore.miff" -composite \
        "$WORK/uglossc.miff" -compose Over -composite "$WORK/uslab.miff"
    with_alpha "$WORK/uslab.miff" "$WORK/uouter.miff" "$WORK/uslaba.miff"
    text_mask_trim "$text" 26 3 "$WORK/utm.miff"
    hud_text_from_mask "$WORK/utm.miff" 2 "$WORK/utext.miff"
    im "$WORK/uslaba.miff" "$WORK/utext.miff" -gravity center -geometry +0+1 -compose Over -composite "$dst"
}

# ---------------------------------------------------------------------------------------------
# Background.

# Soft round particle: white, alpha falling off smoothly from the centre to the rim.
make_particle() { # diameter falloff-exponent destination
    local s=$1 e=$2 dst=$3
    im -size "${s}x${s}" xc:white \( -size "${s}x${s}" xc:black -fx \
        "xx=(i+0.5)/w*2-1; yy=(j+0.5)/h*2-1; dd=sqrt(xx*xx+yy*yy); pow(max(0,1-dd),$e)" \) \
        -alpha off -compose CopyOpacity -composite "$dst"
}

# ---------------------------------------------------------------------------------------------
# Atlas packing: pieces are placed left to right on shelves; each placement also writes the
# matching sprite element, so the sprite set always agrees with the pixels.
SPRITE_LINES=()
SPARE_LINES=()
ATLAS_ARGS=()
ATLAS_NAME=
ATLAS_W=0
SHELF_X=0
SHELF_Y=0
SHELF_H=0
SHELF_X0=0
PAD=2

atlas_begin() { # name width height origin-x origin-y
    ATLAS_NAME=$1
    ATLAS_W=$2
    ATLAS_H=$3
    SHELF_X0=$4
    SHELF_X=$4
    SHELF_Y=$5
    SHELF_H=0
    ATLAS_ARGS=(-size "${2}x${3}" xc:none)
    SPRITE_LINES+=("" "  <!-- $1 (${2}x${3}) -->")
}

place_at() { # id image x y
    local w h
    read -r w h < <(size_of "$2")
    if [ $(($3 + w)) -gt "$ATLAS_W" ] || [ $(($4 + h)) -gt "$ATLAS_H" ]; then
        echo "make_art: $1 does not fit in $ATLAS_NAME" >&2
        exit 1
    fi
    ATLAS_ARGS+=("$2" -geometry "+$3+$4" -composite)
    SPRITE_LINES+=("  <sprite id=\"$1\" texture=\"$ATLAS_NAME\" x=\"$3\" y=\"$4\" width=\"$w\" height=\"$h\"/>")
}

# A spare picture: placed in the atlas like any other, but its sprite line goes into a comment of
# the sprite set rather than the set itself, because the shipped game does not use it (the data
# checker warns about sprites nothing uses). Uncomment its line to use it.
spare() { # place or place_at, then its arguments
    "$@"
    SPARE_LINES+=("${SPRITE_LINES[-1]}")
    unset 'SPRITE_LINES[-1]'
}

place() { # id image: next free spot on the current shelf, or a new shelf below
    local w h
    read -r w h < <(size_of "$2")
    if [ $((SHELF_X + w)) -gt "$ATLAS_W" ]; then
        SHELF_X=$SHELF_X0
        SHELF_Y=$((SHELF_Y + SHELF_H + PAD))
        SHELF_H=0
    fi
    place_at "$1" "$2" "$SHELF_X" "$SHELF_Y"
    SHELF_X=$((SHELF_X + w + PAD))
    [ "$h" -gt "$SHELF_H" ] && SHELF_H=$h
    return 0
}

atlas_end() {
    im -background none "${ATLAS_ARGS[@]}" "$WORK/atlas.miff"
    save_png "$WORK/atlas.miff" "$OUT_DIR/$ATLAS_NAME"
}

# ---------------------------------------------------------------------------------------------
mkdir -p "$OUT_DIR"

# Background atlas: the backdrop strip is stretched to the window by the entity's width and height.
vgradient 16 600 "$WORK/backdrop.miff" "$NIGHT_TOP" "$NIGHT_MID" "$NIGHT_MID" "$NIGHT_LOW"
make_particle 32 1.6 "$WORK/particle.miff"
make_particle 16 1.0 "$WORK/particle_small.miff"
atlas_begin background.png 64 1024 24 0
place_at backdrop "$WORK/backdrop.miff" 0 0
place_at particle "$WORK/particle.miff" 24 0
spare place_at particle_small "$WORK/particle_small.miff" 24 36
atlas_end

# Pieces atlas.
make_walls "$WORK/wall_h.miff" "$WORK/wall_v.miff"
make_block 64 24 "$WORK/block.miff"
make_block 48 20 "$WORK/block_small.miff"
make_block 64 24 "$WORK/block_hard.miff" hard
make_ball 16 "$WORK/ball.miff"
make_paddle 112 16 "$WORK/paddle.miff"
make_paddle 80 16 "$WORK/paddle_small.miff"
make_paddle 144 16 "$WORK/paddle_large.miff"
make_debris 8 "$WORK/debris.miff"
atlas_begin pieces.png 1024 1024 24 20
place_at wall_h "$WORK/wall_h.miff" 0 0
place_at wall_v "$WORK/wall_v.miff" 0 20
place block "$WORK/block.miff"
place block_small "$WORK/block_small.miff"
place block_hard "$WORK/block_hard.miff"
place ball "$WORK/ball.miff"
place paddle "$WORK/paddle.miff"
spare place paddle_small "$WORK/paddle_small.miff"
spare place paddle_large "$WORK/paddle_large.miff"
# Later additions go after everything above, so the sprites above keep their places.
place debris "$WORK/debris.miff"
atlas_end

# HUD atlas: digits share one cell size so numbers line up at any value.
DIGIT_W=22
DIGIT_H=30
for d in 0 1 2 3 4 5 6 7 8 9; do
    text_mask_cell "$d" 28 "$DIGIT_W" "$DIGIT_H" 0 "$WORK/dmask$d.miff"
    hud_text_from_mask "$WORK/dmask$d.miff" 2 "$WORK/digit$d.miff"
done
for label in LEVEL LIVES SCORE BEST; do
    text_mask_trim "$label" 18 3 "$WORK/lbl.miff"
    hud_text_from_mask "$WORK/lbl.miff" 2 "$WORK/label_${label,,}.miff"
done
logo_text PELLVANE 96 5 7 -12x0 "$WORK/title.miff" '#a8321a' "$GOLD" '#ffd23a' "$AMBER" '#ff7a1a' "$FIRE"
logo_text 'GAME OVER' 64 4 5 0x0 "$WORK/game_over.miff" '#6a0a18' '#ffd0c8' '#ff6a4a' "$FIRE" '#b3121e'
logo_text 'GET READY' 44 3 3 0x0 "$WORK/get_ready.miff" '#123c7a' "$CYAN_HI" "$CYAN" "$CYAN_LO"
logo_text 'LEVEL CLEARED' 44 3 3 0x0 "$WORK/level_cleared.miff" '#9a4a10' "$GOLD" '#ffd23a' "$AMBER"
make_button 'NEW GAME' 224 56 "$WORK/button.miff"
# The pause: a cool cyan message like "GET READY", as large as "GAME OVER", and a quiet line under it.
logo_text 'PAUSED' 60 4 5 0x0 "$WORK/paused.miff" '#123c7a' "$CYAN_HI" "$CYAN" "$CYAN_LO"
text_mask_trim 'PRESS P OR CLICK TO PLAY ON' 16 3 "$WORK/rmask.miff"
hud_text_from_mask "$WORK/rmask.miff" 2 "$WORK/resume_hint.miff"
# The hint before a launch: the same outlined white as the counters' labels, in the button's
# text size, so a tint and a pulse can make it call without hiding the field.
text_mask_trim 'CLICK TO LAUNCH' 26 4 "$WORK/lhmask.miff"
hud_text_from_mask "$WORK/lhmask.miff" 2 "$WORK/click_to_launch.miff"
# A flat translucent night shade, stretched by its entity to dim the field behind a message.
im -size 8x8 xc:'#05041ab8' "$WORK/shade.miff"

atlas_begin hud.png 1024 512 0 0
place title "$WORK/title.miff"
place game_over "$WORK/game_over.miff"
place level_cleared "$WORK/level_cleared.miff"
place get_ready "$WORK/get_ready.miff"
place button_new_game "$WORK/button.miff"
for d in 0 1 2 3 4 5 6 7 8 9; do
    place "$d" "$WORK/digit$d.miff"
done
place label_level "$WORK/label_level.miff"
place label_lives "$WORK/label_lives.miff"
place label_score "$WORK/label_score.miff"
place shade "$WORK/shade.miff"
# Later additions go after everything above, so the sprites above keep their places.
place label_best "$WORK/label_best.miff"
place paused "$WORK/paused.miff"
place resume_hint "$WORK/resume_hint.miff"
place click_to_launch "$WORK/click_to_launch.miff"
atlas_end

{
    echo '<?xml version="1.0"?>'
    echo '<!-- The shipped sprite set. Generated by tools/make_art.sh together with the textures it'
    echo '     names (relative to the configuration'"'"'s texture directory); edit the script, not this file. -->'
    echo '<sprites>'
    for line in "${SPRITE_LINES[@]:1}"; do
        echo "$line"
    done
    echo ''
    echo '  <!-- Spare pictures in these atlases that the shipped game does not use:'
    for line in "${SPARE_LINES[@]}"; do
        echo "$line"
    done
    echo '  -->'
    echo '</sprites>'
} >"$SPRITES_XML"

echo "make_art: wrote background.png, pieces.png and hud.png in $OUT_DIR, and $SPRITES_XML" >&2
