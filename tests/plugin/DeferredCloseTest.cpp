#include "gui/GestureScope.h"
#include "plugin/EffectBase.h"

#include <gtest/gtest.h>

namespace {

// Tells when it is closed and when it is gone.
class WatchedEffect : public EffectBase {
public:
    WatchedEffect(bool& closedFlag, bool& goneFlag) : EffectBase(nullptr, 1, 1), closed(closedFlag), gone(goneFlag) {}
    ~WatchedEffect() override { gone = true; }
    void process(float**, float**, std::int32_t) noexcept override {}
    void close() override { closed = true; }

private:
    bool& closed;
    bool& gone;
};

}  // namespace

TEST(DeferredCloseTest, EffCloseInsideAGestureDestroysTheInstanceOnlyWhenTheGestureUnwinds) {
    bool closed = false;
    bool gone = false;
    AEffect* effect = (new WatchedEffect(closed, gone))->effect();
    {
        GestureScope gesture;
        EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
        EXPECT_FALSE(closed);
        EXPECT_FALSE(gone);
    }
    EXPECT_TRUE(closed);
    EXPECT_TRUE(gone);
}

TEST(DeferredCloseTest, EffCloseOutsideAGestureDestroysAtOnce) {
    bool closed = false;
    bool gone = false;
    AEffect* effect = (new WatchedEffect(closed, gone))->effect();
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(gone);
}
