#include "HostFixture.h"

#include <cstdlib>
#include <cstring>
#include <string>

#if !defined(_WIN32)
#include <X11/Xlib.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {
// The Windows library always has a window system behind its panel; the Linux library has one
// when an X display can be reached.
std::int32_t editorFlag() {
#if defined(_WIN32)
    return effFlagsHasEditor;
#else
    Display* probe = XOpenDisplay(nullptr);
    if (!probe) return 0;
    XCloseDisplay(probe);
    return effFlagsHasEditor;
#endif
}
}  // namespace

TEST(EntryThroughHost, AHostThatAnswersVersionZeroGetsNoEffect) {
    PluginLibrary library(PluginLibrary::besideExecutable(BREVATONE_PLUGIN_FILE));
    ASSERT_TRUE(library.loaded()) << library.error();
    PluginHost host(library);
    host.versionAnswer = 0;
    EXPECT_EQ(host.open(), nullptr);
    ASSERT_EQ(host.requests().size(), 1u);
    EXPECT_EQ(host.requests()[0].opcode, audioMasterVersion);
    EXPECT_FALSE(host.requests()[0].withEffect);
}

TEST_F(HostFixture, TheRecordCarriesTheInstrumentsIdentity) {
    EXPECT_EQ(effect->magic, 0x56737450);
    EXPECT_EQ(effect->numPrograms, 16);
    EXPECT_EQ(effect->numParams, 14);
    EXPECT_EQ(effect->numInputs, 0);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags,
              editorFlag() | effFlagsCanMono | effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth);
    EXPECT_EQ(effect->uniqueID, 0x33773631);
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_EQ(effect->initialDelay, 0);
    const char zeros[sizeof effect->future] = {};
    EXPECT_EQ(std::memcmp(effect->future, zeros, sizeof zeros), 0);
}

TEST_F(HostFixture, OpeningAsksForTheVersionThenForMidi) {
    const auto requests = host->requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[0].opcode, audioMasterVersion);
    EXPECT_EQ(host->countRequests(audioMasterWantMidi), 1u);
}

TEST_F(HostFixture, CloseAnswersOneAndEachMainCallBuildsItsOwnObject) {
    PluginHost second(library());
    AEffect* other = second.open();
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, effect);
    EXPECT_NE(other->object, effect->object);
    EXPECT_EQ(second.close(), 1);
    EXPECT_EQ(host->close(), 1);
}

TEST_F(HostFixture, CoreOpcodesAnswerAsTheHostExpects) {
    EXPECT_EQ(host->dispatch(effIdentify, 7, 3), 0x4E764566);
    EXPECT_EQ(host->dispatch(effGetVu), 0);
    for (std::int32_t opcode : {std::int32_t{effEditDraw}, std::int32_t{effEditMouse}, std::int32_t{effEditKey},
                                std::int32_t{effEditTop}, std::int32_t{effEditSleep}, 69, 500, -1}) {
        EXPECT_EQ(host->dispatch(opcode), 0) << opcode;
    }
}

#if !defined(_WIN32)
// A port that takes connections and never answers, as a hung or firewalled X server does: the
// display number whose port it is.
class SilentDisplay {
public:
    SilentDisplay() {
        listener = socket(AF_INET, SOCK_STREAM, 0);
        for (number = 40; number < 100; ++number) {
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<std::uint16_t>(6000 + number));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(listener, 8) == 0)
                return;
        }
    }
    // Closing drops the connections nobody accepted, so a connect still waiting ends too.
    ~SilentDisplay() { close(listener); }
    std::string name() const { return "127.0.0.1:" + std::to_string(number); }

private:
    int listener;
    int number = 0;
};

// No X server listens at the first display number, and the second never answers: either way the
// instance is made without waiting for it and finds no window system.
TEST_F(HostFixture, WithoutAWindowSystemThereIsNoEditor) {
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    const SilentDisplay silent;
    for (const std::string& unreachableDisplay : {std::string(":59999"), silent.name()}) {
        setenv("DISPLAY", unreachableDisplay.c_str(), 1);
        PluginHost unreachable(library());
        AEffect* instance = unreachable.open();
        if (saved.empty())
            unsetenv("DISPLAY");
        else
            setenv("DISPLAY", saved.c_str(), 1);
        ASSERT_NE(instance, nullptr) << unreachableDisplay;
        EXPECT_EQ(instance->flags & effFlagsHasEditor, 0) << unreachableDisplay;
        ERect sentinel{};
        ERect* place = &sentinel;
        EXPECT_EQ(unreachable.dispatch(effEditGetRect, 0, 0, &place), 0);
        EXPECT_EQ(place, &sentinel);
        int parent = 0;
        EXPECT_EQ(unreachable.dispatch(effEditOpen, 0, 0, &parent), 0);
        unreachable.close();
    }
}
#endif

TEST_F(HostFixture, ParametersHaveTheirDefaultsAndNames) {
    const float defaults[14] = {0.5f, 0, 1, 0, 0, 1, 0, 0, 0, 1.0f, 0.5f, 0, 0, 0};
    for (std::int32_t index = 0; index < 14; ++index) EXPECT_EQ(host->getParameter(index), defaults[index]) << index;
    char name[64];
    host->dispatch(effGetParamName, 1, 0, name);
    EXPECT_STREQ(name, " Amp Atk ");
    std::strcpy(name, "untouched");
    host->dispatch(effGetParamName, 9, 0, name);
    EXPECT_STREQ(name, "untouched");
}

TEST_F(HostFixture, ValuesBelongToTheProgramThatWasCurrent) {
    host->dispatch(effSetProgram, 0, 2);
    host->setParameter(3, 0.7f);
    host->dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(host->getParameter(3), 0.0f);
    host->dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(host->getParameter(3), 0.7f);
    EXPECT_EQ(host->dispatch(effGetProgram), 2);
}

TEST_F(HostFixture, ProgramSelectionOutsideTheBankChangesNothing) {
    host->dispatch(effSetProgram, 0, 3);
    EXPECT_EQ(host->dispatch(effSetProgram, 0, 16), 0);
    EXPECT_EQ(host->dispatch(effSetProgram, 0, -1), 0);
    EXPECT_EQ(host->dispatch(effGetProgram), 3);
}

TEST_F(HostFixture, ProgramNamesAreKeptPerProgram) {
    char name[32];
    host->dispatch(effGetProgramName, 0, 0, name);
    EXPECT_STREQ(name, "Init");
    char longName[] = "A name of twenty-three!";
    host->dispatch(effSetProgramName, 0, 0, longName);
    host->dispatch(effSetProgram, 0, 1);
    host->dispatch(effGetProgramName, 0, 0, name);
    EXPECT_STREQ(name, "Init");
    host->dispatch(effSetProgram, 0, 0);
    host->dispatch(effGetProgramName, 0, 0, name);
    EXPECT_STREQ(name, longName);
}

TEST_F(HostFixture, ReservedIndexAndOutOfRangeParametersReadAsOne) {
    host->setParameter(9, 0.3f);
    EXPECT_EQ(host->getParameter(9), 1.0f);
    host->setParameter(14, 0.3f);
    EXPECT_EQ(host->getParameter(14), 1.0f);
    EXPECT_EQ(host->getParameter(-1), 1.0f);
}
