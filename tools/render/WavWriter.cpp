#include "WavWriter.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

constexpr std::uint16_t formatPcm = 1;
constexpr std::uint16_t formatIeeeFloat = 3;
constexpr std::uint16_t channels = 2;
// RIFF sizes are 32-bit; the header before the data takes at most this much of them.
constexpr std::uint64_t headerBytes = 58;

void storeLittleEndian(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    out.resize(out.size() + static_cast<std::size_t>(bytes));
    storeLittleEndian(&out[out.size() - static_cast<std::size_t>(bytes)], value, bytes);
}

void putText(std::vector<std::uint8_t>& out, const char* text) {
    out.insert(out.end(), text, text + std::strlen(text));
}

}  // namespace

WavWriter::WavWriter(const std::string& filePath, Format sampleFormat, std::int32_t rate)
    : path(filePath), format(sampleFormat), sampleRate(rate), stream(filePath, std::ios::binary | std::ios::trunc) {
    if (!stream) throw std::runtime_error("cannot create " + path);
    writeHeader();
}

void WavWriter::write(const float* left, const float* right, std::int32_t frames) {
    const int bytesPerSample = sampleBytes();
    buffer.resize(static_cast<std::size_t>(frames) * channels * static_cast<std::size_t>(bytesPerSample));
    std::uint8_t* at = buffer.data();
    for (std::int32_t i = 0; i < frames; ++i) {
        for (const float sample : {left[i], right[i]}) {
            std::uint32_t bits;
            if (format == Format::float32) {
                std::memcpy(&bits, &sample, sizeof bits);
            } else {
                bits = static_cast<std::uint32_t>(toPcm24(sample));
            }
            storeLittleEndian(at, bits, bytesPerSample);
            at += bytesPerSample;
        }
    }
    dataBytes += buffer.size();
    if (dataBytes + headerBytes > std::numeric_limits<std::uint32_t>::max()) {
        throw std::runtime_error("the audio is too long for a WAV file (4 GiB at most)");
    }
    stream.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
    if (!stream) fail();
}

void WavWriter::finish() {
    stream.seekp(0);
    writeHeader();
    stream.close();
    if (!stream) fail();
}

std::int32_t WavWriter::toPcm24(float sample) {
    constexpr double fullScale = 8388608.0;
    if (std::isnan(sample)) return 0;
    const double scaled = std::round(static_cast<double>(sample) * fullScale);
    if (scaled < -fullScale) return -8388608;
    if (scaled > fullScale - 1) return 8388607;
    return static_cast<std::int32_t>(scaled);
}

// Float data needs the extended format record and a "fact" chunk; integer data the plain record.
void WavWriter::writeHeader() {
    const bool isFloat = format == Format::float32;
    const auto bytesPerSample = static_cast<std::uint16_t>(sampleBytes());
    const std::uint32_t formatSize = isFloat ? 18 : 16;
    const std::uint32_t factSize = isFloat ? 12 : 0;
    const auto data = static_cast<std::uint32_t>(dataBytes);
    std::vector<std::uint8_t> header;
    putText(header, "RIFF");
    putLittleEndian(header, 4 + (8 + formatSize) + factSize + 8 + data, 4);
    putText(header, "WAVEfmt ");
    putLittleEndian(header, formatSize, 4);
    putLittleEndian(header, isFloat ? formatIeeeFloat : formatPcm, 2);
    putLittleEndian(header, channels, 2);
    putLittleEndian(header, static_cast<std::uint32_t>(sampleRate), 4);
    putLittleEndian(header, static_cast<std::uint32_t>(sampleRate) * channels * bytesPerSample, 4);
    putLittleEndian(header, channels * bytesPerSample, 2);
    putLittleEndian(header, 8u * bytesPerSample, 2);
    if (isFloat) {
        putLittleEndian(header, 0, 2);
        putText(header, "fact");
        putLittleEndian(header, 4, 4);
        putLittleEndian(header, data / (channels * bytesPerSample), 4);
    }
    putText(header, "data");
    putLittleEndian(header, data, 4);
    stream.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
    if (!stream) fail();
}

void WavWriter::fail() const { throw std::runtime_error("cannot write " + path + " (disk full or not writable?)"); }
