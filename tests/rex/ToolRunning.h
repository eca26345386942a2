#pragma once

#include "RenderTesting.h"
#include "SoundFileInput.h"
#include "TempDir.h"

#include <sndfile.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

inline std::string contentOf(const std::string& path) {
    const Bytes bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
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

inline std::string writeWav16(const std::string& path, const SoundFile& sound) {
    SF_INFO info{};
    info.channels = sound.channels;
    info.samplerate = sound.sampleRate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    sf_writef_short(file, sound.pcm.data(), sound.frames());
    sf_close(file);
    return path;
}
