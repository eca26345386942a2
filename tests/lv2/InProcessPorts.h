#pragma once

#include "lv2/Lv2Identity.h"
#include "lv2/Lv2Instrument.h"

#include <lv2/atom/atom.h>

#include <array>
#include <cstdint>
#include <vector>

// Every port of an instance built in the test's own process, connected to buffers as a host
// connects them.
struct InProcessPorts {
    InProcessPorts(Lv2Instrument& plugin, std::size_t frames, std::size_t sequenceWords)
        : input(sequenceWords), output(sequenceWords), left(frames), right(frames) {
        for (std::uint32_t slot = 0; slot < controls.size(); ++slot) {
            plugin.connectPort(Lv2Identity::firstParameterPort + slot, &controls[slot]);
        }
        plugin.connectPort(Lv2Identity::controlPort, input.data());
        plugin.connectPort(Lv2Identity::notifyPort, output.data());
        plugin.connectPort(Lv2Identity::leftOutPort, left.data());
        plugin.connectPort(Lv2Identity::rightOutPort, right.data());
    }

    // Offers the notify port its whole buffer, as a host does before each block.
    void offerNotifySpace() {
        reinterpret_cast<LV2_Atom*>(output.data())->size =
            static_cast<std::uint32_t>((output.size() - 1) * sizeof(std::uint64_t));
    }
    const LV2_Atom_Sequence& replies() const { return *reinterpret_cast<const LV2_Atom_Sequence*>(output.data()); }

    std::vector<std::uint64_t> input, output;
    std::array<float, Lv2Instrument::parameterPorts> controls{};
    std::vector<float> left, right;
};
