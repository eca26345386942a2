#include "SliceWav.h"

#include <cmath>

namespace {

void put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void putText(std::vector<std::uint8_t>& out, const char* text) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(text[i]));
}

}  // namespace

std::int32_t SliceWav::integerOf(float value, int bytes) {
    return static_cast<std::int32_t>(std::ldexp(static_cast<double>(value), 8 * bytes - 1));
}

std::vector<std::uint8_t> SliceWav::encode(const float* values, std::uint32_t count, int channels, int bits,
                                           std::int32_t sampleRate) {
    const int bytes = (bits + 7) / 8;
    const auto frameBytes = static_cast<std::uint32_t>(channels * bytes);
    const std::uint32_t dataBytes = count / static_cast<std::uint32_t>(channels) * frameBytes;
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes + 1);
    putText(out, "RIFF");
    put(out, 36 + dataBytes + dataBytes % 2, 4);
    putText(out, "WAVE");
    putText(out, "fmt ");
    put(out, 16, 4);
    put(out, 1, 2);
    put(out, static_cast<std::uint32_t>(channels), 2);
    put(out, static_cast<std::uint32_t>(sampleRate), 4);
    put(out, static_cast<std::uint32_t>(sampleRate) * frameBytes, 4);
    put(out, frameBytes, 2);
    put(out, static_cast<std::uint32_t>(8 * bytes), 2);
    putText(out, "data");
    put(out, dataBytes, 4);
    const std::uint32_t written = dataBytes / static_cast<std::uint32_t>(bytes);
    // WAV stores 8-bit samples unsigned, around 128; wider ones signed.
    const std::uint32_t offset = bytes == 1 ? 128u : 0u;
    for (std::uint32_t i = 0; i < written; ++i) {
        put(out, static_cast<std::uint32_t>(integerOf(values[i], bytes)) + offset, bytes);
    }
    // A chunk of odd size is followed by one pad byte.
    if (dataBytes % 2 != 0) out.push_back(0);
    return out;
}
