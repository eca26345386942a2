#include "BarGrid.h"

#include <algorithm>
#include <cmath>

BarGrid::BarGrid(const Song& song) {
    metres.push_back({0.0, 4, 4});
    for (const Song::TimeSignature& signature : song.timeSignatures) {
        const double quarter = static_cast<double>(signature.tick) / song.ticksPerQuarter;
        if (quarter == metres.back().startQuarter) metres.pop_back();
        metres.push_back({quarter, signature.numerator, signature.denominator});
    }
}

BarGrid::Bar BarGrid::barAt(double quarter) const {
    const auto after = std::upper_bound(metres.begin(), metres.end(), quarter,
                                        [](double q, const Bar& metre) { return q < metre.startQuarter; });
    const Bar& metre = after == metres.begin() ? metres.front() : *(after - 1);
    const double quartersPerBar = metre.numerator * 4.0 / metre.denominator;
    const double barsIn = std::floor((quarter - metre.startQuarter) / quartersPerBar);
    return {metre.startQuarter + std::max(0.0, barsIn) * quartersPerBar, metre.numerator, metre.denominator};
}
