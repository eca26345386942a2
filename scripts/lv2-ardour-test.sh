#!/usr/bin/env bash
# Saves and reloads the LV2 bundle in Ardour, headless (ardour7-lua on its Dummy backend):
#   1. a new session gets a MIDI track with the plug-in, a preset chooses the loop, and the session
#      is saved: the session must hold the loop itself;
#   2. the session folder moves, the original loop is removed, the session is loaded and saved
#      again: the loop loads from inside the session, and the new save links the session's copy
#      instead of copying the loop again;
#   3. the moved session feeds notes 36..43 into the track, over and over, and exports what its
#      master bus plays: the export must match brevatone-render playing the same notes
#      (correlation >= 0.999, scripts/lv2-compare.py).
# Usage: scripts/lv2-ardour-test.sh [BUILD_DIR]   (needs ardour, python3-mido and python3-numpy)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lv2-loop-preset.sh
source "$root/scripts/lv2-loop-preset.sh"
build=$(cd "${1:-$root/build}" && pwd)
plugin=https://brevatone.example/plugins/brevatone
step=11025   # a note every quarter second
held=8820    # each held for a fifth of a second
period=$((8 * step))

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "lv2-ardour-test: $*" >&2
  [ -f "$work/ardour.log" ] && tail -n 20 "$work/ardour.log" >&2
  exit 1
}

# A home of its own, where the Dummy backend is not hidden (Debian hides it by default).
export HOME=$work/home
mkdir -p "$HOME/.config/ardour7"
cat >"$HOME/.config/ardour7/config" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour><Config><Option name="hide-dummy-backend" value="0"/></Config></Ardour>
XML

echo "== a loop of eight tones, a preset that chooses it, and brevatone-render playing notes 36..43"
/usr/bin/python3 "$root/scripts/lv2-compare.py" --sequence "$build" "$work" $step $held
write_loop_preset "$work/lv2" "$work/tones.rex"
export LV2_PATH=$build/lv2-path:$work/lv2

# Ardour 7.3's headless interpreter now and then aborts while it registers a new track's ports, on
# an idle machine as well; each step gets three tries. Its export damages its heap in one run of
# five to ten, with its own ACE Fluid Synth in place of the plug-in as well (in none of twenty with
# no instrument), so the step that exports gets five. Each step lets go of Ardour's objects (a function's locals,
# then a collection) before the session closes: Ardour frees them with the session, and again when
# Lua lets go of them later.
ardour_step() {
  local script=$1 tries=${3:-3} try
  for ((try = 1; try <= tries; try++)); do
    if timeout 120 ardour7-lua "$script" >"$work/ardour.log" 2>&1 && grep -q "^step done$" "$work/ardour.log"; then
      return 0
    fi
    echo "ardour7-lua did not finish $(basename "$script") (try $try of $tries)"
    case $2 in
      create) rm -rf "$work/session" ;;
      play) rm -f "$work/played.wav" ;;
    esac
  done
  fail "ardour7-lua failed $tries times on $(basename "$script")"
}

echo "== Ardour: a new session, a track with the plug-in, the preset, a save"
cat >"$work/create.lua" <<LUA
AudioEngine:set_backend ("None (Dummy)", "ardour", "")
local s = create_session ("$work/session", "session", 44100)
assert (s)
ARDOUR.LuaAPI.usleep (1000000)
local function add_track ()
  local info = ARDOUR.LuaAPI.new_plugin_info ("$plugin", ARDOUR.PluginType.LV2)
  local tracks = s:new_midi_track (ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1),
    ARDOUR.ChanCount (ARDOUR.DataType ("audio"), 2), true, info, nil, nil, 1, "Slices",
    ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
  local plug = tracks:front ():the_instrument ():to_insert ():plugin (0)
  assert (plug:load_preset (plug:preset_by_label ("Tones")))
end
add_track ()
collectgarbage ()
ARDOUR.LuaAPI.usleep (500000)
s:save_state ("")
print ("step done")
close_session ()
LUA
ardour_step "$work/create.lua" create
first=$(find "$work/session/plugins" -name tones.rex | head -n 1)
[ -n "$first" ] && cmp -s "$first" "$work/tones.rex" || fail "the saved session does not hold the loop"

echo "== the session moves, the original loop goes, and Ardour loads and saves it again"
mv "$work/session" "$work/moved"
rm "$work/tones.rex"
cat >"$work/reload.lua" <<LUA
AudioEngine:set_backend ("None (Dummy)", "ardour", "")
local s = load_session ("$work/moved", "session")
assert (s)
ARDOUR.LuaAPI.usleep (1000000)
s:save_state ("")
print ("step done")
close_session ()
LUA
ardour_step "$work/reload.lua" reload
grep -q "not loaded" "$work/ardour.log" && fail "the moved session's loop did not load"
mapfile -t copies < <(find "$work/moved/plugins" -name tones.rex | sort)
[ ${#copies[@]} -eq 2 ] || fail "expected the loop in two saved states, found ${#copies[@]}"
[ "$(stat -c %i "${copies[0]}")" = "$(stat -c %i "${copies[1]}")" ] ||
  fail "the second save copied the loop again instead of linking the session's copy"

echo "== the moved session plays notes 36..43 through the track, and Ardour exports its master bus"
# Ardour's Lua cannot make a MIDI region without its editor, so a Lua processor ahead of the
# plug-in plays the notes, sample-exact, in a loop like jack_midiseq's for jalv.
mkdir -p "$HOME/.config/ardour7/scripts"
cat >"$HOME/.config/ardour7/scripts/brevatone-notes.lua" <<LUA
ardour { ["type"] = "dsp", name = "Brevatone test notes", category = "Utility", license = "MIT",
  author = "Brevatone", description = [[Notes 36 to 43, one every $step frames, each held $held]] }
function dsp_ioconfig () return { { midi_in = 1, midi_out = 1, audio_in = 0, audio_out = 0 } } end
local frame = 0
function dsp_run (_, _, n_samples)
  local sent = 1
  for i = 0, 7 do
    for _, event in ipairs ({ { i * $step, 0x90 }, { i * $step + $held, 0x80 } }) do
      local at = (event[1] - frame) % $period
      if at < n_samples then
        midiout[sent] = { time = at + 1, data = { event[2], 36 + i, 100 } }
        sent = sent + 1
      end
    end
  end
  frame = (frame + n_samples) % $period
end
LUA
cat >"$work/play.lua" <<LUA
AudioEngine:set_backend ("None (Dummy)", "ardour", "")
local s = load_session ("$work/moved", "session")
assert (s)
local function play ()
  local track = s:route_by_name ("Slices")
  local notes = ARDOUR.LuaAPI.new_luaproc (s, "Brevatone test notes")
  assert (not notes:isnil () and track:add_processor_by_index (notes, 0, nil, true) == 0)
  local export = s:simple_export ()
  -- Ardour's own "WAV @ session-rate" preset.
  assert (export:set_preset ("75969a1c-3133-4694-864b-a1fa50e43348"))
  export:set_folder ("$work")
  export:set_name ("played")
  export:set_range (0, 3 * $period)
  assert (export:run_export ())
end
play ()
collectgarbage ()
print ("step done")
close_session ()
LUA
ardour_step "$work/play.lua" play 5
/usr/bin/python3 "$root/scripts/lv2-compare.py" "$work/played.wav" "$work/render.wav" $period ||
  fail "the moved session played the loop unlike brevatone-render"
echo "lv2-ardour-test: Ardour kept the loop through the move, saved it once and played it as brevatone-render does"
