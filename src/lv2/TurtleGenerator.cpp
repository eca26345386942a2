// Writes the bundle's manifest.ttl, brevatone.ttl and presets.ttl at build time, so that the control
// ports' names, units, ranges and defaults come from the instrument's own parameter table and the
// scales the plug-in converts them with.
// Usage: brevatone_lv2_turtle BUNDLE_DIRECTORY BINARY_FILE_NAME [PANEL_BINARY_FILE_NAME]
#include "instrument/ParameterTable.h"
#include "lv2/Lv2Identity.h"
#include "lv2/Lv2Instrument.h"
#include "lv2/PortScales.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

const std::string presetUri = std::string(Lv2Identity::pluginUri) + "#preset-filter-sweep";

// The VST 2 names carry blanks that centred them on the host's panel; LV2 hosts lay out their own.
std::string labelOf(std::int32_t index) {
    const std::string name = ParameterTable::nameOf(index);
    const auto first = name.find_first_not_of(' ');
    const auto last = name.find_last_not_of(' ');
    return name.substr(first, last - first + 1);
}

std::string symbolOf(std::int32_t index) {
    std::string symbol;
    for (char c : labelOf(index)) {
        symbol += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : '_';
    }
    return symbol;
}

std::string decimal(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value));
    return text;
}

std::string manifest(const std::string& binary, const std::string& panelBinary) {
    std::ostringstream out;
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
        << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n\n"
        << "<" << Lv2Identity::pluginUri << ">\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary <" << binary << "> ;\n"
        << "    rdfs:seeAlso <brevatone.ttl> .\n\n"
        << "<" << presetUri << ">\n"
        << "    a pset:Preset ;\n"
        << "    lv2:appliesTo <" << Lv2Identity::pluginUri << "> ;\n"
        << "    rdfs:label \"Filter sweep\" ;\n"
        << "    rdfs:seeAlso <presets.ttl> .\n";
    if (!panelBinary.empty()) {
        out << "\n<" << Lv2Identity::panelUri << ">\n"
            << "    a ui:X11UI ;\n"
            << "    ui:binary <" << panelBinary << "> ;\n"
            << "    rdfs:seeAlso <brevatone.ttl> .\n";
    }
    return out.str();
}

// The panel embeds in the host's window and reads its events at the host's idle; it learns the
// loop from the notify port, and without X11 the host shows its own controls.
std::string panelDescription() {
    std::ostringstream out;
    out << "<" << Lv2Identity::panelUri << ">\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:requiredFeature urid:map , ui:idleInterface , ui:parent ;\n"
        << "    lv2:optionalFeature ui:resize , ui:touch ;\n"
        << "    lv2:extensionData ui:idleInterface ;\n"
        << "    ui:portNotification [\n"
        << "        ui:plugin <" << Lv2Identity::pluginUri << "> ;\n"
        << "        lv2:symbol \"notify\" ;\n"
        << "        ui:protocol atom:eventTransfer\n"
        << "    ] .\n\n";
    return out.str();
}

// What a port is, beyond its range: a switch, named steps, a logarithmic scale, a unit.
std::string portProperties(const PortScales::PortScale& scale) {
    std::ostringstream out;
    if (scale.kind == PortScales::Kind::toggle) out << "        lv2:portProperty lv2:toggled ;\n";
    if (scale.kind == PortScales::Kind::choice) {
        out << "        lv2:portProperty lv2:integer , lv2:enumeration ;\n";
        for (int step = 0; step < scale.pointCount; ++step) {
            out << "        lv2:scalePoint [ rdfs:label \"" << scale.points[step].label << "\" ; rdf:value " << step
                << " ] ;\n";
        }
    }
    if (scale.logarithmic) out << "        lv2:portProperty pprops:logarithmic ;\n";
    if (scale.unit) out << "        units:unit units:" << scale.unit << " ;\n";
    if (scale.comment) out << "        rdfs:comment \"" << scale.comment << "\" ;\n";
    return out.str();
}

std::string parameterPorts() {
    ProgramRecord defaults;
    ParameterTable::fillDefaults(defaults);
    std::ostringstream out;
    for (std::uint32_t slot = 0; slot < Lv2Instrument::parameterPorts; ++slot) {
        const std::int32_t index = ParameterTable::appliedOrder[slot];
        const PortScales::PortScale& scale = PortScales::of(slot);
        out << " , [\n"
            << "        a lv2:InputPort , lv2:ControlPort ;\n"
            << "        lv2:index " << Lv2Identity::firstParameterPort + slot << " ;\n"
            << "        lv2:symbol \"" << symbolOf(index) << "\" ;\n"
            << "        lv2:name \"" << labelOf(index) << "\" ;\n"
            << portProperties(scale) << "        lv2:default " << decimal(PortScales::shown(slot, defaults.value(slot)))
            << " ;\n"
            << "        lv2:minimum " << decimal(scale.minimum) << " ;\n"
            << "        lv2:maximum " << decimal(scale.maximum) << "\n"
            << "    ]";
    }
    return out.str();
}

// A filtered sound whose cutoff the LFO sweeps slowly, as stored values; every port is listed.
std::string presets() {
    ProgramRecord sweep;
    ParameterTable::fillDefaults(sweep);
    const std::pair<std::int32_t, float> changes[] = {
        {Parameter::ampRelease, 0.2f}, {Parameter::filterFrequency, 0.55f}, {Parameter::filterResonance, 0.3f},
        {Parameter::filterOn, 1.0f},   {Parameter::lfoFrequency, 0.2f},     {Parameter::lfoAmount, 0.35f}};
    for (const auto& [index, value] : changes) sweep.values[ParameterTable::slotOf(index)] = value;
    std::ostringstream out;
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n\n"
        << "<" << presetUri << ">\n"
        << "    a pset:Preset ;\n"
        << "    lv2:appliesTo <" << Lv2Identity::pluginUri << "> ;\n"
        << "    rdfs:label \"Filter sweep\" ;\n"
        << "    lv2:port ";
    for (std::uint32_t slot = 0; slot < Lv2Instrument::parameterPorts; ++slot) {
        out << (slot ? " , " : "") << "[\n        lv2:symbol \"" << symbolOf(ParameterTable::appliedOrder[slot])
            << "\" ;\n        pset:value " << decimal(PortScales::shown(slot, sweep.value(slot))) << "\n    ]";
    }
    out << " .\n";
    return out.str();
}

std::string description(bool withPanel) {
    const std::string plugin = std::string("<") + Lv2Identity::pluginUri + ">";
    const std::string loop = std::string("<") + Lv2Identity::loopPropertyUri + ">";
    const std::string output = std::string("<") + Lv2Identity::pluginUri + "#out>";
    std::ostringstream out;
    out << "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
        << "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
        << "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
        << "@prefix log: <http://lv2plug.in/ns/ext/log#> .\n"
        << "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
        << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
        << "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
        << "@prefix patch: <http://lv2plug.in/ns/ext/patch#> .\n"
        << "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
        << "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
        << "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
        << "@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .\n"
        << "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
        << "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
        << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
        << "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
        << "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
        << "@prefix work: <http://lv2plug.in/ns/ext/worker#> .\n\n"
        << loop << "\n"
        << "    a lv2:Parameter ;\n"
        << "    rdfs:label \"Loop\" ;\n"
        << "    rdfs:comment \"A REX loop file (.rex): slice 1 plays on MIDI note 36 (C1), each further slice one "
           "note higher.\" ;\n"
        << "    rdfs:range atom:Path .\n\n"
        << output << "\n"
        << "    a pg:StereoGroup , pg:OutputGroup ;\n"
        << "    lv2:symbol \"out\" ;\n"
        << "    rdfs:label \"Output\" .\n\n"
        << (withPanel ? panelDescription() : "") << plugin << "\n"
        << "    a lv2:Plugin , lv2:InstrumentPlugin , doap:Project ;\n"
        << "    doap:name \"Brevatone\" ;\n"
        << "    doap:license <https://brevatone.example/license> ;\n"
        << "    doap:maintainer [ foaf:name \"Brevatone\" ; foaf:homepage <https://brevatone.example/> ] ;\n"
        << "    lv2:minorVersion 2 ;\n"
        << "    lv2:microVersion 0 ;\n"
        << "    rdfs:comment \"A slice-loop instrument: it cuts a REX loop into its slices and plays slice i on MIDI "
           "note 36 + i, through eight voices with an envelope and one resonant filter whose LFO can follow the "
           "host's tempo.\" ;\n"
        << "    lv2:requiredFeature urid:map ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable , log:log , work:schedule , opts:options , "
           "state:threadSafeRestore ;\n"
        << "    opts:supportedOption bufsz:sequenceSize ;\n"
        << "    pg:mainOutput " << output << " ;\n"
        << "    lv2:extensionData state:interface , work:interface ;\n"
        << "    patch:writable " << loop << " ;\n"
        << (withPanel ? std::string("    ui:ui <") + Lv2Identity::panelUri + "> ;\n" : std::string())
        << "    lv2:port [\n"
        << "        a lv2:InputPort , atom:AtomPort ;\n"
        << "        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports midi:MidiEvent , time:Position , patch:Message ;\n"
        << "        lv2:designation lv2:control ;\n"
        << "        lv2:index " << Lv2Identity::controlPort << " ;\n"
        << "        lv2:symbol \"control\" ;\n"
        << "        lv2:name \"Control\"\n"
        << "    ] , [\n"
        << "        a lv2:OutputPort , atom:AtomPort ;\n"
        << "        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports patch:Message ;\n"
        << "        lv2:designation lv2:control ;\n"
        << "        rsz:minimumSize 4096 ;\n"
        << "        lv2:index " << Lv2Identity::notifyPort << " ;\n"
        << "        lv2:symbol \"notify\" ;\n"
        << "        lv2:name \"Notify\"\n"
        << "    ] , [\n"
        << "        a lv2:OutputPort , lv2:AudioPort ;\n"
        << "        lv2:index " << Lv2Identity::leftOutPort << " ;\n"
        << "        lv2:symbol \"out_left\" ;\n"
        << "        lv2:name \"Left\"\n"
        << "    ] , [\n"
        << "        a lv2:OutputPort , lv2:AudioPort ;\n"
        << "        lv2:index " << Lv2Identity::rightOutPort << " ;\n"
        << "        lv2:symbol \"out_right\" ;\n"
        << "        lv2:name \"Right\"\n"
        << "    ]" << parameterPorts() << " .\n";
    return out.str();
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) std::cerr << "brevatone_lv2_turtle: cannot write " << path << "\n";
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: brevatone_lv2_turtle BUNDLE_DIRECTORY BINARY_FILE_NAME [PANEL_BINARY_FILE_NAME]\n";
        return 2;
    }
    const std::string bundle = argv[1];
    const std::string panelBinary = argc == 4 ? argv[3] : "";
    const bool written = writeFile(bundle + "/manifest.ttl", manifest(argv[2], panelBinary)) &&
                         writeFile(bundle + "/brevatone.ttl", description(!panelBinary.empty())) &&
                         writeFile(bundle + "/presets.ttl", presets());
    return written ? 0 : 1;
}
