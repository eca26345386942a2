#pragma once

#include "editor/ParameterChangeSet.h"
#include "gui/GuiGeometry.h"
#include "gui/ValueListener.h"
#include "shared/PanelLayout.h"

#include <array>
#include <cstdint>

class EditorFrame;
class Fader;
class FrameOwner;
class PanelHost;
class SkinBitmap;
class StepSwitch;
class ValueControl;

// The instrument's panel: 250 x 100 pixels of background with eight faders, two file buttons,
// two LEDs and two step switches. It reaches the plug-in only through its `PanelHost`, and shows
// itself in the frame of a `FrameOwner`, which passes on the frame's gestures and paints.
//
// Threads: `setParameter` may come from any thread; it marks the parameter. The window's thread shows the marked
// parameters from the instrument's stored values at its next `idle` or paint; an `idle` from another thread only asks
// for that paint.
class InstrumentPanel : private ValueListener {
public:
    static constexpr PixelRect panelArea{PanelLayout::panelBounds.left, PanelLayout::panelBounds.top,
                                         PanelLayout::panelBounds.right, PanelLayout::panelBounds.bottom};

    InstrumentPanel(PanelHost& host, FrameOwner& window);
    ~InstrumentPanel() override;
    InstrumentPanel(const InstrumentPanel&) = delete;
    InstrumentPanel& operator=(const InstrumentPanel&) = delete;

    // Answers 0 and keeps nothing when no window can be made in `parentWindow`. A second open
    // replaces the first panel.
    int open(void* parentWindow);
    void close();
    // Answers whether the frame's own idle should follow, which only the window's thread may run.
    bool idle();
    void setParameter(std::int32_t index, float value);
    // Drags announce the parameter they change, not the control's tag; the buttons announce nothing.
    void beginEdit(std::int32_t tag);
    void endEdit(std::int32_t tag);
    void showPendingChanges();

    // The control bound to a parameter while the panel is open, else null.
    ValueControl* controlFor(std::int32_t parameter) const;

private:
    void onValueChanged(PaintContext& context, ValueControl& control) override;
    EditorFrame* frame() const;
    int openPanel(void* parentWindow);
    void closePanel();
    void createControls(EditorFrame& panel);
    ValueControl* createControl(const PanelLayout::Control& at);
    // Sets a new control to the stored value of its parameter and remembers it as that parameter's.
    void bind(ValueControl* control);
    void showStoredValue(std::int32_t parameter);
    bool exchangeWaitsForDrag() const;
    // The rate fader and the sync-mode switch share one place; `context` draws the exchange at
    // once, without one the whole panel redraws at the next idle.
    void showRateOrSyncMode(bool syncOn, PaintContext* context);
    SkinBitmap* bitmap(std::int32_t resourceNumber) const;
    void releaseBitmaps();

    PanelHost& host;
    FrameOwner& window;
    std::array<SkinBitmap*, PanelLayout::bitmapCount> bitmaps{};
    std::array<ValueControl*, Parameter::count> boundControls{};
    // The editor holds one reference on each, the frame one more on the one it shows: one of the
    // two is always outside the frame and must not be lost with it.
    Fader* rateFader = nullptr;
    StepSwitch* syncModeSwitch = nullptr;
    ParameterChangeSet changedParameters;
    std::int32_t draggedParameter = Parameter::none;
};
