#include "FakeChooser.h"
#include "platform/PlatformServices.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {

const PlatformServices::FileDialog loadDialog{
    "Load Rex File", "REX Files (*.rex)", "*.rex", "rex", "Audio Loops (*.wav;*.aif;*.aiff)", "*.wav;*.aif;*.aiff"};
const PlatformServices::FileDialog saveDialog{
    "Save REX Groove As Standard Midi", "Midi Files (*.MID)", "*.mid", "mid", nullptr, nullptr};

class ChooserProcess : public ::testing::Test {
protected:
    // Messages go to standard error only, where the test reads them, and no fake runs for them.
    void SetUp() override { unsetenv("DISPLAY"); }

    static PendingChoice::Answer answerOf(PendingChoice& choice, char* path, std::size_t capacity) {
        for (int i = 0; i < 500; ++i) {
            const PendingChoice::Answer answer = choice.poll(path, capacity);
            if (answer != PendingChoice::Answer::waiting) return answer;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return PendingChoice::Answer::waiting;
    }

    PlatformServices& services = systemPlatformServices();
    TempDir dir;
    char path[1024] = {};
};

TEST_F(ChooserProcess, LoadAndSaveChoosersGetTheirTitleFilterAndOptionsAndAnswerLater) {
    const std::string loop = dir.file("beat.rex");
    std::ofstream(loop) << "any bytes";
    {
        FakeChooser fake(FakeChooser::answers(loop, 0.3));
        auto choice = services.startChoosing(loadDialog, false);
        ASSERT_TRUE(choice);
        EXPECT_EQ(choice->poll(path, sizeof path), PendingChoice::Answer::waiting);
        EXPECT_EQ(answerOf(*choice, path, sizeof path), PendingChoice::Answer::chosen);
        EXPECT_EQ(std::string(path), loop);
        EXPECT_EQ(fake.arguments(),
                  (std::vector<std::string>{"--file-selection", "--title=Load Rex File",
                                            "--file-filter=REX Files (*.rex) | *.rex",
                                            "--file-filter=Audio Loops (*.wav;*.aif;*.aiff) | *.wav *.aif *.aiff"}));
    }
    {
        // A name typed without an extension gets the default one, as the Windows dialog adds it.
        FakeChooser fake(FakeChooser::answers(dir.file("groove")));
        auto choice = services.startChoosing(saveDialog, true);
        ASSERT_TRUE(choice);
        EXPECT_EQ(answerOf(*choice, path, sizeof path), PendingChoice::Answer::chosen);
        EXPECT_EQ(std::string(path), dir.file("groove.mid"));
        EXPECT_EQ(fake.arguments(), (std::vector<std::string>{
                                        "--file-selection", "--title=Save REX Groove As Standard Midi",
                                        "--file-filter=Midi Files (*.MID) | *.mid", "--save", "--confirm-overwrite"}));
    }
}

TEST_F(ChooserProcess, CancelGarbageTooLongAndNonFilesChooseNothingAndOnlyBadAnswersAreExplained) {
    struct Case {
        std::string behaviour;
        std::string said;
    };
    const Case cases[] = {
        {"exit 1", ""},
        {"printf 'one\\001two\\n'", "not a file name"},
        {"head -c 100000 /dev/zero", "not a file name"},
        {"printf '/%01200d\\n' 0", "longer than the 1023 characters"},
        {FakeChooser::answers(dir.path().string()), "is not a file that can be loaded"},
        {FakeChooser::answers(dir.file("missing.rex")), "is not a file that can be loaded"},
    };
    for (const Case& test : cases) {
        FakeChooser fake(test.behaviour);
        testing::internal::CaptureStderr();
        auto choice = services.startChoosing(loadDialog, false);
        ASSERT_TRUE(choice);
        EXPECT_EQ(answerOf(*choice, path, sizeof path), PendingChoice::Answer::none) << test.behaviour;
        const std::string said = testing::internal::GetCapturedStderr();
        if (test.said.empty())
            EXPECT_EQ(said, "") << test.behaviour;
        else
            EXPECT_NE(said.find(test.said), std::string::npos) << test.behaviour << ": " << said;
    }
}

TEST_F(ChooserProcess, AChooserThatNeverAnswersIsEndedAndReapedWhenAbandoned) {
    FakeChooser fake("sleep 100");
    auto choice = services.startChoosing(loadDialog, false);
    ASSERT_TRUE(choice);
    ASSERT_TRUE(fake.started());
    EXPECT_EQ(choice->poll(path, sizeof path), PendingChoice::Answer::waiting);
    const pid_t chooser = fake.lastProcess();
    choice.reset();
    // A zombie would still answer the null signal.
    EXPECT_EQ(kill(chooser, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

// A message still on screen is not opened again, whichever way it came; once closed, it may be.
TEST_F(ChooserProcess, AMessageOnScreenIsNotOpenedAgainUntilItIsClosed) {
    setenv("DISPLAY", ":0", 1);
    const FakeChooser message("sleep 1");
    testing::internal::CaptureStderr();
    for (int i = 0; i < 5; ++i) {
        services.showError("Brevatone", "The same text.");
        services.showNotice("Brevatone", "The same text.", std::make_shared<std::atomic<bool>>(true));
    }
    services.showError("Brevatone", "Another text.");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(message.runs(), 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    services.showError("Brevatone", "The same text.");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(message.runs(), 3);
}

TEST_F(ChooserProcess, WithoutAnyChooserOnPathAMessageNamesBoth) {
    const char* oldPath = std::getenv("PATH");
    const std::string saved = oldPath ? oldPath : "";
    setenv("PATH", dir.path().c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(services.startChoosing(loadDialog, false), nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    setenv("PATH", saved.c_str(), 1);
    EXPECT_NE(said.find("zenity"), std::string::npos);
    EXPECT_NE(said.find("kdialog"), std::string::npos);
}

}  // namespace
