#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// A DROPFILES block as a drag source offers it: the header, the names, each with its terminator,
// and the closing empty name. Wide when the names are of 16-bit characters.
template <typename Name>
std::vector<unsigned char> dropFilesBlock(const std::vector<Name>& names, std::uint32_t listOffset = 20) {
    using Unit = typename Name::value_type;
    std::vector<unsigned char> block(listOffset, 0);
    const std::uint32_t wide = sizeof(Unit) > 1;
    std::memcpy(block.data(), &listOffset, sizeof listOffset);
    std::memcpy(block.data() + 16, &wide, sizeof wide);
    auto append = [&block](Unit unit) {
        unsigned char bytes[sizeof unit];
        std::memcpy(bytes, &unit, sizeof unit);
        block.insert(block.end(), bytes, bytes + sizeof unit);
    };
    for (const Name& name : names) {
        for (Unit unit : name) append(unit);
        append(0);
    }
    append(0);
    return block;
}
