#pragma once

#include "platform/PendingChoice.h"
#include "platform/PlatformServices.h"

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

// A file chooser program running beside the host; its standard output is read without waiting,
// a little at every poll, and judged when it has ended. An answer that is not a usable path is
// refused with a message, so nothing is loaded or written from it.
class ChooserProcess final : public PendingChoice {
public:
    // Null when the program cannot be started.
    static std::unique_ptr<ChooserProcess> start(const std::vector<std::string>& arguments,
                                                 const PlatformServices::FileDialog& dialog, bool save,
                                                 PlatformServices& messages);
    // Ends the chooser and whatever it started, if it still runs, and reaps it.
    ~ChooserProcess() override;
    ChooserProcess(const ChooserProcess&) = delete;
    ChooserProcess& operator=(const ChooserProcess&) = delete;

    Answer poll(char* path, std::size_t capacity) override;

    // What a chooser that ended well meant by `answer`, its output (`overflowed` when it wrote more
    // than was kept): the path, copied into `path`, or a refusal shown through `messages`. A save
    // chooser's answer gets `saveExtension` when it names a file without one; null for a load.
    static Answer judgeAnswer(std::string answer, bool overflowed, const char* saveExtension,
                              PlatformServices& messages, char* path, std::size_t capacity);

private:
    ChooserProcess(pid_t pid, int output, const char* defaultExtension, bool save, PlatformServices& messages);
    void readOutput();
    Answer judge(bool exitedWell, char* path, std::size_t capacity);

    pid_t pid;
    int output;
    std::string defaultExtension;
    bool save;
    PlatformServices& messages;
    std::string answer;
    bool overflowed = false;
    bool reaped = false;
};
