#include "instrument/Instrument.h"

#include "engine/SliceEngine.h"
#include "instrument/BoundedText.h"
#include "instrument/ParameterTable.h"
#include "loopfile/RexReader.h"
#include "platform/PlatformServices.h"
#include "platform/WindowSystem.h"
#include "plugin/InstrumentEditor.h"

#include <cmath>
#include <cstring>

Instrument::Instrument(audioMasterCallback host)
    : Instrument(host, systemPlatformServices(), windowSystem(), systemRateConversion()) {}

Instrument::Instrument(audioMasterCallback host, PlatformServices& services, GuiPlatform* windowSystem,
                       RateConversionMaker rateConversion)
    : EffectBaseEx(host, programTotal, parameterTotal),
      platform(services),
      engine(std::make_unique<SliceEngine>()),
      sampleRateNoticeUp(std::make_shared<std::atomic<bool>>(false)),
      makeRateConversion(rateConversion),
      choice(services) {
    setChunkFlag(true);
    for (ProgramRecord& record : programs) ParameterTable::fillDefaults(record);
    setInputCount(0);
    setOutputCount(2);
    setUniqueId(uniqueId);
    setMonoFlag(true);
    setReplacingFlag(true);
    setSynthFlag(true);
    wantEvents(1);
    if (windowSystem) panel = new InstrumentEditor(*this, *this, *windowSystem);
    setProgram(0);
    // The first values must be in place before any event arrives, whichever thread sends it.
    applyPendingParameters();
}

Instrument::~Instrument() {
    closeEditor();
    if (chosenLoopLoad.joinable()) chosenLoopLoad.join();
}

// Infinity and not-a-number are never stored: automation's leave the value as it was, a restored
// program's becomes the default. The sound, the panel and the host then read one finite value.
void Instrument::setParameter(std::int32_t index, float value) {
    const std::int32_t slot = ParameterTable::slotOf(index);
    if (slot >= 0) {
        ProgramRecord& record = current();
        if (!std::isfinite(value)) {
            const float stored = record.value(static_cast<std::size_t>(slot));
            value = std::isfinite(stored) ? stored : ParameterTable::defaultOf(index);
        }
        record.setValue(static_cast<std::size_t>(slot), value);
        pendingParameters.post(index);
    }
    // Someone may have attached another editor in place of the panel.
    if (panel && editor() == panel) panel->setParameter(index, value);
}

float Instrument::getParameter(std::int32_t index) {
    const std::int32_t slot = ParameterTable::slotOf(index);
    return slot < 0 ? 1.0f : current().value(static_cast<std::size_t>(slot));
}

void Instrument::closeEditor() {
    panel = nullptr;
    attachEditor(nullptr);
}

std::int32_t Instrument::getProgram() { return programIndex.load(std::memory_order_relaxed); }

namespace {

float storedValue(const ProgramRecord& record, std::int32_t index) {
    return record.value(static_cast<std::size_t>(ParameterTable::slotOf(index)));
}

std::int32_t lfoRateOf(float value) { return ResonantFilter::wholeLfoRate(static_cast<double>(value) * 100.0); }

}  // namespace

void Instrument::applyParameter(std::int32_t index) noexcept {
    const float stored = storedValue(current(), index);
    // A chunk being restored may still hold infinity or not-a-number, which would stay in the voices'
    // envelopes and the filter's history for good: the engine keeps its last finite setting instead.
    if (!std::isfinite(stored)) return;
    const float value = ParameterTable::playedValue(index, stored);
    ResonantFilter& filter = engine->filter();
    switch (index) {
        case Parameter::ampAttack: engine->setAttack(value); break;
        case Parameter::ampDecay: engine->setDecay(value); break;
        case Parameter::ampSustain: engine->setSustain(value); break;
        case Parameter::ampRelease: engine->setRelease(value); break;
        case Parameter::filterFrequency: filter.setFrequency(value); break;
        case Parameter::filterResonance: filter.setResonance(value); break;
        case Parameter::filterMode: filter.setMode(value > 0.0f ? 1 : 0); break;
        case Parameter::filterOn: engine->setFilterOn(value > 0.0f); break;
        case Parameter::lfoFrequency: filter.setLfoRate(lfoRateOf(value)); break;
        case Parameter::lfoAmount: filter.setLfoAmount(value); break;
        case Parameter::lfoSyncOn: {
            const bool wasOn = lfoSyncOn;
            lfoSyncOn = value == 1.0f;
            // The host's tempo set the rate while sync was on; the program's own rate holds again.
            if (wasOn && !lfoSyncOn) {
                const float rate = storedValue(current(), Parameter::lfoFrequency);
                filter.setLfoRate(lfoRateOf(ParameterTable::playedValue(Parameter::lfoFrequency, rate)));
            }
            break;
        }
        case Parameter::lfoSyncMode: lfoSyncMode = value; break;
        default: break;
    }
}

void Instrument::applyPendingParameters() noexcept {
    pendingParameters.collect([this](std::int32_t index) { applyParameter(index); });
}

void Instrument::setProgram(std::int32_t program) {
    if (program < 0 || program >= programTotal) return;
    std::lock_guard<std::mutex> serialised(stateLock);
    selectProgram(program);
}

void Instrument::selectProgram(std::int32_t program) {
    programIndex.store(program, std::memory_order_relaxed);
    const ProgramRecord& record = current();
    applyValues(record);
    if (record.path[0] != '\0') {
        loadFromRecordPath(record);
    } else {
        std::vector<std::unique_ptr<Slice>> none;
        LoadPass exclusive(gate);
        engine->exchangeSlices(none);
    }
}

void Instrument::applyValues(const ProgramRecord& record) {
    for (std::int32_t index : ParameterTable::appliedOrder) setParameter(index, storedValue(record, index));
}

// Longer names are cut to the 23 characters the field holds.
void Instrument::setProgramName(char* name) {
    std::lock_guard<std::mutex> serialised(stateLock);
    copyIntoField(current().name, ProgramRecord::nameSize, name);
}

// A name restored from a chunk may fill its field without a terminator.
void Instrument::getProgramName(char* name) {
    std::lock_guard<std::mutex> serialised(stateLock);
    const std::size_t length = boundedLength(current().name, ProgramRecord::nameSize - 1);
    std::memcpy(name, current().name, length);
    name[length] = '\0';
}

void Instrument::getParamLabel(std::int32_t, char*) {}
void Instrument::getParamDisplay(std::int32_t, char*) {}

void Instrument::getParamName(std::int32_t index, char* name) {
    if (const char* text = ParameterTable::nameOf(index)) std::strcpy(name, text);
}

std::unique_ptr<InstrumentCore> makeInstrument(PlatformServices& services, RateConversionMaker rateConversion) {
    return std::make_unique<Instrument>(nullptr, services, nullptr, std::move(rateConversion));
}
