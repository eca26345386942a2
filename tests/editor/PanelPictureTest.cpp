#include "PanelFixture.h"
#include "PanelStates.h"
#include "SkinColours.h"
#include "shared/PanelLayout.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

using namespace PanelLayout;

namespace {

bool shows(const RgbImage& picture, const Rect& area, SkinRgb colour) {
    for (std::int32_t y = area.top; y < area.bottom; ++y)
        for (std::int32_t x = area.left; x < area.right; ++x)
            if (picture.pixel(x, y).sameRgb({colour.red, colour.green, colour.blue, 0})) return true;
    return false;
}

bool inside(const Rect& area, std::int32_t x, std::int32_t y) {
    return x >= area.left && x < area.right && y >= area.top && y < area.bottom;
}

// Binary PPM: the test script turns it into the PNG the README shows.
void writePpm(const RgbImage& picture, const std::string& path) {
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << picture.width() << ' ' << picture.height() << "\n255\n";
    for (std::int32_t y = 0; y < picture.height(); ++y) {
        for (std::int32_t x = 0; x < picture.width(); ++x) {
            const Colour colour = picture.pixel(x, y);
            file.put(static_cast<char>(colour.red))
                .put(static_cast<char>(colour.green))
                .put(static_cast<char>(colour.blue));
        }
    }
}

// The instrument's own panel, opened with every control in a state of its own.
class PanelPicture : public PanelFixture {
protected:
    const RgbImage& paintedPanel() {
        for (auto [parameter, value] : panelStates) instrument->setParameter(parameter, value);
        instrument->setParameter(Parameter::ampDecay, 1.0f);
        instrument->setParameter(Parameter::lfoSyncOn, 1.0f);
        EXPECT_EQ(openPanel(), 1);
        window().paint();
        return window().screen();
    }
};

TEST_F(PanelPicture, EachControlShowsItsStateWhereTheLayoutTablePutsIt) {
    const RgbImage& picture = paintedPanel();
    const Control& decay = control(decayTag);
    const Rect handleAtTop{decay.bounds.left, decay.highestHandleTop, decay.bounds.right,
                           decay.highestHandleTop + handleHeight};
    EXPECT_TRUE(shows(picture, handleAtTop, kFaderHandleCentreLine));
    EXPECT_FALSE(shows(picture, {decay.bounds.left, handleAtTop.bottom, decay.bounds.right, decay.bounds.bottom},
                       kFaderHandleCentreLine));
    EXPECT_TRUE(shows(picture, control(filterOnTag).bounds, kLedOn));
    EXPECT_TRUE(shows(picture, control(syncOnTag).bounds, kLedOn));
    EXPECT_FALSE(shows(picture, control(loadTag).bounds, kButtonPressed));
    EXPECT_TRUE(shows(picture, control(syncModeTag).bounds, kSwitchLitStep));

    if (const char* buildDir = std::getenv("BREVATONE_BUILD_DIR"))
        writePpm(picture, std::string(buildDir) + "/panel.ppm");
}

// Outside the controls the panel is its background; inside each shown control something is drawn.
// A control drawn anywhere but where the table says breaks one of the two.
TEST_F(PanelPicture, OnlyTheTablesRectanglesDifferFromTheBackground) {
    const RgbImage& picture = paintedPanel();
    const EmbeddedBitmap bytes = embeddedPanelBitmap(panelBackground);
    const std::optional<RgbPicture> background = decodeBmp(bytes.bytes, bytes.size);
    ASSERT_TRUE(background);
    ASSERT_EQ(picture.width(), panelBounds.width());
    ASSERT_EQ(picture.height(), panelBounds.height());
    const auto drawnOver = [&](std::int32_t x, std::int32_t y) {
        return picture.picture().pixel(x, y) != background->pixel(x, y);
    };
    for (const Control& at : controls) {
        if (at.tag == lfoRateTag) continue;  // the sync-mode switch stands in its place
        bool drawn = false;
        for (std::int32_t y = at.bounds.top; y < at.bounds.bottom && !drawn; ++y)
            for (std::int32_t x = at.bounds.left; x < at.bounds.right && !drawn; ++x) drawn = drawnOver(x, y);
        EXPECT_TRUE(drawn) << at.name;
    }
    int strayPixels = 0;
    for (std::int32_t y = 0; y < picture.height(); ++y)
        for (std::int32_t x = 0; x < picture.width(); ++x) {
            bool inControl = false;
            for (const Control& at : controls) inControl = inControl || inside(at.bounds, x, y);
            if (!inControl && drawnOver(x, y) && strayPixels++ == 0)
                ADD_FAILURE() << "drawn outside every control at (" << x << ", " << y << ")";
        }
    EXPECT_EQ(strayPixels, 0);
}

}  // namespace
