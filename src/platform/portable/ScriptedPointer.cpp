#include "platform/portable/ScriptedPointer.h"

#include <utility>

void ScriptedPointer::hold(PixelPoint screen, MouseButtons held) {
    current = {screen, held};
    pending.clear();
    next = 0;
}

void ScriptedPointer::script(std::vector<Sample> samples) {
    pending = std::move(samples);
    next = 0;
}

PixelPoint ScriptedPointer::readCursor() {
    if (next < pending.size()) current = pending[next++];
    return current.screen;
}
