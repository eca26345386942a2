#pragma once

#include <cstdint>
#include <vector>

// Finds where hits begin. The sound is split into four frequency bands, and a hit shows as a rise
// of level in one or more of them from one short window to the next: a quiet ghost note or hat
// rises against the little that its bands held before, even under the tail of a louder hit that
// fills the low bands, while the echoes of a hit in a hall do not. Each rise is then traced back to
// the frame where the new sound starts. The first frame always starts a slice, and hits closer than
// 50 ms make one slice, from the first of them. The same samples give the same onsets on every
// machine: no decision rests on a library's mathematical functions.
class OnsetDetector {
public:
    explicit OnsetDetector(int sampleRate);

    // `interleaved` holds `frames` frames of `channels` values in [-1, 1]. Frame indices, ascending,
    // starting with 0.
    std::vector<uint32_t> detect(const float* interleaved, uint32_t frames, int channels) const;

private:
    struct Candidate {
        uint32_t frame;
        double rise;
    };

    static std::vector<float> monoSamples(const float* interleaved, uint32_t frames, int channels);
    std::vector<std::vector<double>> windowEnergies(const std::vector<float>& samples) const;
    std::vector<double> riseFunction(const std::vector<float>& samples) const;
    uint32_t startOfRise(const std::vector<float>& samples, uint32_t from, uint32_t to) const;
    std::vector<uint32_t> keepApart(std::vector<Candidate> candidates) const;

    double sampleRate;
    uint32_t hop;  // frames from one analysis window to the next
    uint32_t minimumGap;
};
