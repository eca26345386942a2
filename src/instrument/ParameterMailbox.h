#pragma once

#include <array>
#include <atomic>
#include <cstdint>

// Carries parameter changes from whichever thread sets them to the audio thread, which alone
// touches the engine and the filter. Writers never wait; the newest value of a parameter wins.
class ParameterMailbox {
public:
    static constexpr std::int32_t capacity = 32;

    void post(std::int32_t index, float value) noexcept;

    // Hands each parameter changed since the last collection to `apply(index, value)`, in index order.
    template <typename Apply>
    void collect(Apply&& apply) noexcept {
        std::uint32_t changed = dirty.exchange(0, std::memory_order_acquire);
        for (std::int32_t index = 0; changed != 0; ++index, changed >>= 1) {
            if (changed & 1u) apply(index, values[static_cast<std::size_t>(index)].load(std::memory_order_relaxed));
        }
    }

private:
    std::array<std::atomic<float>, capacity> values{};
    std::atomic<std::uint32_t> dirty{0};
};
