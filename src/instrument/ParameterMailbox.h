#pragma once

#include <atomic>
#include <cstdint>

// Tells the audio thread, which alone touches the engine and the filter, which parameters changed.
// It carries marks, not values: the audio thread applies what the current program holds when it
// collects them, so engine and program agree whichever writer came last. Writers never wait.
class ParameterMailbox {
public:
    static constexpr std::int32_t capacity = 32;

    void post(std::int32_t index) noexcept;

    // Hands each parameter marked since the last collection to `apply(index)`, in index order.
    template <typename Apply>
    void collect(Apply&& apply) noexcept {
        std::uint32_t changed = dirty.exchange(0, std::memory_order_acquire);
        for (std::int32_t index = 0; changed != 0; ++index, changed >>= 1) {
            if (changed & 1u) apply(index);
        }
    }

private:
    std::atomic<std::uint32_t> dirty{0};
};
