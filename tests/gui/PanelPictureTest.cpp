#include "PanelScene.h"
#include "SkinColours.h"
#include "platform/portable/SoftwarePlatform.h"
#include "platform/portable/SoftwareWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

bool shows(const RgbImage& picture, const PixelRect& area, SkinRgb colour) {
    for (std::int32_t y = area.top; y < area.bottom; ++y)
        for (std::int32_t x = area.left; x < area.right; ++x)
            if (picture.pixel(x, y).sameRgb({colour.red, colour.green, colour.blue, 0})) return true;
    return false;
}

// Binary PPM: the test script turns it into the PNG the README shows.
void writePpm(const RgbImage& picture, const std::string& path) {
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << picture.width() << ' ' << picture.height() << "\n255\n";
    file.write(reinterpret_cast<const char*>(picture.bytes().data()),
               static_cast<std::streamsize>(picture.bytes().size()));
}

TEST(PanelPicture, TheRealBitmapsShowEachControlInItsState) {
    SoftwarePlatform platform;
    int parent = 0;
    PanelScene scene(platform, &parent, nullptr, nullptr);
    SoftwareWindow& window = *platform.lastWindow();
    window.paint();
    const RgbImage& picture = window.screen();

    EXPECT_TRUE(shows(picture, {69, 20, 86, 29}, kFaderHandleCentreLine));  // decay at 1.0: handle at the top
    EXPECT_FALSE(shows(picture, {69, 30, 86, 85}, kFaderHandleCentreLine));
    EXPECT_TRUE(shows(picture, {178, 5, 186, 13}, kLedOn));
    EXPECT_TRUE(shows(picture, {229, 5, 238, 13}, kLedOff));
    EXPECT_FALSE(shows(picture, {229, 5, 238, 13}, kLedOn));
    EXPECT_TRUE(shows(picture, {10, 52, 30, 72}, kButtonPressed));
    EXPECT_FALSE(shows(picture, {10, 20, 30, 40}, kButtonPressed));
    EXPECT_TRUE(shows(picture, {223, 22, 242, 81}, kSwitchLitStep));

    if (const char* buildDir = std::getenv("BREVATONE_BUILD_DIR"))
        writePpm(picture, std::string(buildDir) + "/panel.ppm");
}

}  // namespace
