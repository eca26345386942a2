#include "WavWriter.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

constexpr std::uint16_t formatPcm = 1;
constexpr std::uint16_t formatIeeeFloat = 3;
constexpr std::uint16_t channels = 2;
// RIFF sizes are 32-bit; the header before the data takes at most this much of them.
constexpr std::uint64_t headerBytes = 58;
constexpr std::uint64_t largestFile = std::numeric_limits<std::uint32_t>::max();
// Small enough to stay in the cache between converting it and copying it to the file.
constexpr std::size_t bufferBytes = 64 << 10;
constexpr std::size_t pageBytes = 4096;

bool littleEndianMachine() {
    const std::uint32_t one = 1;
    std::uint8_t first;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

// The compiler settles the machine's byte order at build time; on a little-endian machine the
// store is one plain move.
template <int bytes, class Word>
void storeLittleEndian(std::uint8_t* at, Word value) {
    if (littleEndianMachine()) {
        std::memcpy(at, &value, bytes);
    } else {
        for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t floatBits(float sample) {
    std::uint32_t bits;
    std::memcpy(&bits, &sample, sizeof bits);
    return bits;
}

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void putText(std::vector<std::uint8_t>& out, const char* text) {
    out.insert(out.end(), text, text + std::strlen(text));
}

// Four samples at a time in the compiler's vector types, which it maps onto the machine's vector
// unit, so that the conversion costs about what copying float samples does. Scaling by 2^23 is exact
// in float, clipping comes first so that the truncating conversion stays in range, and half-way
// cases are rounded away from zero by hand.
constexpr int lanes24 = 4;
typedef float FloatLanes __attribute__((vector_size(16)));
typedef std::int32_t IntLanes __attribute__((vector_size(16)));

IntLanes choose(IntLanes mask, IntLanes yes, IntLanes no) { return (yes & mask) | (no & ~mask); }

void fourToPcm24(const float* samples, std::int32_t* converted) {
    constexpr float fullScale = 8388608.0f;
    const FloatLanes lowest = {-fullScale, -fullScale, -fullScale, -fullScale};
    const FloatLanes highest = {fullScale - 1, fullScale - 1, fullScale - 1, fullScale - 1};
    FloatLanes scaled;
    std::memcpy(&scaled, samples, sizeof scaled);
    scaled = scaled * fullScale;
    IntLanes bits = (IntLanes)scaled & (scaled == scaled);
    bits = choose((FloatLanes)bits < lowest, (IntLanes)lowest, bits);
    bits = choose((FloatLanes)bits > highest, (IntLanes)highest, bits);
    const FloatLanes clipped = (FloatLanes)bits;
    const IntLanes whole = __builtin_convertvector(clipped, IntLanes);
    const FloatLanes fraction = clipped - __builtin_convertvector(whole, FloatLanes);
    // A true comparison is all ones, that is -1.
    const IntLanes rounded = whole - (fraction >= 0.5f) + (fraction <= -0.5f);
    std::memcpy(converted, &rounded, sizeof rounded);
}

// Eight 24-bit samples, little-endian, in three 64-bit words: 24 bytes in three stores.
void storeEightPcm24(std::uint8_t* at, const std::int32_t* left, const std::int32_t* right) {
    std::uint64_t v[2 * lanes24];
    for (int k = 0; k < lanes24; ++k) {
        v[2 * k] = static_cast<std::uint32_t>(left[k]) & 0xFFFFFFu;
        v[2 * k + 1] = static_cast<std::uint32_t>(right[k]) & 0xFFFFFFu;
    }
    const std::uint64_t words[3] = {v[0] | v[1] << 24 | v[2] << 48, v[2] >> 16 | v[3] << 8 | v[4] << 32 | v[5] << 56,
                                    v[5] >> 8 | v[6] << 16 | v[7] << 40};
    for (int w = 0; w < 3; ++w) storeLittleEndian<8>(at + 8 * w, words[w]);
}

std::size_t bytesPerFrame(WavWriter::Format format) {
    return (format == WavWriter::Format::float32 ? 4u : 3u) * channels;
}

}  // namespace

WavWriter::WavWriter(const std::string& filePath, Format sampleFormat, std::int32_t rate, const std::string& shownAs)
    : shownName(shownAs.empty() ? filePath : shownAs),
      format(sampleFormat),
      sampleRate(rate),
      stream(filePath, std::ios::binary | std::ios::trunc),
      buffer(bufferBytes) {
    if (!stream) throw std::runtime_error("cannot create " + shownName);
    // The header starts the first block, so that the blocks after it lie on page boundaries.
    const std::vector<std::uint8_t> start = header();
    std::memcpy(buffer.data(), start.data(), start.size());
    filled = start.size();
}

void WavWriter::write(const float* left, const float* right, std::int32_t frames) {
    const std::size_t perFrame = frameBytes();
    dataBytes += static_cast<std::uint64_t>(frames) * perFrame;
    if (dataBytes + headerBytes > largestFile) {
        throw std::runtime_error("the audio is too long for a WAV file (4 GiB at most)");
    }
    while (frames > 0) {
        if (filled + perFrame > buffer.size()) flush(false);
        const std::size_t room = (buffer.size() - filled) / perFrame;
        const auto part = static_cast<std::int32_t>(std::min<std::size_t>(room, static_cast<std::size_t>(frames)));
        convert(left, right, part);
        left += part;
        right += part;
        frames -= part;
    }
}

void WavWriter::convert(const float* left, const float* right, std::int32_t frames) {
    std::uint8_t* at = buffer.data() + filled;
    if (format == Format::float32) {
        for (std::int32_t i = 0; i < frames; ++i, at += 8) {
            storeLittleEndian<4>(at, floatBits(left[i]));
            storeLittleEndian<4>(at + 4, floatBits(right[i]));
        }
    } else {
        std::int32_t i = 0;
        for (; i + lanes24 <= frames; i += lanes24, at += 6 * lanes24) {
            std::int32_t leftPcm[lanes24];
            std::int32_t rightPcm[lanes24];
            fourToPcm24(left + i, leftPcm);
            fourToPcm24(right + i, rightPcm);
            storeEightPcm24(at, leftPcm, rightPcm);
        }
        for (; i < frames; ++i, at += 6) {
            storeLittleEndian<3>(at, static_cast<std::uint32_t>(toPcm24(left[i])));
            storeLittleEndian<3>(at + 3, static_cast<std::uint32_t>(toPcm24(right[i])));
        }
    }
    filled = static_cast<std::size_t>(at - buffer.data());
}

// Only whole pages leave before the end, so that every write lands on page boundaries of the file
// and the system need not read or clear a part page; the rest moves to the buffer's front.
void WavWriter::flush(bool everything) {
    const std::size_t leaving = everything ? filled : filled / pageBytes * pageBytes;
    stream.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(leaving));
    if (!stream) fail();
    std::memmove(buffer.data(), buffer.data() + leaving, filled - leaving);
    filled -= leaving;
}

void WavWriter::finish() {
    flush(true);
    const std::vector<std::uint8_t> complete = header();
    stream.seekp(0);
    stream.write(reinterpret_cast<const char*>(complete.data()), static_cast<std::streamsize>(complete.size()));
    stream.close();
    if (!stream) fail();
}

std::int32_t WavWriter::toPcm24(float sample) {
    const float lanes[lanes24] = {sample, sample, sample, sample};
    std::int32_t converted[lanes24];
    fourToPcm24(lanes, converted);
    return converted[0];
}

void WavWriter::checkLength(std::int64_t frames, Format format) {
    const std::uint64_t framesThatFit = (largestFile - headerBytes) / bytesPerFrame(format);
    if (frames < 0 || static_cast<std::uint64_t>(frames) > framesThatFit) {
        throw std::runtime_error("the render is too long for a WAV file: " + std::to_string(frames) +
                                 " frames, and 4 GiB hold at most " + std::to_string(framesThatFit));
    }
}

std::size_t WavWriter::frameBytes() const { return bytesPerFrame(format); }

// Float data needs the extended format record and a "fact" chunk; integer data the plain record.
std::vector<std::uint8_t> WavWriter::header() const {
    const bool isFloat = format == Format::float32;
    const auto frame = static_cast<std::uint32_t>(frameBytes());
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
    putLittleEndian(header, static_cast<std::uint32_t>(sampleRate) * frame, 4);
    putLittleEndian(header, frame, 2);
    putLittleEndian(header, 8u * frame / channels, 2);
    if (isFloat) {
        putLittleEndian(header, 0, 2);
        putText(header, "fact");
        putLittleEndian(header, 4, 4);
        putLittleEndian(header, data / frame, 4);
    }
    putText(header, "data");
    putLittleEndian(header, data, 4);
    return header;
}

void WavWriter::fail() const {
    throw std::runtime_error("cannot write " + shownName + " (disk full or not writable?)");
}
