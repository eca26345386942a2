#include "plugin/EffectBase.h"

#include "plugin/EditorBase.h"
#include "plugin/RoutingFunctions.h"
#include "plugin/ValueText.h"

#include <cmath>
#include <cstring>

namespace {
constexpr std::int32_t placeholderUniqueId = 0x4E6F4566;  // 'NoEf'
constexpr VstIntPtr identifyAnswer = 0x4E764566;          // 'NvEf'
}  // namespace

EffectBase::EffectBase(audioMasterCallback host, std::int32_t programCount, std::int32_t parameterCount)
    : hostCallback(host), programTotal(programCount) {
    std::memset(&effectRecord, 0, sizeof effectRecord);
    effectRecord.magic = kEffectMagic;
    effectRecord.dispatcher = routeDispatcher;
    effectRecord.process = routeProcess;
    effectRecord.setParameter = routeSetParameter;
    effectRecord.getParameter = routeGetParameter;
    effectRecord.numPrograms = programCount;
    effectRecord.numParams = parameterCount;
    effectRecord.numInputs = 1;
    effectRecord.numOutputs = 2;
    effectRecord.ioRatio = 1.0f;
    effectRecord.object = this;
    effectRecord.uniqueID = placeholderUniqueId;
    effectRecord.version = 1;
    effectRecord.processReplacing = routeProcessReplacing;
}

EffectBase::~EffectBase() { delete editorObject; }

void EffectBase::attachEditor(EditorBase* editorToOwn) {
    delete editorObject;
    editorObject = editorToOwn;
    setFlag(effFlagsHasEditor, editorObject != nullptr);
}

void EffectBase::setParameter(std::int32_t, float) {}
float EffectBase::getParameter(std::int32_t) { return 0.0f; }

void EffectBase::setParameterAndNotify(std::int32_t index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void EffectBase::processReplacing(float**, float**, std::int32_t) noexcept {}

VstIntPtr EffectBase::dispatcher(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effOpen: open(); return 0;
        case effClose: close(); return 0;
        case effSetProgram:
            if (value >= 0 && value < programTotal) setProgram(static_cast<std::int32_t>(value));
            return 0;
        case effGetProgram: return getProgram();
        case effSetProgramName:
            if (text) setProgramName(text);
            return 0;
        case effGetProgramName:
            if (text) getProgramName(text);
            return 0;
        case effGetParamLabel:
            if (text) getParamLabel(index, text);
            return 0;
        case effGetParamDisplay:
            if (text) getParamDisplay(index, text);
            return 0;
        case effGetParamName:
            if (text) getParamName(index, text);
            return 0;
        case effGetVu: return static_cast<VstIntPtr>(getVu() * 32767.0f);
        case effSetSampleRate: setSampleRate(opt); return 0;
        case effSetBlockSize: setBlockSize(static_cast<std::int32_t>(value)); return 0;
        case effMainsChanged:
            if (value == 0)
                suspend();
            else
                resume();
            return 0;
        case effEditGetRect: return editorObject && ptr ? editorObject->getRect(static_cast<ERect**>(ptr)) : 0;
        case effEditOpen: return editorObject ? editorObject->open(ptr) : 0;
        case effEditClose:
            if (editorObject) editorObject->close();
            return 0;
        case effEditIdle:
            if (editorObject) editorObject->idle();
            return 0;
        case effIdentify: return identifyAnswer;
        case effGetChunk: return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
        case effSetChunk: return setChunk(ptr, static_cast<std::int32_t>(value), index != 0);
        default: return 0;
    }
}

void EffectBase::open() {}
void EffectBase::close() {}
std::int32_t EffectBase::getProgram() { return currentProgram; }
void EffectBase::setProgram(std::int32_t program) { currentProgram = program; }
void EffectBase::setProgramName(char* name) { *name = '\0'; }
void EffectBase::getProgramName(char* name) { *name = '\0'; }
void EffectBase::getParamLabel(std::int32_t, char* label) { *label = '\0'; }
void EffectBase::getParamDisplay(std::int32_t, char* text) { *text = '\0'; }
void EffectBase::getParamName(std::int32_t, char* name) { *name = '\0'; }
float EffectBase::getVu() { return 0.0f; }
std::int32_t EffectBase::getChunk(void**, bool) { return 0; }
std::int32_t EffectBase::setChunk(void*, std::int32_t, bool) { return 0; }
void EffectBase::setSampleRate(float rate) { sampleRate = rate; }
void EffectBase::setBlockSize(std::int32_t size) { blockSize = size; }
void EffectBase::suspend() {}
void EffectBase::resume() {}
void EffectBase::setUniqueId(std::int32_t id) { effectRecord.uniqueID = id; }
void EffectBase::setInputCount(std::int32_t count) { effectRecord.numInputs = count; }
void EffectBase::setOutputCount(std::int32_t count) { effectRecord.numOutputs = count; }

void EffectBase::setFlag(std::int32_t flag, bool on) {
    if (on)
        effectRecord.flags |= flag;
    else
        effectRecord.flags &= ~flag;
}

void EffectBase::setVuFlag(bool on) { setFlag(effFlagsHasVu, on); }
void EffectBase::setClipFlag(bool on) { setFlag(effFlagsHasClip, on); }
void EffectBase::setMonoFlag(bool on) { setFlag(effFlagsCanMono, on); }
void EffectBase::setReplacingFlag(bool on) { setFlag(effFlagsCanReplacing, on); }
void EffectBase::setChunkFlag(bool on) { setFlag(effFlagsProgramChunks, on); }
void EffectBase::setRealtimeQualities(std::int32_t qualities) { effectRecord.realQualities = qualities; }
void EffectBase::setOfflineQualities(std::int32_t qualities) { effectRecord.offQualities = qualities; }
void EffectBase::setInitialDelay(std::int32_t delay) { effectRecord.initialDelay = delay; }
float EffectBase::getSampleRate() { return sampleRate; }
std::int32_t EffectBase::getBlockSize() { return blockSize; }

VstIntPtr EffectBase::callHost(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt) {
    return hostCallback ? hostCallback(&effectRecord, opcode, index, value, ptr, opt) : 0;
}

std::int32_t EffectBase::hostVersion() {
    const auto answer = static_cast<std::int32_t>(callHost(audioMasterVersion));
    return answer == 0 ? 1 : answer;
}

std::int32_t EffectBase::hostCurrentUniqueId() { return static_cast<std::int32_t>(callHost(audioMasterCurrentId)); }
void EffectBase::hostIdle() { callHost(audioMasterIdle); }

// The host answers 0 for "connected"; without a host every pin counts as connected.
bool EffectBase::isInputConnected(std::int32_t input) { return callHost(audioMasterPinConnected, input, 0) == 0; }
bool EffectBase::isOutputConnected(std::int32_t output) { return callHost(audioMasterPinConnected, output, 1) == 0; }

void EffectBase::formatDecibels(float value, char* text) {
    if (value > 0.0f)
        formatFloat(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text);
    else
        writeMinusInfinity(text);
}

void EffectBase::formatHertz(float samples, char* text) {
    formatFloat(samples == 0.0f ? 0.0f : getSampleRate() / samples, text);
}

void EffectBase::formatMilliseconds(float samples, char* text) {
    formatFloat(samples * 1000.0f / getSampleRate(), text);
}

void EffectBase::formatFloat(float value, char* text) { writeFixedPoint(value, text); }
void EffectBase::formatInteger(std::int32_t value, char* text) { writeInteger(value, text); }
