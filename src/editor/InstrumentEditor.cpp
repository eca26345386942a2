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

#include <cmath>

namespace {

// Resource numbers of the panel's pictures.
enum Bitmap : std::int32_t {
    panelBackground = 128,
    loadKey = 129,
    exportKey = 130,
    faderHandle = 131,
    greenLed = 132,
    filterModeLeds = 133,
    noteValues = 134
};
constexpr std::int32_t firstBitmap = panelBackground;

// The number each control carries and reports.
enum Tag : std::int32_t {
    loadTag = 0,
    exportTag = 1,
    filterFrequencyTag = 2,
    filterResonanceTag = 3,
    attackTag = 4,
    decayTag = 5,
    sustainTag = 6,
    releaseTag = 7,
    filterModeTag = 8,
    filterOnTag = 9,
    lfoAmountTag = 10,
    lfoRateTag = 11,
    syncOnTag = 12,
    syncModeTag = 13
};

using namespace PanelParameter;

// The parameter each tag changes; the two buttons run commands instead.
constexpr std::int32_t parameterOfTag[] = {none,      none,         filterFrequency, filterResonance, ampAttack,
                                           ampDecay,  ampSustain,   ampRelease,      filterMode,      filterOn,
                                           lfoAmount, lfoFrequency, lfoSyncOn,       lfoSyncMode};

std::int32_t parameterFor(std::int32_t tag) {
    constexpr auto tagCount = static_cast<std::int32_t>(sizeof parameterOfTag / sizeof parameterOfTag[0]);
    return tag >= 0 && tag < tagCount ? parameterOfTag[tag] : none;
}

struct FaderPlace {
    std::int32_t tag;
    PixelRect bounds;
    std::int32_t lowestHandleTop;
    float defaultValue;
};

constexpr std::int32_t highestHandleTop = 20;
// In the order the panel is built; the last one is the rate fader.
constexpr FaderPlace faderPlaces[] = {{attackTag, {45, 20, 62, 85}, 76, 0.0f},
                                      {decayTag, {69, 20, 86, 85}, 76, 1.0f},
                                      {sustainTag, {93, 20, 110, 85}, 76, 0.0f},
                                      {releaseTag, {117, 20, 134, 85}, 76, 0.0f},
                                      {filterFrequencyTag, {146, 20, 163, 85}, 76, 1.0f},
                                      {filterResonanceTag, {170, 20, 187, 85}, 76, 0.0f},
                                      {lfoAmountTag, {202, 20, 219, 55}, 46, 0.0f},
                                      {lfoRateTag, {223, 20, 242, 85}, 76, 1.0f}};
constexpr std::size_t rateFaderPlace = sizeof faderPlaces / sizeof faderPlaces[0] - 1;

constexpr PixelRect loadButtonBounds{10, 20, 30, 40};
constexpr PixelRect exportButtonBounds{10, 52, 30, 72};
constexpr PixelRect syncModeBounds{223, 22, 242, 81};
constexpr PixelRect filterOnBounds{178, 5, 186, 13};
constexpr PixelRect syncOnBounds{229, 5, 238, 13};
constexpr PixelRect filterModeBounds{191, 62, 199, 79};
constexpr std::int32_t keyImageHeight = 20;
constexpr std::int32_t noteValueHeight = 59;
constexpr std::int32_t noteValueCount = 6;
constexpr std::int32_t filterModeHeight = 17;
constexpr std::int32_t filterModeCount = 2;
constexpr PixelPoint firstImage{0, 0};

}  // namespace

InstrumentEditor::InstrumentEditor(EffectBaseEx& instrument, PanelCommands& panelCommands, GuiPlatform& windowing)
    : GuiEditor(instrument, windowing), commands(panelCommands) {
    rect = ERect{0, 0, 100, 250};
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
    loadButton = new MomentaryButton(loadButtonBounds, this, loadTag, keyImageHeight, bitmap(loadKey), firstImage);
    panel.addWidget(loadButton);
    exportButton =
        new MomentaryButton(exportButtonBounds, this, exportTag, keyImageHeight, bitmap(exportKey), firstImage);
    panel.addWidget(exportButton);
    for (std::size_t place = 0; place < rateFaderPlace; ++place) panel.addWidget(createFader(place));
    rateFader = createFader(rateFaderPlace);
    syncModeSwitch = new StepSwitch(syncModeBounds, this, syncModeTag, noteValueHeight, noteValueCount,
                                    bitmap(noteValues), firstImage);
    bind(syncModeSwitch);
    Widget* shown =
        PanelDisplay::syncShown(effect.getParameter(lfoSyncOn)) ? static_cast<Widget*>(syncModeSwitch) : rateFader;
    shown->retain();
    panel.addWidget(shown);
    for (ValueControl* control :
         {static_cast<ValueControl*>(new ToggleButton(filterOnBounds, this, filterOnTag, bitmap(greenLed))),
          static_cast<ValueControl*>(new ToggleButton(syncOnBounds, this, syncOnTag, bitmap(greenLed))),
          static_cast<ValueControl*>(new StepSwitch(filterModeBounds, this, filterModeTag, filterModeHeight,
                                                    filterModeCount, bitmap(filterModeLeds), firstImage))}) {
        bind(control);
        panel.addWidget(control);
    }
}

Fader* InstrumentEditor::createFader(std::size_t place) {
    const FaderPlace& at = faderPlaces[place];
    auto* fader = new Fader(at.bounds, this, at.tag, highestHandleTop, at.lowestHandleTop, bitmap(faderHandle),
                            bitmap(panelBackground), {at.bounds.left, at.bounds.top}, Fader::invertedDrag);
    bind(fader);
    fader->setDefaultValue(at.defaultValue);
    return fader;
}

void InstrumentEditor::bind(ValueControl* control) {
    const std::int32_t parameter = parameterFor(control->tag());
    boundControls[static_cast<std::size_t>(parameter)] = control;
    control->setValue(PanelDisplay::shownValue(parameter, playedValue(parameter)));
}

// The sound keeps its last finite setting when the host stores infinity or not-a-number.
float InstrumentEditor::playedValue(std::int32_t parameter) const {
    const float stored = effect.getParameter(parameter);
    if (std::isfinite(stored)) return stored;
    return lastFiniteValues[static_cast<std::size_t>(parameter)].load(std::memory_order_relaxed);
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
    closeFrame();
    // The frame released its hold on the one of the two it showed; the editor's own goes now. A
    // panel whose window could not be made has neither.
    if (rateFader) rateFader->release();
    if (syncModeSwitch) syncModeSwitch->release();
    rateFader = nullptr;
    syncModeSwitch = nullptr;
    loadButton = exportButton = nullptr;
    boundControls.fill(nullptr);
    draggedParameter = none;
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
    if (parameter < 0 || parameter >= PanelParameter::count) return nullptr;
    return boundControls[static_cast<std::size_t>(parameter)];
}

void InstrumentEditor::setParameter(std::int32_t index, float value) {
    if (index >= 0 && index < PanelParameter::count && std::isfinite(value))
        lastFiniteValues[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
    changedParameters.mark(index);
}

// Widgets belong to the window's thread; from any other the marks wait for its next paint.
void InstrumentEditor::idle() {
    EditorFrame* panel = frame();
    if (panel && !panel->onWindowThread()) {
        panel->requestPaint();
        return;
    }
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
    const float shown = PanelDisplay::shownValue(parameter, playedValue(parameter));
    control->setValue(shown);
    if (parameter == lfoSyncOn && !exchangeWaitsForDrag()) showRateOrSyncMode(shown != 0.0f, nullptr);
}

// Taking the dragged control out of the frame would end its drag unannounced and unpumped.
bool InstrumentEditor::exchangeWaitsForDrag() const {
    return draggedParameter == lfoFrequency || draggedParameter == lfoSyncMode;
}

void InstrumentEditor::beginEdit(std::int32_t tag) {
    const std::int32_t parameter = parameterFor(tag);
    if (parameter == none) return;
    draggedParameter = parameter;
    GuiEditor::beginEdit(parameter);
}

void InstrumentEditor::endEdit(std::int32_t tag) {
    const std::int32_t parameter = parameterFor(tag);
    if (parameter == none) return;
    const bool exchangeWaited = exchangeWaitsForDrag();
    draggedParameter = none;
    GuiEditor::endEdit(parameter);
    changedParameters.mark(parameter);
    if (exchangeWaited) changedParameters.mark(lfoSyncOn);
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
        effect.setParameter(lfoFrequency, rateFader->getValue());
        effect.setParameterAndNotify(lfoSyncOn, control.getValue());
        control.redrawIfDirty(context);
        return;
    }
    const std::int32_t parameter = parameterFor(tag);
    if (parameter == none) return;
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
