#pragma once

#include "shared/ParameterNumber.h"

// Where the panel's controls sit and what they are made of: the one table the editor builds the
// panel from, the artwork generator frames and the tests and scripts press. Plain constants
// without library includes, because the artwork generator compiles it on the build machine.
namespace PanelLayout {

struct Rect {
    int left;
    int top;
    int right;
    int bottom;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
};

constexpr Rect panelBounds{0, 0, 250, 100};

// Resource numbers of the panel's pictures, in the order the editor loads them.
enum Bitmap : int {
    panelBackground = 128,
    loadKey,
    exportKey,
    faderHandle,
    greenLed,
    filterModeLeds,
    noteValues,
    afterLastBitmap
};
constexpr int firstBitmap = panelBackground;
constexpr int bitmapCount = afterLastBitmap - firstBitmap;

// The number each control carries and reports; tags are not parameter numbers.
enum Tag : int {
    loadTag = 0,
    exportTag,
    filterFrequencyTag,
    filterResonanceTag,
    attackTag,
    decayTag,
    sustainTag,
    releaseTag,
    filterModeTag,
    filterOnTag,
    lfoAmountTag,
    lfoRateTag,
    syncOnTag,
    syncModeTag,
    tagCount
};

enum class Kind { momentaryButton, fader, stepSwitch, toggleButton };

struct Control {
    // What tests, scripts and messages call the control.
    const char* name;
    Kind kind;
    Rect bounds;
    Tag tag;
    Parameter::Number parameter;
    Bitmap bitmap;
    // Buttons and switches: the height of one image of their bitmap, and a switch's positions.
    int imageHeight;
    int positions;
    // Faders: the handle's top at value 1.0 and at 0.0, and the value a control-click sets.
    int highestHandleTop;
    int lowestHandleTop;
    float defaultValue;
    // Lettered under or beside the control by the artwork; may be empty.
    const char* label;
};

// In the order the editor creates them. The rate fader and the sync-mode switch share one place;
// only one of them is on the panel at a time.
// clang-format off
constexpr Control controls[] = {
//   name               kind                   bounds               tag                 parameter                   bitmap          image pos  travel  default label
    {"load",            Kind::momentaryButton, {10, 20, 30, 40},    loadTag,            Parameter::none,            loadKey,        20,   0,   0,  0,  0.0f,  "LOAD"},
    {"export",          Kind::momentaryButton, {10, 52, 30, 72},    exportTag,          Parameter::none,            exportKey,      20,   0,   0,  0,  0.0f,  "EXPORT"},
    {"attack",          Kind::fader,           {45, 20, 62, 85},    attackTag,          Parameter::ampAttack,       faderHandle,     0,   0,  20, 76,  0.0f,  "A"},
    {"decay",           Kind::fader,           {69, 20, 86, 85},    decayTag,           Parameter::ampDecay,        faderHandle,     0,   0,  20, 76,  1.0f,  "D"},
    {"sustain",         Kind::fader,           {93, 20, 110, 85},   sustainTag,         Parameter::ampSustain,      faderHandle,     0,   0,  20, 76,  0.0f,  "S"},
    {"release",         Kind::fader,           {117, 20, 134, 85},  releaseTag,         Parameter::ampRelease,      faderHandle,     0,   0,  20, 76,  0.0f,  "R"},
    {"filterFrequency", Kind::fader,           {146, 20, 163, 85},  filterFrequencyTag, Parameter::filterFrequency, faderHandle,     0,   0,  20, 76,  1.0f,  "FREQ"},
    {"filterResonance", Kind::fader,           {170, 20, 187, 85},  filterResonanceTag, Parameter::filterResonance, faderHandle,     0,   0,  20, 76,  0.0f,  "Q"},
    {"lfoAmount",       Kind::fader,           {202, 20, 219, 55},  lfoAmountTag,       Parameter::lfoAmount,       faderHandle,     0,   0,  20, 46,  0.0f,  "AMT"},
    {"lfoRate",         Kind::fader,           {223, 20, 242, 85},  lfoRateTag,         Parameter::lfoFrequency,    faderHandle,     0,   0,  20, 76,  1.0f,  "RATE"},
    {"syncMode",        Kind::stepSwitch,      {223, 22, 242, 81},  syncModeTag,        Parameter::lfoSyncMode,     noteValues,     59,   Parameter::syncModeStepCount,   0,  0,  0.0f,  ""},
    {"filterOn",        Kind::toggleButton,    {178, 5, 186, 13},   filterOnTag,        Parameter::filterOn,        greenLed,        0,   0,   0,  0,  0.0f,  ""},
    {"syncOn",          Kind::toggleButton,    {229, 5, 238, 13},   syncOnTag,          Parameter::lfoSyncOn,       greenLed,        0,   0,   0,  0,  0.0f,  ""},
    {"filterMode",      Kind::stepSwitch,      {191, 62, 199, 79},  filterModeTag,      Parameter::filterMode,      filterModeLeds, 17,   2,   0,  0,  0.0f,  ""},
};
// clang-format on
constexpr int controlCount = sizeof controls / sizeof controls[0];

// The row of a tag; every tag has one.
constexpr const Control& control(Tag tag) {
    int row = 0;
    while (controls[row].tag != tag) ++row;
    return controls[row];
}

constexpr Parameter::Number parameterOf(int tag) {
    return tag >= 0 && tag < tagCount ? control(static_cast<Tag>(tag)).parameter : Parameter::none;
}

// A point well inside a control, where a test or a script presses it.
struct Point {
    int x;
    int y;
};
constexpr Point centre(const Control& at) {
    return {(at.bounds.left + at.bounds.right) / 2, (at.bounds.top + at.bounds.bottom) / 2};
}

// Sizes the artwork draws to, read off the controls that show it.
constexpr int handleWidth = control(attackTag).bounds.width();
constexpr int handleHeight = control(attackTag).bounds.bottom - control(attackTag).lowestHandleTop;
constexpr int keySize = control(loadTag).imageHeight;
constexpr int ledSize = control(filterOnTag).bounds.width();

static_assert(controlCount == tagCount, "one control per tag");

}  // namespace PanelLayout
