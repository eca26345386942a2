#include "platform/x11/ChooserProcess.h"

#include "platform/x11/ProcessSpawn.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Longer than any path the system takes; what comes beyond it is read and dropped.
constexpr std::size_t longestAnswer = 8192;

bool isFileName(const std::string& text) {
    return std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// The save dialog on Windows adds the default extension to a name typed without one.
void addDefaultExtension(std::string& path, const std::string& extension) {
    const std::size_t lastSlash = path.rfind('/');
    const std::size_t nameStart = lastSlash == std::string::npos ? 0 : lastSlash + 1;
    if (path.find('.', nameStart) == std::string::npos && nameStart < path.size()) path += "." + extension;
}

}  // namespace

std::unique_ptr<ChooserProcess> ChooserProcess::start(const std::vector<std::string>& arguments,
                                                      const PlatformServices::FileDialog& dialog, bool save,
                                                      PlatformServices& messages) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return nullptr;
    const pid_t pid = spawnProcess(arguments, ends[1]);
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        return nullptr;
    }
    fcntl(ends[0], F_SETFL, fcntl(ends[0], F_GETFL) | O_NONBLOCK);
    return std::unique_ptr<ChooserProcess>(new ChooserProcess(pid, ends[0], dialog.defaultExtension, save, messages));
}

ChooserProcess::ChooserProcess(pid_t child, int readEnd, const char* extension, bool saving,
                               PlatformServices& messageSink)
    : pid(child), output(readEnd), defaultExtension(extension), save(saving), messages(messageSink) {}

ChooserProcess::~ChooserProcess() {
    if (!reaped) {
        // The whole group: a chooser script may have started programs of its own.
        kill(-pid, SIGKILL);
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {}
    }
    close(output);
}

void ChooserProcess::readOutput() {
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(output, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return;
        const std::size_t room = longestAnswer - std::min(longestAnswer, answer.size());
        answer.append(buffer, std::min(room, static_cast<std::size_t>(got)));
        if (static_cast<std::size_t>(got) > room) overflowed = true;
    }
}

PendingChoice::Answer ChooserProcess::poll(char* path, std::size_t capacity) {
    if (reaped) return Answer::none;
    readOutput();
    int status = 0;
    const pid_t ended = waitpid(pid, &status, WNOHANG);
    if (ended == 0 || (ended < 0 && errno == EINTR)) return Answer::waiting;
    reaped = true;
    readOutput();
    // A host that reaps every child of its own may have taken the status: the output alone counts.
    const bool exitedWell = ended < 0 || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return judge(exitedWell, path, capacity);
}

PendingChoice::Answer ChooserProcess::judge(bool exitedWell, char* path, std::size_t capacity) {
    if (!exitedWell) return Answer::none;
    return judgeAnswer(answer, overflowed, save ? defaultExtension.c_str() : nullptr, messages, path, capacity);
}

PendingChoice::Answer ChooserProcess::judgeAnswer(std::string answer, bool overflowed, const char* saveExtension,
                                                  PlatformServices& messages, char* path, std::size_t capacity) {
    const auto refuse = [&messages](const std::string& text) {
        messages.showError("Brevatone", text.c_str());
        return Answer::none;
    };
    if (!answer.empty() && answer.back() == '\n') answer.pop_back();
    if (answer.empty() && !overflowed) return Answer::none;
    if (overflowed || !isFileName(answer))
        return refuse("The file chooser answered something that is not a file name.");
    if (saveExtension) addDefaultExtension(answer, saveExtension);
    if (answer.size() >= capacity)
        return refuse("The chosen path is longer than the " + std::to_string(capacity - 1) +
                      " characters Brevatone can keep: " + answer);
    struct stat found {};
    if (!saveExtension && (stat(answer.c_str(), &found) != 0 || !S_ISREG(found.st_mode)))
        return refuse("\"" + answer + "\" is not a file that can be loaded.");
    std::memcpy(path, answer.c_str(), answer.size() + 1);
    return Answer::chosen;
}
