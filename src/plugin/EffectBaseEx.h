#pragma once

#include "plugin/EffectBase.h"

// The second generation of the host interface: events, identity, capability and offline
// questions. Every answer here is a do-nothing default or a host request.
class EffectBaseEx : public EffectBase {
public:
    EffectBaseEx(audioMasterCallback host, std::int32_t programCount, std::int32_t parameterCount);

    VstIntPtr dispatcher(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt) override;

    virtual EditorBase* getEditor();
    virtual void wantEvents(std::int32_t filter);
    virtual VstTimeInfo* getTimeInfo(std::int32_t mask);
    virtual std::int32_t tempoAt(std::int32_t position);
    virtual std::int32_t processEvents(VstEvents* events) noexcept;
    virtual std::int32_t hostAutomatableParameterCount();
    virtual std::int32_t hostParameterQuantization();
    virtual bool canBeAutomated(std::int32_t index);
    virtual bool stringToParameter(std::int32_t index, char* text);
    virtual float channelParameter(std::int32_t channel, std::int32_t index);
    virtual std::int32_t getNumProgramCategories();
    virtual bool getProgramNameIndexed(std::int32_t category, std::int32_t index, char* text);
    virtual bool copyProgram(std::int32_t destination);
    virtual bool hostIoChanged();
    virtual bool hostNeedIdle();
    virtual bool hostSizeWindow(std::int32_t width, std::int32_t height);
    virtual float hostSampleRate();
    virtual std::int32_t hostBlockSize();
    virtual std::int32_t hostInputLatency();
    virtual std::int32_t hostOutputLatency();
    virtual AEffect* hostPreviousPlug(std::int32_t input);
    virtual AEffect* hostNextPlug(std::int32_t output);
    virtual void connectInput(std::int32_t index, bool state);
    virtual void connectOutput(std::int32_t index, bool state);
    virtual bool getInputProperties(std::int32_t index, void* properties);
    virtual bool getOutputProperties(std::int32_t index, void* properties);
    virtual std::int32_t getPlugCategory();
    virtual std::int32_t hostWillReplaceOrAccumulate();
    virtual std::int32_t hostProcessLevel();
    virtual std::int32_t hostAutomationState();
    virtual void setAsyncFlag(bool on);
    virtual void setBufferFlag(bool on);
    virtual std::int32_t getCurrentPosition();
    virtual float* getDestinationBuffer();
    virtual bool hostOfflineRead(void* task, std::int32_t option, bool readSource);
    virtual bool hostOfflineWrite(void* task, std::int32_t option);
    virtual bool hostOfflineStart(void* files, std::int32_t count, std::int32_t newCount);
    virtual bool hostOfflineCurrentPass();
    virtual bool hostOfflineCurrentMetaPass();
    virtual bool offlineNotify(void* files, std::int32_t count, bool start);
    virtual bool offlinePrepare(void* task, std::int32_t count);
    virtual bool offlineRun(void* task, std::int32_t count);
    virtual std::int32_t offlinePassCount();
    virtual std::int32_t offlineMetaPassCount();
    virtual std::int32_t hostSetOutputSampleRate(float rate);
    virtual bool hostOutputSpeakerArrangement(std::int32_t a, void* b);
    virtual bool hostVendorString(char* text);
    virtual bool hostProductString(char* text);
    virtual std::int32_t hostVendorVersion();
    virtual VstIntPtr hostVendorSpecific(std::int32_t index, VstIntPtr value, void* ptr, float opt);
    virtual bool hostCanDo(char* text);
    virtual void setSynthFlag(bool on);
    virtual void setNoSoundInStopFlag(bool on);
    virtual std::int32_t hostLanguage();
    virtual void* hostOpenWindow(void* window);
    virtual bool hostCloseWindow(void* window);
    virtual void* hostDirectory();
    virtual bool hostUpdateDisplay();
    virtual bool processVarIo(void* varIo);
    virtual bool setSpeakerArrangement(void* input, void* output);
    virtual void setBlockSizeAndSampleRate(std::int32_t size, float rate);
    virtual bool setBypass(bool on);
    virtual bool getEffectName(char* text);
    virtual bool getErrorText(char* text);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    virtual std::int32_t getVendorVersion();
    virtual VstIntPtr vendorSpecific(std::int32_t index, VstIntPtr value, void* ptr, float opt);
    virtual std::int32_t canDo(char* text);
    virtual void* getIcon();
    virtual bool setViewPosition(std::int32_t x, std::int32_t y);
    virtual std::int32_t getTailSize();
    virtual std::int32_t effectIdle();
    virtual bool getParameterProperties(std::int32_t index, void* properties);
    virtual bool keysRequired();
    virtual std::int32_t getVstVersion();
    virtual std::int32_t getMidiProgramName(std::int32_t channel, void* name);
    virtual std::int32_t getCurrentMidiProgram(std::int32_t channel, void* name);
    virtual std::int32_t getMidiProgramCategory(std::int32_t channel, void* category);
    virtual bool hasMidiProgramsChanged(std::int32_t channel);
    virtual bool getMidiKeyName(std::int32_t channel, void* keyName);
    virtual bool beginSetProgram();
    virtual bool endSetProgram();
    virtual bool hostBeginEdit(std::int32_t index);
    virtual bool hostEndEdit(std::int32_t index);
    virtual bool hostOpenFileSelector(void* selector);

private:
    bool askHost(std::int32_t opcode, std::int32_t index = 0, VstIntPtr value = 0, void* ptr = nullptr);
    std::int32_t hostAnswer(std::int32_t opcode);
};
