// The Linux builds' converter: exact lengths, and nothing but the tone in the audible band.
#include "resample/RateConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

double tone(double hertz, double rate, std::size_t k) {
    return 0.5 * std::sin(2.0 * 3.14159265358979323846 * hertz * static_cast<double>(k) / rate);
}

}  // namespace

// A tone the new rate can carry must come out as exactly that tone, and one above its Nyquist
// frequency must vanish instead of folding back into the band as an alias: whatever differs, in
// the middle half away from the ends, stays 90 dB under the tone.
TEST(RateConversion, KeepsTonesTheNewRateCarriesAndLeavesNoAliasesAbove90Decibels) {
    const RateConversionMaker make = systemRateConversion();
    if (!make) GTEST_SKIP() << "this build plays at 44.1 kHz only";
    constexpr double from = 44100.0;
    constexpr std::size_t count = 44107;
    for (const double to : {22050.0, 48000.0, 96000.0, 192000.0}) {
        const auto conversion = make(from, to);
        ASSERT_NE(conversion, nullptr);
        const auto length = static_cast<std::size_t>(conversion->convertedLength(count));
        EXPECT_EQ(length, static_cast<std::size_t>(std::llround(count * to / from))) << to;
        for (const double hertz : {1000.0, 15000.0}) {
            std::vector<float> in(count);
            for (std::size_t k = 0; k < count; ++k) in[k] = static_cast<float>(tone(hertz, from, k));
            std::vector<float> out(length + 1, 7.0f);
            ASSERT_TRUE(conversion->convert(in.data(), count, out.data()));
            EXPECT_EQ(out[length], 7.0f);
            double error = 0.0;
            for (std::size_t k = length / 4; k < 3 * length / 4; ++k) {
                const double left = out[k] - (hertz < to / 2.0 ? tone(hertz, to, k) : 0.0);
                error += left * left;
            }
            EXPECT_LT(10.0 * std::log10(error / (0.125 * static_cast<double>(length / 2))), -90.0)
                << to << " Hz, tone " << hertz;
        }
    }
}
