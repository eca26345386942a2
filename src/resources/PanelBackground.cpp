#include "PanelBackground.h"

#include <cstdint>
#include <string>

#include "PanelGeometry.h"
#include "PixelFont.h"
#include "SkinPalette.h"

namespace {

constexpr int kPanelWidth = 250;
constexpr int kPanelHeight = 100;
using geometry::kHandleHeight;
using geometry::kHandleWidth;
using geometry::kLedSize;
using geometry::kModeSwitchHeight;
constexpr int kCaptionTop = 5;
constexpr int kNamePlateTop = 93;

struct Place {
    int left;
    int top;
};

struct FaderPlace {
    int left;
    int minPosition;
    int maxPosition;
    const char* label;  // lettered under the fader's travel
};

// Where the controls sit on the panel; the artwork frames them.
constexpr FaderPlace kFaders[] = {
    {45, 20, 76, "A"},     {69, 20, 76, "D"},  {93, 20, 76, "S"},    {117, 20, 76, "R"},
    {146, 20, 76, "FREQ"}, {170, 20, 76, "Q"}, {202, 20, 46, "AMT"}, {223, 20, 76, "RATE"},
};
constexpr Place kLoadButton{10, 20};
constexpr Place kExportButton{10, 52};
constexpr int kButtonSize = geometry::kKeySize;
constexpr Place kFilterOnLed{178, 5};
constexpr Place kSyncLed{229, 5};
constexpr Place kModeSwitch{191, 62};

// A fixed hash gives the ground a faint brushed grain that is the same on every build.
std::uint32_t grain(int x, int y) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ static_cast<std::uint32_t>(y) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

void drawGround(PixelCanvas& canvas) {
    for (int y = 0; y < kPanelHeight; ++y) {
        const int rowShade = static_cast<int>(grain(0, y) % 5) - 2;
        for (int x = 0; x < kPanelWidth; ++x) {
            const int shade = rowShade + static_cast<int>(grain(x / 7, y) % 3) - 1 - y / 40;
            const auto channel = [shade](std::uint8_t base) { return static_cast<std::uint8_t>(base + shade); };
            canvas.setPixel(
                x, y, {channel(palette::kGround.red), channel(palette::kGround.green), channel(palette::kGround.blue)});
        }
    }
    canvas.bevel(0, 0, kPanelWidth, kPanelHeight, palette::kGroundLight, palette::kGroundShadow);
}

// Lettering stamped into the panel: a dark line under each stroke makes it read as engraved.
void engrave(PixelCanvas& canvas, int centreX, int top, const std::string& text, Rgb colour) {
    PixelFont::drawCentred(canvas, centreX, top + 1, text, palette::kGroundShadow);
    PixelFont::drawCentred(canvas, centreX, top, text, colour);
}

void drawCaption(PixelCanvas& canvas, int fromX, int toX, const std::string& text) {
    const int centre = (fromX + toX + 1) / 2;
    const int textLeft = centre - PixelFont::textWidth(text) / 2;
    const int ruleY = kCaptionTop + PixelFont::kHeight / 2;
    canvas.horizontalLine(fromX, textLeft - 3, ruleY, palette::kCaptionRule);
    canvas.horizontalLine(textLeft + PixelFont::textWidth(text) + 2, toX, ruleY, palette::kCaptionRule);
    engrave(canvas, centre, kCaptionTop, text, palette::kCaption);
}

// A dark recess one pixel around a control, lit from the top left like the rest of the panel.
void drawSocket(PixelCanvas& canvas, Place place, int width, int height) {
    canvas.fillRect(place.left - 1, place.top - 1, place.left + width + 1, place.top + height + 1, palette::kSocket);
    canvas.horizontalLine(place.left - 1, place.left + width + 1, place.top + height + 1, palette::kGroundLight);
    canvas.verticalLine(place.left + width + 1, place.top - 1, place.top + height + 1, palette::kGroundLight);
}

void drawFader(PixelCanvas& canvas, const FaderPlace& fader) {
    const int centreX = fader.left + kHandleWidth / 2;
    const int lineTop = fader.minPosition + kHandleHeight / 2;
    const int lineBottom = fader.maxPosition + kHandleHeight / 2;

    // Ticks where the handle's centre line stands at 1, 0.75, 0.5, 0.25 and 0, with halfway marks.
    constexpr int kTickSteps = 8;
    for (int step = 0; step <= kTickSteps; ++step) {
        const int y = lineTop + ((lineBottom - lineTop) * step + kTickSteps / 2) / kTickSteps;
        const bool major = step % 2 == 0;
        const int length = major ? 4 : 2;
        const Rgb colour = major ? palette::kTickMajor : palette::kTickMinor;
        canvas.horizontalLine(centreX - 3 - length, centreX - 4, y, colour);
        canvas.horizontalLine(centreX + 4, centreX + 3 + length, y, colour);
    }

    const int slotTop = lineTop - 2;
    const int slotBottom = lineBottom + 2;
    canvas.fillRect(centreX - 1, slotTop, centreX + 2, slotBottom + 1, palette::kSlot);
    canvas.verticalLine(centreX - 2, slotTop, slotBottom, palette::kSlotEdge);
    canvas.horizontalLine(centreX - 1, centreX + 1, slotTop - 1, palette::kSlotEdge);
    canvas.verticalLine(centreX + 2, slotTop, slotBottom + 1, palette::kGroundLight);
    canvas.horizontalLine(centreX - 1, centreX + 1, slotBottom + 1, palette::kGroundLight);

    engrave(canvas, centreX + 1, fader.maxPosition + kHandleHeight + 2, fader.label, palette::kLettering);
}

void drawScrew(PixelCanvas& canvas, int left, int top) {
    canvas.stamp(left, top, {".###.", "#####", "#####", "#####", ".###."}, palette::kScrewHead);
    canvas.horizontalLine(left + 1, left + 3, top + 2, palette::kScrewSlot);
    canvas.setPixel(left + 4, top + 3, palette::kGroundShadow);
    canvas.setPixel(left + 3, top + 4, palette::kGroundShadow);
}

void drawNamePlate(PixelCanvas& canvas) {
    const int bottom = kPanelHeight - 1;
    canvas.fillRect(1, kNamePlateTop, kPanelWidth - 1, bottom, palette::kNamePlate);
    canvas.horizontalLine(1, kPanelWidth - 2, kNamePlateTop, palette::kGroundShadow);
    const std::string name = "BREVATONE";
    const std::string subtitle = "REX SLICE LOOP PLAYER";
    PixelFont::drawText(canvas, 8, kNamePlateTop + 1, name, palette::kCaption);
    PixelFont::drawText(canvas, kPanelWidth - 8 - PixelFont::textWidth(subtitle), kNamePlateTop + 1, subtitle,
                        palette::kEngraving);
}

}  // namespace

PixelCanvas drawPanelBackground() {
    PixelCanvas canvas(kPanelWidth, kPanelHeight, palette::kGround);
    drawGround(canvas);
    drawNamePlate(canvas);

    drawCaption(canvas, 9, 36, "FILE");
    drawCaption(canvas, 42, 137, "AMP ENVELOPE");
    drawCaption(canvas, 143, kFilterOnLed.left - 4, "FILTER");
    drawCaption(canvas, 200, kSyncLed.left - 4, "LFO");

    drawSocket(canvas, kLoadButton, kButtonSize, kButtonSize);
    drawSocket(canvas, kExportButton, kButtonSize, kButtonSize);
    engrave(canvas, kLoadButton.left + kButtonSize / 2, kLoadButton.top + kButtonSize + 3, "LOAD", palette::kLettering);
    engrave(canvas, kExportButton.left + kButtonSize / 2, kExportButton.top + kButtonSize + 3, "EXPORT",
            palette::kLettering);

    for (const FaderPlace& fader : kFaders) drawFader(canvas, fader);

    drawSocket(canvas, kFilterOnLed, kLedSize, kLedSize);
    drawSocket(canvas, kSyncLed, kLedSize, kLedSize);
    drawSocket(canvas, kModeSwitch, kLedSize, kModeSwitchHeight);
    const int labelLeft = kModeSwitch.left + kLedSize + 3;
    PixelFont::drawText(canvas, labelLeft, kModeSwitch.top + 2, "LP", palette::kLettering);
    PixelFont::drawText(canvas, labelLeft, kModeSwitch.top + kLedSize + 3, "HP", palette::kLettering);

    drawScrew(canvas, 2, 2);
    drawScrew(canvas, kPanelWidth - 7, 2);
    return canvas;
}
