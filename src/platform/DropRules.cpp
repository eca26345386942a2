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

namespace {

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

char16_t lowered(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool equalsIgnoringCase(const std::u16string& text, const char16_t* expected) {
    std::size_t i = 0;
    for (; expected[i] != u'\0'; ++i)
        if (i >= text.size() || lowered(text[i]) != expected[i]) return false;
    return i == text.size();
}

}  // namespace

bool namesDriveOrShareFile(const std::u16string& path) {
    const bool driveLetter =
        path.size() > 2 && ((path[0] >= u'a' && path[0] <= u'z') || (path[0] >= u'A' && path[0] <= u'Z'));
    if (driveLetter && path[1] == u':' && isSeparator(path[2])) return true;
    if (path.size() < 3 || !isSeparator(path[0]) || !isSeparator(path[1])) return false;
    const std::size_t serverEnd = path.find_first_of(u"\\/", 2);
    if (serverEnd == std::u16string::npos) return false;
    const std::u16string server = path.substr(2, serverEnd - 2);
    if (server.empty() || server == u"." || server == u"?") return false;
    const std::size_t shareEnd = path.find_first_of(u"\\/", serverEnd + 1);
    if (shareEnd == std::u16string::npos) return false;
    const std::u16string share = path.substr(serverEnd + 1, shareEnd - serverEnd - 1);
    return !share.empty() && !equalsIgnoringCase(share, u"pipe") && !equalsIgnoringCase(share, u"mailslot");
}

bool isShortcutName(const std::u16string& name) {
    const std::size_t dot = name.rfind(u'.');
    return dot != std::u16string::npos && equalsIgnoringCase(name.substr(dot), u".lnk");
}

}  // namespace DropRules
