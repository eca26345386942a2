#include "SoundFileInput.h"

#include "ToolError.h"
#include "ToolFiles.h"
#include "loopfile/LoopLimits.h"
#include "loopfile/RexFileWriter.h"
#include "onset/OnsetDetector.h"

#include <sndfile.h>

#include <memory>

SoundFile SoundFileInput::read(const std::string& path) {
    // Opening a FIFO waits for a writer, and a device never ends.
    ToolFiles::requireRegular(path, "input");
    SF_INFO info{};
    const std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open(path.c_str(), SFM_READ, &info), sf_close);
    if (!file) {
        throw ToolError("cannot read " + path + ": " + sf_strerror(nullptr));
    }
    const int major = info.format & SF_FORMAT_TYPEMASK;
    if (major != SF_FORMAT_WAV && major != SF_FORMAT_AIFF) {
        throw ToolError(path + " is neither a WAV nor an AIFF file");
    }
    if ((info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_PCM_16) {
        throw ToolError(path + " does not hold 16-bit samples");
    }
    if (info.channels != 1 && info.channels != 2) {
        throw ToolError(path + " has " + std::to_string(info.channels) + " channels; only mono and stereo are taken");
    }
    if (info.frames <= 0) throw ToolError(path + " holds no sound");
    if (static_cast<std::uint64_t>(info.frames) * static_cast<std::uint64_t>(info.channels) > maximumLoopSamples) {
        throw ToolError(path + " holds more than " + maximumLoopSamplesText + ", the most a loop may hold");
    }
    SoundFile sound;
    sound.channels = info.channels;
    sound.sampleRate = info.samplerate;
    sound.pcm.resize(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    const sf_count_t read = sf_readf_short(file.get(), sound.pcm.data(), info.frames);
    if (read != info.frames) {
        throw ToolError("cannot read all of " + path + ": " + sf_strerror(file.get()));
    }
    return sound;
}

std::vector<uint32_t> detectOnsets(const SoundFile& sound) {
    const std::vector<float> values = RexFileWriter::samplesFromPcm16(sound.pcm);
    return OnsetDetector(sound.sampleRate).detect(values.data(), sound.frames(), sound.channels);
}
