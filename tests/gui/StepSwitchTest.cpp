#include "GuiTesting.h"
#include "gui/StepSwitch.h"

#include <cmath>

namespace {

const std::vector<Colour> sixColours{{10, 0, 0}, {20, 0, 0}, {30, 0, 0}, {40, 0, 0}, {50, 0, 0}, {60, 0, 0}};

class StepSwitchTest : public GuiFixture {
protected:
    StepSwitch& sixStepSwitch() {
        return add<StepSwitch>(PixelRect{150, 30, 169, 89}, &listener, 13, 59, 6,
                               bitmap(134, stackedImages(19, 59, sixColours)), PixelPoint{0, 0});
    }
    StepSwitch& twoStepSwitch() {
        return add<StepSwitch>(PixelRect{20, 5, 28, 22}, &listener, 8, 17, 2,
                               bitmap(133, stackedImages(8, 17, {{1, 1, 1}, {2, 2, 2}})), PixelPoint{0, 0});
    }
    float clickAt(StepSwitch& control, std::int32_t offset) {
        press({control.bounds().left + 2, control.bounds().top + offset}, kLeftButton,
              {{{control.bounds().left + 2, control.bounds().top + offset}, 0}});
        return control.getValue();
    }
};

TEST_F(StepSwitchTest, OffsetsFromTheTopSelectTheStops) {
    StepSwitch& six = sixStepSwitch();
    const std::vector<std::pair<std::int32_t, float>> sixStops{{0, 0.0f},  {8, 0.0f},  {9, 0.2f},  {18, 0.2f},
                                                               {19, 0.4f}, {28, 0.4f}, {29, 0.6f}, {38, 0.6f},
                                                               {39, 0.8f}, {48, 0.8f}, {49, 1.0f}, {59, 1.0f}};
    for (const auto& [offset, expected] : sixStops) EXPECT_EQ(clickAt(six, offset), expected) << "offset " << offset;

    StepSwitch& two = twoStepSwitch();
    EXPECT_EQ(clickAt(two, 7), 0.0f);
    EXPECT_EQ(clickAt(two, 8), 1.0f);
    EXPECT_EQ(clickAt(two, 17), 1.0f);
}

TEST_F(StepSwitchTest, EachStopShowsItsOwnImageAndOddValuesStayInRange) {
    StepSwitch& six = sixStepSwitch();
    window().paint();
    for (std::int32_t stop = 0; stop < 6; ++stop) {
        six.setValue(static_cast<float>(stop) * 0.2f);
        frame->idle();
        EXPECT_EQ(window().screen().pixel(157, 48).red, sixColours[static_cast<std::size_t>(stop)].red);
    }
    const std::vector<std::pair<float, std::int32_t>> shown{{0.5f, 2}, {1.0f, 5},     {1e30f, 5},    {-0.3f, 0},
                                                            {NAN, 0},  {INFINITY, 5}, {-INFINITY, 0}};
    for (const auto& [value, image] : shown) {
        six.setValue(value);
        EXPECT_EQ(six.shownImage(), image) << value;
    }
}

TEST_F(StepSwitchTest, ADragFollowsThePointerUntilAnyButtonOrKeyChanges) {
    StepSwitch& six = sixStepSwitch();
    press({157, 30}, kLeftButton,
          {{{157, 83}, kLeftButton}, {{157, 8}, kLeftButton}, {{157, 78}, kLeftButton | kShiftKey}, {{157, 78}, 0}});
    EXPECT_EQ(listener.values(), (std::vector<float>{0.0f, 1.0f, 0.0f}));  // a new switch is dirty; above it: 0.0
    EXPECT_EQ(six.getValue(), 0.0f);
    EXPECT_EQ(editor.edits, (std::vector<std::int32_t>{13, -14}));
}

TEST_F(StepSwitchTest, ControlClickResetsOnlyForControlWithTheLeftButton) {
    StepSwitch& six = sixStepSwitch();
    six.setValue(0.6f);
    press({157, 83}, kLeftButton | kControlKey | kShiftKey, {{{157, 83}, 0}});
    EXPECT_EQ(six.getValue(), 1.0f);  // not a reset: an ordinary click at the bottom
    press({157, 83}, kRightButton | kControlKey);
    EXPECT_EQ(six.getValue(), 1.0f);
    press({157, 83}, kResetClick);
    EXPECT_EQ(six.getValue(), 0.0f);
    EXPECT_EQ(editor.edits.size(), 2u);  // only the ordinary click began and ended an edit
}

}  // namespace
