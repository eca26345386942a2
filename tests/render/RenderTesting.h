#pragma once

#include "LoopFiles.h"
#include "RenderCommand.h"
#include "TempDir.h"
#include "export/MidiGrooveWriter.h"
#include "export/OutputFile.h"
#include "loopfile/BigEndian.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// One track of a Standard MIDI File, written event by event.
class MidiTrack {
public:
    MidiTrack& event(std::uint32_t delta, const Bytes& message) {
        std::uint8_t encoded[4];
        data.insert(data.end(), encoded, encoded + encodeVariableLength(static_cast<std::int32_t>(delta), encoded));
        data.insert(data.end(), message.begin(), message.end());
        return *this;
    }
    MidiTrack& note(std::uint32_t delta, std::uint8_t note, std::uint8_t velocity = 127) {
        return event(delta, {0x90, note, velocity});
    }
    MidiTrack& tempo(std::uint32_t delta, std::uint32_t microseconds) {
        Bytes message{0xFF, 0x51, 3};
        bigendian::append(message, microseconds, 3);
        return event(delta, message);
    }
    MidiTrack& end(std::uint32_t delta = 0) { return event(delta, {0xFF, 0x2F, 0}); }

    Bytes data;
};

inline Bytes midiFile(std::uint16_t format, std::uint16_t division, const std::vector<MidiTrack>& tracks) {
    Bytes file{'M',
               'T',
               'h',
               'd',
               0,
               0,
               0,
               6,
               0,
               static_cast<std::uint8_t>(format),
               0,
               static_cast<std::uint8_t>(tracks.size()),
               static_cast<std::uint8_t>(division >> 8),
               static_cast<std::uint8_t>(division)};
    for (const MidiTrack& track : tracks) {
        file.insert(file.end(), {'M', 'T', 'r', 'k'});
        bigendian::append(file, static_cast<std::uint32_t>(track.data.size()), 4);
        file.insert(file.end(), track.data.begin(), track.data.end());
    }
    return file;
}

inline std::string writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

inline Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A stereo float WAV file as brevatone-render writes it, read back.
struct WavContent {
    std::uint16_t formatTag = 0;
    std::vector<float> left;
    std::vector<float> right;
};

inline WavContent readWav(const std::string& path) {
    const Bytes file = readBytes(path);
    const auto littleEndian = [&file](std::size_t at, int bytes) {
        std::uint32_t value = 0;
        for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | file[at + static_cast<std::size_t>(i)];
        return value;
    };
    WavContent wav;
    for (std::size_t at = 12; at + 8 <= file.size(); at += 8 + littleEndian(at + 4, 4)) {
        const std::string id(file.begin() + static_cast<std::ptrdiff_t>(at),
                             file.begin() + static_cast<std::ptrdiff_t>(at + 4));
        if (id == "fmt ") wav.formatTag = static_cast<std::uint16_t>(littleEndian(at + 8, 2));
        if (id != "data") continue;
        for (std::size_t i = at + 8; i + 8 <= at + 8 + littleEndian(at + 4, 4); i += 8) {
            const std::uint32_t bits[2] = {littleEndian(i, 4), littleEndian(i + 4, 4)};
            float samples[2];
            std::memcpy(samples, bits, sizeof samples);
            wav.left.push_back(samples[0]);
            wav.right.push_back(samples[1]);
        }
    }
    return wav;
}

// The message of the std::runtime_error that `call` throws, or "" when it throws none.
template <class Call>
std::string failureOf(Call call) {
    try {
        call();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "";
}

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

inline ToolRun runTool(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RenderCommand::run(args, {out, err, false});
    return {status, out.str(), err.str()};
}

// The loop's groove written by the instrument's writer directly, not through the tool.
inline std::string writeGroove(const std::string& loop, const std::string& path) {
    ReadLoop read(loop);
    OutputFile output(path.c_str());
    writeMidiGroove(read.reader, output);
    output.close();
    return path;
}
