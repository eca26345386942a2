#pragma once

#include "editor/PanelCommands.h"

#include <cstdint>

// What the panel asks of the plug-in format that shows it: the stored parameter values, changes
// with the gestures around them, time for the host during a drag, and the file commands.
class PanelHost : public PanelCommands {
public:
    virtual float parameterValue(std::int32_t parameter) = 0;
    // The user's change: the sound takes it and the host hears of it, for its automation.
    virtual void setFromPanel(std::int32_t parameter, float value) = 0;
    // A value the panel hands back to the sound without it being the user's change.
    virtual void setUnannounced(std::int32_t parameter, float value) = 0;
    virtual void beginGesture(std::int32_t parameter) = 0;
    virtual void endGesture(std::int32_t parameter) = 0;
    // The host's idle while a drag holds the panel's thread.
    virtual void idleHost() = 0;

protected:
    ~PanelHost() = default;
};
