#include "loopfile/RexFileWriter.h"

#include "loopfile/BigEndian.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace {

std::array<char, 4> fourCharacters(const std::string& text) {
    if (text.size() != 4) {
        throw std::invalid_argument("an AIFF identifier has four characters");
    }
    return {text[0], text[1], text[2], text[3]};
}

}  // namespace

RexFileWriter RexFileWriter::forLoop(const RexLoopContent& loop) {
    const size_t channels = loop.channelCount > 0 ? static_cast<size_t>(loop.channelCount) : 1;
    const auto frames = static_cast<uint32_t>(loop.samples.size() / channels);
    RexChunkFields rex;
    rex.loopLength = loop.loopLength;
    rex.tempoField = loop.tempoField;
    rex.slices = loop.slices;

    RexFileWriter writer;
    writer.append(AiffChunk::common(loop.channelCount, frames, loop.bitsPerSample, loop.sampleRate));
    writer.append(AiffChunk::rex(rex));
    writer.append(AiffChunk::soundData(AiffChunk::encodeSamples(loop.samples, loop.bitsPerSample)));
    return writer;
}

RexLoopContent RexFileWriter::monoLoop(std::vector<float> samples, const std::vector<uint32_t>& sliceStarts,
                                       const std::vector<uint16_t>& positions, double tempoBpm, uint32_t loopLength) {
    if (sliceStarts.size() != positions.size()) {
        throw std::invalid_argument("each slice start needs a position");
    }
    RexLoopContent loop;
    loop.tempoField = static_cast<uint32_t>(std::lround(tempoBpm * 1000.0));
    loop.loopLength = loopLength;
    const auto total = static_cast<uint32_t>(samples.size());
    for (size_t i = 0; i < sliceStarts.size(); ++i) {
        const uint32_t end = i + 1 < sliceStarts.size() ? sliceStarts[i + 1] : total;
        if (end < sliceStarts[i] || end > total) {
            throw std::invalid_argument("slice starts must ascend and lie inside the samples");
        }
        loop.slices.push_back({sliceStarts[i], end - sliceStarts[i], positions[i]});
    }
    loop.samples = std::move(samples);
    return loop;
}

std::vector<float> RexFileWriter::samplesFromPcm16(const std::vector<int16_t>& pcm) {
    std::vector<float> samples(pcm.size());
    std::transform(pcm.begin(), pcm.end(), samples.begin(), [](int16_t value) { return value / 32768.0f; });
    return samples;
}

AiffChunk& RexFileWriter::chunk(const std::string& identifier) {
    const auto wanted = fourCharacters(identifier);
    const auto found =
        std::find_if(chunkList.begin(), chunkList.end(), [&](const AiffChunk& c) { return c.identifier == wanted; });
    if (found == chunkList.end()) {
        throw std::out_of_range("no " + identifier + " chunk");
    }
    return *found;
}

void RexFileWriter::append(AiffChunk newChunk) { chunkList.push_back(std::move(newChunk)); }

void RexFileWriter::removeChunks(const std::string& identifier) {
    const auto unwanted = fourCharacters(identifier);
    chunkList.erase(std::remove_if(chunkList.begin(), chunkList.end(),
                                   [&](const AiffChunk& c) { return c.identifier == unwanted; }),
                    chunkList.end());
}

void RexFileWriter::setFormIdentifier(const std::string& identifier) { formIdentifier = fourCharacters(identifier); }

void RexFileWriter::setFormType(const std::string& type) { formType = fourCharacters(type); }

void RexFileWriter::setDeclaredFormSize(uint32_t size) { declaredFormSize = size; }

std::vector<uint8_t> RexFileWriter::bytes() const {
    std::vector<uint8_t> out(formIdentifier.begin(), formIdentifier.end());
    bigendian::append(out, 0, 4);  // the FORM size, known once the chunks are in
    out.insert(out.end(), formType.begin(), formType.end());
    for (const AiffChunk& c : chunkList) {
        out.insert(out.end(), c.identifier.begin(), c.identifier.end());
        bigendian::append(out, c.declaredSize.value_or(static_cast<uint32_t>(c.body.size())), 4);
        out.insert(out.end(), c.body.begin(), c.body.end());
        if (c.padded && c.body.size() % 2 != 0) {
            out.push_back(0);
        }
    }
    const uint32_t formSize = declaredFormSize.value_or(static_cast<uint32_t>(out.size() - 8));
    for (int i = 0; i < 4; ++i) {
        out[4 + i] = static_cast<uint8_t>(formSize >> (24 - 8 * i));
    }
    return out;
}

bool RexFileWriter::write(const std::string& path) const {
    const std::vector<uint8_t> content = bytes();
    bool written = false;
    {
        std::ofstream file(path, std::ios::out | std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
        file.close();
        written = !file.fail();
    }
    if (!written) {
        std::remove(path.c_str());
    }
    return written;
}
