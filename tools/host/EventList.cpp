#include "EventList.h"

#include <algorithm>

namespace {

constexpr std::size_t declaredSlots = 2;

std::size_t bytesFor(std::size_t events) {
    return offsetof(VstEvents, events) + std::max(events, declaredSlots) * sizeof(VstEvent*);
}

}  // namespace

void EventList::reserve(std::size_t events) { memory.reserve(bytesFor(events)); }

VstEvents* EventList::sized(std::size_t count) {
    memory.assign(bytesFor(count), 0);
    auto* list = reinterpret_cast<VstEvents*>(memory.data());
    list->numEvents = static_cast<std::int32_t>(count);
    return list;
}

VstEvents* EventList::of(const std::vector<VstEvent*>& events) {
    VstEvents* list = sized(events.size());
    VstEvent** entries = list->events;
    std::copy(events.begin(), events.end(), entries);
    return list;
}

VstEvents* EventList::of(std::vector<VstMidiEvent>& events) {
    VstEvents* list = sized(events.size());
    VstEvent** entries = list->events;
    for (std::size_t i = 0; i < events.size(); ++i) entries[i] = reinterpret_cast<VstEvent*>(&events[i]);
    return list;
}

VstMidiEvent EventList::midiEvent(std::int32_t deltaFrames, std::uint8_t status, std::uint8_t data1,
                                  std::uint8_t data2) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = deltaFrames;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    return event;
}
