#include "GuiTesting.h"
#include "gui/Fader.h"

#include <cmath>

namespace {

constexpr Colour handleColour{200, 0, 0};
constexpr Colour groundColour{40, 40, 40};

class FaderTest : public GuiFixture {
protected:
    Fader& attack() {
        return add<Fader>(PixelRect{45, 20, 62, 85}, &listener, 4, 20, 76, bitmap(131, RgbImage(17, 9, handleColour)),
                          bitmap(128, RgbImage(250, 100, groundColour)), PixelPoint{45, 20}, Fader::invertedDrag);
    }
    float clickAt(Fader& fader, std::int32_t y, MouseButtons buttons = kLeftButton) {
        press({50, y}, buttons, {{{50, y}, 0}});
        return fader.getValue();
    }
    // The topmost row of the fader's column on screen that shows the handle.
    std::int32_t drawnHandleTop() {
        for (std::int32_t y = 20; y < 85; ++y)
            if (window().screen().pixel(50, y).sameRgb(handleColour)) return y;
        return -1;
    }
};

TEST_F(FaderTest, APressSetsTheValueFromItsPlaceOnTheTravel) {
    Fader& fader = attack();
    EXPECT_EQ(clickAt(fader, 23), 1.0f);
    EXPECT_EQ(clickAt(fader, 51), 0.5f);
    EXPECT_EQ(clickAt(fader, 79), 0.0f);
    EXPECT_EQ(clickAt(fader, 85), 0.0f);
    EXPECT_EQ(clickAt(fader, 20), 1.0f);  // about 1.054, clamped
    EXPECT_EQ(clickAt(fader, 51, kRightButton), 1.0f);
    EXPECT_EQ(clickAt(fader, 51, kMiddleButton), 1.0f);
}

TEST_F(FaderTest, TheHandleIsDrawnWhereTheValuePutsItEvenForOddValues) {
    Fader& fader = attack();
    window().paint();
    fader.setValue(0.5f);
    frame->idle();
    EXPECT_EQ(fader.handleTop(), 48);
    EXPECT_EQ(drawnHandleTop(), 48);
    EXPECT_TRUE(window().screen().pixel(50, 47).sameRgb(groundColour));
    const std::vector<std::pair<float, std::int32_t>> tops{{1e30f, 20}, {INFINITY, 20}, {-INFINITY, 76}, {NAN, 76}};
    for (const auto& [value, top] : tops) {
        fader.setValue(value);
        frame->idle();
        EXPECT_EQ(drawnHandleTop(), top) << value;
        EXPECT_FALSE(fader.isDirty()) << value;  // NaN included: it does not redraw on every idle
    }
}

TEST_F(FaderTest, ShiftDragsATenthAsFastFromWhereShiftWentDown) {
    Fader& fader = attack();
    press({50, 51}, kLeftButton,
          {{{50, 51}, kLeftButton | kShiftKey}, {{50, 23}, kLeftButton | kShiftKey}, {{50, 23}, 0}});
    EXPECT_NEAR(fader.getValue(), 0.55f, 1e-6f);
    EXPECT_EQ(editor.edits, (std::vector<std::int32_t>{4, -5}));
    EXPECT_EQ(editor.pumps, 3);
}

TEST_F(FaderTest, ControlClickResetsToTheDefaultWithoutAnEdit) {
    Fader& fader = attack();
    fader.setDefaultValue(0.25f);
    EXPECT_EQ(clickAt(fader, 60, kResetClick), 0.25f);
    EXPECT_EQ(listener.values(), (std::vector<float>{0.25f}));
    EXPECT_TRUE(editor.edits.empty());
}

TEST_F(FaderTest, WithoutFreeClickOnlyAPressOnTheHandleDrags) {
    Fader& fader = attack();
    fader.setFreeClick(false);
    fader.setValue(0.5f);
    window().paint();
    EXPECT_EQ(clickAt(fader, 30), 0.5f);
    press({50, 50}, kLeftButton, {{{50, 22}, kLeftButton}, {{50, 22}, 0}});  // grabbed 2 pixels below its top
    EXPECT_EQ(fader.getValue(), 1.0f);
}

TEST_F(FaderTest, TheWheelStepsAndClampsAndNaNBecomesTheMinimum) {
    Fader& fader = attack();
    fader.setValue(0.95f);
    pointer().hold({origin.x + 50, origin.y + 50}, 0);
    EXPECT_TRUE(frame->wheelAtCursor(1.0f));
    EXPECT_EQ(fader.getValue(), 1.0f);
    fader.setValue(NAN);
    EXPECT_TRUE(frame->wheelAtCursor(1.0f));
    EXPECT_EQ(fader.getValue(), 0.0f);
    pointer().hold({origin.x + 5, origin.y + 5}, 0);
    EXPECT_FALSE(frame->wheelAtCursor(1.0f));
}

}  // namespace
