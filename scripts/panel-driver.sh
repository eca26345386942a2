#!/usr/bin/env bash
# Drives the plug-in's panel with real X input: runs the test host's panel mode on a virtual
# display (under Wine for a Windows build, natively for a Linux build, whose library is
# brevatone.so), presses the panel's controls with xdotool (press, pause, move, release) and
# checks what the host was told. With --screenshot FILE it also saves a picture of the panel.
#
# scripts/panel-driver.sh BUILD_DIR [--screenshot FILE.png]
set -euo pipefail
build=${1:?usage: panel-driver.sh BUILD_DIR [--screenshot FILE.png]}
shift
screenshot=""
if [ "${1:-}" = "--screenshot" ]; then screenshot=${2:?}; fi
native=""
if [ -f "$build/bin/brevatone.so" ]; then native=1; fi

# Everything below needs a display: start one and run again inside it. The native host and its
# file choosers connect and disconnect often; a server that resets when the last client leaves
# would refuse the next one for a moment.
if [ -z "${PANEL_DRIVER_DISPLAY:-}" ]; then
  export PANEL_DRIVER_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24${native:+ -noreset}" "$0" "$build" "$@"
fi

bin=$(cd "$build/bin" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -n "$native" ]; then
  :
elif [ -z "${WINEPREFIX:-}" ]; then
  WINEPREFIX=$(mktemp -d)
  export WINEPREFIX
  trap 'rm -rf "$WINEPREFIX"' EXIT
  wineboot -i >/dev/null 2>&1 || true
else
  # A prefix whose server still runs from another display cannot make windows on this one.
  wineserver -w 2>/dev/null || true
  "${PANEL_DRIVER_WINE:-wine}" wineboot >/dev/null 2>&1 || true
fi

# The panel's controls as the layout table places them (attack_left, filterOn_top, ...).
# shellcheck source=/dev/null
source "$build/resources/panel-layout.sh"

# Panel points of a control by its layout name: its centre, and the middle of a step switch's
# position (0 at the top).
centre_x() { local left=${1}_left right=${1}_right; echo $(((${!left} + ${!right}) / 2)); }
centre_y() { local top=${1}_top bottom=${1}_bottom; echo $(((${!top} + ${!bottom}) / 2)); }
position_y() {
  local top=${1}_top bottom=${1}_bottom positions=${1}_positions
  echo $((${!top} + (2 * $2 + 1) * (${!bottom} - ${!top}) / (2 * ${!positions})))
}

# Where the host puts its window on the screen (HostWindow::spotX, spotY).
spot_x=200
spot_y=150
failures=0
log=$(mktemp)

# Starts the host in the background for SECONDS with the given options; waits until its window shows.
start_host() {
  local seconds=$1; shift
  if [ -n "$native" ]; then
    "$bin/brevatone_gui_host_panel" "$bin/brevatone.so" --seconds "$seconds" "$@" >"$log" 2>&1 &
  else
    # Wine's console ends lines with CR LF.
    "${PANEL_DRIVER_WINE:-wine}" "$bin/brevatone_gui_host_panel.exe" "$bin/brevatone.dll" --seconds "$seconds" "$@" 2>&1 |
      tr -d '\r' >"$log" &
  fi
  host_pid=$!
  for _ in $(seq 1 100); do
    if xdotool search --name "Brevatone test host" >/dev/null 2>&1; then sleep 0.5; return; fi
    sleep 0.1
  done
  echo "panel-driver: the host window did not show" >&2
  cat "$log" >&2
  exit 1
}

# A press at panel point (x, y) as a person makes it: down, a short pause, a small move, up.
press() {
  local x=$((spot_x + $1)) y=$((spot_y + $2))
  xdotool mousemove "$x" "$y" mousedown 1
  sleep 0.15
  xdotool mousemove "$x" $((y + ${3:-0}))
  xdotool mouseup 1
  sleep 0.2
}

check() {
  local what=$1 expected=$2 actual=$3
  if [ "$expected" = "$actual" ]; then
    echo "ok: $what"
  else
    echo "FAILED: $what: expected '$expected', got '$actual'"
    failures=$((failures + 1))
  fi
}

# Values the host was told for one parameter, in order, one per line.
automated() {
  awk -v p="$1" '$1 == "request" && $3 == "opcode=0" && $4 == "index=" p { sub("opt=", "", $6); print $6 }' "$log"
}
edits() {
  awk -v p="$1" '$1 == "request" && ($3 == "opcode=43" || $3 == "opcode=44") && $4 == "index=" p { print $3 }' "$log" |
    sort | uniq -c | awk '{ print $1 }' | paste -sd' '
}

# Main faders: nine presses from the top of the attack fader's travel to its bottom, in eighths,
# where the handle's grip row is (one above its middle), set 1.0, 0.875 ... 0.0.
start_host 6
attack_x=$(((attack_left + attack_right) / 2))
for step in 0 1 2 3 4 5 6 7 8; do
  press "$attack_x" $((attack_highest + handle_height / 2 - 1 + step * (attack_lowest - attack_highest) / 8))
done
wait "$host_pid"
check "attack fader values" "1 0.875 0.75 0.625 0.5 0.375 0.25 0.125 0" "$(automated "$attack_parameter" | awk '{ printf "%s%g", (NR > 1 ? " " : ""), $1 }')"
check "attack fader begin and end edits" "9 9" "$(edits "$attack_parameter")"
check "no edit carries the attack fader's tag" "" "$(edits "$attack_tag")"

# A plain quick click on the filter LED acts once and tells the host about its parameter only.
start_host 3
xdotool mousemove $((spot_x + (filterOn_left + filterOn_right) / 2)) $((spot_y + (filterOn_top + filterOn_bottom) / 2)) click 1
sleep 0.3
wait "$host_pid"
check "filter LED click" "1" "$(automated "$filterOn_parameter" | paste -sd' ')"
check "filter LED tells only its parameter" "$filterOn_parameter" "$(awk '$1 == "request" && $3 == "opcode=0" { sub("index=", "", $4); print $4 }' "$log" | sort -u | paste -sd' ')"

if [ -n "$native" ]; then
  # The LEDs and both switches: lower then upper half of the filter mode switch; the sync LED,
  # which puts the sync mode switch in the rate fader's place, then its sixth and second position.
  start_host 5
  press "$(centre_x filterMode)" "$(position_y filterMode 1)"
  press "$(centre_x filterMode)" "$(position_y filterMode 0)"
  xdotool mousemove $((spot_x + $(centre_x syncOn))) $((spot_y + $(centre_y syncOn))) click 1
  sleep 0.3
  press "$(centre_x syncMode)" "$(position_y syncMode 5)"
  press "$(centre_x syncMode)" "$(position_y syncMode 1)"
  wait "$host_pid"
  check "filter mode switch" "1 0" "$(automated "$filterMode_parameter" | paste -sd' ')"
  check "sync LED" "1" "$(automated "$syncOn_parameter" | paste -sd' ')"
  check "sync mode switch" "1 0.2" "$(automated "$syncMode_parameter" | awk '{ printf "%s%g", (NR > 1 ? " " : ""), $1 }')"
  check "switch begin and end edits" "2 2" "$(edits "$syncMode_parameter")"

  # A slow drag down the attack fader, from its top to below its travel: the panel gives the host
  # idle time throughout (counted, not timed, so a loaded machine does not fail it).
  start_host 4
  xdotool mousemove $((spot_x + attack_x)) $((spot_y + attack_highest + 3)) mousedown 1
  for step in 1 2 3 4 5 6; do
    sleep 0.25
    xdotool mousemove $((spot_x + attack_x)) $((spot_y + attack_highest + 3 + step * (attack_lowest - attack_highest) / 6))
  done
  sleep 0.2
  xdotool mouseup 1
  wait "$host_pid"
  check "drag ends at the bottom" "0" "$(automated "$attack_parameter" | tail -n 1)"
  check "host idle during the drag" "ok" "$(awk '
    $1 == "request" && $3 == "opcode=43" && !began { began = 1 }
    $1 == "request" && $3 == "opcode=3" && began && !ended { idles++ }
    $1 == "request" && $3 == "opcode=44" { ended = 1 }
    END { print (began && idles >= 8) ? "ok" : "idles " idles }' "$log")"

  # LOAD and EXPORT with the real zenity: the path goes into its location entry as a paste (typed
  # characters race with the entry's completion), then Return.
  work=$(mktemp -d)
  sox -n -r 44100 -c 1 -b 16 "$work/tone.wav" synth 2 sine 220
  "$bin/brevatone-rex" make "$work/tone.wav" "$work/loop.rex" --bars 1 --tempo 120 --slices 0,22050,44100,66150 >/dev/null
  answer_chooser() {
    local title=$1 path=$2
    for _ in $(seq 1 100); do
      if xdotool search --name "$title" >/dev/null 2>&1; then break; fi
      sleep 0.1
    done
    sleep 1
    printf '%s' "$path" | xclip -selection clipboard -loops 1
    xdotool key ctrl+l
    sleep 0.3
    xdotool key ctrl+a ctrl+v
    sleep 0.5
    xdotool key Return
    sleep 1
  }
  start_host 14
  press "$(centre_x load)" "$(centre_y load)"
  answer_chooser "Load Rex File" "$work/loop.rex"
  press "$(centre_x export)" "$(centre_y export)"
  answer_chooser "Save REX Groove As Standard Midi" "$work/groove.mid"
  wait "$host_pid"
  check "LOAD with zenity loads the chosen loop" "path $work/loop.rex" "$(grep '^path ' "$log")"
  check "EXPORT with zenity writes a MIDI file" "MThd" "$(head -c 4 "$work/groove.mid" 2>/dev/null)"
  rm -rf "$work"
fi

if [ -n "$screenshot" ]; then
  start_host 4
  sleep 1
  import -window root -crop ${panel_width}x${panel_height}+${spot_x}+${spot_y} +repage "$screenshot"
  wait "$host_pid"
  echo "panel-driver: wrote $screenshot"
fi

rm -f "$log"
[ "$failures" -eq 0 ]
