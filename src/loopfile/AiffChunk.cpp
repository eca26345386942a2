#include "loopfile/AiffChunk.h"

#include "loopfile/BigEndian.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr size_t rexHeaderPadding = 1000;

void appendText(std::vector<uint8_t>& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

}  // namespace

AiffChunk AiffChunk::raw(const std::string& identifier, std::vector<uint8_t> body) {
    if (identifier.size() != 4) {
        throw std::invalid_argument("a chunk identifier has four characters");
    }
    AiffChunk chunk;
    std::copy(identifier.begin(), identifier.end(), chunk.identifier.begin());
    chunk.body = std::move(body);
    return chunk;
}

AiffChunk AiffChunk::common(int16_t channelCount, uint32_t sampleFrames, int16_t bitsPerSample, int32_t sampleRate) {
    std::vector<uint8_t> body;
    bigendian::append(body, static_cast<uint16_t>(channelCount), 2);
    bigendian::append(body, sampleFrames, 4);
    bigendian::append(body, static_cast<uint16_t>(bitsPerSample), 2);
    const auto rate = extendedRate(sampleRate);
    body.insert(body.end(), rate.begin(), rate.end());
    return raw("COMM", std::move(body));
}

AiffChunk AiffChunk::soundData(const std::vector<uint8_t>& sampleBytes, uint32_t offset, uint32_t blockSize) {
    std::vector<uint8_t> body;
    body.reserve(8 + offset + sampleBytes.size());
    bigendian::append(body, offset, 4);
    bigendian::append(body, blockSize, 4);
    body.resize(body.size() + offset, 0);
    body.insert(body.end(), sampleBytes.begin(), sampleBytes.end());
    return raw("SSND", std::move(body));
}

AiffChunk AiffChunk::rex(const RexChunkFields& fields) {
    const auto count = fields.sliceCountField.value_or(static_cast<int16_t>(fields.slices.size()));
    std::vector<uint8_t> body;
    appendText(body, fields.signature);
    body.resize(body.size() + 6, 0);
    bigendian::append(body, fields.loopLength, 4);
    bigendian::append(body, static_cast<uint16_t>(count), 2);
    bigendian::append(body, fields.tempoField, 4);
    body.resize(body.size() + rexHeaderPadding, 0);
    for (const SliceInfo& slice : fields.slices) {
        bigendian::append(body, slice.start, 4);
        bigendian::append(body, slice.length, 4);
        bigendian::append(body, 0, 2);
        bigendian::append(body, slice.position, 2);
    }
    body.resize(body.size() + fields.trailingBytes, 0);
    return raw("APPL", std::move(body));
}

std::vector<uint8_t> AiffChunk::encodeSamples(const std::vector<float>& samples, int16_t bitsPerSample) {
    if (bitsPerSample < 1 || bitsPerSample > 24) {
        throw std::invalid_argument("samples are written with 1 to 24 bits");
    }
    const int bytes = (bitsPerSample + 7) / 8;
    const double fullScale = std::ldexp(1.0, bitsPerSample - 1);
    const int justify = 8 * bytes - bitsPerSample;
    std::vector<uint8_t> out;
    out.reserve(samples.size() * static_cast<size_t>(bytes));
    for (const float sample : samples) {
        const double code = std::clamp(std::round(sample * fullScale), -fullScale, fullScale - 1.0);
        const auto value = static_cast<uint32_t>(static_cast<int32_t>(code) * (1 << justify));
        bigendian::append(out, value, bytes);
    }
    return out;
}

std::array<uint8_t, 10> AiffChunk::extendedRate(int32_t sampleRate) {
    std::array<uint8_t, 10> out{};
    if (sampleRate == 0) {
        return out;
    }
    const uint32_t magnitude =
        sampleRate < 0 ? 0u - static_cast<uint32_t>(sampleRate) : static_cast<uint32_t>(sampleRate);
    int topBit = 31;
    while ((magnitude >> topBit) == 0) {
        --topBit;
    }
    const uint32_t exponent = 16383u + static_cast<uint32_t>(topBit) + (sampleRate < 0 ? 0x8000u : 0u);
    const uint32_t mantissaHigh = magnitude << (31 - topBit);
    out[0] = static_cast<uint8_t>(exponent >> 8);
    out[1] = static_cast<uint8_t>(exponent);
    for (int i = 0; i < 4; ++i) {
        out[2 + i] = static_cast<uint8_t>(mantissaHigh >> (24 - 8 * i));
    }
    return out;
}
