#pragma once

#include "Song.h"

#include <cstdint>
#include <vector>

// The song's bars, counted in quarter notes. A song is in 4/4 until a time signature says
// otherwise; each time signature starts a new bar where it stands.
class BarGrid {
public:
    struct Bar {
        double startQuarter;
        std::uint32_t numerator;
        std::uint32_t denominator;
    };

    explicit BarGrid(const Song& song);

    // The bar that holds a position given in quarter notes.
    Bar barAt(double quarter) const;

private:
    std::vector<Bar> metres;
};
