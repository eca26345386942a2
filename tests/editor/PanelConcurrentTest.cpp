#include "PanelFixture.h"
#include "editor/PanelDisplay.h"

#include <atomic>
#include <thread>

using namespace Parameter;

// The audio thread automates every parameter, a third thread changes programs, and the panel's
// thread opens, idles, drags and closes. Afterwards one idle brings every control to the value
// the instrument holds, as the panel shows it.
TEST_F(PanelFixture, PanelConcurrentWithAutomationAndProgramChanges) {
    std::atomic<bool> running{true};
    std::thread audio([&] {
        std::vector<float> left(64), right(64);
        float* outputs[2] = {left.data(), right.data()};
        for (std::uint32_t step = 0; running; ++step) {
            effect->setParameter(effect, static_cast<std::int32_t>(step % 14), static_cast<float>(step % 11) / 10.0f);
            effect->processReplacing(effect, nullptr, outputs, 64);
        }
    });
    std::thread programs([&] {
        for (std::int32_t program = 0; running; program = (program + 1) % 16) {
            dispatch(effSetProgram, 0, program);
            std::this_thread::yield();
        }
    });
    for (int cycle = 0; cycle < 40; ++cycle) {
        ASSERT_EQ(openPanel(), 1);
        window().paint();
        for (int idle = 0; idle < 5; ++idle) dispatch(effEditIdle);
        press(78, 20 + cycle, kLeftButton, 8);
        press(233, 9);
        dispatch(effEditIdle);
        if (cycle < 39) dispatch(effEditClose);
    }
    running = false;
    audio.join();
    programs.join();
    dispatch(effEditIdle);
    for (std::int32_t parameter = 0; parameter < Parameter::count; ++parameter) {
        const float stored = effect->getParameter(effect, parameter);
        if (ValueControl* control = editor().controlFor(parameter)) {
            EXPECT_EQ(control->getValue(), PanelDisplay::shownValue(parameter, stored)) << "parameter " << parameter;
        }
    }
}

// A host idles the editor from a timer thread while the window's thread paints and drags: the
// widgets change only on the window's thread, at its paints, and end on the stored values.
TEST_F(PanelFixture, PanelConcurrentIdleFromAnotherThreadOnlyAsksForPaints) {
    ASSERT_EQ(openPanel(), 1);
    window().paint();
    effect->setParameter(effect, ampSustain, 1.0f);
    std::thread([&] { dispatch(effEditIdle); }).join();
    EXPECT_EQ(fader(ampSustain).getValue(), 0.0f);
    EXPECT_TRUE(window().needsPaint());
    window().paint();
    EXPECT_EQ(fader(ampSustain).getValue(), 1.0f);

    std::atomic<bool> running{true};
    std::thread timer([&] {
        for (std::uint32_t step = 0; running; ++step) {
            effect->setParameter(effect, ampRelease, static_cast<float>(step % 11) / 10.0f);
            effect->setParameter(effect, lfoSyncOn, static_cast<float>(step % 2));
            dispatch(effEditIdle);
        }
    });
    for (int round = 0; round < 40; ++round) {
        window().paint();
        press(78, 20 + round, kLeftButton, 8);
    }
    running = false;
    timer.join();
    window().paint();
    EXPECT_EQ(fader(ampRelease).getValue(), effect->getParameter(effect, ampRelease));
    EXPECT_EQ(editor().controlFor(lfoSyncOn)->getValue(), effect->getParameter(effect, lfoSyncOn));
}

// A host closes the editor from a thread of its own while the window's thread paints: the window
// calls into the closed panel no more, is destroyed when its own thread next dispatches, and a
// later open works.
TEST_F(PanelFixture, PanelConcurrentCloseFromAnotherThreadWhileTheWindowPaints) {
    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(openPanel(), 1);
        SoftwareWindow& painted = window();
        std::atomic<bool> closed{false};
        std::thread other([&] {
            effect->setParameter(effect, ampSustain, static_cast<float>(round % 2));
            for (int idle = 0; idle < 5; ++idle) dispatch(effEditIdle);
            dispatch(effEditClose);
            closed = true;
        });
        while (!closed) painted.paint();
        other.join();
        painted.paint();
        EXPECT_EQ(platform.lastWindow(), nullptr);
        platform.dispatchPendingPaint();
        EXPECT_EQ(platform.windowCount(), 0u);
    }
    ASSERT_EQ(openPanel(), 1);
    window().paint();
    EXPECT_EQ(fader(ampSustain).getValue(), effect->getParameter(effect, ampSustain));
    EXPECT_EQ(platform.windowCount(), 1u);
}
