#pragma once

#include "shared/ParameterNumber.h"

#include <cstdint>

// What the LV2 bundle and the binary must agree on: the plug-in's URI, its loop property and the
// port numbers. The bundle's description is generated from these and from the parameter table.
namespace Lv2Identity {

constexpr const char* pluginUri = "https://brevatone.example/plugins/brevatone";
constexpr const char* loopPropertyUri = "https://brevatone.example/plugins/brevatone#loop";
constexpr const char* panelUri = "https://brevatone.example/plugins/brevatone#panel";

enum Port : std::uint32_t {
    controlPort = 0,  // atom:Sequence in: MIDI, transport position, patch messages
    notifyPort = 1,   // atom:Sequence out: patch:Set replies naming the loaded loop
    leftOutPort = 2,
    rightOutPort = 3,
    // One control port per stored parameter, in the order programs apply them.
    firstParameterPort = 4
};

// The control port of a parameter: ascending, the reserved index skipped.
constexpr std::uint32_t portOf(int parameter) {
    return firstParameterPort + static_cast<std::uint32_t>(parameter < Parameter::reserved ? parameter : parameter - 1);
}

// The parameter of a control port, or Parameter::none for any other port.
constexpr int parameterOf(std::uint32_t port) {
    if (port < firstParameterPort || port >= portOf(Parameter::count)) return Parameter::none;
    const auto slot = static_cast<int>(port - firstParameterPort);
    return slot < Parameter::reserved ? slot : slot + 1;
}

}  // namespace Lv2Identity
