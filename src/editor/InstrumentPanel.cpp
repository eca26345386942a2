#include "editor/InstrumentPanel.h"

#include "editor/PanelDisplay.h"
#include "editor/PanelHost.h"
#include "gui/EditorFrame.h"
#include "gui/Fader.h"
#include "gui/FrameOwner.h"
#include "gui/GestureScope.h"
#include "gui/MomentaryButton.h"
#include "gui/SkinBitmap.h"
#include "gui/StepSwitch.h"
#include "gui/ToggleButton.h"

using namespace PanelLayout;

namespace {

constexpr PixelPoint firstImage{0, 0};

PixelRect pixelRect(const Rect& bounds) { return {bounds.left, bounds.top, bounds.right, bounds.bottom}; }

}  // namespace

InstrumentPanel::InstrumentPanel(PanelHost& panelHost, FrameOwner& frameOwner) : host(panelHost), window(frameOwner) {}

// The plug-in may go without closing its panel first (hosts and bridges that skip the close).
InstrumentPanel::~InstrumentPanel() {
    GestureScope::forget(this);
    closePanel();
}

// A panel whose gesture may still be running (a host re-showing its window while the load dialog
// is up) is replaced once the gesture has unwound; the newest open or close asked for meanwhile wins.
int InstrumentPanel::open(void* parentWindow) {
    if (frame() && GestureScope::active()) {
        GestureScope::forget(this);
        GestureScope::deferWhileActive(this, [this, parentWindow] { openPanel(parentWindow); });
        return parentWindow ? 1 : 0;
    }
    return openPanel(parentWindow);
}

int InstrumentPanel::openPanel(void* parentWindow) {
    closePanel();
    if (!parentWindow) return 0;
    for (std::int32_t i = 0; i < bitmapCount; ++i)
        bitmaps[static_cast<std::size_t>(i)] = new SkinBitmap(window.platform(), firstBitmap + i);
    EditorFrame& panel = window.openFrame(panelArea, parentWindow);
    // Answering 1 without a window makes hosts believe a panel is showing.
    if (!panel.hasWindow()) {
        closePanel();
        return 0;
    }
    panel.setBackground(bitmap(panelBackground));
    createControls(panel);
    return 1;
}

void InstrumentPanel::createControls(EditorFrame& panel) {
    for (const Control& at : controls) {
        ValueControl* control = createControl(at);
        if (at.parameter != Parameter::none) bind(control);
        if (at.tag == lfoRateTag) {
            rateFader = static_cast<Fader*>(control);
        } else if (at.tag == syncModeTag) {
            syncModeSwitch = static_cast<StepSwitch*>(control);
            Widget* shown = PanelDisplay::syncShown(host.parameterValue(Parameter::lfoSyncOn))
                                ? static_cast<Widget*>(syncModeSwitch)
                                : rateFader;
            shown->retain();
            panel.addWidget(shown);
        } else {
            panel.addWidget(control);
        }
    }
}

ValueControl* InstrumentPanel::createControl(const Control& at) {
    const PixelRect bounds = pixelRect(at.bounds);
    SkinBitmap* picture = bitmap(at.bitmap);
    switch (at.kind) {
        case Kind::momentaryButton:
            return new MomentaryButton(bounds, this, at.tag, at.imageHeight, picture, firstImage);
        case Kind::fader: {
            auto* fader = new Fader(bounds, this, at.tag, at.highestHandleTop, at.lowestHandleTop, picture,
                                    bitmap(panelBackground), {bounds.left, bounds.top}, Fader::invertedDrag);
            fader->setDefaultValue(at.defaultValue);
            return fader;
        }
        case Kind::stepSwitch:
            return new StepSwitch(bounds, this, at.tag, at.imageHeight, at.positions, picture, firstImage);
        case Kind::toggleButton: return new ToggleButton(bounds, this, at.tag, picture);
    }
    return nullptr;
}

void InstrumentPanel::bind(ValueControl* control) {
    const std::int32_t parameter = parameterOf(control->tag());
    boundControls[static_cast<std::size_t>(parameter)] = control;
    control->setValue(PanelDisplay::shownValue(parameter, host.parameterValue(parameter)));
}

// A close from inside one of the panel's own gestures waits until the gesture has unwound.
void InstrumentPanel::close() {
    GestureScope::forget(this);
    if (frame() && GestureScope::deferWhileActive(this, [this] { closePanel(); })) return;
    closePanel();
}

void InstrumentPanel::closePanel() {
    if (!frame()) {
        releaseBitmaps();
        return;
    }
    host.abandonChoice();
    window.closeFrame();
    // The frame released its hold on the one of the two it showed; the editor's own goes now. A
    // panel whose window could not be made has neither.
    if (rateFader) rateFader->release();
    if (syncModeSwitch) syncModeSwitch->release();
    rateFader = nullptr;
    syncModeSwitch = nullptr;
    boundControls.fill(nullptr);
    draggedParameter = Parameter::none;
    releaseBitmaps();
}

void InstrumentPanel::releaseBitmaps() {
    for (SkinBitmap*& held : bitmaps) {
        if (held) held->release();
        held = nullptr;
    }
}

SkinBitmap* InstrumentPanel::bitmap(std::int32_t resourceNumber) const {
    return bitmaps[static_cast<std::size_t>(resourceNumber - firstBitmap)];
}

ValueControl* InstrumentPanel::controlFor(std::int32_t parameter) const {
    if (parameter < 0 || parameter >= Parameter::count) return nullptr;
    return boundControls[static_cast<std::size_t>(parameter)];
}

// The instrument stores what the sound plays, finite, before it tells the panel; the value shown is
// read back from there, so a panel opened later shows the same.
void InstrumentPanel::setParameter(std::int32_t index, float) { changedParameters.mark(index); }

// Widgets belong to the window's thread; from any other the marks wait for its next paint.
bool InstrumentPanel::idle() {
    EditorFrame* panel = frame();
    if (panel && !panel->onWindowThread()) {
        panel->requestPaint();
        return false;
    }
    if (panel) host.collectChoice();
    showPendingChanges();
    return true;
}

void InstrumentPanel::showPendingChanges() {
    if (frame()) changedParameters.take([this](std::int32_t parameter) { showStoredValue(parameter); });
}

// A control under the user's pointer keeps what the user sets; its drag's end marks it again.
void InstrumentPanel::showStoredValue(std::int32_t parameter) {
    ValueControl* control = controlFor(parameter);
    if (!control || parameter == draggedParameter) return;
    const float shown = PanelDisplay::shownValue(parameter, host.parameterValue(parameter));
    control->setValue(shown);
    if (parameter == Parameter::lfoSyncOn && !exchangeWaitsForDrag()) showRateOrSyncMode(shown != 0.0f, nullptr);
}

// Taking the dragged control out of the frame would end its drag unannounced and unpumped.
bool InstrumentPanel::exchangeWaitsForDrag() const {
    return draggedParameter == Parameter::lfoFrequency || draggedParameter == Parameter::lfoSyncMode;
}

void InstrumentPanel::beginEdit(std::int32_t tag) {
    const std::int32_t parameter = parameterOf(tag);
    if (parameter == Parameter::none) return;
    draggedParameter = parameter;
    host.beginGesture(parameter);
}

void InstrumentPanel::endEdit(std::int32_t tag) {
    const std::int32_t parameter = parameterOf(tag);
    if (parameter == Parameter::none) return;
    const bool exchangeWaited = exchangeWaitsForDrag();
    draggedParameter = Parameter::none;
    host.endGesture(parameter);
    changedParameters.mark(parameter);
    if (exchangeWaited) changedParameters.mark(Parameter::lfoSyncOn);
}

void InstrumentPanel::onValueChanged(PaintContext& context, ValueControl& control) {
    const std::int32_t tag = control.tag();
    if (tag == loadTag || tag == exportTag) {
        control.redrawIfDirty(context);
        // The dialog opens while the button is still held.
        if (control.getValue() != 1.0f) return;
        void* owner = frame() ? frame()->windowHandle() : nullptr;
        if (tag == loadTag)
            host.chooseLoopFile(owner);
        else
            host.exportGroove(owner);
        return;
    }
    if (tag == syncOnTag) {
        showRateOrSyncMode(control.getValue() != 0.0f, &context);
        // The rate goes back to the sound unannounced; only the switch is the user's change.
        host.setUnannounced(Parameter::lfoFrequency, rateFader->getValue());
        host.setFromPanel(Parameter::lfoSyncOn, control.getValue());
        control.redrawIfDirty(context);
        return;
    }
    const std::int32_t parameter = parameterOf(tag);
    if (parameter == Parameter::none) return;
    host.setFromPanel(parameter, control.getValue());
    control.redrawIfDirty(context);
}

void InstrumentPanel::showRateOrSyncMode(bool syncOn, PaintContext* context) {
    EditorFrame* panel = frame();
    ValueControl* shown = syncOn ? static_cast<ValueControl*>(syncModeSwitch) : rateFader;
    ValueControl* hidden = syncOn ? static_cast<ValueControl*>(rateFader) : syncModeSwitch;
    if (!panel || panel->contains(shown)) return;
    panel->removeWidget(hidden, true);
    shown->retain();
    panel->addWidget(shown);
    hidden->setDirty(true);
    shown->setDirty(true);
    if (!context) {
        panel->setDirty(true);
        return;
    }
    // The switch is shorter than the fader: clear the whole column before drawing the one now shown.
    const PixelRect column = rateFader->bounds();
    bitmap(panelBackground)->draw(*context, column, {column.left, column.top});
    shown->redrawIfDirty(*context);
}

EditorFrame* InstrumentPanel::frame() const { return window.frame(); }
