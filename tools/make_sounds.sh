#!/usr/bin/env bash
# Generates the shipped sounds in data/sounds/: the three block hit effects and the looping
# background music. Needs sox and oggenc (vorbis-tools); the output is reproducible byte for byte.
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

# The music: a 16-bar loop at 120 beats per minute (2 s a bar) over Am F C G, each bar an
# eighth-note arpeggio over a soft sustained chord and a bass line on the beats one and three.
BAR=2.0
EIGHTH=0.25
HALF=1.0
declare -A ARPEGGIO=(
    [Am]="A3 C4 E4 A4 C5 A4 E4 C4"
    [F]="F3 A3 C4 F4 A4 F4 C4 A3"
    [C]="C4 E4 G4 C5 E5 C5 G4 E4"
    [G]="G3 B3 D4 G4 B4 G4 D4 B3"
)
declare -A PAD=([Am]="A3 C4 E4" [F]="F3 A3 C4" [C]="C4 E4 G4" [G]="G3 B3 D4")
declare -A BASS=([Am]="A1 E2" [F]="F1 C2" [C]="C2 G2" [G]="G1 D2")
PROGRESSION=(Am F C G Am F C G Am F C G Am F G G)

# Renders one bar of a chord into $work/bar_N.wav.
render_bar() { # index chord
    local index=$1 chord=$2 notes=() i=0
    for note in ${ARPEGGIO[$chord]}; do
        "${SOX[@]}" -n -r $RATE -b 16 -c 1 "$work/arp_$i.wav" synth $EIGHTH pluck "$note" fade q 0 $EIGHTH 0.06
        notes+=("$work/arp_$i.wav")
        i=$((i + 1))
    done
    "${SOX[@]}" "${notes[@]}" "$work/arp.wav"
    # sox gives each generator a channel of its own: three channels, one per chord note, mixed down.
    local pad=()
    for note in ${PAD[$chord]}; do pad+=(sine "$note"); done
    "${SOX[@]}" -c 3 -r $RATE -n -c 1 -b 16 "$work/pad.wav" synth $BAR "${pad[@]}" remix - fade h 0.3 $BAR 0.4
    local bass=()
    for note in ${BASS[$chord]}; do
        "${SOX[@]}" -n -r $RATE -b 16 -c 1 "$work/bass_${#bass[@]}.wav" synth $HALF triangle "$note" fade q 0.01 $HALF 0.5
        bass+=("$work/bass_${#bass[@]}.wav")
    done
    "${SOX[@]}" "${bass[@]}" "$work/bass.wav"
    "${SOX[@]}" -m -v 0.5 "$work/arp.wav" -v 0.12 "$work/pad.wav" -v 0.45 "$work/bass.wav" "$work/bar_$index.wav"
}

# The last bar is rendered first as well, so the reverb tail that leads into bar 1 is the one
# of bar 16: cutting that lead-in bar off afterwards makes the loop point seamless.
bars=()
render_bar 0 "${PROGRESSION[-1]}"
bars+=("$work/bar_0.wav")
for i in "${!PROGRESSION[@]}"; do
    render_bar $((i + 1)) "${PROGRESSION[$i]}"
    bars+=("$work/bar_$((i + 1)).wav")
done
"${SOX[@]}" "${bars[@]}" "$work/song.wav"
"${SOX[@]}" "$work/song.wav" -r $RATE -b 16 -c 2 "$work/music.wav" \
    lowpass 6000 reverb 40 50 60 100 20 trim $BAR norm -8
oggenc --quiet --serial 1 --quality 2 --discard-comments -o "$out/music.ogg" "$work/music.wav"
