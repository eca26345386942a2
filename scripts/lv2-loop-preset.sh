# Sourced by the LV2 host tests. write_loop_preset FOLDER LOOP: a user preset bundle in FOLDER
# ("Tones", urn:brevatone:test:tones) whose state chooses LOOP, an absolute path.
write_loop_preset() {
  local plugin=https://brevatone.example/plugins/brevatone
  mkdir -p "$1/user-presets.lv2"
  cat >"$1/user-presets.lv2/manifest.ttl" <<TTL
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .
@prefix state: <http://lv2plug.in/ns/ext/state#> .

<urn:brevatone:test:tones>
    a pset:Preset ;
    lv2:appliesTo <$plugin> ;
    rdfs:label "Tones" ;
    state:state [ <$plugin#loop> <file://$2> ] .
TTL
}
