#pragma once

#include "loopfile/RexReader.h"

#include <cstdint>
#include <string>

// Reads any loop the instrument plays: a REX file as RexReader reads it, or a plain WAV or AIFF file,
// which it cuts where the onset detector hears hits, slice i on note 36 + i, as many as notes reach.
// Such a loop's tempo and length come from what the file says of them: an "acid" chunk's tempo and
// beats, the first loop of a "smpl" chunk, or an AIFF annotation such as "4 bars" or "96 bpm".
// Failing those the loop is taken to be 1, 2, 4, 8 or 16 bars of 4/4, whichever puts its tempo
// nearest 120 bpm. The same file gives the same slices on every machine.
class LoopReader : public RexReader {
public:
    static constexpr int32_t mostSlices = 92;  // notes 36 to 127

    explicit LoopReader(InputFile& input);

    // True when the slices were cut at the hits rather than read from a REX table.
    bool slicedAtHits() const { return sliced; }
    // The hits past the last note, which no slice holds.
    int32_t hitsLeftOut() const { return leftOut; }
    // What the user should be told about a loop that did load, or nothing.
    std::string loadingNote() const;

protected:
    void readApplicationChunk(uint32_t size) override;
    void readMetadataChunk(const uint8_t* identifier, uint32_t size) override;
    void finishParse() override;

private:
    struct Timing {
        uint32_t ticks;
        uint32_t tempoField;
    };

    void readAcidChunk(uint32_t size);
    void readSamplerChunk(uint32_t size);
    void readAnnotation(uint32_t size);
    void sliceAtHits();
    // The loop's length in ticks and its tempo, for `loopFrames` frames of sound.
    Timing timingFor(uint32_t loopFrames) const;

    bool rexChunkRead = false;
    bool sliced = false;
    int32_t leftOut = 0;
    // What the file states; zero where it states nothing.
    double statedTempo = 0.0;
    double statedBeats = 0.0;
    uint32_t statedLoopFrames = 0;
};
