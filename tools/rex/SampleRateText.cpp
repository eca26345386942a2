#include "SampleRateText.h"

#include "loopfile/BigEndian.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <vector>

namespace {

constexpr std::size_t formHeaderBytes = 12;
constexpr std::size_t chunkHeaderBytes = 8;
constexpr std::size_t rateOffset = 8;
constexpr std::size_t extendedBytes = 10;
constexpr long double highestRate = std::numeric_limits<std::int32_t>::max();

}  // namespace

std::string SampleRateText::of(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    std::size_t at = formHeaderBytes;
    while (at + chunkHeaderBytes <= file.size()) {
        const std::uint32_t size = bigendian::read32(&file[at + 4]);
        const bool common = std::equal(&file[at], &file[at + 4], "COMM");
        at += chunkHeaderBytes;
        if (common && at + rateOffset + extendedBytes <= file.size()) {
            const long double rate = decode(&file[at + rateOffset]);
            if (std::isnan(rate)) return "a sample rate that is not a number";
            if (!(rate >= 1.0L && rate <= highestRate)) {
                std::ostringstream text;
                text << "a sample rate out of range (" << static_cast<double>(rate) << " Hz)";
                return text.str();
            }
            return std::to_string(std::llround(rate)) + " Hz";
        }
        at += size + (size & 1u);
    }
    return "no sample rate";
}

long double SampleRateText::decode(const std::uint8_t* extended) {
    const bool negative = (extended[0] & 0x80) != 0;
    const int exponent = ((extended[0] & 0x7F) << 8) | extended[1];
    const std::uint64_t mantissa =
        (std::uint64_t{bigendian::read32(extended + 2)} << 32) | bigendian::read32(extended + 6);
    long double value;
    if (exponent == 0x7FFF) {
        value = (mantissa << 1) == 0 ? std::numeric_limits<long double>::infinity()
                                     : std::numeric_limits<long double>::quiet_NaN();
    } else {
        value = std::ldexp(static_cast<long double>(mantissa), exponent - 16383 - 63);
    }
    return negative ? -value : value;
}
