#pragma once

#include <atomic>
#include <cstdint>

// The parameters changed since the panel last looked. Any thread marks; the window's thread
// takes the whole set at once. Nobody waits and no value travels here: the panel reads the
// stored value when it shows a change, so it always ends on what the instrument holds.
class ParameterChangeSet {
public:
    static constexpr std::int32_t capacity = 32;

    void mark(std::int32_t index) noexcept {
        if (index < 0 || index >= capacity) return;
        marks.fetch_or(1u << index, std::memory_order_release);
    }

    // Hands every marked index to `show(index)` in ascending order and clears the set.
    template <typename Show>
    void take(Show&& show) {
        std::uint32_t taken = marks.exchange(0, std::memory_order_acquire);
        for (std::int32_t index = 0; taken != 0; ++index, taken >>= 1) {
            if (taken & 1u) show(index);
        }
    }

private:
    std::atomic<std::uint32_t> marks{0};
};
