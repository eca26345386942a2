#include "engine/ResonantFilter.h"

#include "engine/DenormalFlush.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A filter as the instrument leaves it with its default parameters: fully open, q 1, LFO still.
ResonantFilter openFilter(int32_t mode = ResonantFilter::lowPass, double sampleRate = 44100.0) {
    ResonantFilter filter(sampleRate);
    filter.setMode(mode);
    filter.setFrequency(1.0f);
    filter.setResonance(0.0f);
    return filter;
}

std::vector<float> filtered(ResonantFilter& filter, uint32_t frames, float input) {
    std::vector<float> block(frames, input);
    filter.render(block.data(), static_cast<int32_t>(frames));
    return block;
}

}  // namespace

TEST(ResonantFilter, StartsFullyOpenWithTheLfoAtRest) {
    const ResonantFilter filter(44100);
    EXPECT_EQ(filter.cutoff(), 13000.0f);
    EXPECT_EQ(filter.mode(), ResonantFilter::lowPass);
    EXPECT_EQ(filter.lfoPhase(), 0);
    EXPECT_EQ(filter.lfoDirection(), 1);
    EXPECT_EQ(filter.restartCountdown(), -1);
    EXPECT_EQ(filter.cutoffBase(), 1.0f);
}

TEST(ResonantFilter, FrequencyMapsExponentiallyFrom41To13000Hertz) {
    ResonantFilter filter(44100);
    filter.setFrequency(0.0f);
    EXPECT_FLOAT_EQ(filter.cutoff(), 41.0f);
    filter.setFrequency(0.5f);
    EXPECT_NEAR(filter.cutoff(), 153.84f, 0.01f);
    filter.setFrequency(1.0f);
    EXPECT_NEAR(filter.cutoff(), 13000.0f, 0.01f);
}

TEST(ResonantFilter, ResonanceMapsOntoQFrom1To100) {
    ResonantFilter filter(44100);
    filter.setResonance(0.5f);
    EXPECT_FLOAT_EQ(filter.resonance(), 10.0f);
    filter.setResonance(1.0f);
    EXPECT_FLOAT_EQ(filter.resonance(), 100.0f);
}

TEST(ResonantFilter, LowPassCoefficientsAtFullCutoffAndQ1) {
    const FilterCoefficients k = openFilter().coefficients();
    EXPECT_NEAR(k.c, 0.507692f, 1e-6f);
    EXPECT_NEAR(k.cSquared, 0.257751f, 1e-6f);
    EXPECT_NEAR(k.damping, 0.268941f, 1e-6f);
    EXPECT_NEAR(k.c / k.damping, 1.887743f, 1e-5f);
    EXPECT_NEAR(k.a0, 2.145494f, 1e-5f);
    EXPECT_NEAR(2 * k.cSquared + k.lowpassFeedback, 1.403246f, 1e-5f);
}

TEST(ResonantFilter, HighPassCoefficientsAtFullCutoffAndQ1) {
    const FilterCoefficients k = openFilter(ResonantFilter::highPass).coefficients();
    EXPECT_NEAR(k.damping, 0.457734f, 1e-6f);
    EXPECT_NEAR(k.c / k.damping, 1.109143f, 1e-5f);
    EXPECT_NEAR(k.a0, 1.366895f, 1e-5f);
    EXPECT_NEAR(k.highpassGain, 0.530330f, 1e-6f);
}

TEST(ResonantFilter, OutputFollowsTheEquationOfItsCoefficientsInBothModes) {
    for (int32_t mode : {ResonantFilter::lowPass, ResonantFilter::highPass}) {
        ResonantFilter filter = openFilter(mode);
        filter.setFrequency(0.4f);
        filter.setResonance(0.6f);
        const FilterCoefficients k = filter.coefficients();
        const double q = filter.resonance();
        std::vector<float> block(64);
        for (size_t i = 0; i < block.size(); ++i) {
            block[i] = 0.2f * static_cast<float>(std::sin(0.3 * static_cast<double>(i)));
        }
        const std::vector<float> input = block;
        filter.render(block.data(), 64);

        const double cOverE = k.c / k.damping;
        const double feedback = 2.0 * k.cSquared + cOverE - 1.0;
        double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
        for (size_t i = 0; i < input.size(); ++i) {
            const double x = input[i];
            const double fed = feedback * y1 - k.cSquared * y2;
            const double y = mode == ResonantFilter::lowPass
                                 ? (x / std::sqrt(q + 1.0) + fed) / k.a0
                                 : (k.highpassGain * ((cOverE + k.cSquared) * x - (cOverE + 2.0 * k.cSquared) * x1 +
                                                      k.cSquared * x2) +
                                    fed) /
                                       k.a0;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
            ASSERT_NEAR(block[i], (1.0 + 0.06 * q) * 1.3 * y, 1e-5) << "mode " << mode << " sample " << i;
        }
    }
}

TEST(ResonantFilter, LowPassSettlesOnAConstantInputAtItsDcGainTimesTheOutputGain) {
    ResonantFilter filter = openFilter();
    EXPECT_NEAR(filtered(filter, 4096, 0.1f).back(), 0.1 / std::sqrt(2.0) * 1.378, 1e-4);
}

TEST(ResonantFilter, HighPassBlocksAConstantInput) {
    ResonantFilter filter = openFilter(ResonantFilter::highPass);
    EXPECT_NEAR(filtered(filter, 4096, 0.1f).back(), 0.0f, 1e-6f);
}

TEST(ResonantFilter, ModeChangeTakesEffectFromTheNextBlock) {
    ResonantFilter filter = openFilter();
    filtered(filter, 100, 0.1f);
    filter.setMode(ResonantFilter::highPass);
    EXPECT_NEAR(filter.coefficients().damping, 0.268941f, 1e-6f);
    filtered(filter, 4096, 0.1f);
    EXPECT_NEAR(filter.coefficients().damping, 0.457734f, 1e-6f);
}

TEST(ResonantFilter, OutputNeverLeavesPlusMinus09) {
    ResonantFilter filter = openFilter();
    filter.setResonance(1.0f);
    const std::vector<float> block = filtered(filter, 2000, 10.0f);
    EXPECT_EQ(*std::max_element(block.begin(), block.end()), 0.9f);
    EXPECT_GE(*std::min_element(block.begin(), block.end()), -0.9f);
}

TEST(ResonantFilter, RenderingNoFramesChangesNothing) {
    ResonantFilter filter = openFilter();
    float sample = 0.5f;
    filter.render(&sample, 0);
    filter.render(&sample, -5);
    EXPECT_EQ(sample, 0.5f);
    EXPECT_EQ(filter.lfoCountdown(), 0);
    EXPECT_EQ(filter.lfoPhase(), 0);
    EXPECT_EQ(filter.lfoRate(), 0);
}

TEST(ResonantFilter, LfoWithoutAmountKeepsTheCutoffAtTheFrequencySetting) {
    ResonantFilter filter = openFilter();
    filter.setFrequency(0.5f);
    const float cutoff = filter.cutoff();
    filter.setLfoRate(100);
    filtered(filter, 1000, 0.0f);
    EXPECT_EQ(filter.cutoff(), cutoff);
    EXPECT_NE(filter.lfoPhase(), 0);
}

TEST(ResonantFilter, LfoRateBelowOneActsAsOne) {
    ResonantFilter filter = openFilter();
    filtered(filter, 1, 0.0f);
    EXPECT_EQ(filter.lfoRate(), 1);
    EXPECT_EQ(filter.lfoPhase(), 10);
    EXPECT_EQ(filter.lfoCountdown(), 9);
}

TEST(ResonantFilter, LfoTurnsAtHalfItsSwingAndCompletesAPeriodIn4TimesHalfSteps) {
    ResonantFilter filter = openFilter();
    filter.setLfoRate(100);  // half swing 882 steps, one step per filtered sample
    filtered(filter, 890, 0.0f);
    EXPECT_EQ(filter.lfoPhase(), 874);
    EXPECT_EQ(filter.lfoDirection(), -1);
    filtered(filter, 10 * 3528 - 890, 0.0f);  // ten whole periods of 3528 steps
    EXPECT_EQ(filter.lfoPhase(), 0);
    EXPECT_EQ(filter.lfoDirection(), 1);
}

// The LFO's period is a time: 0.04 s for its half swing at rate 100, whatever the sample rate, and
// a change of rate keeps its place in the cycle.
TEST(ResonantFilter, TheLfoPeriodIsTheSameTimeAtEveryRate) {
    for (const double rate : {8000.0, 48000.0, 96000.0, 384000.0}) {
        ResonantFilter filter = openFilter(ResonantFilter::lowPass, rate);
        filter.setLfoRate(100);
        const auto period = static_cast<uint32_t>(0.08 * rate);
        filtered(filter, period / 4 + 10, 0.0f);
        EXPECT_EQ(filter.lfoPhase(), static_cast<int32_t>(period / 4) - 10) << rate;
        EXPECT_EQ(filter.lfoDirection(), -1) << rate;
        filtered(filter, 10 * period - period / 4 - 10, 0.0f);
        EXPECT_EQ(filter.lfoPhase(), 0) << rate;
    }
    ResonantFilter filter = openFilter();
    filter.setLfoRate(100);
    filtered(filter, 440, 0.0f);
    filter.setSampleRate(88200.0);
    EXPECT_EQ(filter.lfoPhase(), 880);
}

// At every rate the filter settles on a constant input at its extremes: low rates bring the top
// cutoff down with them, where the equations would otherwise lose their stability. And a tone
// passes at the same level at every rate, the cutoff being in hertz.
TEST(ResonantFilter, SettlesAtEveryRateAndPassesATonePerItsCutoffInHertz) {
    for (const double rate : {8000.0, 22050.0, 44100.0, 192000.0, 384000.0}) {
        for (const int32_t mode : {ResonantFilter::lowPass, ResonantFilter::highPass}) {
            for (const float resonance : {0.0f, 1.0f}) {
                ResonantFilter filter = openFilter(mode, rate);
                filter.setResonance(resonance);
                filtered(filter, static_cast<uint32_t>(rate), 0.01f);
                const std::vector<float> settled = filtered(filter, 100, 0.01f);
                const auto [low, high] = std::minmax_element(settled.begin(), settled.end());
                EXPECT_LT(*high - *low, 1e-5f) << rate << " Hz, mode " << mode << ", resonance " << resonance;
            }
        }
    }
    auto toneLevel = [](double rate) {
        ResonantFilter filter = openFilter(ResonantFilter::lowPass, rate);
        filter.setFrequency(0.8f);  // about 1.6 kHz
        float loudest = 0.0f;
        for (uint32_t k = 0; k < static_cast<uint32_t>(rate); ++k) {
            float sample = 0.1f * static_cast<float>(std::sin(2.0 * 3.14159265358979 * 1000.0 * k / rate));
            filter.render(&sample, 1);
            if (k > rate / 2) loudest = std::max(loudest, std::fabs(sample));
        }
        return loudest;
    };
    const float at44100 = toneLevel(44100.0);
    for (const double rate : {22050.0, 48000.0, 96000.0}) EXPECT_NEAR(toneLevel(rate) / at44100, 1.0f, 0.06f) << rate;
}

TEST(ResonantFilter, FullLfoAmountSweepsTheWholeCutoffRangeOverOnePeriod) {
    ResonantFilter filter = openFilter();
    filter.setFrequency(0.5f);
    filter.setLfoAmount(1.0f);
    filter.setLfoRate(100);
    float lowest = 1e9f;
    float highest = 0.0f;
    for (int step = 0; step < 3528 / 10; ++step) {
        filtered(filter, 10, 0.0f);
        lowest = std::min(lowest, filter.cutoff());
        highest = std::max(highest, filter.cutoff());
    }
    EXPECT_FLOAT_EQ(lowest, 41.0f);
    EXPECT_NEAR(highest, 13000.0f, 0.01f);
}

TEST(ResonantFilter, ScheduledRestartCountsLfoStepsThenRestartsRising) {
    ResonantFilter filter = openFilter();
    filter.setLfoRate(100);
    filtered(filter, 50, 0.0f);
    filter.scheduleLfoRestart(25);
    filtered(filter, 20, 0.0f);
    EXPECT_EQ(filter.restartCountdown(), 5);
    EXPECT_EQ(filter.lfoPhase(), 70);
    // Steps 21 to 25 count down to 0, step 26 restarts at phase 1, steps 27 to 30 rise to 5.
    filtered(filter, 10, 0.0f);
    EXPECT_EQ(filter.restartCountdown(), -1);
    EXPECT_EQ(filter.lfoPhase(), 5);
    EXPECT_EQ(filter.lfoDirection(), 1);

    filter.scheduleLfoRestart(0);
    filtered(filter, 10, 0.0f);
    EXPECT_EQ(filter.lfoPhase(), 10);
}

TEST(ResonantFilter, LfoRateTooFastToDivideIsHeldAtTheFastestWorkingRate) {
    ResonantFilter filter = openFilter();
    filter.setLfoAmount(0.5f);
    filter.setLfoRate(1000000);
    const std::vector<float> block = filtered(filter, 100, 0.1f);
    EXPECT_EQ(filter.lfoRate(), 88200);
    EXPECT_TRUE(std::all_of(block.begin(), block.end(), [](float s) { return std::isfinite(s); }));
}

TEST(ResonantFilter, RingsOutToExactSilenceWithoutDenormalsWhileFlushing) {
    ASSERT_TRUE(ScopedDenormalFlush::isSupported());
    const ScopedDenormalFlush flush;
    ResonantFilter filter = openFilter();
    filter.setFrequency(0.0f);
    filter.setResonance(0.5f);
    std::vector<float> block(44100, 0.0f);
    block[0] = 0.9f;
    for (int second = 0; second < 10; ++second) {
        filter.render(block.data(), static_cast<int32_t>(block.size()));
        EXPECT_TRUE(
            std::none_of(block.begin(), block.end(), [](float s) { return std::fpclassify(s) == FP_SUBNORMAL; }));
        std::fill(block.begin(), block.end(), 0.0f);
    }
    filter.render(block.data(), static_cast<int32_t>(block.size()));
    EXPECT_EQ(block.back(), 0.0f);
}

namespace {

// The filter and its LFO worked out again from their formulas, in double precision and with none
// of the filter's own code: the cutoff 10^(v log10 12960) + 40 Hz, q = 10^(2 r), c = K / cutoff
// with K = 44100 x 0.14965986, the damping e of each mode, the two difference equations, the output
// gain (1 + 0.06 q) x 1.3 limited to 0.9, and a triangle LFO stepped by 10 at every 10th sample.
class ReferenceFilter {
public:
    ReferenceFilter(bool highPassMode, double frequency, double resonanceValue, int rate = 1, double lfoAmount = 0.0)
        : highPass(highPassMode),
          base(frequency),
          q(std::pow(10.0, 2.0 * resonanceValue)),
          amount(lfoAmount),
          half(176400 / std::max(rate, 1) / 2) {
        setCutoff(frequency);
    }

    double next(double x) {
        if (countdown == 0) {
            for (int step = 0; step < 10; ++step) {
                if (phase >= half) direction = -1;
                if (phase <= -half) direction = 1;
                phase += direction;
            }
            setCutoff(std::clamp(static_cast<double>(phase) / half * amount + base, 0.0, 1.0));
            countdown = 10;
        }
        --countdown;
        const double c = 44100.0 * 0.14965986 / cutoff;
        const double e = highPass ? q / (std::pow(1.0 / c, 0.25) + 1.0) : q / (std::exp(cutoff / 13000.0) + 1.0);
        const double a0 = c * c + c / e;
        const double fed = (2.0 * c * c + c / e - 1.0) * y1 - c * c * y2;
        const double y =
            highPass
                ? (0.75 / std::sqrt(q + 1.0) * ((c / e + c * c) * x - (c / e + 2.0 * c * c) * x1 + c * c * x2) + fed) /
                      a0
                : (x / std::sqrt(q + 1.0) + fed) / a0;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return std::clamp((1.0 + 0.06 * q) * 1.3 * y, -0.9, 0.9);
    }

    double cutoff = 0.0;

private:
    // The filter keeps its cutoff as a float, and a low cutoff's rounding shows in the output.
    void setCutoff(double value) { cutoff = static_cast<float>(std::pow(10.0, value * std::log10(12960.0)) + 40.0); }

    bool highPass;
    double base;
    double q;
    double amount;
    int half;
    int phase = 0;
    int direction = 1;
    int countdown = 0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
};

// Two tones, one below and one above most cutoffs, so that both the pass and the stop band count.
float testSignal(int i) { return static_cast<float>(0.15 * std::sin(0.01 * i) + 0.05 * std::sin(1.3 * i)); }

}  // namespace

TEST(ResonantFilter, ResponseMatchesTheFormulasAtSeveralCutoffsResonancesAndModes) {
    for (const bool highPass : {false, true}) {
        // The lower the cutoff, the larger c, the closer the poles lie to 1 and the more the filter's
        // float rounding grows: to about a percent of its output at 60 Hz, near float precision at 2 kHz.
        const std::pair<float, double> cutoffsAndTolerances[] = {
            {0.15f, 2e-2}, {0.6f, 1e-3}, {0.8f, 1e-4}, {1.0f, 1e-4}};
        for (const auto& [frequency, tolerance] : cutoffsAndTolerances) {
            for (const float resonance : {0.0f, 0.35f, 0.7f}) {
                ResonantFilter filter = openFilter(highPass ? ResonantFilter::highPass : ResonantFilter::lowPass);
                filter.setFrequency(frequency);
                filter.setResonance(resonance);
                ReferenceFilter reference(highPass, frequency, resonance);
                std::vector<float> block(2000);
                for (int i = 0; i < 2000; ++i) block[static_cast<std::size_t>(i)] = testSignal(i);
                filter.render(block.data(), 2000);
                double largestError = 0.0;
                double peak = 0.0;
                for (int i = 0; i < 2000; ++i) {
                    const double expected = reference.next(testSignal(i));
                    largestError = std::max(largestError, std::abs(block[static_cast<std::size_t>(i)] - expected));
                    peak = std::max(peak, std::abs(expected));
                }
                EXPECT_LT(largestError, tolerance * peak)
                    << "high-pass " << highPass << ", frequency " << frequency << ", resonance " << resonance;
            }
        }
    }
}

TEST(ResonantFilter, LfoModulatesTheCutoffInParameterUnitsAsTheFormulasSay) {
    for (const float amount : {0.25f, 0.8f}) {
        ResonantFilter filter = openFilter();
        filter.setFrequency(0.6f);
        filter.setResonance(0.3f);
        filter.setLfoRate(37);
        filter.setLfoAmount(amount);
        ReferenceFilter reference(false, 0.6, 0.3, 37, amount);
        double largestError = 0.0;
        // Three LFO periods of 4 x 2383 samples, ten samples at a time: the cutoff at every LFO step.
        for (int i = 0; i < 28600; i += 10) {
            float block[10];
            for (int j = 0; j < 10; ++j) block[j] = testSignal(i + j);
            filter.render(block, 10);
            for (int j = 0; j < 10; ++j) {
                largestError = std::max(largestError, std::abs(block[j] - reference.next(testSignal(i + j))));
            }
            ASSERT_NEAR(filter.cutoff(), reference.cutoff, reference.cutoff * 1e-5) << "sample " << i;
        }
        EXPECT_LT(largestError, 2e-3) << "amount " << amount;
    }
}

// Infinite or not-a-number settings, and finite ones far outside 0 ... 1, keep the coefficients finite;
// a history that was ever fed a non-finite sample starts again from silence instead of repeating it.
TEST(ResonantFilter, NeitherExtremeSettingsNorANonFiniteInputLeaveItSilencedForGood) {
    const float extremes[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f};
    for (int32_t mode : {ResonantFilter::lowPass, ResonantFilter::highPass}) {
        for (float extreme : extremes) {
            ResonantFilter filter = openFilter(mode);
            filter.setFrequency(extreme);
            filter.setResonance(extreme);
            filter.setLfoAmount(extreme);
            for (float sample : filtered(filter, 100, 0.25f)) ASSERT_TRUE(std::isfinite(sample)) << extreme;
        }
        ResonantFilter filter = openFilter(mode);
        filtered(filter, 3, NAN);
        filtered(filter, 3, INFINITY);
        const std::vector<float> after = filtered(filter, 64, 0.1f);
        ResonantFilter fresh = openFilter(mode);
        EXPECT_EQ(after, filtered(fresh, 64, 0.1f));
    }
}
