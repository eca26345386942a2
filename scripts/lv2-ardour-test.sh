#!/usr/bin/env bash
# Saves and reloads the LV2 bundle in Ardour, headless (ardour7-lua on its Dummy backend):
#   1. a new session gets a MIDI track with the plug-in, a preset chooses the loop, and the session
#      is saved: the session must hold the loop itself;
#   2. the session folder moves, the original loop is removed, the session is loaded and saved
#      again: the loop loads from inside the session, and the new save links the session's copy
#      instead of copying the loop again.
# Usage: scripts/lv2-ardour-test.sh [BUILD_DIR]   (needs ardour and sox)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
plugin=https://brevatone.example/plugins/brevatone

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

echo "== a loop, and a preset that chooses it"
sox -R -n -r 44100 -c 1 -b 16 "$work/tone.wav" synth 2 sine 300 fade q 0.01 2 0.01
"$build/bin/brevatone-rex" make "$work/tone.wav" "$work/tones.rex" --bars 1 --tempo 120 \
  --slices 0,11025,22050,33075,44100,55125,66150,77175 >/dev/null
mkdir -p "$work/lv2/user-presets.lv2"
cat >"$work/lv2/user-presets.lv2/manifest.ttl" <<TTL
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .
@prefix state: <http://lv2plug.in/ns/ext/state#> .

<urn:brevatone:test:tones>
    a pset:Preset ;
    lv2:appliesTo <$plugin> ;
    rdfs:label "Tones" ;
    state:state [ <$plugin#loop> <file://$work/tones.rex> ] .
TTL
export LV2_PATH=$build/lv2-path:$work/lv2

# Ardour 7.3's headless interpreter now and then aborts while it registers a new track's ports, on
# an idle machine as well; each step gets three tries.
ardour_step() {
  local script=$1 try
  for try in 1 2 3; do
    if timeout 120 ardour7-lua "$script" >"$work/ardour.log" 2>&1 && grep -q "^step done$" "$work/ardour.log"; then
      return 0
    fi
    echo "ardour7-lua did not finish $(basename "$script") (try $try of 3)"
    [ "$2" = create ] && rm -rf "$work/session"
  done
  fail "ardour7-lua failed three times on $(basename "$script")"
}

echo "== Ardour: a new session, a track with the plug-in, the preset, a save"
cat >"$work/create.lua" <<LUA
AudioEngine:set_backend ("None (Dummy)", "ardour", "")
local s = create_session ("$work/session", "session", 44100)
assert (s)
ARDOUR.LuaAPI.usleep (1000000)
local info = ARDOUR.LuaAPI.new_plugin_info ("$plugin", ARDOUR.PluginType.LV2)
local tracks = s:new_midi_track (ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1),
  ARDOUR.ChanCount (ARDOUR.DataType ("audio"), 2), true, info, nil, nil, 1, "Slices",
  ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
local plug = tracks:front ():the_instrument ():to_insert ():plugin (0)
assert (plug:load_preset (plug:preset_by_label ("Tones")))
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
echo "lv2-ardour-test: Ardour kept the loop in the session, loaded it after the move and saved it once"
