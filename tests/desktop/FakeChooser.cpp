#include "FakeChooser.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

FakeChooser::FakeChooser(const std::string& behaviour) {
    const std::string script = folder.file("zenity");
    {
        std::ofstream file(script);
        file << "#!/bin/sh\n"
             << "printf '%s\\n' \"$@\" > '" << folder.file("arguments") << "'\n"
             << "echo run >> '" << folder.file("runs") << "'\n"
             << "echo $$ > '" << folder.file("pid") << "'\n"
             << behaviour << "\n";
    }
    chmod(script.c_str(), 0755);
    const char* path = std::getenv("PATH");
    savedPath = path ? path : "";
    setenv("PATH", (folder.path().string() + ":" + savedPath).c_str(), 1);
}

FakeChooser::~FakeChooser() { setenv("PATH", savedPath.c_str(), 1); }

std::string FakeChooser::answers(const std::string& path, double delaySeconds) {
    return "sleep " + std::to_string(delaySeconds) + "\nprintf '%s\\n' '" + path + "'\n";
}

std::vector<std::string> FakeChooser::linesOf(const std::string& name) const {
    std::vector<std::string> lines;
    std::ifstream file(folder.file(name));
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> FakeChooser::arguments() const { return linesOf("arguments"); }

int FakeChooser::runs() const { return static_cast<int>(linesOf("runs").size()); }

pid_t FakeChooser::lastProcess() const {
    const std::vector<std::string> pid = linesOf("pid");
    return pid.empty() ? -1 : static_cast<pid_t>(std::atoi(pid.back().c_str()));
}

bool FakeChooser::started() const {
    for (int i = 0; i < 200 && lastProcess() < 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return lastProcess() >= 0;
}
