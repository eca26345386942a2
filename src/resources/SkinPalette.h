#pragma once

#include "PixelCanvas.h"

// The panel's colours. The ones tests look for are also written to the generated SkinColours.h.
namespace palette {

constexpr Rgb kGround{54, 56, 61};
constexpr Rgb kGroundLight{86, 89, 95};
constexpr Rgb kGroundShadow{28, 29, 32};
constexpr Rgb kNamePlate{36, 37, 41};
constexpr Rgb kLettering{222, 224, 228};
constexpr Rgb kCaption{236, 178, 72};
constexpr Rgb kCaptionRule{112, 100, 78};
constexpr Rgb kEngraving{128, 131, 137};
constexpr Rgb kTickMajor{186, 189, 195};
constexpr Rgb kTickMinor{118, 121, 127};
constexpr Rgb kSlot{8, 8, 10};
constexpr Rgb kSlotEdge{22, 23, 26};
constexpr Rgb kSocket{14, 14, 16};
constexpr Rgb kScrewHead{132, 135, 141};
constexpr Rgb kScrewSlot{40, 41, 45};

constexpr Rgb kTransparent{255, 255, 255};
// The handle's glint: the nearest a visible pixel gets to the transparent colour.
constexpr Rgb kHandleGlint{254, 255, 255};
constexpr Rgb kHandleCap{176, 179, 185};
constexpr Rgb kHandleCapLow{132, 135, 141};
constexpr Rgb kHandleEdge{74, 76, 81};
constexpr Rgb kHandleHighlight{214, 217, 222};
constexpr Rgb kHandleGroove{98, 100, 106};
constexpr Rgb kFaderHandleCentreLine{226, 36, 32};

constexpr Rgb kLedOn{70, 236, 96};
constexpr Rgb kLedOnRim{28, 140, 48};
constexpr Rgb kLedOff{30, 58, 36};
constexpr Rgb kLedOffRim{18, 32, 22};
constexpr Rgb kModeLedOn{255, 62, 44};
constexpr Rgb kModeLedOnRim{150, 24, 18};
constexpr Rgb kModeLedOff{66, 24, 22};
constexpr Rgb kModeLedOffRim{36, 16, 15};
constexpr Rgb kLedHotspot{236, 255, 236};

constexpr Rgb kKeyOutline{10, 12, 18};
constexpr Rgb kButtonReleased{46, 84, 158};
constexpr Rgb kKeyReleasedLight{104, 146, 218};
constexpr Rgb kKeyReleasedDark{20, 36, 80};
constexpr Rgb kButtonPressed{84, 158, 255};
constexpr Rgb kKeyPressedGlow{176, 214, 255};
constexpr Rgb kKeyPressedDark{34, 70, 150};

constexpr Rgb kDisplay{22, 24, 28};
constexpr Rgb kDisplayDivider{34, 36, 41};
constexpr Rgb kSwitchDimSymbol{112, 116, 124};
constexpr Rgb kSwitchLitStep{255, 178, 48};
constexpr Rgb kSwitchUnlitStep{70, 50, 22};

}  // namespace palette
