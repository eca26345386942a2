#include "platform/PlatformServices.h"
#include "platform/x11/ChooserProcess.h"
#include "platform/x11/DesktopProgram.h"
#include "platform/x11/ProcessSpawn.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace {

// The services of the Linux library: choosers and messages are programs of the desktop that run
// beside the host and never hold its thread, and every message also goes to standard error,
// where a host's log or a terminal keeps it when no desktop is there to show it.
class DesktopServices final : public PlatformServices {
public:
    // Only reached where choosers do not run apart, which here they always do.
    bool chooseFileToOpen(void*, const FileDialog&, char*, std::size_t) override { return false; }
    bool chooseFileToSave(void*, const FileDialog&, char*, std::size_t) override { return false; }

    bool choosesApart() const override { return true; }

    std::unique_ptr<PendingChoice> startChoosing(const FileDialog& dialog, bool save) override {
        const std::optional<DesktopProgram> program = DesktopProgram::find();
        if (!program) {
            showError("Brevatone", "No file chooser was found: install zenity or kdialog.");
            return nullptr;
        }
        auto chooser = ChooserProcess::start(program->chooserArguments(dialog, save), dialog, save, *this);
        if (!chooser) showError("Brevatone", "The file chooser could not be started.");
        return chooser;
    }

    void showError(const char* caption, const char* text) override { show(caption, text, true); }

    void showNotice(const char* caption, const char* text, std::shared_ptr<std::atomic<bool>> up) override {
        show(caption, text, false);
        // Nobody hears when a detached message is closed.
        up->store(false);
    }

    std::string lastErrorText() override { return std::strerror(errno); }

private:
    // A message already on screen is not opened again: hosts set a rate or retry a load many times
    // over, and every time would leave one more window to close.
    void show(const char* caption, const char* text, bool error) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) return;
        const std::optional<DesktopProgram> program = DesktopProgram::find();
        if (!program) return;
        const std::string key = std::string(caption) + '\n' + text;
        std::lock_guard<std::mutex> guard(shownLock);
        if (stillShown(key)) return;
        int lifeline[2];
        if (pipe2(lifeline, O_CLOEXEC) != 0) {
            spawnDetached(program->messageArguments(caption, text, error));
            return;
        }
        spawnDetached(program->messageArguments(caption, text, error), lifeline[1]);
        close(lifeline[1]);
        shown.emplace(key, lifeline[0]);
    }

    // The message's program holds the writing end of its pipe; once it has ended, the reading end
    // reports the hang-up.
    bool stillShown(const std::string& key) {
        const auto found = shown.find(key);
        if (found == shown.end()) return false;
        pollfd lifeline{found->second, POLLIN, 0};
        if (poll(&lifeline, 1, 0) == 0) return true;
        close(found->second);
        shown.erase(found);
        return false;
    }

    // The messages started, by caption and text, each with the reading end of its pipe.
    std::mutex shownLock;
    std::map<std::string, int> shown;
};

}  // namespace

PlatformServices& systemPlatformServices() {
    static DesktopServices services;
    return services;
}
