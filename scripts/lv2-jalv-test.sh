#!/usr/bin/env bash
# Plays the LV2 bundle in a real host, jalv (console) on JACK's dummy driver, as a user would:
#   1. a saved state chooses the loop; notes 36..43 played into jalv are recorded and compared with
#      brevatone-render playing the same notes (correlation >= 0.999);
#   2. a state that keeps the loop in its own folder is moved elsewhere, the folder it came from and
#      the original loop are removed, and the moved state reloads and plays the same;
#   3. a preset that names the loop is applied to a silent jalv while it runs (the restore that
#      once crashed jalv), and it plays as brevatone-render does; then the bundle's own preset.
# Usage: scripts/lv2-jalv-test.sh [BUILD_DIR]   (needs jalv, jackd2, python3-mido and python3-numpy)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lv2-loop-preset.sh
source "$root/scripts/lv2-loop-preset.sh"
build=$(cd "${1:-$root/build}" && pwd)
plugin=https://brevatone.example/plugins/brevatone
rate=44100
step=11025   # a note every quarter second
held=8820    # each held for a fifth of a second
period=$((8 * step))

work=$(mktemp -d)
server=brevatone-test-$$
pids=()
inputs=()
# Ends a process, forcing it after five seconds.
stop() {
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$1" 2>/dev/null || true
}
# jalv ends only once its console input closes; the clients go before the server they use.
cleanup() {
  for input in ${inputs[@]+"${inputs[@]}"}; do exec {input}>&-; done
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop "${pids[i]}"; done
  # JACK leaves its semaphores and shared memory behind under the server's name.
  rm -f /dev/shm/jack_sem.*_"$server"_* /dev/shm/jack_"$server"_*
  [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
export JACK_DEFAULT_SERVER=$server LV2_PATH=$build/lv2-path

fail() {
  echo "lv2-jalv-test: $*" >&2
  for log in "$work"/*.log; do [ -f "$log" ] && { echo "--- $log"; tail -n 20 "$log"; } >&2; done
  exit 1
}

# Waits up to ten seconds for a JACK port to appear.
wait_for_port() {
  for _ in $(seq 100); do
    jack_lsp 2>/dev/null | grep -qx "$1" && return 0
    sleep 0.1
  done
  fail "the port $1 did not appear"
}

echo "== a loop of eight tones, and brevatone-render playing notes 36..43 on it"
/usr/bin/python3 "$root/scripts/lv2-compare.py" --sequence "$build" "$work" $step $held

echo "== JACK's dummy driver"
jackd -n "$server" -r -S -t 20000 -d dummy -r $rate -p 1024 >"$work/jackd.log" 2>&1 &
pids+=($!)
jack_wait -w -t 10 >/dev/null 2>&1 || fail "jackd did not start"

midi_args=()
for i in 0 1 2 3 4 5 6 7; do midi_args+=($((i * step)) $((36 + i)) $held); done
jack_midiseq notes $period "${midi_args[@]}" >"$work/midiseq.log" 2>&1 &
pids+=($!)
wait_for_port notes:out

# Starts jalv on a state folder (or none) with its commands read from a FIFO kept open.
start_jalv() {
  local name=$1 state=$2
  mkfifo "$work/$name.in"
  jalv -n "$name" ${state:+-l "$state"} "$plugin" <"$work/$name.in" >"$work/$name.log" 2>&1 &
  pids+=($!)
  jalv_pid=$!
  exec {jalv_input}>"$work/$name.in"
  inputs+=("$jalv_input")
  wait_for_port "$name:out_left"
  jack_connect notes:out "$name:control"
}

record() {
  jack_rec -f "$1" -d 5 -b 32 "$2:out_left" >/dev/null 2>&1 || fail "jack_rec could not record $2"
}

compare() {
  /usr/bin/python3 "$root/scripts/lv2-compare.py" "$1" "$work/render.wav" $period || fail "$2"
}

echo "== jalv loads a state that names the loop, and plays it as brevatone-render does"
mkdir "$work/chosen"
cat >"$work/chosen/state.ttl" <<TTL
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix state: <http://lv2plug.in/ns/ext/state#> .

<>
    a pset:Preset ;
    lv2:appliesTo <$plugin> ;
    state:state [ <$plugin#loop> <file://$work/tones.rex> ] .
TTL
start_jalv first "$work/chosen"
record "$work/first.wav" first
compare "$work/first.wav" "jalv played the chosen loop unlike brevatone-render"
grep -q "not loaded" "$work/first.log" && fail "jalv's log says the loop did not load"

echo "== a state that keeps its loop moves, the original loop goes, and the moved state plays"
mkdir -p "$work/session/state"
cp "$work/tones.rex" "$work/session/state/tones.rex"
sed "s|<file://$work/tones.rex>|<tones.rex>|" "$work/chosen/state.ttl" >"$work/session/state/state.ttl"
mv "$work/session/state" "$work/moved"
rm -r "$work/session" "$work/tones.rex"
start_jalv second "$work/moved"
record "$work/second.wav" second
compare "$work/second.wav" "the moved state did not play its loop"

echo "== a preset naming the loop, applied while jalv runs without one"
write_loop_preset "$work/lv2" "$work/moved/tones.rex"
export LV2_PATH=$LV2_PATH:$work/lv2
start_jalv third ""
echo "preset urn:brevatone:test:tones" >&"$jalv_input"
sleep 0.5
record "$work/third.wav" third
kill -0 "$jalv_pid" 2>/dev/null || fail "jalv ended when the preset was applied"
compare "$work/third.wav" "the preset's loop did not play"

echo "== the bundle's preset, applied while jalv plays"
echo "preset $plugin#preset-filter-sweep" >&"$jalv_input"
sleep 0.5
record "$work/preset.wav" third
kill -0 "$jalv_pid" 2>/dev/null || fail "jalv ended when the preset was applied"
/usr/bin/python3 "$root/scripts/lv2-compare.py" "$work/preset.wav" || fail "nothing played after the preset"
echo "lv2-jalv-test: jalv played the loop, kept it when the state moved, and took the preset"
