#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The file names in a dropped DROPFILES block. Any process can offer one, so the list is taken
// only when its offset and its closing empty name lie inside the block, and it is read no
// further than the block's size.
class DropFileList {
public:
    // Bounds what one drop can cost, however many names a source offers.
    static constexpr std::size_t maxNames = 256;
    // Names are handed on in buffers of this many characters, terminator included. A longer
    // name is left out rather than cut: a cut name can name another file.
    static constexpr std::size_t nameCapacity = 1024;

    DropFileList(const void* block, std::size_t size);

    bool isValid() const { return valid; }
    // Whether the names are UTF-16 rather than in the system code page.
    bool isWide() const { return wide; }
    const std::vector<std::string>& narrowNames() const { return narrow; }
    const std::vector<std::u16string>& wideNames() const { return utf16; }

private:
    template <typename Name>
    bool readNames(const unsigned char* list, std::size_t bytes, std::vector<Name>& names);

    bool valid = false;
    bool wide = false;
    std::vector<std::string> narrow;
    std::vector<std::u16string> utf16;
};
