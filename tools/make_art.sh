#!/usr/bin/env bash
# Regenerates every texture under data/textures/ and the sprite set data/sprites.xml that maps them.
# Deterministic: no randomness, no timestamps in the PNGs, so running it twice gives identical bytes.
#
# Three atlases keep the number of sprite batches low and make layering easy:
#   background.png  the night backdrop strip and the soft particles (drawn first, lowest layers)
#   pieces.png      walls, blocks, ball, paddles, power-up capsules and the power bar
#   hud.png         digits, letters, labels, title, messages and the buttons
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

# A bevelled face: the four edges of width b drawn as flat polygons over the face picture, lit
# top-left and shaded bottom-right in the colours given.
bevel_face() { # face width height b top left bottom right destination
    local r=$(($2 - 1)) d=$(($3 - 1)) b=$4
    im "$1" +antialias \
        -fill "$5" -draw "polygon 0,0 $r,0 $((r - b)),$b $b,$b" \
        -fill "$6" -draw "polygon 0,0 $b,$b $b,$((d - b)) 0,$d" \
        -fill "$7" -draw "polygon 0,$d $b,$((d - b)) $((r - b)),$((d - b)) $r,$d" \
        -fill "$8" -draw "polygon $r,0 $r,$d $((r - b)),$((d - b)) $((r - b)),$b" \
        "$9"
}

# Rounds a block's corners (radius 3) and rings it with a 1 px rim in the given colour.
block_shape() { # body width height rim destination
    round_mask "$2" "$3" 3 0 "$WORK/bouter.miff"
    round_mask "$2" "$3" 3 1 "$WORK/binner.miff"
    im -size "${2}x${3}" xc:"$4" "$1" "$WORK/binner.miff" -composite "$WORK/bcol.miff"
    with_alpha "$WORK/bcol.miff" "$WORK/bouter.miff" "$5"
}

# Block: light bevel top-left, dark bottom-right, soft face gradient and a gloss band, all grey so
# multiplying by yellow, orange or red keeps the shading.
# The "hard" style adds corner rivets and a recessed plate, for blocks that take many hits.
make_block() { # width height destination [hard]
    local w=$1 h=$2 dst=$3 style=${4:-} b=3
    local r=$((w - 1)) d=$((h - 1))
    vgradient "$w" "$h" "$WORK/bface.miff" '#e8e8e8' '#d0d0d0' '#a8a8a8'
    bevel_face "$WORK/bface.miff" "$w" "$h" $b '#ffffff' '#ececec' '#6c6c6c' '#888888' "$WORK/bbevel.miff"
    im "$WORK/bbevel.miff" +antialias \
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
    block_shape "$WORK/bbody.miff" "$w" "$h" '#3a3a3a' "$dst"
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

# Paddle with guns: the same metal capsule, its cyan end caps glowing laser red-hot instead, each
# with a steel gun barrel standing down its middle, its muzzle white-hot at the top. The barrels sit
# at the middle of the caps, cap / 2 pixels in from either end, where the game fires from (1/16 of
# the width at 112 px).
make_paddle_guns() { # width height destination
    local w=$1 h=$2 dst=$3 cap=$(($2 - 2))
    # The barrel's columns, left to right: shaded, lit, lit, shaded, so it reads round.
    local shades=('#5a6280' '#c8d0ea' '#9aa4c4' '#3a4060') x k args=()
    vgradient "$w" "$h" "$WORK/gmetal.miff" '#ffffff' '#c9cfe8' '#7d86b4' '#424a80' '#2a3060' '#59629a'
    vgradient "$cap" "$h" "$WORK/gpod.miff" '#ffd8c4' '#ff7a3a' "$FIRE" '#8a1010' '#c02a1a'
    for x in $((cap / 2)) $((w - cap / 2)); do
        args+=(-fill "$INK" -draw "rectangle $((x - 3)),0 $((x + 2)),$((h - 4))")
        for ((k = 0; k < 4; k++)); do
            args+=(-fill "${shades[k]}" -draw "line $((x - 2 + k)),1 $((x - 2 + k)),$((h - 5))")
        done
        args+=(-fill '#fff4e8' -draw "rectangle $((x - 2)),1 $((x + 1)),2" -fill "$GOLD" -draw "line $((x - 2)),3 $((x + 1)),3")
    done
    im "$WORK/gmetal.miff" \
        "$WORK/gpod.miff" -geometry +0+0 -composite \
        "$WORK/gpod.miff" -geometry "+$((w - cap))+0" -composite \
        -fill "$INK" -draw "line $cap,0 $cap,$((h - 1))" -draw "line $((w - cap - 1)),0 $((w - cap - 1)),$((h - 1))" \
        -fill '#ffffffb0' -draw "line $((cap + 4)),3 $((w - cap - 5)),3" \
        "${args[@]}" "$WORK/gbody.miff"
    round_mask "$w" "$h" $((h / 2)) 0 "$WORK/pouter.miff"
    round_mask "$w" "$h" $((h / 2)) 1 "$WORK/pinner.miff"
    im -size "${w}x${h}" xc:"$INK" "$WORK/gbody.miff" "$WORK/pinner.miff" -composite "$WORK/pcol.miff"
    with_alpha "$WORK/pcol.miff" "$WORK/pouter.miff" "$dst"
}

# Laser shot: a bolt with a white-hot core in a red glow, tapering at both ends, drawn at 4x by
# formula and averaged down. It is drawn untinted.
make_shot() { # width height destination
    local w=$1 h=$2 dst=$3 W=$(($1 * 4)) H=$(($2 * 4))
    # Across: 1 at the axis, falling off to the edge; along: full in the middle, tapered at the
    # ends (the head a little sharper than the tail).
    local across='xx=abs((i+0.5)/w*2-1)' along='yy=(j+0.5)/h; tt=min(1,min(yy*5,(1-yy)*3.5))'
    im -size "${W}x${H}" xc:black -fx "$across; $along; cc=max(0,1-xx/(0.35+0.25*tt)); min(1,1.6*cc)*tt" \
        -filter box -resize "${w}x${h}!" "$WORK/score.miff"
    im -size "${W}x${H}" xc:black -fx "$across; $along; gg=max(0,1-xx*xx); min(1,gg*1.6)*tt" \
        -filter box -resize "${w}x${h}!" "$WORK/sglow.miff"
    im -size "${w}x${h}" xc:"$FIRE" \( -size "${w}x${h}" xc:'#fff4e8' "$WORK/score.miff" \
        -alpha off -compose CopyOpacity -composite \) -compose Over -composite "$WORK/scol.miff"
    with_alpha "$WORK/scol.miff" "$WORK/sglow.miff" "$dst"
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

# Rivet: a small domed metal head, lit top-left like the ball, with a dark rim where it meets the
# plate; drawn at 4x by formula and averaged down.
make_rivet() { # diameter destination
    local s=$1 dst=$2 S=$(($1 * 4))
    im -size "${S}x${S}" xc:black -fx \
        'xx=(i+0.5)/w*2-1; yy=(j+0.5)/h*2-1; rr=xx*xx+yy*yy; zz=sqrt(max(0,1-rr));
         dd=max(0,-0.5*xx-0.6*yy+0.62*zz); ss=exp(-((xx+0.3)^2+(yy+0.35)^2)/0.05);
         (rr>0.6?0.22:min(1,0.30+0.55*dd+0.8*ss))' "$WORK/rshade.miff"
    im -size "${S}x${S}" xc:black -fx 'xx=(i+0.5)/w*2-1; yy=(j+0.5)/h*2-1; (xx*xx+yy*yy<=1)?1:0' \
        "$WORK/rmask.miff"
    im "$WORK/rshade.miff" \( -size "${S}x${S}" xc:'#dfe8f6' \) -compose Multiply -composite "$WORK/rcol.miff"
    with_alpha "$WORK/rcol.miff" "$WORK/rmask.miff" "$WORK/rfull.miff"
    im "$WORK/rfull.miff" -filter box -resize "${s}x${s}!" "$dst"
}

# Steel block: the game cannot break it, so it is drawn in its final colours (never tinted): cool
# brushed silver in a heavy gunmetal bevel, a recessed plate and a row of rivets along the top and
# bottom, with a diagonal sheen across the face.
make_steel_block() { # width height destination
    local w=$1 h=$2 dst=$3 b=3
    local r=$((w - 1)) d=$((h - 1)) k x
    vgradient "$w" "$h" "$WORK/sface.miff" '#e6ebf2' '#b0b8c6' '#868fa2' '#a6aebb'
    # Brushed grain: each row a little lighter or darker by a fixed hash of its number.
    im "$WORK/sface.miff" -fx 'u*(0.93+0.07*abs(sin(j*12.9898+floor(i/9)*0.37)))' "$WORK/sgrain.miff"
    bevel_face "$WORK/sgrain.miff" "$w" "$h" $b '#f8faff' '#d6dce6' '#3e4656' '#58627a' "$WORK/sbevel.miff"
    local px=$((b + 2)) py=$((b + 2)) sx=$((w / 3)) top=$((b + 1)) low=$((d - b - 1))
    im "$WORK/sbevel.miff" +antialias \
        -fill '#ffffff50' -draw "polygon $sx,$top $((sx + 8)),$top $((sx + 6)),$low $((sx - 10)),$low" \
        -fill '#ffffff30' -draw "polygon $((sx + 11)),$top $((sx + 14)),$top $((sx + 4)),$low $((sx + 1)),$low" \
        -fill none -stroke '#6a7384' -draw "rectangle $px,$py $((r - px)),$((d - py))" \
        -stroke '#ffffff' -draw "line $((px + 1)),$((d - py + 1)) $((r - px + 1)),$((d - py + 1))" \
        -draw "line $((r - px + 1)),$((py + 1)) $((r - px + 1)),$((d - py + 1))" -stroke none \
        "$WORK/sbody.miff"
    # Rivets: one near each end and evenly between, on the plate's top and bottom rims.
    make_rivet 4 "$WORK/rivet.miff"
    local n=$((w >= 64 ? 4 : 3)) args=("$WORK/sbody.miff")
    for ((k = 0; k < n; k++)); do
        x=$((px + 1 + k * (r - 2 * px - 5) / (n - 1)))
        args+=("$WORK/rivet.miff" -geometry "+$x+$((py + 1))" -composite)
        args+=("$WORK/rivet.miff" -geometry "+$x+$((d - py - 4))" -composite)
    done
    im "${args[@]}" "$WORK/sbody2.miff"
    block_shape "$WORK/sbody2.miff" "$w" "$h" '#1e2230' "$dst"
}

# A star of alternating long and short points (points outer-radius inner-radius), as an
# antialiased coverage mask drawn at 4x; the star is centred in a square of side size.
star_mask() { # size points outer inner destination
    local s=$1 n=$2 S=$(($1 * 4))
    local poly
    poly=$(awk -v S="$S" -v n="$n" -v ro="$3" -v ri="$4" 'BEGIN {
        c = S / 2; pi = atan2(0, -1)
        for (k = 0; k < 2 * n; k++) {
            a = -pi / 2 + k * pi / n; rad = (k % 2 ? ri : ro) * 4
            printf "%.2f,%.2f ", c + rad * cos(a), c + rad * sin(a)
        }
    }')
    im -size "${S}x${S}" xc:black -fill white -draw "polygon $poly" -filter box -resize "${s}x${s}!" "$5"
}

# Bomb block: dark plum-black armour with yellow-and-black hazard stripes at both ends and a
# flaring orange star in the middle; drawn in its final colours (never tinted).
make_bomb_block() { # width height destination
    local w=$1 h=$2 dst=$3 b=3
    local r=$((w - 1)) d=$((h - 1)) zone=$(($1 * 3 / 16)) ih=$(($2 - 2 * b - 2))
    vgradient "$w" "$h" "$WORK/xface.miff" '#54444e' '#2e2430' '#1c141c'
    bevel_face "$WORK/xface.miff" "$w" "$h" $b '#8a7880' '#6a5a62' '#0a060a' '#140e14' "$WORK/xbevel.miff"
    # Hazard stripes, 45 degrees and 3 px wide, antialiased at 4x.
    im -size "$((zone * 4))x$((ih * 4))" xc:black -fx '(floor((i+j)/12)%2)' \
        -filter box -resize "${zone}x${ih}!" "$WORK/xstripem.miff"
    im -size "${zone}x${ih}" xc:'#1a1014' \( -size "${zone}x${ih}" xc:'#ffd23a' \) "$WORK/xstripem.miff" \
        -composite "$WORK/xstripe.miff"
    im "$WORK/xstripe.miff" -flop "$WORK/xstriper.miff"
    # The star: an orange flare with a yellow heart and a white-hot core, outlined in ink.
    local s=$((ih + 2)) ro=$(((ih + 2) / 2))
    star_mask "$s" 8 "$ro" $((ro * 9 / 20)) "$WORK/xso.miff"
    star_mask "$s" 8 $((ro * 13 / 20)) $((ro * 7 / 20)) "$WORK/xsi.miff"
    im "$WORK/xso.miff" -morphology Dilate Disk:1 "$WORK/xsd.miff"
    local layer=(-alpha off -compose CopyOpacity -composite)
    im -size "${s}x${s}" xc:none \
        \( -size "${s}x${s}" xc:"$INK" "$WORK/xsd.miff" "${layer[@]}" \) -compose Over -composite \
        \( -size "${s}x${s}" xc:'#ff6a1a' "$WORK/xso.miff" "${layer[@]}" \) -compose Over -composite \
        \( -size "${s}x${s}" xc:"$GOLD" "$WORK/xsi.miff" "${layer[@]}" \) -compose Over -composite \
        -fill '#ffffff' -draw "circle $((s / 2)),$((s / 2)) $((s / 2 + 1)),$((s / 2))" \
        "$WORK/xstar.miff"
    im "$WORK/xbevel.miff" \
        "$WORK/xstripe.miff" -geometry "+$((b + 1))+$((b + 1))" -composite \
        "$WORK/xstriper.miff" -geometry "+$((r - b - zone))+$((b + 1))" -composite \
        +antialias -fill "$INK" -draw "line $((b + 1 + zone)),$((b + 1)) $((b + 1 + zone)),$((d - b - 1))" \
        -draw "line $((r - b - 1 - zone)),$((b + 1)) $((r - b - 1 - zone)),$((d - b - 1))" \
        "$WORK/xstar.miff" -gravity center -geometry +0+0 -compose Over -composite -gravity northwest \
        -fill '#ffffff26' -draw "rectangle $((b + 1)),$((b + 1)) $((r - b - 1)),$((h / 2 - 1))" \
        "$WORK/xbody.miff"
    block_shape "$WORK/xbody.miff" "$w" "$h" "$INK" "$dst"
}

# Heart coverage mask (two lobes over a point) of the given width, drawn at 4x and averaged down.
heart_mask() { # width height destination
    local w=$1 h=$2 W=$(($1 * 4)) H=$(($2 * 4))
    local rl=$((W / 4 + 1))
    im -size "${W}x${H}" xc:black -fill white \
        -draw "circle $((W / 4)),$rl $((W / 4)),0" \
        -draw "circle $((W - W / 4)),$rl $((W - W / 4)),0" \
        -draw "polygon 1,$((rl + rl / 3)) $((W - 1)),$((rl + rl / 3)) $((W / 2)),$((H - 1))" \
        -draw "rectangle $((W / 4)),$rl $((W - W / 4)),$((rl + rl / 3))" \
        -filter box -resize "${w}x${h}!" "$3"
}

# Power-up capsule: a glossy pill in an ink outline, lit from above with a reflected glow under
# it and rounded off at the ends, carrying a symbol picture in the middle.
make_capsule() { # symbol destination top face low deep
    local w=40 h=16 sym=$1 dst=$2
    vgradient "$w" "$h" "$WORK/cgrad.miff" "$3" "$4" "$5" "$6" "$5"
    # Darken toward the ends so the pill reads round sideways as well.
    im "$WORK/cgrad.miff" -fx 'u*(1-0.45*pow(abs(2*(i+0.5)/w-1),5))' "$WORK/cbody.miff"
    # Gloss: a soft white streak along the upper part.
    im -size "$((w * 4))x$((h * 4))" xc:black -fill white -draw "roundrectangle 20,8 $((w * 4 - 21)),20 6,6" \
        -filter box -resize "${w}x${h}!" -evaluate Multiply 0.6 "$WORK/cglossm.miff"
    im -size "${w}x${h}" xc:white "$WORK/cglossm.miff" -alpha off -compose CopyOpacity -composite "$WORK/cgloss.miff"
    round_mask "$w" "$h" $((h / 2)) 0 "$WORK/couter.miff"
    round_mask "$w" "$h" $((h / 2)) 1 "$WORK/cinner.miff"
    im -size "${w}x${h}" xc:"$INK" "$WORK/cbody.miff" "$WORK/cinner.miff" -composite \
        "$WORK/cgloss.miff" -compose Over -composite \
        "$sym" -gravity center -geometry +0+0 -compose Over -composite "$WORK/ccol.miff"
    with_alpha "$WORK/ccol.miff" "$WORK/couter.miff" "$dst"
}

# A capsule's letter: bold white with a 1 px ink outline, like the HUD's text.
capsule_letter() { # letter destination
    text_mask_trim "$1" 13 1 "$WORK/cletm.miff"
    im "$WORK/cletm.miff" -morphology Dilate Disk:1 "$WORK/cletd.miff"
    local lw lh
    read -r lw lh < <(size_of "$WORK/cletm.miff")
    im -size "${lw}x${lh}" xc:"$INK" "$WORK/cletd.miff" -alpha off -compose CopyOpacity -composite \
        \( -size "${lw}x${lh}" xc:white "$WORK/cletm.miff" -alpha off -compose CopyOpacity -composite \) \
        -compose Over -composite "$2"
}

# The extra-life capsule's symbol: a hot pink heart with a white glint, outlined in ink.
capsule_heart() { # destination
    heart_mask 11 10 "$WORK/chm.miff"
    im "$WORK/chm.miff" -bordercolor black -border 1 "$WORK/chmb.miff"
    im "$WORK/chmb.miff" -morphology Dilate Disk:1 "$WORK/chd.miff"
    vgradient 13 12 "$WORK/chg.miff" '#ff9ac8' '#ff3d8a' '#d0105a'
    im -size 13x12 xc:"$INK" "$WORK/chd.miff" -alpha off -compose CopyOpacity -composite \
        \( "$WORK/chg.miff" "$WORK/chmb.miff" -alpha off -compose CopyOpacity -composite \) -compose Over -composite \
        -fill '#ffffffd0' -draw "point 3,3" -draw "point 4,3" -draw "point 3,4" "$1"
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
    make_glow "$1" "$1" "$2" "$3"
}

# The ring a ball leaves as its colour changes: a soft white band round a faint haze, at the size
# it is drawn at the end of its growth (the effect draws it smaller before, never larger).
make_ring() { # diameter destination
    local s=$1
    im -size "${s}x${s}" xc:white \( -size "${s}x${s}" xc:black -fx \
        "xx=(i+0.5)/w*2-1; yy=(j+0.5)/h*2-1; dd=sqrt(xx*xx+yy*yy);
         min(1, exp(-((dd-0.8)/0.1)^2) + (dd<0.8 ? 0.2*pow(dd/0.8,3) : 0))" \) \
        -alpha off -compose CopyOpacity -composite "$2"
}

# A glow rising from the middle of its bottom edge: the upper half of an elliptical glow twice
# as tall, for light coming up from below the field.
make_rising_glow() { # width height falloff-exponent destination
    make_glow "$1" $(($2 * 2)) "$3" "$WORK/rglow.miff"
    im "$WORK/rglow.miff" -crop "${1}x${2}+0+0" +repage "$4"
}

# A white elliptical glow, opaque at the centre and fading to nothing at the edge; tinted by
# the entity that draws it.
make_glow() { # width height falloff-exponent destination
    local w=$1 h=$2 e=$3 dst=$4
    im -size "${w}x${h}" xc:white \( -size "${w}x${h}" xc:black -fx \
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

# Background atlas. The backdrop strip (stretched to the window by a sprite entity's width and
# height) is a spare: the shipped scene draws the same night colours, row for row, as a "gradient"
# entity in config.xml, which a software renderer fills at half the cost. Keep the two in step.
vgradient 16 600 "$WORK/backdrop.miff" "$NIGHT_TOP" "$NIGHT_MID" "$NIGHT_MID" "$NIGHT_LOW"
make_particle 32 1.6 "$WORK/particle.miff"
make_particle 16 1.0 "$WORK/particle_small.miff"
# A lost ball: red light rising from the bottom of the field, drawn at the field's width behind
# the pieces (on this atlas, the first drawn).
make_rising_glow 736 100 1.4 "$WORK/glow_lost.miff"
atlas_begin background.png 1024 1024 24 0
spare place_at backdrop "$WORK/backdrop.miff" 0 0
place_at particle "$WORK/particle.miff" 24 0
spare place_at particle_small "$WORK/particle_small.miff" 24 36
place_at glow_lost "$WORK/glow_lost.miff" 64 0
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
place paddle_small "$WORK/paddle_small.miff"
place paddle_large "$WORK/paddle_large.miff"
# Later additions go after everything above, so the sprites above keep their places.
place debris "$WORK/debris.miff"
for kind in "wide W #d4ffc0 #5ee650 #22a02e #0c5a1a" "narrow N #ffc8bc #ff4636 #c0161a #640812" \
    "multi M $CYAN_HI $CYAN $CYAN_LO #123c8a" "slow S #fff2b8 #ffb02e #d8680e #7a3606" \
    "sticky C #ecd0ff #b05cff #7a2ad8 #3c1088"; do
    read -r name letter top face low deep <<<"$kind"
    capsule_letter "$letter" "$WORK/csym.miff"
    make_capsule "$WORK/csym.miff" "$WORK/capsule_$name.miff" "$top" "$face" "$low" "$deep"
    place "capsule_$name" "$WORK/capsule_$name.miff"
done
# The extra life stands apart from the letters: a pearl-white pill with a pink heart.
capsule_heart "$WORK/csym.miff"
make_capsule "$WORK/csym.miff" "$WORK/capsule_life.miff" '#ffffff' '#fff0f6' '#ffc2dc' '#d86a9e'
place capsule_life "$WORK/capsule_life.miff"
make_steel_block 64 24 "$WORK/block_steel.miff"
make_steel_block 48 20 "$WORK/block_steel_small.miff"
make_bomb_block 64 24 "$WORK/block_bomb.miff"
make_bomb_block 48 20 "$WORK/block_bomb_small.miff"
place block_steel "$WORK/block_steel.miff"
place block_steel_small "$WORK/block_steel_small.miff"
place block_bomb "$WORK/block_bomb.miff"
place block_bomb_small "$WORK/block_bomb_small.miff"
# A solid white square that the game stretches and tints into a bar (solid to its edges, so
# stretching it keeps its ends square).
im -size 8x8 xc:white "$WORK/power_bar.miff"
place power_bar "$WORK/power_bar.miff"
# The laser: a gunmetal-silver pill (no other capsule is grey) with its letter, the paddle with its
# guns at the plain paddle's size (stretched to a wide or narrow one), and the shot.
capsule_letter L "$WORK/csym.miff"
make_capsule "$WORK/csym.miff" "$WORK/capsule_laser.miff" '#f4f6ff' '#b8bed4' '#6c7490' '#2c3048'
place capsule_laser "$WORK/capsule_laser.miff"
make_paddle_guns 112 16 "$WORK/paddle_laser.miff"
place paddle_laser "$WORK/paddle_laser.miff"
make_shot 8 22 "$WORK/laser_shot.miff"
place laser_shot "$WORK/laser_shot.miff"
# The ring a ball leaves as its colour changes, at five times the ball's size (its largest), and
# the flash where the ball meets the paddle or a wall.
make_ring 80 "$WORK/ball_ring.miff"
place ball_ring "$WORK/ball_ring.miff"
make_glow 40 40 1.5 "$WORK/hit_flash.miff"
place hit_flash "$WORK/hit_flash.miff"
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
# The end of the last level: the "LEVEL CLEARED" banner's gold, size and height.
logo_text 'ALL CLEARED' 44 3 3 0x0 "$WORK/all_cleared.miff" '#9a4a10' "$GOLD" '#ffd23a' "$AMBER"
# The lap counter's label, like the other counters' labels.
text_mask_trim LAP 18 3 "$WORK/lbl.miff"
hud_text_from_mask "$WORK/lbl.miff" 2 "$WORK/label_lap.miff"
# A flat translucent night shade, stretched by its entity to dim the field behind a message.
im -size 8x8 xc:'#05041ab8' "$WORK/shade.miff"
# The high scores: the table's heading in the banners' gold, a cyan heading over the initials entry
# like "GET READY", and the continue button beside the new-game one.
logo_text 'HIGH SCORES' 44 3 3 0x0 "$WORK/high_scores.miff" '#9a4a10' "$GOLD" '#ffd23a' "$AMBER"
logo_text 'NEW HIGH SCORE' 40 3 3 0x0 "$WORK/new_high_score.miff" '#123c7a' "$CYAN_HI" "$CYAN" "$CYAN_LO"
make_button 'CONTINUE' 224 56 "$WORK/button_continue.miff"
# A darker shade for a panel that text stands on over the field (the table, the initials entry).
im -size 8x8 xc:'#05041ae6' "$WORK/panel.miff"
# Letters and signs for text, in the digits' font, size and style and on their 30 px line so that
# words and numbers share one baseline; each letter is as wide as its ink and the outline need. The
# underscore is a bar along the bottom of the line: the cursor under a letter being entered.
make_glyph() { # character destination
    local gw
    text_mask_trim "$1" 28 0 "$WORK/gink.miff"
    read -r gw _ < <(size_of "$WORK/gink.miff")
    text_mask_cell "$1" 28 $((gw + 6)) "$DIGIT_H" 0 "$WORK/gmask.miff"
    hud_text_from_mask "$WORK/gmask.miff" 2 "$2"
}
GLYPHS=(A B C D E F G H I J K L M N O P Q R S T U V W X Y Z . - '*')
for i in "${!GLYPHS[@]}"; do
    make_glyph "${GLYPHS[i]}" "$WORK/glyph$i.miff"
done
im -size "${DIGIT_W}x${DIGIT_H}" xc:black -fill white -draw "rectangle 3,25 $((DIGIT_W - 4)),27" "$WORK/gmask.miff"
hud_text_from_mask "$WORK/gmask.miff" 2 "$WORK/glyph_underscore.miff"
# Signs added later, made as the letters are: the colon of a time and an exclamation mark.
SIGNS=(':' '!')
for i in "${!SIGNS[@]}"; do
    make_glyph "${SIGNS[i]}" "$WORK/sign$i.miff"
done
# The first time a game passes the best score: the best counter's amber, in the banners' style.
logo_text 'NEW BEST!' 44 3 3 0x0 "$WORK/new_best.miff" '#9a4a10' '#ffe0a0' "$AMBER" '#ff7a1a'
# A counter lighting up (an extra ball, a new best): a soft glow drawn at about its own size.
make_glow 160 56 1.3 "$WORK/flash.miff"
# All sound off: a loudspeaker in the labels' outlined white with a cross in the game-over red,
# small enough to sit in the counters' band. Drawn at 4x and scaled down for smooth edges.
make_mute_sign() { # destination
    local w=34 h=26
    im -size $((w * 4))x$((h * 4)) xc:black -fill white \
        -draw "rectangle 12,36 36,68" -draw "polygon 34,36 64,12 64,92 34,68" \
        -resize "${w}x${h}" "$WORK/mspk.miff"
    hud_text_from_mask "$WORK/mspk.miff" 2 "$WORK/mspk_lit.miff"
    im -size $((w * 4))x$((h * 4)) xc:black -stroke white -strokewidth 12 \
        -draw "line 82,30 122,70" -draw "line 82,70 122,30" -resize "${w}x${h}" "$WORK/mx.miff"
    im "$WORK/mx.miff" -morphology Dilate "Disk:2" "$WORK/mxdil.miff"
    im -size "${w}x${h}" xc:"$INK" "$WORK/mxdil.miff" -alpha off -compose CopyOpacity -composite "$WORK/mxline.miff"
    im -size "${w}x${h}" xc:"$FIRE" "$WORK/mx.miff" -alpha off -compose CopyOpacity -composite "$WORK/mxfill.miff"
    im "$WORK/mspk_lit.miff" "$WORK/mxline.miff" -compose Over -composite "$WORK/mxfill.miff" -compose Over \
        -composite "$1"
}
make_mute_sign "$WORK/mute.miff"

atlas_begin hud.png 1024 1024 0 0
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
place all_cleared "$WORK/all_cleared.miff"
place label_lap "$WORK/label_lap.miff"
place high_scores "$WORK/high_scores.miff"
place button_continue "$WORK/button_continue.miff"
place new_high_score "$WORK/new_high_score.miff"
for i in "${!GLYPHS[@]}"; do
    place "${GLYPHS[i]}" "$WORK/glyph$i.miff"
done
place _ "$WORK/glyph_underscore.miff"
place panel "$WORK/panel.miff"
for i in "${!SIGNS[@]}"; do
    place "${SIGNS[i]}" "$WORK/sign$i.miff"
done
place new_best "$WORK/new_best.miff"
place flash "$WORK/flash.miff"
place mute "$WORK/mute.miff"
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
