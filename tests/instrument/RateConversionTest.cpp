// The Linux builds' converter: exact lengths, and nothing but the tone in the audible band.
#include "resample/RateConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;

double tone(double hertz, double rate, std::size_t k) { return 0.5 * std::sin(2.0 * pi * hertz * k / rate); }

// What is left of `signal` once the best-fitting sinusoid of `hertz` (any gain, any phase) is
// taken out, in decibels against a tone of amplitude 0.5; the middle half only, away from the ends.
// A tone above the Nyquist frequency cannot be there, so nothing is taken out: it would be its alias.
double residualDecibels(const std::vector<float>& signal, std::size_t length, double hertz, double rate) {
    const std::size_t first = length / 4, end = 3 * length / 4;
    auto sine = [&](std::size_t k) { return std::sin(2.0 * pi * hertz * k / rate); };
    auto cosine = [&](std::size_t k) { return std::cos(2.0 * pi * hertz * k / rate); };
    double ss = 0.0, sc = 0.0, cc = 0.0, ys = 0.0, yc = 0.0;
    for (std::size_t k = first; k < end; ++k) {
        ss += sine(k) * sine(k);
        sc += sine(k) * cosine(k);
        cc += cosine(k) * cosine(k);
        ys += signal[k] * sine(k);
        yc += signal[k] * cosine(k);
    }
    const bool carried = hertz < rate / 2.0;
    const double determinant = ss * cc - sc * sc;
    const double a = carried ? (ys * cc - yc * sc) / determinant : 0.0;
    const double b = carried ? (yc * ss - ys * sc) / determinant : 0.0;
    double error = 0.0;
    for (std::size_t k = first; k < end; ++k) {
        const double left = signal[k] - a * sine(k) - b * cosine(k);
        error += left * left;
    }
    return 10.0 * std::log10(error / (0.125 * static_cast<double>(end - first)));
}

}  // namespace

// A tone the new rate can carry must come out as that tone and nothing else; one above its Nyquist
// frequency must vanish, not fold back into the band as an alias.
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
        for (const double hertz : {1000.0, 15000.0, 19000.0}) {
            SCOPED_TRACE(testing::Message() << to << " Hz, tone " << hertz);
            std::vector<float> in(count);
            for (std::size_t k = 0; k < count; ++k) in[k] = static_cast<float>(tone(hertz, from, k));
            std::vector<float> out(length + 1, 7.0f);
            ASSERT_TRUE(conversion->convert(in.data(), count, out.data()));
            EXPECT_EQ(out[length], 7.0f);
            EXPECT_LT(residualDecibels(out, length, hertz, to), -90.0);
        }
    }
}
