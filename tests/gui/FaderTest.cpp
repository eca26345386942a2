#include "GuiTesting.h"
#include "gui/Fader.h"

#include <cmath>

namespace {

constexpr Colour handleColour{200, 0, 0};
constexpr Colour groundColour{40, 40, 40};

class FaderTest : public GuiFixture {
protected:
    // A handle 9 pixels tall whose top travels from 10 (value 1) to 66 (value 0).
    Fader& makeFader() {
        return add<Fader>(PixelRect{20, 10, 37, 75}, &listener, 4, 10, 66, bitmap(131, RgbImage(17, 9, handleColour)),
                          bitmap(128, RgbImage(250, 100, groundColour)), PixelPoint{20, 10}, Fader::invertedDrag);
    }
    float clickAt(Fader& fader, std::int32_t y, MouseButtons buttons = kLeftButton) {
        press({25, y}, buttons, {{{25, y}, 0}});
        return fader.getValue();
    }
    // The topmost row of the fader's column on screen that shows the handle.
    std::int32_t drawnHandleTop() {
        for (std::int32_t y = 10; y < 75; ++y)
            if (window().screen().pixel(25, y).sameRgb(handleColour)) return y;
        return -1;
    }
};

TEST_F(FaderTest, APressSetsTheValueFromItsPlaceOnTheTravel) {
    Fader& fader = makeFader();
    // A click puts the handle's grip, three rows below its top, under the pointer: 13 is the top
    // of the travel, 69 its bottom.
    EXPECT_EQ(clickAt(fader, 13), 1.0f);
    EXPECT_EQ(clickAt(fader, 41), 0.5f);
    EXPECT_EQ(clickAt(fader, 69), 0.0f);
    EXPECT_EQ(clickAt(fader, 75), 0.0f);
    EXPECT_EQ(clickAt(fader, 10), 1.0f);  // about 1.054, clamped
    EXPECT_EQ(clickAt(fader, 41, kRightButton), 1.0f);
    EXPECT_EQ(clickAt(fader, 41, kMiddleButton), 1.0f);
}

TEST_F(FaderTest, TheHandleIsDrawnWhereTheValuePutsItEvenForOddValues) {
    Fader& fader = makeFader();
    window().paint();
    fader.setValue(0.5f);
    frame->idle();
    EXPECT_EQ(fader.handleTop(), 38);
    EXPECT_EQ(drawnHandleTop(), 38);
    EXPECT_TRUE(window().screen().pixel(25, 37).sameRgb(groundColour));
    const std::vector<std::pair<float, std::int32_t>> tops{{1e30f, 10}, {INFINITY, 10}, {-INFINITY, 66}, {NAN, 66}};
    for (const auto& [value, top] : tops) {
        fader.setValue(value);
        frame->idle();
        EXPECT_EQ(drawnHandleTop(), top) << value;
        EXPECT_FALSE(fader.isDirty()) << value;  // NaN included: it does not redraw on every idle
    }
}

TEST_F(FaderTest, ShiftDragsATenthAsFastFromWhereShiftWentDown) {
    Fader& fader = makeFader();
    press({25, 41}, kLeftButton,
          {{{25, 41}, kLeftButton | kShiftKey}, {{25, 13}, kLeftButton | kShiftKey}, {{25, 13}, 0}});
    EXPECT_NEAR(fader.getValue(), 0.55f, 1e-6f);
    EXPECT_EQ(editor.edits, (std::vector<std::int32_t>{4, -5}));
    EXPECT_EQ(editor.pumps, 3);
}

TEST_F(FaderTest, ControlClickResetsToTheDefaultWithoutAnEdit) {
    Fader& fader = makeFader();
    fader.setDefaultValue(0.25f);
    EXPECT_EQ(clickAt(fader, 50, kResetClick), 0.25f);
    EXPECT_EQ(listener.values(), (std::vector<float>{0.25f}));
    EXPECT_TRUE(editor.edits.empty());
}

TEST_F(FaderTest, WithoutFreeClickOnlyAPressOnTheHandleDrags) {
    Fader& fader = makeFader();
    fader.setFreeClick(false);
    fader.setValue(0.5f);
    window().paint();
    EXPECT_EQ(clickAt(fader, 20), 0.5f);
    press({25, 40}, kLeftButton, {{{25, 12}, kLeftButton}, {{25, 12}, 0}});  // grabbed 2 pixels below its top
    EXPECT_EQ(fader.getValue(), 1.0f);
}

TEST_F(FaderTest, TheWheelStepsAndClampsAndNaNBecomesTheMinimum) {
    Fader& fader = makeFader();
    fader.setValue(0.95f);
    pointer().hold({origin.x + 25, origin.y + 40}, 0);
    EXPECT_TRUE(frame->wheelAtCursor(1.0f));
    EXPECT_EQ(fader.getValue(), 1.0f);
    fader.setValue(NAN);
    EXPECT_TRUE(frame->wheelAtCursor(1.0f));
    EXPECT_EQ(fader.getValue(), 0.0f);
    pointer().hold({origin.x + 5, origin.y + 5}, 0);
    EXPECT_FALSE(frame->wheelAtCursor(1.0f));
}

}  // namespace
