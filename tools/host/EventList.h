#pragma once

#include "plugin/VstAbi.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Event lists as hosts hand them to a plug-in: a VstEvents record sized to its events (the
// published record declares room for two only). The memory is kept from list to list, so a list no
// longer than the reserved count is built without allocating.
class EventList {
public:
    void reserve(std::size_t events);
    // The list of these events; it points into them and lives until the next list is built.
    VstEvents* of(const std::vector<VstEvent*>& events);
    VstEvents* of(std::vector<VstMidiEvent>& events);

    static VstMidiEvent midiEvent(std::int32_t deltaFrames, std::uint8_t status, std::uint8_t data1,
                                  std::uint8_t data2);

private:
    VstEvents* sized(std::size_t count);

    std::vector<unsigned char> memory;
};
