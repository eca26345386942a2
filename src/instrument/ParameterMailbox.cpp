#include "instrument/ParameterMailbox.h"

void ParameterMailbox::post(std::int32_t index, float value) noexcept {
    if (index < 0 || index >= capacity) return;
    values[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
    // The release pairs with the collector's acquire, so it reads this value or a newer one.
    dirty.fetch_or(1u << index, std::memory_order_release);
}
