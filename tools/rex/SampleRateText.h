#pragma once

#include <cstdint>
#include <string>

// The sample rate of an AIFF file as its common chunk states it. The reader rounds the 80-bit
// float to whole hertz and makes something of any bit pattern; `info` reads the float itself, so
// that a rate that is not a number, or none a sound can have, shows as such.
class SampleRateText {
public:
    // "44100 Hz", or why the stated rate is unusable.
    static std::string of(const std::string& path);
    // The value of an 80-bit extended float, big-endian; NaN and infinities as such.
    static long double decode(const std::uint8_t* extended);
};
