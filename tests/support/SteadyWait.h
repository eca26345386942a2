#pragma once

#include <functional>

// Waits until `holds` has answered true at every check for `steadyMilliseconds`, calling `wait`
// (which lets about `stepMilliseconds` pass) between checks, and gives up after
// `limitMilliseconds`. For real input under Wine, where a state first reached may still be
// undone by events that predate it.
inline void waitUntilSteady(const std::function<bool()>& holds, const std::function<void()>& wait,
                            int steadyMilliseconds, int limitMilliseconds, int stepMilliseconds = 10) {
    for (int waited = 0, steady = 0; steady < steadyMilliseconds && waited < limitMilliseconds;
         waited += stepMilliseconds) {
        wait();
        steady = holds() ? steady + stepMilliseconds : 0;
    }
}
