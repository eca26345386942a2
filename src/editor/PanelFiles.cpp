#include "editor/PanelFiles.h"

#include "export/MidiGrooveWriter.h"
#include "export/OutputFile.h"
#include "export/OutputTarget.h"
#include "platform/PendingChoice.h"

namespace PanelFiles {

const PlatformServices::FileDialog loopDialog{
    "Load Rex File", "REX Files (*.rex)", "*.rex", "rex", "Audio Loops (*.wav;*.aif;*.aiff)", "*.wav;*.aif;*.aiff"};
const PlatformServices::FileDialog grooveDialog{
    "Save REX Groove As Standard Midi", "Midi Files (*.MID)", "*.mid", "mid", nullptr, nullptr};
const char* const noLoop = "No loop is loaded, so there is no groove to save.";

// A save dialog confirms replacing any file, and the loop is the one a user would not mean.
void saveGroove(PlatformServices& services, const RexReader& loop, const std::string& loopPath, const char* path) {
    if (OutputTarget::sameFile(path, loopPath)) {
        const std::string text = std::string("The groove was not saved: \"") + path +
                                 "\" is the loaded loop, which the groove would replace.";
        services.showError("Error", text.c_str());
        return;
    }
    // A folder, a device or a FIFO is refused in the tools' words; the system's would be stale.
    const std::string refusal = OutputTarget::refusal(path, {});
    if (!refusal.empty()) {
        const std::string text = std::string("The groove was not saved: \"") + path + "\": " + refusal + ".";
        services.showError("Error", text.c_str());
        return;
    }
    OutputFile output(path);
    writeMidiGroove(loop, output);
    // A full disk may show only when the last bytes are flushed; an earlier file stays as it was.
    if (!output.close()) services.showError("Error", services.lastErrorText().c_str());
}

Choice::Choice(PlatformServices& platformServices) : services(platformServices) {}
Choice::~Choice() = default;

void Choice::start(For purpose) {
    std::lock_guard<std::mutex> guard(lock);
    if (pending) return;
    pending = services.startChoosing(purpose == For::loop ? loopDialog : grooveDialog, purpose == For::groove);
    pendingPurpose = purpose;
}

bool Choice::take(For& purpose, char* path, std::size_t capacity) {
    std::lock_guard<std::mutex> guard(lock);
    if (!pending) return false;
    const PendingChoice::Answer answer = pending->poll(path, capacity);
    if (answer == PendingChoice::Answer::waiting) return false;
    pending.reset();
    purpose = pendingPurpose;
    return answer == PendingChoice::Answer::chosen;
}

void Choice::abandon() {
    std::lock_guard<std::mutex> guard(lock);
    pending.reset();
}

}  // namespace PanelFiles
