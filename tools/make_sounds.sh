#!/usr/bin/env bash
# Generates the shipped sounds in data/sounds/: the block hit effects, the effects of the game's
# events (paddle, wall, launch, lost ball, level cleared, game over, new game, the power-up
# capsules, the laser's shots, steel and bomb blocks, the last level cleared, an extra ball earned
# by points, a new best score; quietly an extra ball lost, a capsule missed, a power-up run out)
# and the three looping music tracks.
# Needs sox and oggenc (vorbis-tools); the output is reproducible byte for byte.
set -euo pipefail
cd "$(dirname "$0")/.."
out=data/sounds
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# -R seeds sox's random generators (the pluck excitation) so every run gives the same samples;
# -D leaves out dither, the other source of noise.
SOX=(sox -R -D --no-show-progress)
RATE=44100

# One hit effect: a plucked string with a short sine "ping" an octave above for the attack,
# 0.22 s long, mono 16-bit at 44.1 kHz. Different pitches tell the block's health by ear.
hit() { # name note
    local name=$1 note=$2
    "${SOX[@]}" -n -r $RATE -b 16 -c 1 "$work/pluck.wav" synth 0.22 pluck "$note" fade q 0 0.22 0.12
    "${SOX[@]}" -n -r $RATE -b 16 -c 1 "$work/ping.wav" synth 0.22 sine "$note" pitch 1200 fade q 0.002 0.22 0.2
    "${SOX[@]}" -m -v 0.75 "$work/pluck.wav" -v 0.3 "$work/ping.wav" "$out/$name" norm -3
}
# The three hits rise through an A major triad as a block weakens: red, then orange, then yellow.
hit red.wav A4
hit orange.wav C#5
hit yellow.wav E5
# A block of health 4 sits a step below red on the same triad, on the E under A4.
hit purple.wav E4

# ---------------------------------------------------------------------------------------------
# Event effects, mono 16-bit at 44.1 kHz like the hits and pitched in A (major for good news,
# minor for bad) so they sit with the music. Peaks are set by each effect's last norm: the hits
# peak at -3 dB; effects heard on every bounce sit lower, the wall tick lowest.

# One voice of an effect: a sox generator for length seconds with quarter-sine fades in and out,
# starting start seconds into its file (sox -m pads the shorter voices of a mix with silence).
# The rate goes before -n so the generator runs at 44.1 kHz itself: no resampling, which would
# push a full-scale wave over the top. (sox 14.4 cannot sweep a triangle, so sweeps are sines.)
# FADE=l before the call gives a logarithmic fade, which dies away fast like a struck thing.
voice() { # destination start length attack release generator...
    local dst=$1 start=$2 length=$3 attack=$4 release=$5
    shift 5
    "${SOX[@]}" -r $RATE -n -b 16 -c 1 "$dst" synth "$length" "$@" \
        fade "${FADE:-q}" "$attack" "$length" "$release" pad "$start"
}

# Paddle: a soft, low wooden "bop": a sine that droops a tone into A3 with a little of its octave
# for body, filtered so nothing in it is bright.
voice "$work/bop.wav" 0 0.1 0.003 0.095 sine B3/A3
voice "$work/bop8.wav" 0 0.06 0.002 0.058 triangle A4
"${SOX[@]}" -m -v 0.8 "$work/bop.wav" -v 0.2 "$work/bop8.wav" "$out/paddle.wav" lowpass 1200 norm -5

# Wall: a short light tick on E6, a sine with the click of a plucked string, over a knock an
# octave and a fifth down that gives it body: a little quieter than the paddle, but heard over the
# music and the blocks.
FADE=l voice "$work/tick.wav" 0 0.06 0.001 0.058 sine E6
FADE=l voice "$work/tickp.wav" 0 0.05 0 0.045 pluck E6
voice "$work/tickb.wav" 0 0.1 0.002 0.08 sine A4
"${SOX[@]}" -m -v 0.35 "$work/tick.wav" -v 0.25 "$work/tickp.wav" -v 0.5 "$work/tickb.wav" "$out/wall.wav" norm -6

# Launch: a quick chirp rising an octave from A4 to A5 with its fifth above, over a breath of
# band-passed noise that swells in as the whoosh.
voice "$work/chirp.wav" 0 0.2 0.01 0.09 sine A4/A5
voice "$work/chirp5.wav" 0 0.2 0.01 0.09 sine E5/E6
voice "$work/breath.wav" 0 0.2 0.12 0.08 pinknoise
"${SOX[@]}" "$work/breath.wav" "$work/whoosh.wav" sinc 1500-6000
"${SOX[@]}" -m -v 0.55 "$work/chirp.wav" -v 0.15 "$work/chirp5.wav" -v 0.3 "$work/whoosh.wav" \
    "$out/launch.wav" norm -6

# Lost ball: a slow glide down a fifth from E4 to A3 with the octaves below and above it, mellowed,
# with a gentle tremolo: sad, not harsh.
voice "$work/fall.wav" 0 0.5 0.01 0.3 sine E4/A3
voice "$work/fall8.wav" 0 0.5 0.01 0.3 sine E3/A2
voice "$work/fall16.wav" 0 0.5 0.01 0.3 sine E5/A4
"${SOX[@]}" -m -v 0.6 "$work/fall.wav" -v 0.3 "$work/fall8.wav" -v 0.1 "$work/fall16.wav" "$out/lost.wav" \
    lowpass 1800 tremolo 6 30 norm -5

# The quiet ones: things a player should notice without being told off. Each sits about 10 dB
# below the lost ball.
# An extra ball lost (others still in play): a soft falling blip, a fourth down from A4; 0.15 s.
FADE=l voice "$work/xb.wav" 0 0.15 0.004 0.14 sine A4/E4
FADE=l voice "$work/xb8.wav" 0 0.15 0.004 0.14 triangle A3/E3
"${SOX[@]}" -m -v 0.7 "$work/xb.wav" -v 0.3 "$work/xb8.wav" "$out/extra_ball_lost.wav" lowpass 1500 norm -8
# A capsule falling out of reach: a dull low "plop" sinking from D4 to A3, like a stone into
# water far below; 0.18 s.
FADE=l voice "$work/cm.wav" 0 0.18 0.006 0.17 sine D4/A3
FADE=l voice "$work/cmpuff.wav" 0 0.04 0.002 0.035 brownnoise
"${SOX[@]}" -m -v 0.8 "$work/cm.wav" -v 0.2 "$work/cmpuff.wav" "$out/capsule_missed.wav" lowpass 800 norm -10
# A power-up running out: two soft bell notes stepping down E5 to A4, the effect winding down;
# 0.36 s.
FADE=l voice "$work/pe1.wav" 0 0.18 0.002 0.17 sine E5
FADE=l voice "$work/pe2.wav" 0.14 0.22 0.002 0.21 sine A4
FADE=l voice "$work/pe3.wav" 0.14 0.22 0.002 0.21 sine A5
"${SOX[@]}" -m -v 0.45 "$work/pe1.wav" -v 0.4 "$work/pe2.wav" -v 0.1 "$work/pe3.wav" "$out/power_up_ended.wav" \
    lowpass 3000 norm -12

# A note of a phrase: a pluck with a soft sine under it (the sine an octave up for bright phrases).
phrase_note() { # destination start length release note sine-note
    voice "$work/pn_pluck.wav" "$2" "$3" 0 "$4" pluck "$5"
    voice "$work/pn_sine.wav" "$2" "$3" 0.004 "$4" sine "$6"
    "${SOX[@]}" -m -v 0.65 "$work/pn_pluck.wav" -v 0.35 "$work/pn_sine.wav" "$1"
}

# Level cleared: a bright A major arpeggio rising A4 C#5 E5 A5 in quick plucks, then the A major
# chord an octave up strummed and ringing out over a soft triangle pad, with a little room around
# it; 1 s.
cleared=()
start=0
for notes in "A4 A5" "C#5 C#6" "E5 E6" "A5 A6"; do
    read -r note ping <<<"$notes"
    phrase_note "$work/cl_${#cleared[@]}.wav" $start 0.3 0.25 "$note" "$ping"
    cleared+=(-v 0.3 "$work/cl_${#cleared[@]}.wav")
    start=$(awk "BEGIN { print $start + 0.08 }")
done
start=0.32
for note in A5 C#6 E6; do
    phrase_note "$work/cl_${#cleared[@]}.wav" $start 0.6 0.5 "$note" "$note"
    cleared+=(-v 0.15 "$work/cl_${#cleared[@]}.wav")
    voice "$work/cl_${#cleared[@]}.wav" $start 0.66 0.01 0.6 triangle "$note"
    cleared+=(-v 0.1 "$work/cl_${#cleared[@]}.wav")
    start=$(awk "BEGIN { print $start + 0.012 }")
done
"${SOX[@]}" -m "${cleared[@]}" "$out/cleared.wav" reverb 30 50 50 100 0 -4 fade q 0 1.0 0.15 norm -3

# Game over: a slow minor phrase falling E4 C4 B3 A3, the last note held over a low A2, mellowed
# and with the same room as the fanfare; 1.5 s.
over=()
for step in "0 0.45 E4" "0.35 0.45 C4" "0.7 0.4 B3" "1.0 0.5 A3"; do
    read -r start length note <<<"$step"
    phrase_note "$work/go_${#over[@]}.wav" "$start" "$length" $(awk "BEGIN { print $length - 0.02 }") "$note" "$note"
    over+=(-v 0.3 "$work/go_${#over[@]}.wav")
done
voice "$work/go_low.wav" 1.0 0.5 0.03 0.45 sine A2
over+=(-v 0.1 "$work/go_low.wav")
"${SOX[@]}" -m "${over[@]}" "$out/gameover.wav" sinc -2400 reverb 30 50 50 100 0 -4 \
    fade q 0 1.5 0.2 norm -4

# New game: an upbeat pick-up E5 E5 leaping a fourth to A5, in a soft square (a little chip-tune
# brass) doubled by a sine; 0.5 s.
jingle=()
for step in "0 0.08 E5" "0.11 0.08 E5" "0.22 0.28 A5"; do
    read -r start length note <<<"$step"
    voice "$work/ng_sq_${#jingle[@]}.wav" "$start" "$length" 0.004 $(awk "BEGIN { print $length - 0.01 }") square "$note"
    voice "$work/ng_si_${#jingle[@]}.wav" "$start" "$length" 0.004 $(awk "BEGIN { print $length - 0.01 }") sine "$note"
    jingle+=(-v 0.2 "$work/ng_sq_${#jingle[@]}.wav" -v 0.13 "$work/ng_si_${#jingle[@]}.wav")
done
"${SOX[@]}" -m "${jingle[@]}" "$out/newgame.wav" sinc -3000 norm -6

# ---------------------------------------------------------------------------------------------
# Power-up capsules, steel and bombs. Each capsule has its own shape of sound so a player knows by
# ear what was caught: good news rises in A major, bad news falls and sours. Peaks sit with the
# event effects (-5 dB), the extra life a little higher as the best catch.

# Wide paddle: a tone rising an octave from A4 that opens out, its third and fifth fanning up
# from the same start, so one note becomes a broad major chord; 0.35 s.
voice "$work/wd1.wav" 0 0.35 0.01 0.15 sine A4/A5
voice "$work/wd3.wav" 0.04 0.31 0.05 0.15 sine A4/C#6
voice "$work/wd5.wav" 0.08 0.27 0.05 0.15 sine A4/E6
voice "$work/wdsq.wav" 0 0.35 0.01 0.15 square A3/A4
"${SOX[@]}" -m -v 0.42 "$work/wd1.wav" -v 0.25 "$work/wd3.wav" -v 0.25 "$work/wd5.wav" \
    -v 0.08 "$work/wdsq.wav" "$out/capsule_wide.wav" lowpass 4000 norm -5

# Narrow paddle: two tones falling a tritone from A5 together, a few hertz apart so they beat,
# in a soft square: a sour, shrinking sound; 0.3 s.
voice "$work/nr1.wav" 0 0.3 0.005 0.12 square A5/D#5
voice "$work/nr2.wav" 0 0.3 0.005 0.12 sine 893/634
voice "$work/nr3.wav" 0 0.3 0.005 0.12 sine A4/D#4
"${SOX[@]}" -m -v 0.2 "$work/nr1.wav" -v 0.45 "$work/nr2.wav" -v 0.35 "$work/nr3.wav" \
    "$out/capsule_narrow.wav" lowpass 2500 norm -5

# Multiple balls: three quick blips climbing A5 C#6 E6, a square doubled by a sine, set lower
# than the rest because short square blips sound loud for their peak; 0.21 s.
multi=()
for step in "0 A5" "0.075 C#6" "0.15 E6"; do
    read -r start note <<<"$step"
    voice "$work/mb_sq_${#multi[@]}.wav" "$start" 0.06 0.002 0.03 square "$note"
    voice "$work/mb_si_${#multi[@]}.wav" "$start" 0.06 0.002 0.03 sine "$note"
    multi+=(-v 0.2 "$work/mb_sq_${#multi[@]}.wav" -v 0.3 "$work/mb_si_${#multi[@]}.wav")
done
"${SOX[@]}" -m "${multi[@]}" "$out/capsule_multi.wav" sinc -5000 norm -7

# Slow ball: a tone sliding down from E5 to A3 whose wobble slows from 14 to 3 per second, like a
# record running down; 0.6 s.
"${SOX[@]}" -r $RATE -n -b 16 -c 1 "$work/sl.wav" synth 0.6 sine E5/A3
"${SOX[@]}" "$work/sl.wav" "$work/slw.wav" synth 0.6 sine amod 14:3
"${SOX[@]}" -m -v 0.4 "$work/sl.wav" -v 0.6 "$work/slw.wav" "$work/slm.wav" fade q 0.01 0.6 0.2
voice "$work/sl8.wav" 0 0.6 0.01 0.2 triangle E4/A2
"${SOX[@]}" -m -v 0.75 "$work/slm.wav" -v 0.25 "$work/sl8.wav" "$out/capsule_slow.wav" lowpass 2000 norm -5

# Sticky paddle: a soft "thwup": a low sine scooping up from 110 to 330 Hz over a puff of dark
# noise, all mellowed; 0.16 s.
voice "$work/st.wav" 0 0.16 0.004 0.1 sine 110/330
voice "$work/stpuff.wav" 0 0.06 0.002 0.055 brownnoise
"${SOX[@]}" -m -v 0.75 "$work/st.wav" -v 0.25 "$work/stpuff.wav" "$out/capsule_sticky.wav" lowpass 900 norm -5

# Extra life: the most rewarding catch: a fast bright arpeggio A5 C#6 E6 A6 C#7 in plucks with
# sines an octave up, landing on a ringing A major chord, with a little room; 0.7 s.
life=()
start=0
for notes in "A5 A6" "C#6 C#7" "E6 E7" "A6 A7" "C#7 C#8"; do
    read -r note ping <<<"$notes"
    phrase_note "$work/lf_${#life[@]}.wav" "$start" 0.22 0.18 "$note" "$ping"
    life+=(-v 0.3 "$work/lf_${#life[@]}.wav")
    start=$(awk "BEGIN { print $start + 0.06 }")
done
for note in A5 C#6 E6 A6; do
    voice "$work/lf_${#life[@]}.wav" 0.3 0.4 0.01 0.35 triangle "$note"
    life+=(-v 0.12 "$work/lf_${#life[@]}.wav")
done
"${SOX[@]}" -m "${life[@]}" "$out/capsule_life.wav" reverb 20 50 40 100 0 -2 fade q 0 0.7 0.12 norm -4

# Laser capsule: the guns charging: a bright square and a sine climbing together from A4 to A6
# under a ring of the steel's inharmonic partials, ending on a short high A with a little room;
# 0.4 s.
voice "$work/lzsq.wav" 0 0.3 0.005 0.05 square A4/A6
voice "$work/lzsi.wav" 0 0.3 0.005 0.05 sine A4/A6
FADE=l voice "$work/lzring.wav" 0.28 0.12 0.001 0.11 sine 1760
FADE=l voice "$work/lzring2.wav" 0.28 0.12 0.001 0.11 sine 4858
"${SOX[@]}" -m -v 0.15 "$work/lzsq.wav" -v 0.35 "$work/lzsi.wav" -v 0.4 "$work/lzring.wav" -v 0.12 "$work/lzring2.wav" \
    "$out/capsule_laser.wav" lowpass 6000 reverb 15 50 30 100 0 -2 fade q 0 0.4 0.08 norm -5

# Laser shot: a short "pew": a sine and a soft square diving from 2400 to 300 Hz in a tenth of a
# second with a click of noise at the start; quieter than the other effects, as a player fires
# often; 0.12 s.
FADE=l voice "$work/pew.wav" 0 0.12 0.001 0.11 sine 2400/300
FADE=l voice "$work/pewsq.wav" 0 0.12 0.001 0.11 square 1200/150
FADE=l voice "$work/pewclick.wav" 0 0.015 0 0.014 whitenoise
"${SOX[@]}" -m -v 0.6 "$work/pew.wav" -v 0.15 "$work/pewsq.wav" -v 0.1 "$work/pewclick.wav" "$out/laser.wav" \
    highpass 120 lowpass 5000 norm -7

# Steel: a hard metallic clink, a struck bar's inharmonic partials (1, 2.76 and 5.40 times its
# pitch) dying away fast over the click of a pluck, a little quieter than the block hits because
# a ball may ring it many times in a row; 0.25 s.
FADE=l voice "$work/mt1.wav" 0 0.25 0.001 0.24 sine 1320
FADE=l voice "$work/mt2.wav" 0 0.18 0.001 0.17 sine 3643
FADE=l voice "$work/mt3.wav" 0 0.1 0.001 0.09 sine 7128
FADE=l voice "$work/mt4.wav" 0 0.25 0.001 0.24 sine 1334
FADE=l voice "$work/mtp.wav" 0 0.04 0 0.035 pluck E7
"${SOX[@]}" -m -v 0.35 "$work/mt1.wav" -v 0.22 "$work/mt2.wav" -v 0.08 "$work/mt3.wav" \
    -v 0.15 "$work/mt4.wav" -v 0.2 "$work/mtp.wav" "$out/steel.wav" norm -3

# Explosion: a low thump falling from 110 to 35 Hz under a burst of noise that darkens as it
# dies, with a crackle of bright noise at the start; 0.5 s.
FADE=l voice "$work/exthump.wav" 0 0.35 0.002 0.33 sine 110/35
FADE=l voice "$work/exbody.wav" 0 0.5 0.002 0.48 brownnoise
FADE=l voice "$work/exhiss.wav" 0 0.5 0.001 0.45 pinknoise
FADE=l voice "$work/excrack.wav" 0 0.08 0 0.07 whitenoise
"${SOX[@]}" "$work/exhiss.wav" "$work/exhissf.wav" lowpass 2500
"${SOX[@]}" "$work/excrack.wav" "$work/excrackf.wav" gain -6 highpass 3000
"${SOX[@]}" -m -v 0.45 "$work/exthump.wav" -v 0.25 "$work/exbody.wav" -v 0.2 "$work/exhissf.wav" \
    -v 0.1 "$work/excrackf.wav" "$out/explode.wav" lowpass 6000 norm -3

# All cleared: the fanfare for the last level: a brassy triplet pick-up on E5 into A5, a quick
# E5 A5, then C#6 held high over the A major chord with a low A under it and the arpeggio of
# "LEVEL CLEARED" sparkling on top, with room around it; 2.2 s.
fanfare=()
for step in "0 0.11 E5" "0.13 0.11 E5" "0.26 0.11 E5" "0.39 0.32 A5" "0.74 0.13 E5" "0.9 0.13 A5" \
    "1.06 1.0 C#6"; do
    read -r start length note <<<"$step"
    release=$(awk "BEGIN { print $length * 0.6 }")
    voice "$work/ff_sq_${#fanfare[@]}.wav" "$start" "$length" 0.006 "$release" square "$note"
    voice "$work/ff_sw_${#fanfare[@]}.wav" "$start" "$length" 0.006 "$release" sawtooth "$note"
    voice "$work/ff_si_${#fanfare[@]}.wav" "$start" "$length" 0.006 "$release" sine "$note"
    fanfare+=(-v 0.1 "$work/ff_sq_${#fanfare[@]}.wav" -v 0.08 "$work/ff_sw_${#fanfare[@]}.wav"
        -v 0.18 "$work/ff_si_${#fanfare[@]}.wav")
done
for note in A4 C#5 E5 A3; do
    voice "$work/ff_ch_${#fanfare[@]}.wav" 1.06 1.14 0.03 0.8 triangle "$note"
    fanfare+=(-v 0.1 "$work/ff_ch_${#fanfare[@]}.wav")
done
voice "$work/ff_bass.wav" 1.06 1.14 0.01 0.9 sine A2
fanfare+=(-v 0.15 "$work/ff_bass.wav")
start=1.1
for note in A6 C#7 E7 A7; do
    phrase_note "$work/ff_sp_${#fanfare[@]}.wav" "$start" 0.3 0.26 "$note" "$note"
    fanfare+=(-v 0.08 "$work/ff_sp_${#fanfare[@]}.wav")
    start=$(awk "BEGIN { print $start + 0.07 }")
done
"${SOX[@]}" -m "${fanfare[@]}" "$out/allcleared.wav" sinc -4000 reverb 30 50 60 100 0 -4 \
    fade q 0 2.2 0.3 norm -3

# Extra ball earned by points: a quick bright "one up", A6 E7 A7 in square and sine played twice
# over a bell ring on A7, unlike the extra-ball capsule's arpeggio so a player can tell the two;
# 0.6 s.
oneup=()
for step in "0 A6" "0.06 E7" "0.12 A7" "0.22 A6" "0.28 E7" "0.34 A7"; do
    read -r start note <<<"$step"
    FADE=l voice "$work/up_sq_${#oneup[@]}.wav" "$start" 0.09 0.002 0.08 square "$note"
    FADE=l voice "$work/up_si_${#oneup[@]}.wav" "$start" 0.09 0.002 0.08 sine "$note"
    oneup+=(-v 0.1 "$work/up_sq_${#oneup[@]}.wav" -v 0.3 "$work/up_si_${#oneup[@]}.wav")
done
FADE=l voice "$work/up_bell.wav" 0.34 0.26 0.001 0.25 sine A7
FADE=l voice "$work/up_bell2.wav" 0.34 0.2 0.001 0.19 sine 9713
oneup+=(-v 0.25 "$work/up_bell.wav" -v 0.06 "$work/up_bell2.wav")
"${SOX[@]}" -m "${oneup[@]}" "$out/extra_ball.wav" lowpass 7000 reverb 15 50 30 100 0 -2 fade q 0 0.6 0.1 norm -5

# New best: a short brass call rising C#5 E5 to a held A5 over the A major chord, the fanfare's
# colour in a third of its length, so the moment is heard without stopping play; 0.84 s.
best=()
for step in "0 0.1 C#5" "0.12 0.1 E5" "0.24 0.5 A5"; do
    read -r start length note <<<"$step"
    release=$(awk "BEGIN { print $length * 0.6 }")
    voice "$work/nb_sq_${#best[@]}.wav" "$start" "$length" 0.006 "$release" square "$note"
    voice "$work/nb_sw_${#best[@]}.wav" "$start" "$length" 0.006 "$release" sawtooth "$note"
    voice "$work/nb_si_${#best[@]}.wav" "$start" "$length" 0.006 "$release" sine "$note"
    best+=(-v 0.1 "$work/nb_sq_${#best[@]}.wav" -v 0.08 "$work/nb_sw_${#best[@]}.wav" -v 0.18 "$work/nb_si_${#best[@]}.wav")
done
for note in A4 C#5 E5; do
    voice "$work/nb_ch_${#best[@]}.wav" 0.24 0.6 0.03 0.45 triangle "$note"
    best+=(-v 0.1 "$work/nb_ch_${#best[@]}.wav")
done
"${SOX[@]}" -m "${best[@]}" "$out/new_best.wav" sinc -4000 reverb 25 50 50 100 0 -3 fade q 0 0.84 0.25 norm -4

# ---------------------------------------------------------------------------------------------
# The music: three 16-bar loops, one for each group of levels, each in its own key and tempo and
# livelier than the one before (tools/sound_levels.py does not measure them). Each bar is an
# eighth-note arpeggio of plucks over a soft sustained chord and a bass line on beats one and
# three; the last track adds a light off-beat hi-hat. The chords are written in A minor and moved
# to the track's key by a number of semitones.
declare -A ARPEGGIO=(
    [Am]="A3 C4 E4 A4 C5 A4 E4 C4"
    [F]="F3 A3 C4 F4 A4 F4 C4 A3"
    [C]="C4 E4 G4 C5 E5 C5 G4 E4"
    [G]="G3 B3 D4 G4 B4 G4 D4 B3"
    [Dm]="D4 F4 A4 D5 F5 D5 A4 F4"
    [E]="E3 G#3 B3 E4 G#4 E4 B3 G#3"
)
declare -A PAD=([Am]="A3 C4 E4" [F]="F3 A3 C4" [C]="C4 E4 G4" [G]="G3 B3 D4" [Dm]="D4 F4 A4" [E]="E3 G#3 B3")
declare -A BASS=([Am]="A1 E2" [F]="F1 C2" [C]="C2 G2" [G]="G1 D2" [Dm]="D2 A2" [E]="E1 B1")

# A note name (A4, C#5, Bb3) moved `shift` semitones, as sox's "%n" (semitones from A4).
note_at() { # note shift
    local note=$1 shift=$2 letter=${1:0:1} rest=${1:1} accidental=0
    declare -A base=([C]=0 [D]=2 [E]=4 [F]=5 [G]=7 [A]=9 [B]=11)
    case $rest in
    \#*) accidental=1 rest=${rest:1} ;;
    b*) accidental=-1 rest=${rest:1} ;;
    esac
    echo "%$((base[$letter] + accidental + (rest - 4) * 12 - 9 + shift))"
}

# Renders one bar of a chord into $work/bar_N.wav, with the track's BAR, EIGHTH, HALF, SHIFT and HATS.
render_bar() { # index chord
    local index=$1 chord=$2 notes=() i=0
    for note in ${ARPEGGIO[$chord]}; do
        "${SOX[@]}" -n -r $RATE -b 16 -c 1 "$work/arp_$i.wav" synth $EIGHTH pluck "$(note_at "$note" $SHIFT)" \
            fade q 0 $EIGHTH 0.06
        notes+=("$work/arp_$i.wav")
        i=$((i + 1))
    done
    "${SOX[@]}" "${notes[@]}" "$work/arp.wav"
    # sox gives each generator a channel of its own: three channels, one per chord note, mixed down.
    local pad=()
    for note in ${PAD[$chord]}; do pad+=(sine "$(note_at "$note" $SHIFT)"); done
    "${SOX[@]}" -c 3 -r $RATE -n -c 1 -b 16 "$work/pad.wav" synth $BAR "${pad[@]}" remix - fade h 0.3 $BAR 0.4
    local bass=()
    for note in ${BASS[$chord]}; do
        "${SOX[@]}" -n -r $RATE -b 16 -c 1 "$work/bass_${#bass[@]}.wav" synth $HALF triangle \
            "$(note_at "$note" $SHIFT)" fade q 0.01 $HALF 0.5
        bass+=("$work/bass_${#bass[@]}.wav")
    done
    "${SOX[@]}" "${bass[@]}" "$work/bass.wav"
    local voices=(-v 0.5 "$work/arp.wav" -v 0.12 "$work/pad.wav" -v 0.45 "$work/bass.wav")
    if [ "$HATS" = yes ]; then
        # A tick of bright noise on the second half of every beat.
        "${SOX[@]}" -r $RATE -n -b 16 -c 1 "$work/hat.wav" synth 0.03 whitenoise gain -6 highpass 6000 \
            fade l 0 0.03 0.028 pad $EIGHTH $(awk "BEGIN { print $EIGHTH - 0.03 }")
        "${SOX[@]}" "$work/hat.wav" "$work/hat.wav" "$work/hat.wav" "$work/hat.wav" "$work/hats.wav"
        voices+=(-v 0.3 "$work/hats.wav")
    fi
    "${SOX[@]}" -m "${voices[@]}" "$work/bar_$index.wav"
}

# One looping track: the progression's bars at `bpm` beats a minute, `shift` semitones above A minor.
# The last bar is rendered first as well, so the reverb tail that leads into bar 1 is the one of
# the last bar: cutting that lead-in bar off afterwards makes the loop point seamless.
song() { # file bpm shift hats chord...
    local file=$1 bpm=$2
    SHIFT=$3 HATS=$4
    shift 4
    local progression=("$@") bars=()
    BAR=$(awk "BEGIN { print 240 / $bpm }")
    EIGHTH=$(awk "BEGIN { print 30 / $bpm }")
    HALF=$(awk "BEGIN { print 120 / $bpm }")
    render_bar 0 "${progression[-1]}"
    bars+=("$work/bar_0.wav")
    for i in "${!progression[@]}"; do
        render_bar $((i + 1)) "${progression[$i]}"
        bars+=("$work/bar_$((i + 1)).wav")
    done
    "${SOX[@]}" "${bars[@]}" "$work/song.wav"
    # The mellowing lowpass would take the hi-hat away; with one it sits higher.
    local top=6000
    [ "$HATS" = yes ] && top=11000
    "${SOX[@]}" "$work/song.wav" -r $RATE -b 16 -c 2 "$work/music.wav" \
        lowpass $top reverb 40 50 60 100 20 trim $BAR norm -8
    oggenc --quiet --serial 1 --quality 2 --discard-comments -o "$out/$file" "$work/music.wav"
}

# Levels 1 to 10: A minor at 120 beats a minute over Am F C G; 32 s.
song music.ogg 120 0 no Am F C G Am F C G Am F C G Am F G G
# Levels 11 to 21: D minor at 132, its four-chord turn darker with the fourth and the major
# dominant; 29 s.
song music_2.ogg 132 5 no Am Dm G C Am Dm E E Am Dm G C F Dm E E
# Levels 22 to 32: E minor at 148 with the hi-hat, pushing on through a falling bass; 26 s.
song music_3.ogg 148 -5 yes Am G F E Am G F E Dm Am E Am F G E E
