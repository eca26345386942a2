// libFuzzer target: whatever a file chooser program writes as its answer is taken as one existing
// path that fits the caller's buffer, or refused with a message; never cut, never anything else.
#include "FuzzFiles.h"
#include "QuietServices.h"
#include "platform/x11/ChooserProcess.h"

#include <cstring>
#include <string>

// The first byte: bit 0 for a save chooser, bit 1 for an answer that ran past what is kept, bits
// 2 to 7 for the caller's buffer, 4 to 253 characters.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool save = (data[0] & 1) != 0;
    const bool overflowed = (data[0] & 2) != 0;
    const std::size_t capacity = 4 + (data[0] >> 2) * 4u;
    const std::string answer(reinterpret_cast<const char*>(data + 1), size - 1);
    char path[260];
    std::memset(path, 0x55, sizeof path);
    QuietServices messages;
    const PendingChoice::Answer judged =
        ChooserProcess::judgeAnswer(answer, overflowed, save ? "mid" : nullptr, messages, path, capacity);
    if (judged == PendingChoice::Answer::chosen) {
        const std::size_t length = strnlen(path, sizeof path);
        fuzzing::require(messages.shown == 0 && !overflowed && length > 0 && length < capacity);
        fuzzing::require(answer.compare(0, length, path, length) == 0 || (save && answer.size() < length));
        for (std::size_t i = 0; i < length; ++i) fuzzing::require(static_cast<unsigned char>(path[i]) >= 0x20);
    } else {
        fuzzing::require(judged == PendingChoice::Answer::none);
        fuzzing::require(static_cast<unsigned char>(path[0]) == 0x55);
    }
    return 0;
}
