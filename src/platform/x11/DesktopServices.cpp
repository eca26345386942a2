#include "platform/PlatformServices.h"
#include "platform/x11/ChooserProcess.h"
#include "platform/x11/DesktopProgram.h"
#include "platform/x11/ProcessSpawn.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    static void show(const char* caption, const char* text, bool error) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) return;
        if (const std::optional<DesktopProgram> program = DesktopProgram::find())
            spawnDetached(program->messageArguments(caption, text, error));
    }
};

}  // namespace

PlatformServices& systemPlatformServices() {
    static DesktopServices services;
    return services;
}
