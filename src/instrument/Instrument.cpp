#include "instrument/Instrument.h"

#include "instrument/ParameterTable.h"
#include "plugin/BoundedText.h"
#include "platform/PlatformServices.h"

#include <cstring>

Instrument::Instrument(audioMasterCallback host) : Instrument(host, systemPlatformServices()) {}

Instrument::Instrument(audioMasterCallback host, PlatformServices& services)
    : EffectBaseEx(host, programTotal, parameterTotal), platform(services) {
    setChunkFlag(true);
    for (ProgramRecord& record : programs) ParameterTable::fillDefaults(record);
    setInputCount(0);
    setOutputCount(2);
    setUniqueId(uniqueId);
    setMonoFlag(true);
    setReplacingFlag(true);
    setSynthFlag(true);
    wantEvents(1);
    setProgram(0);
}

Instrument::~Instrument() = default;

void Instrument::setParameter(std::int32_t index, float value) {
    const std::int32_t slot = ParameterTable::slotOf(index);
    if (slot < 0) return;
    current().values[slot] = value;
}

float Instrument::getParameter(std::int32_t index) {
    const std::int32_t slot = ParameterTable::slotOf(index);
    return slot < 0 ? 1.0f : current().values[slot];
}

void Instrument::setProgram(std::int32_t program) {
    if (program < 0 || program >= programTotal) return;
    currentProgram = program;
    const ProgramRecord& record = current();
    for (std::int32_t index : ParameterTable::appliedOrder) {
        setParameter(index, record.values[ParameterTable::slotOf(index)]);
    }
}

// Longer names are cut to the 23 characters the field holds.
void Instrument::setProgramName(char* name) {
    copyIntoField(current().name, ProgramRecord::nameSize, name);
}

// A name restored from a chunk may fill its field without a terminator.
void Instrument::getProgramName(char* name) {
    const std::size_t length = boundedLength(current().name, ProgramRecord::nameSize - 1);
    std::memcpy(name, current().name, length);
    name[length] = '\0';
}

void Instrument::getParamLabel(std::int32_t, char*) {}
void Instrument::getParamDisplay(std::int32_t, char*) {}

void Instrument::getParamName(std::int32_t index, char* name) {
    if (const char* text = ParameterTable::nameOf(index)) std::strcpy(name, text);
}

void Instrument::process(float** inputs, float** outputs, std::int32_t frames) noexcept {
    processReplacing(inputs, outputs, frames);
}

void Instrument::processReplacing(float**, float** outputs, std::int32_t frames) noexcept {
    if (!outputs || frames <= 0) return;
    for (int channel = 0; channel < 2; ++channel) {
        if (outputs[channel]) std::memset(outputs[channel], 0, sizeof(float) * static_cast<std::size_t>(frames));
    }
}
