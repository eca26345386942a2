#pragma once

#include <cstdint>
#include <memory>
#include <string>

class InputFile;

// Reads an AIFF file or a WAV file: walks its chunks in file order, keeps the format ("COMM" or
// "fmt ") and the sample bytes ("SSND" or "data"), and converts the samples to floats in [-1, 1).
// Integer samples of up to 24 bits convert exactly; 32-bit integers keep their top 24 bits, and
// 32-bit floats are limited to that range. Sizes in the file are never trusted: a chunk that
// claims more bytes than the file holds, or less than its own fields need, refuses the file. The
// one exception is sample data cut short by the end of the file (an interrupted copy): what arrived
// is kept, as sound-file libraries do, provided the header chunks before it are whole. Neither
// container may hold more sample values than a loop may.
class AiffReader {
public:
    explicit AiffReader(InputFile& input);
    virtual ~AiffReader();
    AiffReader(const AiffReader&) = delete;
    AiffReader& operator=(const AiffReader&) = delete;

    // Never throws; the outcome is read through `failed` and the getters.
    void parse() noexcept;

    bool failed() const { return !error.empty(); }
    // Why the file was refused, or null when it was not.
    const char* failureReason() const { return failed() ? error.c_str() : nullptr; }

    // True for a WAV file, false for an AIFF file.
    bool isWave() const { return wave; }
    int32_t sampleRate() const { return rate; }
    int16_t bitsPerSample() const { return sampleBits; }
    int16_t channelCount() const { return channels; }
    uint32_t sampleFrames() const { return frames; }
    int32_t soundDataSize() const { return soundDataBytes; }
    // The converted values, interleaved by channel: channelCount x sampleFrames of them, fewer if the
    // sound data holds fewer.
    int32_t sampleCount() const { return convertedCount; }
    const float* samples() const { return converted.get(); }

    // The sample rate held in an 80-bit extended float, rounded to a whole number of Hz.
    static int32_t extendedToRate(const uint8_t* extended);
    // The value of an 80-bit extended float, big-endian; NaN and infinities as such.
    static long double extendedValue(const uint8_t* extended);

protected:
    // Each handler is entered after the chunk's identifier and size have been read, with a size that
    // fits in the rest of the file. It reads at most `size` bytes; the walk skips whatever it leaves.
    virtual void skipChunk(uint32_t size);
    virtual void readCommonChunk(uint32_t size);
    virtual void readSoundDataChunk(uint32_t size);
    virtual void readApplicationChunk(uint32_t size);
    // Any chunk that holds neither the format nor the samples nor the REX table.
    virtual void readMetadataChunk(const uint8_t* identifier, uint32_t size);
    // Runs last in `parse`, whether the file was refused or not, once the samples are converted; a
    // refusal here still releases the samples.
    virtual void finishParse();

    void refuse(const std::string& reason);
    // Whether a chunk's four identifier bytes are `name`, exactly and case-sensitive.
    static bool hasIdentifier(const uint8_t* identifier, const char* name);
    uint32_t readBigEndian32();
    uint16_t readBigEndian16();
    uint32_t readLittleEndian32();
    uint16_t readLittleEndian16();
    void readBytes(uint8_t* buffer, int32_t count);
    void skipBytes(int64_t count);

private:
    // Reads the container's header and answers whether the file is one this reader knows.
    bool readFormHeader();
    void walkChunks();
    // Zero bytes may pad the file's end; anything else there means a chunk size lied.
    void checkTrailingPadding();
    // An SSND chunk declaring exactly the bytes the COMM format calls for, of which the file holds
    // only the first part: a file whose copy was interrupted.
    bool isCutShortSoundData(const uint8_t* identifier, uint32_t declaredSize) const;
    void readChunk(const uint8_t* identifier, uint32_t size);
    void readWaveFormatChunk(uint32_t size);
    // The sample bytes of either container, `size` of them from the read position.
    void takeSoundData(uint32_t size);
    // Refuses a file whose samples would pass the size every loop is held to.
    bool refusesSampleCount(uint64_t values);
    void convertSamples();
    void releaseSamples();

    InputFile& input;
    // Plain arrays rather than vectors: each is filled whole right after allocation, so the zero fill
    // a vector makes first would only cost time on a large loop.
    std::unique_ptr<uint8_t[]> soundData;
    int32_t soundDataBytes = 0;
    std::unique_ptr<float[]> converted;
    int32_t convertedCount = 0;
    int32_t rate = 0;
    int16_t sampleBits = 0;
    uint32_t frames = 0;
    int16_t channels = 0;
    bool wave = false;
    bool floatingPoint = false;
    bool commonChunkSeen = false;
    bool soundDataSeen = false;
    std::string error;
};
