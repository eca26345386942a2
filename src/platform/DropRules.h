#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The decisions of the drop target that need no operating system: which offered data is taken,
// which effect the drag source is told, and how dropped text is made safe to read.
namespace DropRules {

// The values of the OLE drop-effect and key-state words.
constexpr std::uint32_t effectNone = 0;
constexpr std::uint32_t effectCopy = 1;
constexpr std::uint32_t effectMove = 2;
constexpr std::uint32_t controlKeyBit = 8;

enum class DropFormat { none, text, fileList };

// Text wins when both are offered.
DropFormat takenFormat(bool textOffered, bool fileListOffered);

// Move unless the control key asks for copy, falling back to the other of the two, but never an
// effect the source did not allow; none while nothing acceptable is offered.
std::uint32_t effectWhileDragging(bool accepting, std::uint32_t keyState, std::uint32_t allowedEffects);

// Never move: a source told "move" may delete its original although nothing kept a copy.
std::uint32_t effectAfterDrop(bool taken, std::uint32_t allowedEffects);

// More dropped text than any loop path could need is refused without being copied.
constexpr std::size_t textCapacity = std::size_t{1} << 20;

// Dropped text need not end in a terminator: the copy has one byte more, always NUL.
std::vector<char> terminatedText(const void* block, std::size_t size);

// A path on a drive (C:\dir) or a network share (\\server\share\dir), not one in the device
// namespaces (\\.\ and \\?\) or on a server's pipe or mailslot share, which are no files.
bool namesDriveOrShareFile(const std::u16string& path);

// A shell shortcut: the text from the last "." on is ".lnk" in any letter case.
bool isShortcutName(const std::u16string& name);

}  // namespace DropRules
