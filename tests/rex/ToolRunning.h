#pragma once

#include "TempDir.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

inline std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A path as one shell word, spaces and all.
inline std::string quoted(const std::string& path) { return "'" + path + "'"; }

// Runs a shell command line the way a user types it, its output caught in files of `dir`.
inline ToolRun runShell(const TempDir& dir, const std::string& commandLine) {
    const std::string out = dir.file("stdout.txt");
    const std::string err = dir.file("stderr.txt");
    const int status = std::system(("(" + commandLine + ") >" + quoted(out) + " 2>" + quoted(err)).c_str());
    ToolRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, contentOf(out), contentOf(err)};
    std::remove(out.c_str());
    std::remove(err.c_str());
    return run;
}
