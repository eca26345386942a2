#include "FakeChooser.h"
#include "LoopFiles.h"
#include "instrument/Instrument.h"
#include "platform/PlatformServices.h"
#include "platform/portable/SoftwarePlatform.h"
#include "platform/portable/SoftwareWindow.h"
#include "shared/PanelLayout.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

namespace {

// The instrument with the Linux library's services and its panel on the software platform: the
// file buttons start the stand-in chooser, and the panel's idle collects its answer.
class PanelChooser : public ::testing::Test {
protected:
    static VstIntPtr VSTCALL host(AEffect*, std::int32_t opcode, std::int32_t, VstIntPtr, void*, float) {
        return opcode == audioMasterVersion ? 2400 : 0;
    }

    void SetUp() override {
        unsetenv("DISPLAY");
        ASSERT_EQ(dispatch(effEditOpen, &parentWindow), 1);
        platform.lastWindow()->paint();
    }
    void TearDown() override { dispatch(effClose); }

    VstIntPtr dispatch(std::int32_t opcode, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
    }
    void press(PanelLayout::Tag button) {
        const PanelLayout::Point at = PanelLayout::centre(PanelLayout::control(button));
        platform.pointer().hold({at.x, at.y}, kLeftButton);
        platform.pointer().script({{{at.x, at.y}, kLeftButton}, {{at.x, at.y}, 0}});
        platform.lastWindow()->press({at.x, at.y}, kLeftButton);
    }
    // Idles as a host does, every 20 ms, until `done` or two seconds have passed.
    bool idleUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 100 && !done(); ++i) {
            dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return done();
    }
    std::string programPath() { return instrument->program(0).path; }

    TempDir dir;
    const std::string loop = writeLoopFile(dir, "eight.rex", eightSliceLoop());
    SoftwarePlatform platform;
    Instrument* instrument = new Instrument(host, systemPlatformServices(), &platform);
    AEffect* effect = instrument->effect();
    int parentWindow = 0;
};

TEST_F(PanelChooser, LoadReturnsAtOnceStartsOneChooserAtATimeAndALaterIdleLoadsTheAnswer) {
    FakeChooser fake(FakeChooser::answers(loop, 0.3));
    press(PanelLayout::loadTag);
    EXPECT_EQ(programPath(), "");
    ASSERT_TRUE(fake.started());
    press(PanelLayout::loadTag);
    press(PanelLayout::exportTag);
    EXPECT_TRUE(idleUntil([this] { return programPath() == loop; }));
    EXPECT_EQ(fake.runs(), 1);
    EXPECT_NE(instrument->loadedLoop(), nullptr);
}

TEST_F(PanelChooser, ExportWritesTheGrooveToTheAnsweredPath) {
    InputFile file(loop.c_str());
    ASSERT_TRUE(instrument->loadLoop(file));
    FakeChooser fake(FakeChooser::answers(dir.file("groove.mid")));
    press(PanelLayout::exportTag);
    ASSERT_TRUE(idleUntil([this] { return std::ifstream(dir.file("groove.mid")).good(); }));
    char header[4] = {};
    std::ifstream(dir.file("groove.mid"), std::ios::binary).read(header, sizeof header);
    EXPECT_EQ(std::string(header, 4), "MThd");
}

TEST_F(PanelChooser, ClosingTheEditorWithAChooserOpenEndsItAndIgnoresItsAnswer) {
    FakeChooser fake(FakeChooser::answers(loop, 0.5));
    press(PanelLayout::loadTag);
    ASSERT_TRUE(fake.started());
    const pid_t chooser = fake.lastProcess();
    dispatch(effEditClose);
    EXPECT_EQ(kill(chooser, 0), -1);
    EXPECT_EQ(errno, ESRCH);
    ASSERT_EQ(dispatch(effEditOpen, &parentWindow), 1);
    idleUntil([] { return false; });
    EXPECT_EQ(programPath(), "");
}

}  // namespace
