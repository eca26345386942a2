#include "SfzInstrument.h"

#include "engine/SliceEngine.h"
#include "instrument/ParameterTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iomanip>
#include <sstream>
#include <utility>

namespace {

constexpr double ticksPerBar = 4 * 960.0;

float valueOf(const ProgramRecord& program, std::int32_t index) {
    const auto slot = static_cast<std::size_t>(ParameterTable::slotOf(index));
    const float value = program.value(slot);
    if (std::isfinite(value)) return value;
    ProgramRecord fresh{};
    ParameterTable::fillDefaults(fresh);
    return fresh.value(slot);
}

float playedValueOf(const ProgramRecord& program, std::int32_t index) {
    return ParameterTable::playedValue(index, valueOf(program, index));
}

float atLeastShortestRamp(float seconds) { return std::max(seconds, SliceEngine::shortestRamp); }

// The shortest text that reads back as the same float.
std::string shortest(float value) {
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

}  // namespace

SfzInstrument::Envelope SfzInstrument::Envelope::of(const ProgramRecord& program) {
    Envelope envelope;
    envelope.attack = playedValueOf(program, Parameter::ampAttack);
    envelope.decay = atLeastShortestRamp(playedValueOf(program, Parameter::ampDecay));
    const float sustain = playedValueOf(program, Parameter::ampSustain);
    envelope.sustainPercent = sustain * 100.0f;
    envelope.sustainClipped = sustain != valueOf(program, Parameter::ampSustain);
    envelope.release = atLeastShortestRamp(playedValueOf(program, Parameter::ampRelease));
    return envelope;
}

// SFZ reads a sample name to the line's end but starts a new opcode at " name=", a header at '<',
// a variable at '$', and takes '\\' for a folder separator.
bool SfzInstrument::carries(const std::string& name) {
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f || std::strchr("=<>$\\", c) != nullptr;
    });
}

SfzInstrument::SfzInstrument(std::string loopName, double tempo, std::uint32_t loopTicks, Envelope envelope)
    : source(std::move(loopName)), bpm(tempo), ticks(loopTicks), amp(envelope) {}

// Values are written so that reading them back gives the program's own floats. The sample path comes last on its line:
// SFZ reads it to the line's end, spaces and all.
std::string SfzInstrument::text() const {
    std::ostringstream out;
    out << "// Slices of " << source << ", written by brevatone-rex kit\n"
        << "// tempo " << std::fixed << std::setprecision(3) << bpm << " bpm, " << ticks / ticksPerBar << " bars ("
        << ticks << " ticks)\n";
    out << "\n<group>\n"
        << "loop_mode=no_loop\n"
        << "bend_up=1200\n"
        << "bend_down=-1200\n"
        << "ampeg_attack=" << shortest(amp.attack) << "\n"
        << "ampeg_decay=" << shortest(amp.decay) << "\n"
        << "ampeg_sustain=" << shortest(amp.sustainPercent) << "\n"
        << "ampeg_release=" << shortest(amp.release)
        << "\n"
        // The plug-in scales by velocity / 127; players bend velocity by a curve of their own unless
        // told, and draw straight lines between the points they are given.
        << "amp_velcurve_1=" << shortest(1.0f / 127.0f) << "\n"
        << "amp_velcurve_127=1\n\n";
    for (const Region& region : regions) out << "<region> key=" << region.key << " sample=" << region.sample << "\n";
    return out.str();
}
