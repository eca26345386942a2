#include "instrument/ParameterMailbox.h"

// The release pairs with the collector's acquire, so it reads the value stored before the mark or a newer one.
void ParameterMailbox::post(std::int32_t index) noexcept {
    if (index < 0 || index >= capacity) return;
    dirty.fetch_or(1u << index, std::memory_order_release);
}
