#pragma once

#include "engine/Slice.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// Owns the loaded slices in the order they were added, finds the slice for a MIDI note and turns
// pitch offsets in cents into playback-rate ratios through a table built once.
class SliceBank {
public:
    static constexpr int32_t capacity = 256;
    static constexpr int32_t pitchTableSize = 12000;
    static constexpr int32_t pitchTableCentre = 6000;

    SliceBank();
    virtual ~SliceBank();

    SliceBank(const SliceBank&) = delete;
    SliceBank& operator=(const SliceBank&) = delete;

    // Takes ownership and answers the new count. A slice that no longer fits (or a null one) is
    // destroyed and the count stays as it was.
    int32_t addSlice(Slice* offered);
    // The first slice in bank order whose note is at or above the asked one, else the last; null when empty.
    Slice* sliceForNote(uint16_t note) const;
    // Ratio for the slice's own shift plus the bend in force, read from the table with the index kept inside it.
    float pitchRatio(int32_t cents) const noexcept;
    float pitchTableEntry(int32_t index) const { return pitchTable_[static_cast<size_t>(index)]; }
    void clearSlices();
    // Holds the given slices instead of the present ones, each prepared as addSlice prepares it, and
    // hands the present ones back in `slices`, so that the caller can release them at its leisure.
    void exchangeSlices(std::vector<std::unique_ptr<Slice>>& slices);

    int32_t count() const { return count_; }
    Slice* slice(int32_t index) const { return slots_[static_cast<size_t>(index)].get(); }

    int16_t bendCents() const { return bendCents_; }
    void setBendCents(int16_t cents) { bendCents_ = cents; }

private:
    std::array<std::unique_ptr<Slice>, capacity> slots_;
    int32_t count_ = 0;
    const float* pitchTable_;
    int16_t bendCents_ = 0;
};
