#include "platform/DropFileList.h"

#include <cstdint>
#include <cstring>

namespace {

// DROPFILES: offset of the name list, drop point (two 32-bit values), non-client flag, wide flag.
constexpr std::size_t headerSize = 20;
constexpr std::size_t listOffsetField = 0;
constexpr std::size_t wideFlagField = 16;

std::uint32_t readField(const unsigned char* block, std::size_t offset) {
    std::uint32_t value;
    std::memcpy(&value, block + offset, sizeof value);
    return value;
}

}  // namespace

DropFileList::DropFileList(const void* block, std::size_t size) {
    if (!block || size < headerSize) return;
    const auto* bytes = static_cast<const unsigned char*>(block);
    const std::uint32_t listOffset = readField(bytes, listOffsetField);
    if (listOffset < headerSize || listOffset >= size) return;
    wide = readField(bytes, wideFlagField) != 0;
    valid = wide ? readNames(bytes + listOffset, size - listOffset, utf16)
                 : readNames(bytes + listOffset, size - listOffset, narrow);
    if (!valid) {
        narrow.clear();
        utf16.clear();
    }
}

// Walks the whole list to its closing empty name, keeping at most maxNames names that fit.
// Characters are copied one by one: a wide list need not be aligned in the block.
template <typename Name>
bool DropFileList::readNames(const unsigned char* list, std::size_t bytes, std::vector<Name>& names) {
    using Unit = typename Name::value_type;
    const std::size_t units = bytes / sizeof(Unit);
    auto unitAt = [list](std::size_t index) {
        Unit unit;
        std::memcpy(&unit, list + index * sizeof(Unit), sizeof unit);
        return unit;
    };
    std::size_t index = 0;
    while (index < units) {
        std::size_t end = index;
        while (end < units && unitAt(end) != 0) ++end;
        if (end == units) return false;
        if (end == index) return true;
        const std::size_t length = end - index;
        if (length < nameCapacity && names.size() < maxNames) {
            Name name(length, Unit{});
            std::memcpy(&name[0], list + index * sizeof(Unit), length * sizeof(Unit));
            names.push_back(std::move(name));
        }
        index = end + 1;
    }
    return false;
}
