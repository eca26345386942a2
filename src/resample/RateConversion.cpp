#include "resample/RateConversion.h"

#include <cmath>

std::uint64_t RateConversion::convertedLength(std::uint64_t count) const noexcept {
    return static_cast<std::uint64_t>(std::llround(static_cast<double>(count) * to / from));
}
