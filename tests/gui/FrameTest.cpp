#include "GuiTesting.h"
#include "gui/StepSwitch.h"
#include "gui/ToggleButton.h"

#include <thread>

namespace {

// A widget that records the presses and drops it gets.
class Target : public Widget {
public:
    Target(const PixelRect& bounds, std::vector<std::string>& log, std::string name, bool takesDrops = false)
        : Widget(bounds), events(log), label(std::move(name)), accepts(takesDrops) {}
    void onMouseDown(PaintContext&, const MousePress&) override { events.push_back(label); }
    bool onDrop(const char* const*, std::int32_t, std::int32_t, PixelPoint) override {
        events.push_back("drop " + label);
        return accepts;
    }
    void draw(PaintContext&) override { ++draws; }
    std::int32_t draws = 0;

private:
    std::vector<std::string>& events;
    std::string label;
    bool accepts;
};

class FrameTest : public GuiFixture {
protected:
    std::vector<std::string> events;
};

TEST_F(FrameTest, APressGoesToTheTopMostEnabledWidgetEdgesIncluded) {
    add<Target>(PixelRect{10, 10, 40, 40}, events, "below");
    Target& above = add<Target>(PixelRect{30, 30, 60, 60}, events, "above");
    window().press({40, 40}, kLeftButton);
    window().press({10, 10}, kLeftButton);
    window().press({60, 60}, kRightButton);
    above.setMouseEnabled(false);
    window().press({35, 35}, kLeftButton);
    window().press({61, 61}, kLeftButton);
    EXPECT_EQ(events, (std::vector<std::string>{"above", "below", "above", "below"}));
}

TEST_F(FrameTest, ADropIsOfferedTopMostFirstUntilOneTakesIt) {
    add<Target>(PixelRect{10, 10, 40, 40}, events, "taker", true);
    add<Target>(PixelRect{10, 10, 40, 40}, events, "refuser");
    const char* names[] = {"loop.rex"};
    EXPECT_TRUE(frame->onDrop(names, 1, 0, {20, 20}));
    EXPECT_FALSE(frame->onDrop(names, 1, 0, {80, 80}));
    EXPECT_EQ(events, (std::vector<std::string>{"drop refuser", "drop taker"}));
    EXPECT_TRUE(window().acceptsDrops());
}

TEST_F(FrameTest, IdleDrawsOnlyAfterTheFirstPaintAndOnlyWhileTheWindowLives) {
    ToggleButton& toggle = add<ToggleButton>(PixelRect{0, 0, 8, 8}, &listener, 1, nullptr);
    frame->idle();
    EXPECT_TRUE(toggle.isDirty());
    window().paint();
    EXPECT_TRUE(toggle.isDirty());  // a full paint keeps what it found
    frame->idle();                  // the frame itself redraws whole first
    frame->idle();
    EXPECT_FALSE(toggle.isDirty());
    toggle.setValue(1.0f);
    window().destroyWithParent();
    frame->idle();
    EXPECT_TRUE(toggle.isDirty());
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(frame->windowHandle(), nullptr);
    EXPECT_FALSE(frame->setDropActive(true));
}

TEST_F(FrameTest, IdleFromAnotherThreadOnlyAsksForAPaint) {
    Target& target = add<Target>(PixelRect{0, 0, 8, 8}, events, "t");
    window().paint();
    const std::int32_t drawsAfterPaint = target.draws;
    std::thread([&] {
        frame->idle();
        frame->redraw(nullptr);
    }).join();
    EXPECT_EQ(target.draws, drawsAfterPaint);
    EXPECT_TRUE(window().needsPaint());
    platform.dispatchPendingPaint();
    EXPECT_EQ(target.draws, drawsAfterPaint + 1);
}

TEST_F(FrameTest, RemovingWithoutReleaseKeepsTheWidgetAndClearsItsFrame) {
    ToggleButton& toggle = add<ToggleButton>(PixelRect{0, 0, 8, 8}, &listener, 1, nullptr);
    toggle.setValue(1.0f);
    frame->removeWidget(&toggle, false);
    EXPECT_EQ(toggle.frame(), nullptr);
    EXPECT_FALSE(frame->contains(&toggle));
    EXPECT_EQ(toggle.refCount(), 1);
    frame->addWidget(&toggle);
    EXPECT_EQ(toggle.getValue(), 1.0f);
    EXPECT_EQ(toggle.frame(), frame.get());
}

TEST_F(FrameTest, DestroyingTheFrameFreesEveryWidgetAndBitmap) {
    const std::int32_t widgetsBefore = Widget::liveCount();
    const std::int32_t bitmapsBefore = SkinBitmap::liveCount();
    SkinBitmap* panel = bitmap(128, RgbImage(250, 100));
    frame->setBackground(panel);
    add<StepSwitch>(PixelRect{0, 0, 8, 17}, &listener, 8, 17, 2, panel, PixelPoint{0, 0});
    add<ToggleButton>(PixelRect{0, 20, 8, 28}, &listener, 9, panel);
    panel->release();
    bitmaps.clear();
    EXPECT_EQ(Widget::liveCount(), widgetsBefore + 2);
    frame.reset();
    EXPECT_EQ(Widget::liveCount(), widgetsBefore - 1);  // the frame itself was one of them
    EXPECT_EQ(SkinBitmap::liveCount(), bitmapsBefore);
    EXPECT_EQ(platform.lastWindow(), nullptr);
}

TEST_F(FrameTest, WithoutAParentThereIsNoWindowAndNothingDraws) {
    EditorFrame orphan(platform, PixelRect{0, 0, 250, 100}, nullptr, &editor);
    EXPECT_FALSE(orphan.hasWindow());
    EXPECT_FALSE(orphan.setDropActive(true));
    EXPECT_TRUE(orphan.setDropActive(false));
    orphan.idle();
    orphan.redraw(nullptr);
}

}  // namespace
