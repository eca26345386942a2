#pragma once

#include "instrument/ProgramRecord.h"

#include <string>
#include <vector>

// The text of an SFZ instrument that plays a loop's slice files the way the plug-in plays its
// slices: one region per slice on the slice's note, played once to its end, bend range one octave
// each way, and the program's amplitude envelope in the group header.
class SfzInstrument {
public:
    // The envelope in SFZ's units, from a program's values as the instrument's engine takes them:
    // times in seconds, decay and release no shorter than the engine's shortest ramp, sustain in
    // percent. A value that is not a finite number is one the instrument does not keep, so the fresh
    // program's value stands for it; every value is clipped to its range as the engine clips it.
    struct Envelope {
        float attack = 0.0f;
        float decay = 0.0f;
        float sustainPercent = 0.0f;
        float release = 0.0f;
        bool sustainClipped = false;

        static Envelope of(const ProgramRecord& program);
    };
    struct Region {
        int key;
        std::string sample;
    };

    // Whether a file name can stand in the instrument's text as a sample name and in its heading.
    static bool carries(const std::string& name);

    SfzInstrument(std::string loopName, double tempo, std::uint32_t loopTicks, Envelope envelope);
    void addRegion(int key, const std::string& sample) { regions.push_back({key, sample}); }
    std::string text() const;

private:
    std::string source;
    double bpm;
    std::uint32_t ticks;
    Envelope amp;
    std::vector<Region> regions;
};
