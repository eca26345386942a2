#include "platform/DropRules.h"

#include <cstring>

namespace DropRules {

DropFormat takenFormat(bool textOffered, bool fileListOffered) {
    if (textOffered) return DropFormat::text;
    return fileListOffered ? DropFormat::fileList : DropFormat::none;
}

std::uint32_t effectWhileDragging(bool accepting, std::uint32_t keyState, std::uint32_t allowedEffects) {
    if (!accepting) return effectNone;
    const bool copyWanted = (keyState & controlKeyBit) != 0;
    const std::uint32_t preferred = copyWanted ? effectCopy : effectMove;
    const std::uint32_t other = copyWanted ? effectMove : effectCopy;
    if (allowedEffects & preferred) return preferred;
    return (allowedEffects & other) ? other : effectNone;
}

std::uint32_t effectAfterDrop(bool taken, std::uint32_t allowedEffects) {
    return taken && (allowedEffects & effectCopy) ? effectCopy : effectNone;
}

std::vector<char> terminatedText(const void* block, std::size_t size) {
    std::vector<char> text(size + 1, '\0');
    if (size) std::memcpy(text.data(), block, size);
    return text;
}

bool isShortcutName(const std::u16string& name) {
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string::npos || name.size() - dot != 4) return false;
    const char16_t* expected = u".lnk";
    for (std::size_t i = 0; i < 4; ++i) {
        char16_t c = name[dot + i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != expected[i]) return false;
    }
    return true;
}

}  // namespace DropRules
