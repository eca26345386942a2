#pragma once

#include "TempDir.h"

#include <sys/types.h>

#include <string>
#include <vector>

// A stand-in `zenity` first on PATH while it lives: it records its process id, its arguments and
// each run in its folder, then does what the test's shell lines say (answer, wait, cancel...).
class FakeChooser {
public:
    explicit FakeChooser(const std::string& behaviour);
    ~FakeChooser();
    FakeChooser(const FakeChooser&) = delete;
    FakeChooser& operator=(const FakeChooser&) = delete;

    // Shell lines that print `path` as the chosen file after `delaySeconds`.
    static std::string answers(const std::string& path, double delaySeconds = 0.0);

    std::vector<std::string> arguments() const;
    int runs() const;
    // The process id of the last run, or -1 before it has started.
    pid_t lastProcess() const;
    // Waits up to two seconds for the chooser to have started.
    bool started() const;

private:
    std::vector<std::string> linesOf(const std::string& name) const;

    TempDir folder;
    std::string savedPath;
};
