#include "Song.h"

#include <limits>
#include <stdexcept>
#include <string>

namespace {

template <class Item>
void appendShifted(std::vector<Item>& to, const std::vector<Item>& from, std::uint64_t offset) {
    for (Item item : from) {
        item.tick += offset;
        to.push_back(item);
    }
}

}  // namespace

Song Song::repeated(std::uint32_t times) const {
    if (times > 1 && endTick > std::numeric_limits<std::uint64_t>::max() / times) {
        throw std::runtime_error("the song is too long to play " + std::to_string(times) + " times");
    }
    Song result;
    result.ticksPerQuarter = ticksPerQuarter;
    for (std::uint32_t pass = 0; pass < times; ++pass) {
        const std::uint64_t offset = endTick * pass;
        appendShifted(result.events, events, offset);
        appendShifted(result.tempoChanges, tempoChanges, offset);
        appendShifted(result.timeSignatures, timeSignatures, offset);
    }
    result.endTick = endTick * times;
    return result;
}
