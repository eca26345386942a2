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
