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
    ToggleButton& makeToggle() {
        return add<ToggleButton>(PixelRect{100, 30, 108, 38}, &listener, 9,
                                 bitmap(132, stackedImages(8, 8, {off, lit})));
    }
    MomentaryButton& makeMomentaryButton() {
        return add<MomentaryButton>(PixelRect{60, 50, 80, 70}, &listener, 0, 20,
                                    bitmap(129, stackedImages(20, 20, {released, pressed})), PixelPoint{0, 0});
    }
};

TEST_F(ButtonTest, AToggleFlipsOnAnyIntegerPartAndTreatsOddValuesAsOff) {
    ToggleButton& toggle = makeToggle();
    const std::vector<std::pair<float, float>> flips{{0.7f, 1.0f},  {1.0f, 0.0f},     {-1.5f, 0.0f},
                                                     {1e30f, 0.0f}, {INFINITY, 0.0f}, {NAN, 1.0f}};
    for (const auto& [before, after] : flips) {
        toggle.setValue(before);
        press({102, 33}, kLeftButton);
        EXPECT_EQ(toggle.getValue(), after) << before;
    }
    toggle.setValue(0.0f);
    press({102, 33}, kRightButton);
    press({102, 33}, kMiddleButton);
    EXPECT_EQ(toggle.getValue(), 0.0f);
    EXPECT_EQ(listener.notices.size(), flips.size());
}

TEST_F(ButtonTest, AToggleShowsTheLowerImageForAnyNonZeroValue) {
    ToggleButton& toggle = makeToggle();
    window().paint();
    for (const float value : {0.7f, 0.0f, NAN, 1e30f}) {
        toggle.setValue(value);
        frame->idle();
        const bool on = value != 0.0f && !std::isnan(value);
        EXPECT_TRUE(window().screen().pixel(102, 33).sameRgb(on ? lit : off)) << value;
    }
    // A rectangle a pixel wider than the bitmap: that column keeps what was under it.
    add<ToggleButton>(PixelRect{120, 30, 129, 38}, &listener, 12, bitmaps.back());
    const Colour beside = window().screen().pixel(128, 33);
    window().paint();
    EXPECT_TRUE(window().screen().pixel(128, 33).sameRgb(beside));
    EXPECT_TRUE(window().screen().pixel(127, 33).sameRgb(off));
}

TEST_F(ButtonTest, AMomentaryButtonReportsPressAndReleaseAndShowsThePressedKey) {
    MomentaryButton& button = makeMomentaryButton();
    window().paint();
    press({65, 55}, kLeftButton, {{{66, 56}, kLeftButton}, {{66, 56}, 0}});
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f}));
    EXPECT_EQ(editor.edits, (std::vector<std::int32_t>{0, -1}));
    EXPECT_TRUE(window().screen().pixel(65, 55).sameRgb(released));
    listener.notices.clear();
    press({65, 55}, kLeftButton, {{{100, 90}, kLeftButton}, {{100, 90}, 0}});
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(button.getValue(), 0.0f);
}

TEST_F(ButtonTest, AQuickClickStillActsOnceAtThePressPoint) {
    makeMomentaryButton();
    ToggleButton& toggle = makeToggle();
    // The buttons were released before the window handled the press: the live state says nothing is held.
    press({65, 55}, kLeftButton, {{{65, 55}, 0}});
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f}));
    press({102, 33}, kLeftButton);
    EXPECT_EQ(toggle.getValue(), 1.0f);
}

TEST_F(ButtonTest, AHeldKeyDoesNotKeepAMomentaryButtonDown) {
    makeMomentaryButton();
    press({65, 55}, kLeftButton | kShiftKey, {{{65, 55}, kShiftKey}, {{65, 55}, kShiftKey | kControlKey}});
    EXPECT_EQ(listener.values(), (std::vector<float>{1.0f, 0.0f}));
    EXPECT_EQ(editor.pumps, 1);
}

}  // namespace
