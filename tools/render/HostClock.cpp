#include "HostClock.h"

HostClock::HostClock(const Song& song, double sampleRate) : tempo(song, sampleRate), bars(song), rate(sampleRate) {}

VstTimeInfo HostClock::timeAt(std::int64_t frame) const {
    VstTimeInfo time{};
    time.samplePos = static_cast<double>(frame);
    time.sampleRate = rate;
    time.ppqPos = tempo.quarterAt(frame);
    time.tempo = tempo.tempoAt(frame);
    const BarGrid::Bar bar = bars.barAt(time.ppqPos);
    time.barStartPos = bar.startQuarter;
    time.timeSigNumerator = static_cast<std::int32_t>(bar.numerator);
    time.timeSigDenominator = static_cast<std::int32_t>(bar.denominator);
    time.flags = validFlags | (frame == 0 ? kVstTransportChanged : 0);
    return time;
}
