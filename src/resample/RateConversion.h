#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Turns sample values recorded at one rate into the values of the same sound at another rate.
class RateConversion {
public:
    virtual ~RateConversion() = default;
    // Writes exactly convertedLength(count) values of one channel to `out`; each call converts a
    // signal of its own, with nothing carried over from the one before. False when the conversion
    // could not be done (the values in `out` then mean nothing).
    virtual bool convert(const float* in, std::size_t count, float* out) noexcept = 0;
    // The same duration at the new rate, rounded to the nearest value.
    std::uint64_t convertedLength(std::uint64_t count) const noexcept;

protected:
    RateConversion(double fromRate, double toRate) noexcept : from(fromRate), to(toRate) {}

    double from;
    double to;
};

// Makes a conversion between two rates, or answers null when it cannot (out of memory).
using RateConversionMaker = std::unique_ptr<RateConversion> (*)(double fromRate, double toRate);

// The builds that follow the host's rate have a converter; the Windows libraries, which play at
// one rate only, answer null.
RateConversionMaker systemRateConversion() noexcept;
