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

private:
    ChooserProcess(pid_t pid, int output, const char* defaultExtension, bool save, PlatformServices& messages);
    void readOutput();
    Answer judge(bool exitedWell, char* path, std::size_t capacity);
    Answer refuse(const std::string& text);

    pid_t pid;
    int output;
    std::string defaultExtension;
    bool save;
    PlatformServices& messages;
    std::string answer;
    bool overflowed = false;
    bool reaped = false;
};
