#pragma once

#include <cstdint>

// What the panel shows for a stored parameter value. Hosts store values unclamped, and
// automation or old projects leave values between the steps the controls produce; the panel
// shows the state the sound is in, while the stored value and the host's answers stay as they are.
namespace PanelDisplay {

// The value the control bound to `parameter` is set to for a stored `value`.
float shownValue(std::int32_t parameter, float value);

// Whether the LFO follows the tempo, which also decides whether the sync-mode switch stands in
// place of the rate fader.
bool syncShown(float syncOnValue);

}  // namespace PanelDisplay
