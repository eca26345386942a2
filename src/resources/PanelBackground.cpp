#include "PanelBackground.h"

#include <cstdint>
#include <string>

#include "PixelFont.h"
#include "SkinPalette.h"
#include "shared/PanelLayout.h"

namespace {

using PanelLayout::Control;
using PanelLayout::handleHeight;
using PanelLayout::handleWidth;
using PanelLayout::keySize;
using PanelLayout::ledSize;
constexpr int kPanelWidth = PanelLayout::panelBounds.width();
constexpr int kPanelHeight = PanelLayout::panelBounds.height();
constexpr int kCaptionTop = 5;
constexpr int kNamePlateTop = 93;
const Control& kLoadButton = PanelLayout::control(PanelLayout::loadTag);
const Control& kExportButton = PanelLayout::control(PanelLayout::exportTag);
const Control& kFilterOnLed = PanelLayout::control(PanelLayout::filterOnTag);
const Control& kSyncLed = PanelLayout::control(PanelLayout::syncOnTag);
const Control& kModeSwitch = PanelLayout::control(PanelLayout::filterModeTag);

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
void drawSocket(PixelCanvas& canvas, const PanelLayout::Rect& place) {
    canvas.fillRect(place.left - 1, place.top - 1, place.right + 1, place.bottom + 1, palette::kSocket);
    canvas.horizontalLine(place.left - 1, place.right + 1, place.bottom + 1, palette::kGroundLight);
    canvas.verticalLine(place.right + 1, place.top - 1, place.bottom + 1, palette::kGroundLight);
}

void drawFader(PixelCanvas& canvas, const Control& fader) {
    const int centreX = fader.bounds.left + handleWidth / 2;
    const int lineTop = fader.highestHandleTop + handleHeight / 2;
    const int lineBottom = fader.lowestHandleTop + handleHeight / 2;

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

    engrave(canvas, centreX + 1, fader.lowestHandleTop + handleHeight + 2, fader.label, palette::kLettering);
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
    drawCaption(canvas, 143, kFilterOnLed.bounds.left - 4, "FILTER");
    drawCaption(canvas, 200, kSyncLed.bounds.left - 4, "LFO");

    for (const Control& button : {kLoadButton, kExportButton}) {
        drawSocket(canvas, button.bounds);
        engrave(canvas, button.bounds.left + keySize / 2, button.bounds.bottom + 3, button.label, palette::kLettering);
    }
    for (const Control& control : PanelLayout::controls) {
        if (control.kind == PanelLayout::Kind::fader) drawFader(canvas, control);
    }

    // Each LED sits in a square socket as wide as the filter LED, whatever room its control takes.
    for (const Control& led : {kFilterOnLed, kSyncLed}) {
        drawSocket(canvas, {led.bounds.left, led.bounds.top, led.bounds.left + ledSize, led.bounds.top + ledSize});
    }
    drawSocket(canvas, kModeSwitch.bounds);
    const int labelLeft = kModeSwitch.bounds.left + ledSize + 3;
    PixelFont::drawText(canvas, labelLeft, kModeSwitch.bounds.top + 2, "LP", palette::kLettering);
    PixelFont::drawText(canvas, labelLeft, kModeSwitch.bounds.top + ledSize + 3, "HP", palette::kLettering);

    drawScrew(canvas, 2, 2);
    drawScrew(canvas, kPanelWidth - 7, 2);
    return canvas;
}
