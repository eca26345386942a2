#!/usr/bin/env bash
# The LV2 panel in a real host: jalv.gtk3 (which embeds X11 panels through suil) runs the bundle
# against a JACK server with a dummy driver on a virtual display. Checks that the panel shows in
# the host's window, that dragging the attack fader with xdotool reaches the plug-in's port, that
# LOAD (through a stand-in zenity) loads the loop and EXPORT writes its groove. The plug-in's port
# values and loop are read from a preset jalv saves through its own menu.
#
# scripts/jalv-panel.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: jalv-panel.sh BUILD_DIR}
if [ -z "${JALV_PANEL_DISPLAY:-}" ]; then
  export JALV_PANEL_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi

build=$(cd "$build" && pwd)
bin=$build/bin
work=$(mktemp -d)
server=brevatone-panel-$$
pids=()
# The host goes before the server it uses; JACK leaves its semaphores and shared memory behind
# under the server's name.
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -f /dev/shm/jack_sem.*_"$server"_* /dev/shm/jack_"$server"_*
  rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=/dev/null
source "$build/resources/panel-layout.sh"
centre_x() { local left=${1}_left right=${1}_right; echo $(((${!left} + ${!right}) / 2)); }
centre_y() { local top=${1}_top bottom=${1}_bottom; echo $(((${!top} + ${!bottom}) / 2)); }

failures=0
check() {
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAILED: $1: expected '$2', got '$3'"; failures=$((failures + 1)); fi
}

# A loop to load, and a stand-in zenity that answers the load chooser with it and the save chooser
# with a MIDI file beside it.
sox -n -r 44100 -c 1 -b 16 "$work/tone.wav" synth 2 sine 220
"$bin/brevatone-rex" make "$work/tone.wav" "$work/loop.rex" --bars 1 --tempo 120 --slices 0,22050,44100,66150 >/dev/null
mkdir "$work/path"
cat >"$work/path/zenity" <<FAKE
#!/bin/sh
case "\$*" in
  *--file-selection*--save*|*--save*--file-selection*) echo "$work/groove.mid" ;;
  *--file-selection*) echo "$work/loop.rex" ;;
esac
FAKE
chmod +x "$work/path/zenity"
export PATH="$work/path:$PATH" HOME="$work/home" LV2_PATH="$build/lv2-path" GSETTINGS_BACKEND=memory
mkdir "$HOME"

export JACK_NO_AUDIO_RESERVATION=1 JACK_DEFAULT_SERVER="$server"
jackd --no-realtime -d dummy -r 44100 -p 512 >"$work/jack.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 50); do jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done
jalv.gtk3 -d https://brevatone.example/plugins/brevatone >"$work/jalv.log" 2>&1 &
pids+=($!)

# The panel: a 250 x 100 window inside the host's; its place on the screen from the server.
panel=""
for _ in $(seq 1 100); do
  panel=$(xwininfo -root -tree 2>/dev/null | awk '/250x100\+/ { print $1; exit }')
  [ -n "$panel" ] && break
  sleep 0.1
done
check "the panel shows in jalv's window" "yes" "$([ -n "$panel" ] && echo yes || echo no)"
[ -n "$panel" ] || { cat "$work/jalv.log"; exit 1; }
sleep 1
x0=$(xwininfo -id "$panel" | awk '/Absolute upper-left X/ { print $4 }')
y0=$(xwininfo -id "$panel" | awk '/Absolute upper-left Y/ { print $4 }')

# From below the handle's lowest place to above its highest: the attack ends at 1.
ax=$((x0 + $(centre_x attack)))
xdotool mousemove "$ax" $((y0 + attack_lowest + 3)) sleep 0.2 mousedown 1 sleep 0.2 \
  mousemove "$ax" $((y0 + (attack_lowest + attack_highest) / 2)) sleep 0.3 \
  mousemove "$ax" $((y0 + attack_highest - 5)) sleep 0.3 mouseup 1
xdotool mousemove $((x0 + $(centre_x load))) $((y0 + $(centre_y load))) click 1
# The plug-in reports the loop it loaded back to the panel.
for _ in $(seq 1 50); do grep -q "$work/loop.rex" "$work/jalv.log" && break; sleep 0.1; done
xdotool mousemove $((x0 + $(centre_x export))) $((y0 + $(centre_y export))) click 1
for _ in $(seq 1 50); do [ -s "$work/groove.mid" ] && break; sleep 0.1; done

# Presets > Save Preset..., named "checked": jalv stores the port values and the plug-in's state.
xdotool mousemove 70 12 click 1 sleep 0.5 key Down Return sleep 1
xdotool type checked
sleep 0.5
xdotool key Return
preset="$HOME/Brevatone_checked.preset.lv2/checked.ttl"
for _ in $(seq 1 50); do [ -s "$preset" ] && break; sleep 0.1; done
attack=$(awk '/lv2:symbol "amp_atk"/ { getline; print $2 }' "$preset" 2>/dev/null || true)
check "the fader drag reaches the attack port" "1.0" "$attack"
check "LOAD loads the chosen loop" "1" "$(grep -c "loop.rex" "$preset" 2>/dev/null || echo 0)"
check "EXPORT writes the loop's groove" "MThd" "$(head -c 4 "$work/groove.mid" 2>/dev/null)"
[ "$failures" -eq 0 ] || tail -n 40 "$work/jalv.log"
[ "$failures" -eq 0 ]
