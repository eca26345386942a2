#include "editor/InstrumentEditor.h"

#include "editor/PanelCommands.h"
#include "editor/PanelDisplay.h"
#include "gui/EditorFrame.h"
#include "gui/Fader.h"
#include "gui/GestureScope.h"
#include "gui/MomentaryButton.h"
#include "gui/SkinBitmap.h"
#include "gui/StepSwitch.h"
#include "gui/ToggleButton.h"
#include "plugin/EffectBaseEx.h"

using namespace PanelLayout;

namespace {

constexpr PixelPoint firstImage{0, 0};

PixelRect pixelRect(const Rect& bounds) { return {bounds.left, bounds.top, bounds.right, bounds.bottom}; }

}  // namespace

InstrumentEditor::InstrumentEditor(EffectBaseEx& instrument, PanelCommands& panelCommands, GuiPlatform& windowing)
    : GuiEditor(instrument, windowing), commands(panelCommands) {
    rect = ERect{static_cast<std::int16_t>(panelBounds.top), static_cast<std::int16_t>(panelBounds.left),
                 static_cast<std::int16_t>(panelBounds.bottom), static_cast<std::int16_t>(panelBounds.right)};
}

// The instrument may go without closing its editor first (hosts and bridges that skip effEditClose).
InstrumentEditor::~InstrumentEditor() {
    GestureScope::forget(this);
    closePanel();
}

// A panel whose gesture may still be running (a host re-showing its window while the load dialog
// is up) is replaced once the gesture has unwound; the newest open or close asked for meanwhile wins.
int InstrumentEditor::open(void* parentWindow) {
    if (frame() && GestureScope::active()) {
        GestureScope::forget(this);
        GestureScope::deferWhileActive(this, [this, parentWindow] { openPanel(parentWindow); });
        return parentWindow ? 1 : 0;
    }
    return openPanel(parentWindow);
}

int InstrumentEditor::openPanel(void* parentWindow) {
    closePanel();
    if (!parentWindow) return 0;
    GuiEditor::open(parentWindow);
    for (std::int32_t i = 0; i < bitmapCount; ++i)
        bitmaps[static_cast<std::size_t>(i)] = new SkinBitmap(platform(), firstBitmap + i);
    EditorFrame& panel = openFrame();
    // Answering 1 without a window makes hosts believe a panel is showing.
    if (!panel.hasWindow()) {
        closePanel();
        return 0;
    }
    panel.setBackground(bitmap(panelBackground));
    createControls(panel);
    return 1;
}

void InstrumentEditor::createControls(EditorFrame& panel) {
    for (const Control& at : controls) {
        ValueControl* control = createControl(at);
        if (at.parameter != Parameter::none) bind(control);
        if (at.tag == lfoRateTag) {
            rateFader = static_cast<Fader*>(control);
        } else if (at.tag == syncModeTag) {
            syncModeSwitch = static_cast<StepSwitch*>(control);
            Widget* shown = PanelDisplay::syncShown(effect.getParameter(Parameter::lfoSyncOn))
                                ? static_cast<Widget*>(syncModeSwitch)
                                : rateFader;
            shown->retain();
            panel.addWidget(shown);
        } else {
            panel.addWidget(control);
        }
    }
}

ValueControl* InstrumentEditor::createControl(const Control& at) {
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

void InstrumentEditor::bind(ValueControl* control) {
    const std::int32_t parameter = parameterOf(control->tag());
    boundControls[static_cast<std::size_t>(parameter)] = control;
    control->setValue(PanelDisplay::shownValue(parameter, effect.getParameter(parameter)));
}

// A close from inside one of the panel's own gestures waits until the gesture has unwound.
void InstrumentEditor::close() {
    GestureScope::forget(this);
    if (frame() && GestureScope::deferWhileActive(this, [this] { closePanel(); })) return;
    closePanel();
}

void InstrumentEditor::closePanel() {
    if (!frame()) {
        releaseBitmaps();
        return;
    }
    commands.abandonChoice();
    closeFrame();
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

void InstrumentEditor::releaseBitmaps() {
    for (SkinBitmap*& held : bitmaps) {
        if (held) held->release();
        held = nullptr;
    }
}

SkinBitmap* InstrumentEditor::bitmap(std::int32_t resourceNumber) const {
    return bitmaps[static_cast<std::size_t>(resourceNumber - firstBitmap)];
}

ValueControl* InstrumentEditor::controlFor(std::int32_t parameter) const {
    if (parameter < 0 || parameter >= Parameter::count) return nullptr;
    return boundControls[static_cast<std::size_t>(parameter)];
}

// The instrument stores what the sound plays, finite, before it tells the panel; the value shown is
// read back from there, so a panel opened later shows the same.
void InstrumentEditor::setParameter(std::int32_t index, float) { changedParameters.mark(index); }

// Widgets belong to the window's thread; from any other the marks wait for its next paint.
void InstrumentEditor::idle() {
    EditorFrame* panel = frame();
    if (panel && !panel->onWindowThread()) {
        panel->requestPaint();
        return;
    }
    if (panel) commands.collectChoice();
    showPendingChanges();
    GuiEditor::idle();
}

void InstrumentEditor::showPendingChanges() {
    if (frame()) changedParameters.take([this](std::int32_t parameter) { showStoredValue(parameter); });
}

// A control under the user's pointer keeps what the user sets; its drag's end marks it again.
void InstrumentEditor::showStoredValue(std::int32_t parameter) {
    ValueControl* control = controlFor(parameter);
    if (!control || parameter == draggedParameter) return;
    const float shown = PanelDisplay::shownValue(parameter, effect.getParameter(parameter));
    control->setValue(shown);
    if (parameter == Parameter::lfoSyncOn && !exchangeWaitsForDrag()) showRateOrSyncMode(shown != 0.0f, nullptr);
}

// Taking the dragged control out of the frame would end its drag unannounced and unpumped.
bool InstrumentEditor::exchangeWaitsForDrag() const {
    return draggedParameter == Parameter::lfoFrequency || draggedParameter == Parameter::lfoSyncMode;
}

void InstrumentEditor::beginEdit(std::int32_t tag) {
    const std::int32_t parameter = parameterOf(tag);
    if (parameter == Parameter::none) return;
    draggedParameter = parameter;
    GuiEditor::beginEdit(parameter);
}

void InstrumentEditor::endEdit(std::int32_t tag) {
    const std::int32_t parameter = parameterOf(tag);
    if (parameter == Parameter::none) return;
    const bool exchangeWaited = exchangeWaitsForDrag();
    draggedParameter = Parameter::none;
    GuiEditor::endEdit(parameter);
    changedParameters.mark(parameter);
    if (exchangeWaited) changedParameters.mark(Parameter::lfoSyncOn);
}

void InstrumentEditor::onValueChanged(PaintContext& context, ValueControl& control) {
    const std::int32_t tag = control.tag();
    if (tag == loadTag || tag == exportTag) {
        control.redrawIfDirty(context);
        // The dialog opens while the button is still held.
        if (control.getValue() != 1.0f) return;
        void* window = frame() ? frame()->windowHandle() : nullptr;
        if (tag == loadTag)
            commands.chooseLoopFile(window);
        else
            commands.exportGroove(window);
        return;
    }
    if (tag == syncOnTag) {
        showRateOrSyncMode(control.getValue() != 0.0f, &context);
        // The rate goes back to the sound unannounced; only the switch is the user's change.
        effect.setParameter(Parameter::lfoFrequency, rateFader->getValue());
        effect.setParameterAndNotify(Parameter::lfoSyncOn, control.getValue());
        control.redrawIfDirty(context);
        return;
    }
    const std::int32_t parameter = parameterOf(tag);
    if (parameter == Parameter::none) return;
    effect.setParameterAndNotify(parameter, control.getValue());
    control.redrawIfDirty(context);
}

void InstrumentEditor::showRateOrSyncMode(bool syncOn, PaintContext* context) {
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
