#include "ControlArtwork.h"

#include <vector>

#include "PixelFont.h"
#include "SkinPalette.h"
#include "shared/PanelLayout.h"

namespace {

constexpr int kHandleHeight = PanelLayout::handleHeight;
constexpr int kHandleWidth = PanelLayout::handleWidth;
constexpr int kKeySize = PanelLayout::keySize;
constexpr int kLedSize = PanelLayout::ledSize;
constexpr PanelLayout::Control kModeSwitch = PanelLayout::control(PanelLayout::filterModeTag);
constexpr int kModeSwitchHeight = kModeSwitch.imageHeight;
constexpr PanelLayout::Control kSyncSwitch = PanelLayout::control(PanelLayout::syncModeTag);
constexpr int kSyncImageWidth = kSyncSwitch.bounds.width();
constexpr int kSyncImageHeight = kSyncSwitch.imageHeight;
constexpr int kSyncPositions = kSyncSwitch.positions;
// The mode switch's two LEDs with a one-pixel gap.
static_assert(kModeSwitchHeight == 2 * kLedSize + 1, "two LEDs fill one image of the filter mode switch");

// Squared distance of pixel (x, y) from the middle of a square of the given size, in half pixels,
// so round shapes stay in integers and centre on pixel corners as well as on pixels.
int halfPixelDistance2(int x, int y, int size) {
    const int dx = 2 * x + 1 - size;
    const int dy = 2 * y + 1 - size;
    return dx * dx + dy * dy;
}

void drawKey(PixelCanvas& canvas, int top, bool pressed) {
    canvas.fillRect(0, top, kKeySize, top + kKeySize, palette::kKeyOutline);
    if (!pressed) {
        canvas.fillRect(1, top + 1, kKeySize - 1, top + kKeySize - 1, palette::kButtonReleased);
        canvas.bevel(1, top + 1, kKeySize - 1, top + kKeySize - 1, palette::kKeyReleasedLight,
                     palette::kKeyReleasedDark);
        canvas.bevel(2, top + 2, kKeySize - 2, top + kKeySize - 2,
                     mix(palette::kButtonReleased, palette::kKeyReleasedLight, 128),
                     mix(palette::kButtonReleased, palette::kKeyReleasedDark, 128));
        return;
    }
    // Pressed, the key sinks: its shadow falls on the top and left, and the face glows from within.
    canvas.fillRect(1, top + 1, kKeySize - 1, top + kKeySize - 1, palette::kButtonPressed);
    canvas.bevel(1, top + 1, kKeySize - 1, top + kKeySize - 1, palette::kKeyPressedDark, palette::kKeyPressedGlow);
    constexpr int kGlowRadius2 = 12 * 12;
    for (int y = 3; y < kKeySize - 3; ++y) {
        for (int x = 3; x < kKeySize - 3; ++x) {
            const int distance2 = halfPixelDistance2(x, y, kKeySize);
            if (distance2 < kGlowRadius2) {
                canvas.setPixel(x, top + y,
                                mix(palette::kButtonPressed, palette::kKeyPressedGlow,
                                    (kGlowRadius2 - distance2) * 200 / kGlowRadius2));
            }
        }
    }
}

struct LedColours {
    Rgb body;
    Rgb rim;
    bool lit;
};

// A round lens in its dark socket; the centre keeps the body colour so the state is easy to read.
void drawLed(PixelCanvas& canvas, int top, const LedColours& colours) {
    constexpr int kLensRadius2 = kLedSize * kLedSize;
    constexpr int kBodyRadius2 = 40;  // the outermost ring of the lens is its rim
    canvas.fillRect(0, top, kLedSize, top + kLedSize, palette::kSocket);
    for (int y = 0; y < kLedSize; ++y) {
        for (int x = 0; x < kLedSize; ++x) {
            const int distance2 = halfPixelDistance2(x, y, kLedSize);
            if (distance2 > kLensRadius2) continue;
            canvas.setPixel(x, top + y, distance2 > kBodyRadius2 ? colours.rim : colours.body);
        }
    }
    const Rgb glint = mix(colours.body, palette::kLedHotspot, colours.lit ? 200 : 90);
    canvas.setPixel(2, top + 2, glint);
    canvas.setPixel(3, top + 2, mix(colours.body, glint, 128));
    canvas.setPixel(2, top + 3, mix(colours.body, glint, 128));
}

const LedColours kGreenOff{palette::kLedOff, palette::kLedOffRim, false};
const LedColours kGreenOn{palette::kLedOn, palette::kLedOnRim, true};
const LedColours kRedOff{palette::kModeLedOff, palette::kModeLedOffRim, false};
const LedColours kRedOn{palette::kModeLedOn, palette::kModeLedOnRim, true};

using Symbol = std::vector<const char*>;

const Symbol kWholeNote = {".###.", "##..#", "#..##", ".###."};
const Symbol kQuarterNote = {"...#", "...#", "...#", "...#", "...#", ".###", "####", ".##."};
const Symbol kEighthNote = {"...#..", "...##.", "...#.#", "...#.#", "...#..", ".###..", "####..", ".##..."};
const Symbol kSixteenthNote = {"...#..", "...##.", "...#.#", "...##.", "...#.#", ".###..", "####..", ".##..."};

struct SyncValue {
    const Symbol* symbol;
    bool triplet;
};

// Top to bottom, the order of the switch positions.
const SyncValue kSyncValues[kSyncPositions] = {
    {&kWholeNote, false},  {&kQuarterNote, false},  {&kEighthNote, true},
    {&kEighthNote, false}, {&kSixteenthNote, true}, {&kSixteenthNote, false},
};

// Position k starts where a press selects it: the switch maps offset y to the first k with
// y < (k + 1) * height / positions.
int bandTop(int position) { return position * kSyncImageHeight / kSyncPositions; }

void drawSyncImage(PixelCanvas& canvas, int top, int litPosition) {
    canvas.fillRect(0, top, kSyncImageWidth, top + kSyncImageHeight, palette::kDisplay);
    for (int position = 0; position < kSyncPositions; ++position) {
        const int bandStart = top + bandTop(position);
        const int bandEnd = top + bandTop(position + 1);
        if (position > 0) canvas.horizontalLine(1, kSyncImageWidth - 2, bandStart, palette::kDisplayDivider);
        const bool lit = position == litPosition;
        const int middle = (bandStart + 1 + bandEnd) / 2;
        canvas.fillRect(1, middle - 2, 3, middle + 2, lit ? palette::kSwitchLitStep : palette::kSwitchUnlitStep);

        const SyncValue& value = kSyncValues[position];
        const Symbol& symbol = *value.symbol;
        const int symbolHeight = static_cast<int>(symbol.size());
        const int symbolTop = middle - symbolHeight / 2;
        const Rgb ink = lit ? palette::kSwitchLitStep : palette::kSwitchDimSymbol;
        canvas.stamp(value.triplet ? 5 : 7, symbolTop, symbol, ink);
        if (value.triplet) PixelFont::drawText(canvas, 13, middle - 4, "3", ink);
    }
    canvas.bevel(0, top, kSyncImageWidth, top + kSyncImageHeight, palette::kSocket, palette::kGroundLight);
}

// Stacks the images of a control, first on top; drawImage(canvas, top, index) draws one.
template <typename DrawImage>
PixelCanvas stackImages(int width, int imageHeight, int count, DrawImage drawImage) {
    PixelCanvas canvas(width, count * imageHeight, palette::kSocket);
    for (int image = 0; image < count; ++image) drawImage(canvas, image * imageHeight, image);
    return canvas;
}

}  // namespace

PixelCanvas drawKeyBitmap() {
    return stackImages(kKeySize, kKeySize, 2,
                       [](PixelCanvas& canvas, int top, int image) { drawKey(canvas, top, image == 1); });
}

PixelCanvas drawFaderHandle() {
    PixelCanvas canvas(kHandleWidth, kHandleHeight, palette::kHandleCap);
    const int last = kHandleWidth - 1;
    for (int y = 0; y < kHandleHeight; ++y) {
        canvas.horizontalLine(1, last - 1, y,
                              mix(palette::kHandleCap, palette::kHandleCapLow, y * 256 / kHandleHeight));
    }
    canvas.horizontalLine(1, last - 1, 0, palette::kHandleHighlight);
    canvas.setPixel(kHandleWidth / 2, 0, palette::kHandleGlint);
    canvas.horizontalLine(1, last - 1, kHandleHeight - 1, palette::kHandleEdge);
    canvas.verticalLine(0, 1, kHandleHeight - 2, palette::kHandleEdge);
    canvas.verticalLine(last, 1, kHandleHeight - 2, palette::kHandleEdge);
    canvas.horizontalLine(3, last - 3, 2, palette::kHandleGroove);
    canvas.horizontalLine(3, last - 3, kHandleHeight - 3, palette::kHandleGroove);
    canvas.horizontalLine(1, last - 1, kHandleHeight / 2, palette::kFaderHandleCentreLine);
    // Rounded corners: the background shows through.
    for (int x : {0, last}) {
        for (int y : {0, kHandleHeight - 1}) canvas.setPixel(x, y, palette::kTransparent);
    }
    return canvas;
}

PixelCanvas drawLedBitmap() {
    return stackImages(kLedSize, kLedSize, 2, [](PixelCanvas& canvas, int top, int image) {
        drawLed(canvas, top, image == 0 ? kGreenOff : kGreenOn);
    });
}

PixelCanvas drawModeLedBitmap() {
    return stackImages(kLedSize, kModeSwitchHeight, 2, [](PixelCanvas& canvas, int top, int image) {
        drawLed(canvas, top, image == 0 ? kRedOn : kRedOff);
        drawLed(canvas, top + kLedSize + 1, image == 0 ? kRedOff : kRedOn);
    });
}

PixelCanvas drawSyncModeBitmap() {
    return stackImages(kSyncImageWidth, kSyncImageHeight, kSyncPositions, drawSyncImage);
}
