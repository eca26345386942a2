#include "loopfile/AiffReader.h"

#include "loopfile/BigEndian.h"
#include "loopfile/InputFile.h"
#include "loopfile/LoopLimits.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <sstream>

namespace {

constexpr uint32_t commonChunkDataSize = 18;
constexpr uint32_t soundDataHeaderSize = 8;
constexpr uint32_t waveFormatSize = 16;
constexpr uint32_t extensibleWaveFormatSize = 40;
constexpr uint16_t wavePcm = 1;
constexpr uint16_t waveFloat = 3;
constexpr uint16_t waveExtensible = 0xFFFE;
// The widest sample a loop file holds (32-bit WAV), and the highest rate anything that plays or
// writes a loop can count in.
constexpr uint64_t largestSampleBytes = 4;
constexpr long double highestRate = std::numeric_limits<int32_t>::max();

uint32_t littleEndian32(const uint8_t* b) {
    return (uint32_t{b[3]} << 24) | (uint32_t{b[2]} << 16) | (uint32_t{b[1]} << 8) | uint32_t{b[0]};
}

// Integer samples of `Bytes` bytes become floats in [-1, 1): AIFF's big-endian and signed, WAV's
// little-endian and signed but for 8 bits, which WAV stores around 128. Moving the value to the top
// of 32 bits and keeping 24 of them makes one exact scale serve every size: a float holds 24
// significant bits.
template <int Bytes, bool LittleEndian>
void decodeSamples(const uint8_t* bytes, float* out, size_t count) {
    constexpr float scale = 1.0f / 8388608.0f;
    constexpr uint32_t offset = LittleEndian && Bytes == 1 ? 0x80u : 0u;
    for (size_t i = 0; i < count; ++i) {
        uint32_t value = 0;
        for (int k = 0; k < Bytes; ++k) {
            value = (value << 8) | bytes[LittleEndian ? Bytes - 1 - k : k];
        }
        out[i] = static_cast<float>(static_cast<int32_t>((value ^ offset) << (32 - 8 * Bytes)) >> 8) * scale;
        bytes += Bytes;
    }
}

template <bool LittleEndian>
void decodeIntegerSamples(int bytesPerSample, const uint8_t* bytes, float* out, size_t count) {
    switch (bytesPerSample) {
        case 1: decodeSamples<1, LittleEndian>(bytes, out, count); break;
        case 2: decodeSamples<2, LittleEndian>(bytes, out, count); break;
        case 3: decodeSamples<3, LittleEndian>(bytes, out, count); break;
        default: decodeSamples<4, LittleEndian>(bytes, out, count); break;
    }
}

// WAV's 32-bit floats, limited to [-1, 1) as the integer formats are; what is not a number is silence.
void decodeFloatSamples(const uint8_t* bytes, float* out, size_t count) {
    constexpr float highest = 1.0f - 1.0f / 16777216.0f;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t bits = littleEndian32(bytes + 4 * i);
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        out[i] = value == value ? std::clamp(value, -1.0f, highest) : 0.0f;
    }
}

}  // namespace

AiffReader::AiffReader(InputFile& file) : input(file) {}

bool AiffReader::hasIdentifier(const uint8_t* identifier, const char* name) {
    return std::memcmp(identifier, name, 4) == 0;
}

AiffReader::~AiffReader() = default;

void AiffReader::parse() noexcept {
    try {
        if (const char* reason = input.openFailure()) {
            refuse(reason);
            finishParse();
            return;
        }
        if (readFormHeader()) {
            walkChunks();
        }
        if (!failed()) {
            convertSamples();
        }
    } catch (const std::exception&) {
        // Every size is bounded by the file's length, so this is a machine out of memory.
        refuse("not enough memory to read the file");
    }
    finishParse();
    if (failed()) {
        releaseSamples();
    }
}

bool AiffReader::readFormHeader() {
    uint8_t form[4] = {};
    readBytes(form, 4);
    wave = hasIdentifier(form, "RIFF");
    if (!wave && !hasIdentifier(form, "FORM")) {
        refuse("neither an AIFF nor a WAV file: it starts with neither FORM nor RIFF");
        return false;
    }
    readBigEndian32();  // the form's size: the walk runs to the end of the file instead
    uint8_t formType[4] = {};
    readBytes(formType, 4);
    if (wave && !hasIdentifier(formType, "WAVE")) {
        refuse("not a WAV file: the RIFF form type is not WAVE");
    } else if (!wave && !hasIdentifier(formType, "AIFF")) {
        refuse("not an AIFF file: the form type is not AIFF");
    }
    return !failed();
}

void AiffReader::walkChunks() {
    // A non-zero byte where a pad byte belongs: a file written without padding, so it starts the
    // next identifier.
    uint8_t pendingByte = 0;
    while (!input.atEnd() && !failed()) {
        uint8_t identifier[4] = {pendingByte, 0, 0, 0};
        const int32_t have = pendingByte != 0 ? 1 : 0;
        pendingByte = 0;
        // Fewer than four bytes left cannot start a chunk; zero bytes are trailing padding.
        const int32_t arrived = input.read(identifier + have, 4 - have);
        if (identifier[0] == 0) {
            checkTrailingPadding();
            return;
        }
        if (arrived < 4 - have) {
            return;  // fewer than four bytes left cannot start a chunk
        }
        uint8_t sizeBytes[4] = {};
        if (input.read(sizeBytes, 4) < 4) {
            refuse("a chunk header is cut short by the end of the file");
            return;
        }
        uint32_t size = wave ? littleEndian32(sizeBytes) : bigendian::read32(sizeBytes);
        if (size > input.remaining()) {
            if (!isCutShortSoundData(identifier, size)) {
                refuse("a chunk runs past the end of the file");
                return;
            }
            size = static_cast<uint32_t>(input.remaining());
        }
        const int64_t remainingAfterChunk = input.remaining() - size;
        readChunk(identifier, size);
        if (failed()) {
            return;
        }
        skipBytes(input.remaining() - remainingAfterChunk);
        if (size % 2 != 0) {
            uint8_t pad = 0;
            input.read(&pad, 1);
            pendingByte = pad;
        }
    }
}

bool AiffReader::isCutShortSoundData(const uint8_t* identifier, uint32_t declaredSize) const {
    if (wave) return hasIdentifier(identifier, "data") && commonChunkSeen;
    if (!hasIdentifier(identifier, "SSND") || !commonChunkSeen || sampleBits <= 0) {
        return false;
    }
    // The size an intact chunk would declare for the format; whatever exceeds it is the offset,
    // whose bytes must have arrived along with the chunk's header.
    const int64_t sampleBytes = int64_t{channels} * frames * ((sampleBits + 7) / 8);
    const int64_t offset = int64_t{declaredSize} - soundDataHeaderSize - sampleBytes;
    return sampleBytes > 0 && offset >= 0 && offset + soundDataHeaderSize <= input.remaining();
}

void AiffReader::checkTrailingPadding() {
    uint8_t rest[4096];
    int32_t arrived = 0;
    while ((arrived = input.read(rest, sizeof rest)) > 0) {
        if (std::any_of(rest, rest + arrived, [](uint8_t byte) { return byte != 0; })) {
            refuse("data that is not a chunk follows a chunk: a chunk's size is wrong");
            return;
        }
    }
}

void AiffReader::readChunk(const uint8_t* identifier, uint32_t size) {
    if (wave) {
        if (hasIdentifier(identifier, "fmt ")) {
            readWaveFormatChunk(size);
        } else if (hasIdentifier(identifier, "data")) {
            takeSoundData(size);
        } else {
            readMetadataChunk(identifier, size);
        }
    } else if (hasIdentifier(identifier, "SSND")) {
        readSoundDataChunk(size);
    } else if (hasIdentifier(identifier, "COMM")) {
        readCommonChunk(size);
    } else if (hasIdentifier(identifier, "APPL")) {
        readApplicationChunk(size);
    } else {
        readMetadataChunk(identifier, size);
    }
}

void AiffReader::readWaveFormatChunk(uint32_t size) {
    if (size < waveFormatSize) {
        refuse("the fmt chunk is too short to hold the sample format");
        return;
    }
    const uint16_t tag = readLittleEndian16();
    channels = static_cast<int16_t>(readLittleEndian16());
    const uint32_t samplesPerSecond = readLittleEndian32();
    readLittleEndian32();  // bytes per second follow from the rest
    const uint16_t frameBytes = readLittleEndian16();
    sampleBits = static_cast<int16_t>(readLittleEndian16());
    uint16_t format = tag;
    if (tag == waveExtensible) {
        if (size < extensibleWaveFormatSize) {
            refuse("the fmt chunk is too short to hold its sub-format");
            return;
        }
        skipBytes(8);                   // extension size, valid bits and speaker positions
        format = readLittleEndian16();  // the sub-format's first two bytes: the plain format's tag
    }
    const bool integer =
        format == wavePcm && (sampleBits == 8 || sampleBits == 16 || sampleBits == 24 || sampleBits == 32);
    floatingPoint = format == waveFloat && sampleBits == 32;
    if (!integer && !floatingPoint) {
        refuse("the samples are neither 8, 16, 24 or 32-bit integers nor 32-bit floats (format " +
               std::to_string(format) + ", " + std::to_string(sampleBits) + " bits)");
    } else if (channels != 1 && channels != 2) {
        refuse("a loop is mono or stereo, and this file has " + std::to_string(channels) + " channels");
    } else if (frameBytes != channels * (sampleBits / 8)) {
        refuse("the fmt chunk's frame size does not match its channels and sample size");
    } else if (samplesPerSecond < 1 || samplesPerSecond > highestRate) {
        refuse("the sample rate " + std::to_string(samplesPerSecond) + " Hz is out of range (1 to 2147483647 Hz)");
    }
    rate = static_cast<int32_t>(samplesPerSecond);
    commonChunkSeen = true;
}

void AiffReader::readMetadataChunk(const uint8_t*, uint32_t size) { skipChunk(size); }

void AiffReader::skipChunk(uint32_t size) { skipBytes(size); }

void AiffReader::readCommonChunk(uint32_t size) {
    if (size < commonChunkDataSize) {
        refuse("the COMM chunk is too short to hold the sample format");
        return;
    }
    channels = static_cast<int16_t>(readBigEndian16());
    frames = readBigEndian32();
    sampleBits = static_cast<int16_t>(readBigEndian16());
    uint8_t extended[10] = {};
    readBytes(extended, sizeof extended);
    // Whatever plays or writes the loop divides by its rate and stores it as a whole number.
    const long double stated = extendedValue(extended);
    if (std::isnan(stated)) {
        refuse("the sample rate is not a number");
        return;
    }
    if (!(stated >= 1.0L && stated <= highestRate)) {
        std::ostringstream text;
        text << "the sample rate " << static_cast<double>(stated) << " Hz is out of range (1 to 2147483647 Hz)";
        refuse(text.str());
        return;
    }
    rate = extendedToRate(extended);
    if (refusesSampleCount(uint64_t{frames} * static_cast<uint64_t>(std::max<int16_t>(channels, 0)))) return;
    commonChunkSeen = true;
}

void AiffReader::readSoundDataChunk(uint32_t size) {
    if (size < soundDataHeaderSize) {
        refuse("the SSND chunk is too short to hold its offset and block size");
        return;
    }
    const uint32_t offset = readBigEndian32();
    readBigEndian32();  // the block size says nothing this reader needs
    if (offset > size - soundDataHeaderSize) {
        refuse("the SSND chunk is smaller than its offset plus 8");
        return;
    }
    skipBytes(offset);
    takeSoundData(size - soundDataHeaderSize - offset);
}

bool AiffReader::refusesSampleCount(uint64_t values) {
    if (values <= maximumLoopSamples) return false;
    refuse("the loop holds more than " + std::string(maximumLoopSamplesText) + ", the most a loop may hold");
    return true;
}

void AiffReader::takeSoundData(uint32_t dataSize) {
    if (dataSize > maximumLoopSamples * largestSampleBytes) {
        refuse("the sound data is larger than " + std::string(maximumLoopSamplesText) +
               " take at 32 bits, the most a loop may hold");
        return;
    }
    if (commonChunkSeen && sampleBits > 0 && refusesSampleCount(dataSize / ((sampleBits + 7u) / 8u))) return;
    releaseSamples();
    soundDataSeen = true;
    soundData.reset(new uint8_t[dataSize]);
    soundDataBytes = static_cast<int32_t>(dataSize);
    const int32_t arrived = input.read(soundData.get(), soundDataBytes);
    std::memset(soundData.get() + arrived, 0, static_cast<size_t>(soundDataBytes - arrived));
}

void AiffReader::readApplicationChunk(uint32_t size) { skipChunk(size); }

void AiffReader::finishParse() {}

void AiffReader::convertSamples() {
    if (!commonChunkSeen) {
        refuse("there is no COMM chunk, so the sample format is unknown");
        return;
    }
    if (!soundDataSeen) {
        refuse("there is no SSND chunk, so the file holds no sound");
        return;
    }
    if (sampleBits <= 0 || sampleBits > 32) {
        refuse("the sample size is not between 1 and 32 bits");
        return;
    }
    const int bytesPerSample = (sampleBits + 7) / 8;
    const int64_t held = soundDataBytes / bytesPerSample;
    // A WAV file counts its frames by the bytes of its data chunk.
    if (wave) frames = static_cast<uint32_t>(held / channels);
    const int64_t declared = std::max<int64_t>(int64_t{channels} * frames, 0);
    const auto count = static_cast<size_t>(std::min(declared, held));
    if (refusesSampleCount(count)) return;
    converted.reset(new float[count]);
    convertedCount = static_cast<int32_t>(count);
    if (floatingPoint) {
        decodeFloatSamples(soundData.get(), converted.get(), count);
    } else if (wave) {
        decodeIntegerSamples<true>(bytesPerSample, soundData.get(), converted.get(), count);
    } else {
        decodeIntegerSamples<false>(bytesPerSample, soundData.get(), converted.get(), count);
    }
    // Only the floats are read from here on; the raw bytes would double the loop's memory.
    soundData.reset();
}

void AiffReader::releaseSamples() {
    soundData.reset();
    soundDataBytes = 0;
    converted.reset();
    convertedCount = 0;
}

int32_t AiffReader::extendedToRate(const uint8_t* extended) {
    const uint32_t mantissa = bigendian::read32(extended + 2);
    const auto shift = static_cast<uint8_t>(30 - extended[1]);
    if (shift == 0) {
        return static_cast<int32_t>(mantissa);
    }
    // Round half up on the last bit shifted out.
    const uint32_t kept = shift < 32 ? mantissa >> shift : 0;
    const uint32_t roundingBit = shift <= 32 ? (mantissa >> (shift - 1)) & 1u : 0;
    return static_cast<int32_t>(kept + roundingBit);
}

long double AiffReader::extendedValue(const uint8_t* extended) {
    const bool negative = (extended[0] & 0x80) != 0;
    const int exponent = ((extended[0] & 0x7F) << 8) | extended[1];
    const uint64_t mantissa = (uint64_t{bigendian::read32(extended + 2)} << 32) | bigendian::read32(extended + 6);
    long double value;
    if (exponent == 0x7FFF) {
        value = (mantissa << 1) == 0 ? std::numeric_limits<long double>::infinity()
                                     : std::numeric_limits<long double>::quiet_NaN();
    } else {
        value = std::ldexp(static_cast<long double>(mantissa), exponent - 16383 - 63);
    }
    return negative ? -value : value;
}

void AiffReader::refuse(const std::string& reason) {
    if (error.empty()) {
        error = reason;
    }
}

uint32_t AiffReader::readBigEndian32() {
    uint8_t bytes[4] = {};
    readBytes(bytes, 4);
    return bigendian::read32(bytes);
}

uint32_t AiffReader::readLittleEndian32() {
    uint8_t bytes[4] = {};
    readBytes(bytes, 4);
    return littleEndian32(bytes);
}

uint16_t AiffReader::readLittleEndian16() {
    uint8_t bytes[2] = {};
    readBytes(bytes, 2);
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

uint16_t AiffReader::readBigEndian16() {
    uint8_t bytes[2] = {};
    readBytes(bytes, 2);
    return bigendian::read16(bytes);
}

void AiffReader::readBytes(uint8_t* buffer, int32_t count) { input.read(buffer, count); }

void AiffReader::skipBytes(int64_t count) { input.skip(count); }
