#pragma once

#include "gui/GuiGeometry.h"
#include "platform/software/PointerSource.h"

#include <cstddef>
#include <vector>

// The mouse and modifier keys of the software platform. A test scripts the samples a drag sees:
// each read of the cursor position (once per drag step) moves on to the next sample.
class ScriptedPointer final : public PointerSource {
public:
    struct Sample {
        PixelPoint screen;
        MouseButtons buttons = 0;
    };

    // The state from now on, without a script.
    void hold(PixelPoint screen, MouseButtons buttons);
    // Samples taken one per cursor read; the last one stays once the script is used up.
    void script(std::vector<Sample> samples);

    // Reads the cursor, moving on to the next scripted sample.
    PixelPoint readCursor() override;
    MouseButtons heldButtons() override { return current.buttons; }
    PixelPoint cursor() const { return current.screen; }
    MouseButtons buttons() const { return current.buttons; }
    std::size_t samplesLeft() const { return pending.size() - next; }

private:
    Sample current;
    std::vector<Sample> pending;
    std::size_t next = 0;
};
