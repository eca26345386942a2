#pragma once

#include <cstdint>
#include <vector>

// A plain PCM WAV file (format 1, no loop points, no extra chunks) holding sample values exactly as
// the loop reader decoded them: integers of 8, 16 or 24 bits that it scaled into [-1, 1) by a power
// of two, which scaling back undoes without rounding.
class SliceWav {
public:
    // `bits` is the loop's stated sample size; the file stores it in whole bytes, as the loop does.
    // `count` values, interleaved by channel, make count / channels frames.
    static std::vector<std::uint8_t> encode(const float* values, std::uint32_t count, int channels, int bits,
                                            std::int32_t sampleRate);
    // The integer a decoded value came from, for a container of `bytes` bytes.
    static std::int32_t integerOf(float value, int bytes);
};
