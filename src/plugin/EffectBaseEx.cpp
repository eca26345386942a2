#include "plugin/EffectBaseEx.h"

#include "plugin/EditorBase.h"

namespace {
constexpr std::int32_t synthCategory = 2;
constexpr std::int32_t interfaceVersion = 2200;
VstIntPtr answerOf(bool value) { return value ? 1 : 0; }

// The host passes the key's modifier code as a float; its low byte is what counts. A value that no
// 32-bit integer holds (not a number, infinite, too large) carries no code.
unsigned char lowByteOf(float value) {
    constexpr float integerLimit = 2147483648.0f;
    if (!(value > -integerLimit && value < integerLimit)) return 0;
    return static_cast<unsigned char>(static_cast<std::int32_t>(value) & 0xFF);
}
}  // namespace

EffectBaseEx::EffectBaseEx(audioMasterCallback host, std::int32_t programCount, std::int32_t parameterCount)
    : EffectBase(host, programCount, parameterCount) {}

VstIntPtr EffectBaseEx::dispatcher(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    const auto count = static_cast<std::int32_t>(value);
    switch (opcode) {
        case effProcessEvents: return processEvents(static_cast<VstEvents*>(ptr));
        case effCanBeAutomated: return answerOf(canBeAutomated(index));
        case effString2Parameter: return answerOf(stringToParameter(index, text));
        case effGetNumProgramCategories: return getNumProgramCategories();
        case effGetProgramNameIndexed: return answerOf(getProgramNameIndexed(count, index, text));
        case effCopyProgram: return answerOf(copyProgram(index));
        case effConnectInput: connectInput(index, value != 0); return 1;
        case effConnectOutput: connectOutput(index, value != 0); return 1;
        case effGetInputProperties: return answerOf(getInputProperties(index, ptr));
        case effGetOutputProperties: return answerOf(getOutputProperties(index, ptr));
        case effGetPlugCategory: return getPlugCategory();
        case effGetCurrentPosition: return getCurrentPosition();
        case effGetDestinationBuffer: return reinterpret_cast<VstIntPtr>(getDestinationBuffer());
        case effOfflineNotify: return answerOf(offlineNotify(ptr, count, index != 0));
        case effOfflinePrepare: return answerOf(offlinePrepare(ptr, count));
        case effOfflineRun: return answerOf(offlineRun(ptr, count));
        case effProcessVarIo: return answerOf(processVarIo(ptr));
        case effSetSpeakerArrangement: return answerOf(setSpeakerArrangement(reinterpret_cast<void*>(value), ptr));
        case effSetBlockSizeAndSampleRate: setBlockSizeAndSampleRate(count, opt); return 1;
        case effSetBypass: return answerOf(setBypass(value != 0));
        case effGetEffectName: return answerOf(text && getEffectName(text));
        case effGetErrorText: return answerOf(text && getErrorText(text));
        case effGetVendorString: return answerOf(text && getVendorString(text));
        case effGetProductString: return answerOf(text && getProductString(text));
        case effGetVendorVersion: return getVendorVersion();
        case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
        case effCanDo: return text ? canDo(text) : 0;
        case effGetTailSize: return getTailSize();
        case effIdle: return effectIdle();
        case effGetIcon: return reinterpret_cast<VstIntPtr>(getIcon());
        case effSetViewPosition: return answerOf(setViewPosition(index, count));
        case effGetParameterProperties: return answerOf(getParameterProperties(index, ptr));
        case effKeysRequired: return keysRequired() ? 0 : 1;
        case effGetVstVersion: return getVstVersion();
        case effEditKeyDown:
        case effEditKeyUp:
            if (EditorBase* attached = editor()) {
                VstKeyCode key{index, static_cast<unsigned char>(value & 0xFF), lowByteOf(opt)};
                return opcode == effEditKeyDown ? attached->onKeyDown(key) : attached->onKeyUp(key);
            }
            return 0;
        case effSetEditKnobMode: return editor() ? editor()->setKnobMode(count) : 0;
        case effGetMidiProgramName: return getMidiProgramName(index, ptr);
        case effGetCurrentMidiProgram: return getCurrentMidiProgram(index, ptr);
        case effGetMidiProgramCategory: return getMidiProgramCategory(index, ptr);
        case effHasMidiProgramsChanged: return answerOf(hasMidiProgramsChanged(index));
        case effGetMidiKeyName: return answerOf(getMidiKeyName(index, ptr));
        case effBeginSetProgram: return answerOf(beginSetProgram());
        case effEndSetProgram: return answerOf(endSetProgram());
        default: return EffectBase::dispatcher(opcode, index, value, ptr, opt);
    }
}

bool EffectBaseEx::askHost(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr) {
    return callHost(opcode, index, value, ptr) != 0;
}

std::int32_t EffectBaseEx::hostAnswer(std::int32_t opcode) { return static_cast<std::int32_t>(callHost(opcode)); }

EditorBase* EffectBaseEx::getEditor() { return editor(); }
void EffectBaseEx::wantEvents(std::int32_t filter) { callHost(audioMasterWantMidi, 0, filter); }
VstTimeInfo* EffectBaseEx::getTimeInfo(std::int32_t mask) {
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, mask));
}
std::int32_t EffectBaseEx::tempoAt(std::int32_t position) {
    return static_cast<std::int32_t>(callHost(audioMasterTempoAt, 0, position));
}
std::int32_t EffectBaseEx::processEvents(VstEvents*) noexcept { return 0; }
std::int32_t EffectBaseEx::hostAutomatableParameterCount() {
    return hostAnswer(audioMasterGetNumAutomatableParameters);
}
std::int32_t EffectBaseEx::hostParameterQuantization() { return hostAnswer(audioMasterGetParameterQuantization); }
bool EffectBaseEx::canBeAutomated(std::int32_t) { return true; }
bool EffectBaseEx::stringToParameter(std::int32_t, char*) { return false; }
float EffectBaseEx::channelParameter(std::int32_t, std::int32_t) { return 0.0f; }
std::int32_t EffectBaseEx::getNumProgramCategories() { return 1; }
bool EffectBaseEx::getProgramNameIndexed(std::int32_t, std::int32_t, char*) { return false; }
bool EffectBaseEx::copyProgram(std::int32_t) { return false; }
bool EffectBaseEx::hostIoChanged() { return askHost(audioMasterIOChanged); }
bool EffectBaseEx::hostNeedIdle() { return askHost(audioMasterNeedIdle); }
bool EffectBaseEx::hostSizeWindow(std::int32_t width, std::int32_t height) {
    return askHost(audioMasterSizeWindow, width, height);
}
float EffectBaseEx::hostSampleRate() {
    callHost(audioMasterGetSampleRate);
    return sampleRate;
}
std::int32_t EffectBaseEx::hostBlockSize() {
    callHost(audioMasterGetBlockSize);
    return blockSize;
}
std::int32_t EffectBaseEx::hostInputLatency() { return hostAnswer(audioMasterGetInputLatency); }
std::int32_t EffectBaseEx::hostOutputLatency() { return hostAnswer(audioMasterGetOutputLatency); }
AEffect* EffectBaseEx::hostPreviousPlug(std::int32_t) {
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug));
}
AEffect* EffectBaseEx::hostNextPlug(std::int32_t) {
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug));
}
void EffectBaseEx::connectInput(std::int32_t, bool) {}
void EffectBaseEx::connectOutput(std::int32_t, bool) {}
bool EffectBaseEx::getInputProperties(std::int32_t, void*) { return false; }
bool EffectBaseEx::getOutputProperties(std::int32_t, void*) { return false; }
std::int32_t EffectBaseEx::getPlugCategory() { return (effect()->flags & effFlagsIsSynth) ? synthCategory : 0; }
std::int32_t EffectBaseEx::hostWillReplaceOrAccumulate() { return hostAnswer(audioMasterWillReplaceOrAccumulate); }
std::int32_t EffectBaseEx::hostProcessLevel() { return hostAnswer(audioMasterGetCurrentProcessLevel); }
std::int32_t EffectBaseEx::hostAutomationState() { return hostAnswer(audioMasterGetAutomationState); }
void EffectBaseEx::setAsyncFlag(bool on) { setFlag(effFlagsExtIsAsync, on); }
void EffectBaseEx::setBufferFlag(bool on) { setFlag(effFlagsExtHasBuffer, on); }
std::int32_t EffectBaseEx::getCurrentPosition() { return 0; }
float* EffectBaseEx::getDestinationBuffer() { return nullptr; }
bool EffectBaseEx::hostOfflineRead(void* task, std::int32_t option, bool readSource) {
    return askHost(audioMasterOfflineRead, readSource ? 1 : 0, option, task);
}
bool EffectBaseEx::hostOfflineWrite(void* task, std::int32_t option) {
    return askHost(audioMasterOfflineWrite, 0, option, task);
}
bool EffectBaseEx::hostOfflineStart(void* files, std::int32_t count, std::int32_t newCount) {
    return askHost(audioMasterOfflineStart, newCount, count, files);
}
bool EffectBaseEx::hostOfflineCurrentPass() { return askHost(audioMasterOfflineGetCurrentPass); }
bool EffectBaseEx::hostOfflineCurrentMetaPass() { return askHost(audioMasterOfflineGetCurrentMetaPass); }
bool EffectBaseEx::offlineNotify(void*, std::int32_t, bool) { return false; }
bool EffectBaseEx::offlinePrepare(void*, std::int32_t) { return false; }
bool EffectBaseEx::offlineRun(void*, std::int32_t) { return false; }
std::int32_t EffectBaseEx::offlinePassCount() { return 0; }
std::int32_t EffectBaseEx::offlineMetaPassCount() { return 0; }
std::int32_t EffectBaseEx::hostSetOutputSampleRate(float rate) {
    return static_cast<std::int32_t>(callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate));
}
bool EffectBaseEx::hostOutputSpeakerArrangement(std::int32_t a, void* b) {
    return askHost(audioMasterGetOutputSpeakerArrangement, 0, a, b);
}
bool EffectBaseEx::hostVendorString(char* text) { return askHost(audioMasterGetVendorString, 0, 0, text); }
bool EffectBaseEx::hostProductString(char* text) { return askHost(audioMasterGetProductString, 0, 0, text); }
std::int32_t EffectBaseEx::hostVendorVersion() { return hostAnswer(audioMasterGetVendorVersion); }
std::int32_t EffectBaseEx::hostVendorSpecific(std::int32_t index, VstIntPtr value, void* ptr, float opt) {
    return static_cast<std::int32_t>(callHost(audioMasterVendorSpecific, index, value, ptr, opt));
}
bool EffectBaseEx::hostCanDo(char* text) { return askHost(audioMasterCanDo, 0, 0, text); }
void EffectBaseEx::setSynthFlag(bool on) { setFlag(effFlagsIsSynth, on); }
void EffectBaseEx::setNoSoundInStopFlag(bool on) { setFlag(effFlagsNoSoundInStop, on); }
std::int32_t EffectBaseEx::hostLanguage() { return hostAnswer(audioMasterGetLanguage); }
void* EffectBaseEx::hostOpenWindow(void* window) {
    return reinterpret_cast<void*>(callHost(audioMasterOpenWindow, 0, 0, window));
}
bool EffectBaseEx::hostCloseWindow(void* window) { return askHost(audioMasterCloseWindow, 0, 0, window); }
void* EffectBaseEx::hostDirectory() { return reinterpret_cast<void*>(callHost(audioMasterGetDirectory)); }
bool EffectBaseEx::hostUpdateDisplay() { return askHost(audioMasterUpdateDisplay); }
bool EffectBaseEx::processVarIo(void*) { return false; }
bool EffectBaseEx::setSpeakerArrangement(void*, void*) { return false; }
void EffectBaseEx::setBlockSizeAndSampleRate(std::int32_t size, float rate) {
    blockSize = size;
    sampleRate = rate;
}
bool EffectBaseEx::setBypass(bool) { return false; }
bool EffectBaseEx::getEffectName(char*) { return false; }
bool EffectBaseEx::getErrorText(char*) { return false; }
bool EffectBaseEx::getVendorString(char*) { return false; }
bool EffectBaseEx::getProductString(char*) { return false; }
std::int32_t EffectBaseEx::getVendorVersion() { return 0; }
VstIntPtr EffectBaseEx::vendorSpecific(std::int32_t, VstIntPtr, void*, float) { return 0; }
std::int32_t EffectBaseEx::canDo(char*) { return 0; }
void* EffectBaseEx::getIcon() { return nullptr; }
bool EffectBaseEx::setViewPosition(std::int32_t, std::int32_t) { return false; }
std::int32_t EffectBaseEx::getTailSize() { return 0; }
std::int32_t EffectBaseEx::effectIdle() { return 0; }
bool EffectBaseEx::getParameterProperties(std::int32_t, void*) { return false; }
bool EffectBaseEx::keysRequired() { return false; }
std::int32_t EffectBaseEx::getVstVersion() { return interfaceVersion; }
std::int32_t EffectBaseEx::getMidiProgramName(std::int32_t, void*) { return 0; }
std::int32_t EffectBaseEx::getCurrentMidiProgram(std::int32_t, void*) { return -1; }
std::int32_t EffectBaseEx::getMidiProgramCategory(std::int32_t, void*) { return 0; }
bool EffectBaseEx::hasMidiProgramsChanged(std::int32_t) { return false; }
bool EffectBaseEx::getMidiKeyName(std::int32_t, void*) { return false; }
bool EffectBaseEx::beginSetProgram() { return false; }
bool EffectBaseEx::endSetProgram() { return false; }
bool EffectBaseEx::hostBeginEdit(std::int32_t index) { return askHost(audioMasterBeginEdit, index); }
bool EffectBaseEx::hostEndEdit(std::int32_t index) { return askHost(audioMasterEndEdit, index); }
bool EffectBaseEx::hostOpenFileSelector(void* selector) {
    return selector && askHost(audioMasterOpenFileSelector, 0, 0, selector);
}
