#include "GuiTesting.h"
#include "gui/MomentaryButton.h"
#include "gui/ToggleButton.h"

#include <cmath>

namespace {

constexpr Colour off{0, 60, 0};
constexpr Colour lit{0, 250, 0};
constexpr Colour released{0, 0, 120};
constexpr Colour pressed{90, 90, 255};

class ButtonTest : public GuiFixture {
protected:
    ToggleButton& led() {
        return add<ToggleButton>(PixelRect{178, 5, 186, 13}, &listener, 9,
                                 bitmap(132, stackedImages(8, 8, {off, lit})));
    }
    MomentaryButton& loadButton() {
        return add<MomentaryButton>(PixelRect{10, 20, 30, 40}, &listener, 0, 20,
                                    bitmap(129, stackedImages(20, 20, {released, pressed})), PixelPoint{0, 0});
    }
};

TEST_F(ButtonTest, AToggleFlipsOnAnyIntegerPartAndTreatsOddValuesAsOff) {
    ToggleButton& toggle = led();
    const std::vector<std::pair<float, float>> flips{{0.7f, 1.0f},  {1.0f, 0.0f},     {-1.5f, 0.0f},
                                                     {1e30f, 0.0f}, {INFINITY, 0.0f}, {NAN, 1.0f}};
    for (const auto& [before, after] : flips) {
        toggle.setValue(before);
        press({180, 8}, kLeftButton);
        EXPECT_EQ(toggle.getValue(), after) << before;
    }
    toggle.setValue(0.0f);
    press({180, 8}, kRightButton);
    press({180, 8}, kMiddleButton);
    EXPECT_EQ(toggle.getValue(), 0.0f);
    EXPECT_EQ(listener.notices.size(), flips.size());
}

TEST_F(ButtonTest, AToggleShowsTheLowerImageForAnyNonZeroValue) {
    ToggleButton& toggle = led();
    window().paint();
    for (const float value : {0.7f, 0.0f, NAN, 1e30f}) {
        toggle.setValue(value);
        frame->idle();
        const bool on = value != 0.0f && !std::isnan(value);
        EXPECT_TRUE(window().screen().pixel(180, 8).sameRgb(on ? lit : off)) << value;
    }
    // The sync LED's rectangle is a pixel wider than its bitmap: that column keeps the panel.
    add<ToggleButton>(PixelRect{229, 5, 238, 13}, &listener, 12, bitmaps.back());
    const Colour beside = window().screen().pixel(237, 8);
    window().paint();
    EXPECT_TRUE(window().screen().pixel(237, 8).sameRgb(beside));
    EXPECT_TRUE(window().screen().pixel(236, 8).sameRgb(off));
}

TEST_F(ButtonTest, AMomentaryButtonReportsPressAndReleaseAndShowsThePressedKey) {
    MomentaryButton& button = loadButton();
    window().paint();
    press({15, 25}, kLeftButton, {{{16, 26}, kLeftButton}, {{16, 26}, 0}});
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f}));
    EXPECT_EQ(editor.edits, (std::vector<std::int32_t>{0, -1}));
    EXPECT_TRUE(window().screen().pixel(15, 25).sameRgb(released));
    listener.notices.clear();
    press({15, 25}, kLeftButton, {{{50, 60}, kLeftButton}, {{50, 60}, 0}});
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(button.getValue(), 0.0f);
}

TEST_F(ButtonTest, AQuickClickStillActsOnceAtThePressPoint) {
    loadButton();
    ToggleButton& toggle = led();
    // The buttons were released before the window handled the press: the live state says nothing is held.
    press({15, 25}, kLeftButton, {{{15, 25}, 0}});
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f}));
    press({180, 8}, kLeftButton);
    EXPECT_EQ(toggle.getValue(), 1.0f);
}

TEST_F(ButtonTest, AHeldKeyDoesNotKeepAMomentaryButtonDown) {
    loadButton();
    press({15, 25}, kLeftButton | kShiftKey, {{{15, 25}, kShiftKey}, {{15, 25}, kShiftKey | kControlKey}});
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f}));
    EXPECT_EQ(editor.pumps, 1);
}

}  // namespace
