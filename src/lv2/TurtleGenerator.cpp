// Writes the bundle's manifest.ttl and brevatone.ttl at build time, so that the control ports'
// names, ranges and defaults come from the instrument's own parameter table.
// Usage: brevatone_lv2_turtle BUNDLE_DIRECTORY BINARY_FILE_NAME [PANEL_BINARY_FILE_NAME]
#include "instrument/ParameterTable.h"
#include "lv2/Lv2Identity.h"
#include "lv2/Lv2Instrument.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

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
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
        << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n\n"
        << "<" << Lv2Identity::pluginUri << ">\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary <" << binary << "> ;\n"
        << "    rdfs:seeAlso <brevatone.ttl> .\n";
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

std::string parameterPorts() {
    ProgramRecord defaults;
    ParameterTable::fillDefaults(defaults);
    std::ostringstream out;
    for (std::uint32_t slot = 0; slot < Lv2Instrument::parameterPorts; ++slot) {
        const std::int32_t index = ParameterTable::appliedOrder[slot];
        out << " , [\n"
            << "        a lv2:InputPort , lv2:ControlPort ;\n"
            << "        lv2:index " << Lv2Identity::firstParameterPort + slot << " ;\n"
            << "        lv2:symbol \"" << symbolOf(index) << "\" ;\n"
            << "        lv2:name \"" << labelOf(index) << "\" ;\n"
            << "        lv2:default " << decimal(defaults.value(slot)) << " ;\n"
            << "        lv2:minimum 0.000000 ;\n"
            << "        lv2:maximum 1.000000\n"
            << "    ]";
    }
    return out.str();
}

std::string description(bool withPanel) {
    const std::string plugin = std::string("<") + Lv2Identity::pluginUri + ">";
    const std::string loop = std::string("<") + Lv2Identity::loopPropertyUri + ">";
    std::ostringstream out;
    out << "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
        << "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
        << "@prefix log: <http://lv2plug.in/ns/ext/log#> .\n"
        << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
        << "@prefix patch: <http://lv2plug.in/ns/ext/patch#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
        << "@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .\n"
        << "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
        << "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
        << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
        << "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
        << "@prefix work: <http://lv2plug.in/ns/ext/worker#> .\n\n"
        << loop << "\n"
        << "    a lv2:Parameter ;\n"
        << "    rdfs:label \"Loop\" ;\n"
        << "    rdfs:range atom:Path .\n\n"
        << (withPanel ? panelDescription() : "") << plugin << "\n"
        << "    a lv2:Plugin , lv2:InstrumentPlugin ;\n"
        << "    doap:name \"Brevatone\" ;\n"
        << "    lv2:requiredFeature urid:map ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable , log:log , work:schedule ;\n"
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
                         writeFile(bundle + "/brevatone.ttl", description(!panelBinary.empty()));
    return written ? 0 : 1;
}
