#include "engine/SliceBank.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr uint16_t firstAutomaticNote = 60;

// The same ratios serve every bank; working out 12000 powers took most of making an instance.
const std::array<float, SliceBank::pitchTableSize>& sharedPitchTable() {
    static const std::array<float, SliceBank::pitchTableSize> table = [] {
        std::array<float, SliceBank::pitchTableSize> ratios{};
        for (int32_t i = 0; i < SliceBank::pitchTableSize; ++i) {
            ratios[static_cast<size_t>(i)] =
                static_cast<float>(std::pow(2.0, static_cast<double>(i - SliceBank::pitchTableCentre) / 1200.0));
        }
        return ratios;
    }();
    return table;
}
}  // namespace

SliceBank::SliceBank() : pitchTable_(sharedPitchTable().data()) {}

SliceBank::~SliceBank() {
    for (int32_t i = 0; i < count_; ++i) {
        slots_[static_cast<size_t>(i)].reset();
    }
}

int32_t SliceBank::addSlice(Slice* offered) {
    std::unique_ptr<Slice> owned(offered);
    if (!owned || count_ >= capacity) {
        return count_;
    }
    owned->setPan(0);
    owned->setCentsShift(0);
    owned->setReverse(false);
    if (owned->note() == Slice::unassignedNote) {
        owned->setNote(count_ == 0 ? firstAutomaticNote : static_cast<uint16_t>(slice(count_ - 1)->note() + 1));
    }
    slots_[static_cast<size_t>(count_)] = std::move(owned);
    return ++count_;
}

Slice* SliceBank::sliceForNote(uint16_t note) const {
    if (count_ == 0) {
        return nullptr;
    }
    const auto used = slots_.begin() + count_;
    const auto found = std::find_if(slots_.begin(), used, [note](const auto& held) { return held->note() >= note; });
    return found != used ? found->get() : slice(count_ - 1);
}

float SliceBank::pitchRatio(int32_t cents) const noexcept {
    const int64_t index = int64_t{pitchTableCentre} + cents + bendCents_;
    return pitchTable_[static_cast<size_t>(std::clamp<int64_t>(index, 0, pitchTableSize - 1))];
}

void SliceBank::clearSlices() {
    while (count_ > 0) {
        --count_;
        slots_[static_cast<size_t>(count_)].reset();
    }
}

void SliceBank::exchangeSlices(std::vector<std::unique_ptr<Slice>>& slices) {
    std::vector<std::unique_ptr<Slice>> previous;
    previous.reserve(static_cast<size_t>(count_));
    for (int32_t i = 0; i < count_; ++i) {
        previous.push_back(std::move(slots_[static_cast<size_t>(i)]));
    }
    count_ = 0;
    for (std::unique_ptr<Slice>& slice : slices) {
        addSlice(slice.release());
    }
    slices = std::move(previous);
}
