#include "SoftwarePanel.h"
#include "X11PanelFixture.h"
#include "shared/PanelLayout.h"

#include "SteadyWait.h"

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace {

int openDescriptors() {
    int count = 0;
    if (DIR* listing = opendir("/proc/self/fd")) {
        while (readdir(listing)) ++count;
        closedir(listing);
    }
    return count;
}

// Sets the same values on the plug-in in the library and on the in-process one.
void setBoth(PluginHost& host, Instrument& reference, std::int32_t index, float value) {
    host.setParameter(index, value);
    reference.setParameter(index, value);
}

}  // namespace

TEST_F(X11PanelFixture, OpenMakesOneMappedChildAtTheOriginWithEitherHostStyleAndCloseRemovesIt) {
    EXPECT_EQ(effect->flags & effFlagsHasEditor, effFlagsHasEditor);
    for (const VstIntPtr hostDisplay : {VstIntPtr{0}, reinterpret_cast<VstIntPtr>(parent.display())}) {
        ASSERT_EQ(openPanel(hostDisplay), 1);
        ASSERT_EQ(parent.children().size(), 1u);
        XWindowAttributes panel{};
        ASSERT_TRUE(XGetWindowAttributes(parent.display(), panelWindow(), &panel));
        EXPECT_EQ(panel.x, 0);
        EXPECT_EQ(panel.y, 0);
        EXPECT_EQ(panel.width, 250);
        EXPECT_EQ(panel.height, 100);
        EXPECT_EQ(panel.map_state, IsViewable);
        // No key events: the host keeps its shortcuts.
        EXPECT_EQ(panel.all_event_masks & (KeyPressMask | KeyReleaseMask), 0);
        host->dispatch(effEditClose);
        XSync(parent.display(), False);
        EXPECT_TRUE(parent.children().empty());
    }
}

TEST_F(X11PanelFixture, TheReadBackPanelEqualsTheSoftwarePictureFreshAfterProgramChangesAndHostChanges) {
    SoftwarePanel reference;
    ASSERT_EQ(openPanel(), 1);
    pump(200ms);
    EXPECT_EQ(picture().pixels(), reference.pictureAfterIdle());

    // The second program, with values of its own, then the first one back.
    host->dispatch(effSetProgram, 0, 1);
    reference.plugin().setProgram(1);
    setBoth(*host, reference.plugin(), 1, 0.5f);
    setBoth(*host, reference.plugin(), 8, 1.0f);
    setBoth(*host, reference.plugin(), 12, 1.0f);
    setBoth(*host, reference.plugin(), 13, 0.6f);
    pump(100ms);
    EXPECT_EQ(picture().pixels(), reference.pictureAfterIdle());
    host->dispatch(effSetProgram, 0, 0);
    reference.plugin().setProgram(0);
    pump(100ms);
    EXPECT_EQ(picture().pixels(), reference.pictureAfterIdle());

    // A host change shows at the next idle, not before.
    const RgbPicture before = picture().pixels();
    setBoth(*host, reference.plugin(), 3, 1.0f);
    EXPECT_EQ(picture().pixels(), before);
    host->dispatch(effEditIdle);
    EXPECT_EQ(picture().pixels(), reference.pictureAfterIdle());
    EXPECT_NE(picture().pixels(), before);
}

TEST_F(X11PanelFixture, ANullGarbageOrDestroyedParentGetsNoPanelAndNothingKept) {
    const int descriptors = openDescriptors();
    EXPECT_EQ(host->dispatch(effEditOpen, 0, 0, nullptr), 0);
    // An XID no client has made.
    EXPECT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(std::uintptr_t{0x1fffffe})), 0);
    host->dispatch(effEditIdle);
    parent.destroy();
    EXPECT_EQ(openPanel(), 0);
    host->dispatch(effEditIdle);
    EXPECT_EQ(openDescriptors(), descriptors);
}

TEST_F(X11PanelFixture, AParentDestroyedBeforeCloseEndsNothingAndTheCloseIsClean) {
    ASSERT_EQ(openPanel(), 1);
    pump(100ms);
    parent.destroy();
    // A BadWindow here would end the test program through Xlib's default handler.
    for (int i = 0; i < 5; ++i) host->dispatch(effEditIdle);
    host->setParameter(1, 0.5f);
    host->dispatch(effEditIdle);
    host->dispatch(effEditClose);
    host->dispatch(effEditIdle);
}

TEST_F(X11PanelFixture, IdleAndCloseFromAnotherThreadLeaveTheXWorkToTheOpeningThread) {
    ASSERT_EQ(openPanel(), 1);
    pump(100ms);
    std::thread([this] {
        host->setParameter(1, 1.0f);
        host->dispatch(effEditIdle);
        host->dispatch(effEditClose);
    }).join();
    // The closed panel's window goes when the opening thread next opens one.
    XSync(parent.display(), False);
    ASSERT_EQ(openPanel(), 1);
    XSync(parent.display(), False);
    EXPECT_EQ(parent.children().size(), 1u);
    pump(100ms);
    SoftwarePanel reference;
    reference.plugin().setParameter(1, 1.0f);
    EXPECT_EQ(picture().pixels(), reference.pictureAfterIdle());
}

TEST_F(X11PanelFixture, FiveHundredOpenCloseCyclesLeaveNoWindowAndNoDescriptor) {
    ASSERT_EQ(openPanel(), 1);
    host->dispatch(effEditClose);
    const int descriptors = openDescriptors();
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(openPanel(), 1) << "cycle " << i;
        host->dispatch(effEditIdle);
        host->dispatch(effEditClose);
    }
    XSync(parent.display(), False);
    EXPECT_TRUE(parent.children().empty());
    EXPECT_EQ(openDescriptors(), descriptors);
}

// Hosts idle the editor every 20 ms (most), 40 ms (Ardour) or 66 ms (Qtractor); during a drag the
// panel gives the host its idle itself, whatever the host's timer.
TEST_F(X11PanelFixture, XdotoolDragsOfTheAttackFaderAutomateBetweenEditsWithHostIdlesAllAlong) {
    ASSERT_EQ(openPanel(), 1);
    pump(200ms);
    // From below the handle's lowest place to above its highest, down the fader's middle.
    const PanelLayout::Control& attack = PanelLayout::control(PanelLayout::attackTag);
    const int x = X11HostWindow::spotX + PanelLayout::centre(attack).x;
    const int bottom = X11HostWindow::spotY + attack.lowestHandleTop + 3;
    const int top = X11HostWindow::spotY + attack.highestHandleTop;
    const std::string drag = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(bottom) +
                             " sleep 0.15 mousedown 1 sleep 0.15 mousemove " + std::to_string(x) + " " +
                             std::to_string((top + bottom) / 2) + " sleep 0.3 mousemove " + std::to_string(x) + " " +
                             std::to_string(top) + " sleep 0.3 mouseup 1";
    for (const std::chrono::milliseconds hostPeriod : {20ms, 40ms, 66ms}) {
        SCOPED_TRACE(hostPeriod.count());
        host->forgetRequests();
        std::thread input([&drag] { EXPECT_EQ(std::system(drag.c_str()), 0); });
        pump(1500ms, hostPeriod);
        input.join();

        const auto edits = requestsOf({audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit});
        ASSERT_GE(edits.size(), 3u);
        EXPECT_EQ(edits.front().opcode, audioMasterBeginEdit);
        EXPECT_EQ(edits.back().opcode, audioMasterEndEdit);
        for (const auto& edit : edits) EXPECT_EQ(edit.index, attack.parameter);
        // Pressed below the travel, dragged above it: the attack ends at 1.
        EXPECT_EQ(edits[edits.size() - 2].opt, 1.0f);
        EXPECT_EQ(host->getParameter(attack.parameter), 1.0f);

        // Counted, not timed: the drag lasts at least the 0.6 s xdotool sleeps through, and a loaded
        // machine only stretches it, while gaps between idles there say nothing about the panel.
        const double began = edits.front().time;
        const double ended = edits.back().time;
        int idles = 0;
        for (const auto& idle : requestsOf({audioMasterIdle})) {
            if (idle.time >= began && idle.time <= ended) ++idles;
        }
        EXPECT_GE(idles, 8);
    }
}

namespace {

// An X server of the test's own, which the test can take away while a panel is open on it.
class ServerOfOurOwn {
public:
    ServerOfOurOwn() {
        for (number = 80; number < 120; ++number) {
            if (access(socketPath().c_str(), F_OK) != 0 && access(lockPath().c_str(), F_OK) != 0) break;
        }
        const std::string display = ":" + std::to_string(number);
        server = fork();
        if (server == 0) {
            execlp("Xvfb", "Xvfb", display.c_str(), "-nolisten", "tcp", "-screen", "0", "640x480x24",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        waitUntilSteady([this] { return access(socketPath().c_str(), F_OK) == 0; },
                        [] { std::this_thread::sleep_for(10ms); }, 100, 10000);
    }
    ~ServerOfOurOwn() { goAway(); }
    std::string display() const { return ":" + std::to_string(number); }
    void goAway() {
        if (server <= 0) return;
        kill(server, SIGKILL);
        waitpid(server, nullptr, 0);
        server = 0;
        unlink(lockPath().c_str());
        unlink(socketPath().c_str());
    }

private:
    std::string socketPath() const { return "/tmp/.X11-unix/X" + std::to_string(number); }
    std::string lockPath() const { return "/tmp/.X" + std::to_string(number) + "-lock"; }

    int number = 0;
    pid_t server = 0;
};

}  // namespace

// The server dying with the panel open takes the panel with it, not the host: the next idles,
// parameter changes and the close go on, and a new panel finds no display to open on.
TEST(X11ServerLoss, TheHostOutlivesItsXServer) {
    const char* saved = std::getenv("DISPLAY");
    const std::string previous = saved ? saved : "";
    ServerOfOurOwn server;
    setenv("DISPLAY", server.display().c_str(), 1);
    // The test's own connection goes too; like a host that survives it, it sees the loss through
    // handlers that return.
    const XIOErrorHandler before = XSetIOErrorHandler([](Display*) { return 0; });
    {
        X11HostWindow parent(250, 100);
        ASSERT_TRUE(parent.valid()) << "no server at " << server.display();
        XSetIOErrorExitHandler(
            parent.display(), [](Display*, void*) {}, nullptr);
        PluginLibrary library(PluginLibrary::besideExecutable(BREVATONE_PLUGIN_FILE));
        PluginHost host(library);
        ASSERT_NE(host.open(), nullptr);
        ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, parent.parentHandle()), 1);
        for (int i = 0; i < 5; ++i) host.dispatch(effEditIdle);
        server.goAway();
        for (int i = 0; i < 5; ++i) host.dispatch(effEditIdle);
        host.setParameter(1, 0.5f);
        host.dispatch(effEditIdle);
        host.dispatch(effEditClose);
        EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, parent.parentHandle()), 0);
        host.close();
    }
    XSetIOErrorHandler(before);
    setenv("DISPLAY", previous.c_str(), 1);
}
