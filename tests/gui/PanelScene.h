#pragma once

#include "gui/EditorFrame.h"
#include "gui/Fader.h"
#include "gui/MomentaryButton.h"
#include "gui/StepSwitch.h"
#include "gui/ToggleButton.h"

#include <array>
#include <memory>

class FrameHost;
class GuiPlatform;
class SkinBitmap;
class ValueListener;

// The panel as the editor lays it out, on bitmaps 128 to 134 of the given platform, with every
// control set to a value of its own, so two platforms can be compared on the same picture.
class PanelScene {
public:
    PanelScene(GuiPlatform& platform, void* parentWindow, FrameHost* editor, ValueListener* listener);
    ~PanelScene();
    PanelScene(const PanelScene&) = delete;
    PanelScene& operator=(const PanelScene&) = delete;

    EditorFrame& frame() { return *panelFrame; }
    SkinBitmap& bitmap(std::int32_t resourceNumber) { return *bitmaps[static_cast<std::size_t>(resourceNumber - 128)]; }

    static constexpr PixelRect panelBounds{0, 0, 250, 100};

    Fader* attack = nullptr;
    Fader* decay = nullptr;
    Fader* lfoAmount = nullptr;
    StepSwitch* filterMode = nullptr;
    StepSwitch* syncMode = nullptr;
    ToggleButton* filterOn = nullptr;
    ToggleButton* syncOn = nullptr;
    MomentaryButton* load = nullptr;
    MomentaryButton* exportButton = nullptr;

private:
    std::array<SkinBitmap*, 7> bitmaps{};
    std::unique_ptr<EditorFrame> panelFrame;
};
