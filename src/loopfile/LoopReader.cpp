#include "loopfile/LoopReader.h"

#include "onset/OnsetDetector.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <sstream>
#include <utility>
#include <vector>

namespace {

constexpr double ticksPerQuarter = 960.0;
constexpr double mostTicks = 65535.0;  // what a slice position holds
constexpr uint32_t acidChunkSize = 24;
constexpr uint32_t samplerChunkSize = 36;
constexpr uint32_t samplerLoopSize = 24;
constexpr uint32_t longestAnnotation = 256;
constexpr double slowestTempo = 1.0;
constexpr double fastestTempo = 999.0;

bool isTempo(double bpm) { return bpm >= slowestTempo && bpm <= fastestTempo; }

// The bar count of 4/4 (1, 2, 4, 8 or 16) that puts the tempo of `seconds` nearest 120 bpm. Since the
// counts double, whenever one of them gives a tempo between 70 and 180 bpm the nearest one does.
double likelyBars(double seconds) {
    double best = 1.0;
    for (const double bars : {2.0, 4.0, 8.0, 16.0}) {
        if (std::abs(bars * 240.0 / seconds - 120.0) < std::abs(best * 240.0 / seconds - 120.0)) best = bars;
    }
    return best;
}

}  // namespace

LoopReader::LoopReader(InputFile& file) : RexReader(file) {}

std::string LoopReader::loadingNote() const {
    if (leftOut == 0) return {};
    return "the loop has " + std::to_string(mostSlices + leftOut) + " hits, and notes reach only the first " +
           std::to_string(mostSlices) + " (36 to 127); the " + std::to_string(leftOut) + " after them are left out";
}

void LoopReader::readApplicationChunk(uint32_t size) {
    rexChunkRead = true;
    RexReader::readApplicationChunk(size);
}

void LoopReader::readMetadataChunk(const uint8_t* identifier, uint32_t size) {
    if (isWave() && hasIdentifier(identifier, "acid")) {
        readAcidChunk(size);
    } else if (isWave() && hasIdentifier(identifier, "smpl")) {
        readSamplerChunk(size);
    } else if (!isWave() && hasIdentifier(identifier, "ANNO")) {
        readAnnotation(size);
    } else {
        RexReader::readMetadataChunk(identifier, size);
    }
}

// Flags, root note and two fields of no meaning here, then the beats, the metre and the tempo. A
// one-shot (the first flag) has no tempo to tell.
void LoopReader::readAcidChunk(uint32_t size) {
    if (size < acidChunkSize) return;
    const uint32_t flags = readLittleEndian32();
    if ((flags & 1u) != 0) return;
    skipBytes(8);
    const uint32_t beats = readLittleEndian32();
    skipBytes(4);
    const uint32_t tempoBits = readLittleEndian32();
    float tempo = 0.0f;
    std::memcpy(&tempo, &tempoBits, sizeof tempo);
    if (isTempo(tempo)) statedTempo = tempo;
    if (beats > 0 && beats * ticksPerQuarter <= mostTicks) statedBeats = beats;
}

// Seven fields of the sampler, the loop count, the sampler's own data size, then the loops: cue
// point, type, first and last frame, fraction and play count.
void LoopReader::readSamplerChunk(uint32_t size) {
    if (size < samplerChunkSize + samplerLoopSize) return;
    skipBytes(28);
    const uint32_t loops = readLittleEndian32();
    skipBytes(4 + 8);
    const uint32_t first = readLittleEndian32();
    const uint32_t last = readLittleEndian32();
    if (loops > 0 && last >= first && last - first < 0xFFFFFFFFu) statedLoopFrames = last - first + 1;
}

// Free text; a number followed by "bars" (or "bar") or "bpm" states the loop's length or tempo. Read
// byte by byte and number by std::from_chars, so that no locale of the host's changes the reading.
void LoopReader::readAnnotation(uint32_t size) {
    std::string text(std::min(size, longestAnnotation), '\0');
    readBytes(reinterpret_cast<uint8_t*>(text.data()), static_cast<int32_t>(text.size()));
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.')) c = ' ';
    }
    std::istringstream words(text);
    std::string previous;
    std::string word;
    while (words >> word) {
        double number = 0.0;
        const std::from_chars_result read = std::from_chars(previous.data(), previous.data() + previous.size(), number);
        if (!previous.empty() && read.ec == std::errc() && read.ptr == previous.data() + previous.size()) {
            if ((word == "bars" || word == "bar") && number > 0.0 && number * 4 * ticksPerQuarter <= mostTicks) {
                statedBeats = number * 4;
            } else if (word == "bpm" && isTempo(number)) {
                statedTempo = number;
            }
        }
        previous = word;
    }
}

void LoopReader::finishParse() {
    if (!failed() && !rexChunkRead) sliceAtHits();
    RexReader::finishParse();
}

void LoopReader::sliceAtHits() {
    const int32_t width = channelCount();
    if (width != 1 && width != 2) {
        refuse("a loop is mono or stereo, and this file has " + std::to_string(width) + " channels");
        return;
    }
    if (sampleRate() <= 0) {
        refuse("the file states no sample rate");
        return;
    }
    const auto frameCount = static_cast<uint32_t>(sampleCount() / width);
    if (frameCount == 0) {
        refuse("the file holds no sound");
        return;
    }
    const std::vector<uint32_t> hits = OnsetDetector(sampleRate()).detect(samples(), frameCount, width);
    const uint32_t loopFrames = statedLoopFrames > 0 && statedLoopFrames <= frameCount ? statedLoopFrames : frameCount;
    const Timing timing = timingFor(loopFrames);
    const size_t kept = std::min(hits.size(), static_cast<size_t>(mostSlices));
    std::vector<SliceInfo> table;
    for (size_t i = 0; i < kept; ++i) {
        const uint32_t end = i + 1 < hits.size() ? hits[i + 1] : frameCount;
        const double position = std::round(static_cast<double>(hits[i]) * timing.ticks / loopFrames);
        table.push_back({hits[i] * static_cast<uint32_t>(width), (end - hits[i]) * static_cast<uint32_t>(width),
                         static_cast<uint16_t>(std::min(position, mostTicks))});
    }
    leftOut = static_cast<int32_t>(hits.size() - kept);
    sliced = true;
    setSliceTable(std::move(table), timing.ticks, timing.tempoField);
}

LoopReader::Timing LoopReader::timingFor(uint32_t loopFrames) const {
    const double seconds = static_cast<double>(loopFrames) / sampleRate();
    double bpm = statedTempo;
    double beats = statedBeats;
    if (bpm > 0.0 && beats == 0.0) beats = seconds * bpm / 60.0;
    if (bpm == 0.0 && beats > 0.0) bpm = beats * 60.0 / seconds;
    const double ticks = std::round(beats * ticksPerQuarter);
    if (!isTempo(bpm) || ticks < 1.0 || ticks > mostTicks) {
        beats = 4.0 * likelyBars(seconds);
        bpm = std::clamp(beats * 60.0 / seconds, slowestTempo, fastestTempo);
    }
    return {static_cast<uint32_t>(std::round(beats * ticksPerQuarter)),
            static_cast<uint32_t>(std::lround(bpm * 1000.0))};
}
