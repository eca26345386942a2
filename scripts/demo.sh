#!/usr/bin/env bash
# The main job, end to end: builds the tools, synthesises eight drum hits, cuts them into a REX
# loop (8 slices, 2 bars at 120 bpm), exports the loop's groove as a MIDI file, writes the loop as a
# kit of slice WAVs and an SFZ instrument in out/demo-kit/, and renders the groove back through the
# plug-in to out/demo.wav, then prints the result's length and peak.
# OUT_DIR writes elsewhere; RENDER names another render command, such as a Windows build of the
# tool with the Wine loader that runs it.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build}
out=${OUT_DIR:-out}
rate=44100
hit_seconds=0.5

bash scripts/setup.sh

echo "== building the plug-in and the tools in $build/"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target brevatone brevatone-rex brevatone-render >/dev/null
rex="$build/bin/brevatone-rex"
read -ra render <<<"${RENDER:-$build/bin/brevatone-render}"

mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== synthesising eight drum hits"
# Each hit lasts exactly half a second, a quarter note at 120 bpm; -R keeps the noise the same run to run.
sox -R -n -r $rate -c 1 -b 16 "$work/kick.wav" synth $hit_seconds sine 150/45 fade q 0.002 $hit_seconds 0.45
sox -R -r $rate -c 2 -n -b 16 "$work/snare.wav" synth $hit_seconds sine 190 whitenoise remix 1v0.4,2v0.6 \
  bandpass 1500 0.8 fade q 0.001 $hit_seconds 0.47 gain -3
sox -R -n -r $rate -c 1 -b 16 "$work/hat.wav" synth 0.08 whitenoise gain -9 highpass 7000 \
  fade q 0.001 0.08 0.075 pad 0 0.42
hits=()
for hit in kick hat snare hat kick kick snare hat; do hits+=("$work/$hit.wav"); done
sox "${hits[@]}" "$work/drums.wav"

echo "== cutting the loop"
frames_per_hit=$((rate / 2))
slices=$(seq -s, 0 $frames_per_hit $((7 * frames_per_hit)))
"$rex" make "$work/drums.wav" "$out/demo.rex" --bars 2 --tempo 120 --slices "$slices"

echo "== exporting the groove"
"${render[@]}" --loop "$out/demo.rex" --export-groove "$out/demo-groove.mid"
echo "wrote $out/demo-groove.mid"

echo "== writing the loop as a kit of slice WAVs and an SFZ instrument"
# --force: a second run of the demo replaces the kit the first one wrote.
"$rex" kit "$out/demo.rex" "$out/demo-kit" --groove --force --param "Amp Atk=0" --param "Amp Sus=1"

echo "== rendering the groove through the plug-in"
# Instant attack and full sustain: each slice plays as it was cut.
"${render[@]}" --loop "$out/demo.rex" --midi "$out/demo-groove.mid" --output "$out/demo.wav" \
  --param "Amp Atk=0" --param "Amp Sus=1"

length=$(soxi -D "$out/demo.wav")
peak=$(sox "$out/demo.wav" -n stats 2>&1 | awk '/^Pk lev dB/ { print $4 }')
echo "$out/demo.wav: $length s, peak $peak dBFS"
