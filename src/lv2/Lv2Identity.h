#pragma once

#include <cstdint>

// What the LV2 bundle and the binary must agree on: the plug-in's URI, its loop property and the
// port numbers. The bundle's description is generated from these and from the parameter table.
namespace Lv2Identity {

constexpr const char* pluginUri = "https://brevatone.example/plugins/brevatone";
constexpr const char* loopPropertyUri = "https://brevatone.example/plugins/brevatone#loop";

enum Port : std::uint32_t {
    controlPort = 0,  // atom:Sequence in: MIDI, transport position, patch messages
    notifyPort = 1,   // atom:Sequence out: patch:Set replies naming the loaded loop
    leftOutPort = 2,
    rightOutPort = 3,
    // One control port per stored parameter, in the order programs apply them.
    firstParameterPort = 4
};

}  // namespace Lv2Identity
