#pragma once

#include "plugin/VstAbi.h"

#include <cstdint>

class EditorBase;

// Owns the effect record handed to the host and answers the core opcodes through virtual
// operations that derived plug-ins override. The record's `object` always points back here.
class EffectBase {
public:
    EffectBase(audioMasterCallback host, std::int32_t programCount, std::int32_t parameterCount);
    virtual ~EffectBase();
    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;

    virtual void setParameter(std::int32_t index, float value);
    virtual float getParameter(std::int32_t index);
    virtual void setParameterAndNotify(std::int32_t index, float value);
    virtual void process(float** inputs, float** outputs, std::int32_t frames) noexcept = 0;
    virtual void processReplacing(float** inputs, float** outputs, std::int32_t frames) noexcept;
    virtual VstIntPtr dispatcher(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt);
    virtual void open();
    virtual void close();
    virtual std::int32_t getProgram();
    virtual void setProgram(std::int32_t program);
    virtual void setProgramName(char* name);
    virtual void getProgramName(char* name);
    virtual void getParamLabel(std::int32_t index, char* label);
    virtual void getParamDisplay(std::int32_t index, char* text);
    virtual void getParamName(std::int32_t index, char* name);
    virtual float getVu();
    virtual std::int32_t getChunk(void** data, bool preset);
    virtual std::int32_t setChunk(void* data, std::int32_t byteSize, bool preset);
    virtual void setSampleRate(float rate);
    virtual void setBlockSize(std::int32_t size);
    virtual void suspend();
    virtual void resume();
    virtual void setUniqueId(std::int32_t id);
    virtual void setInputCount(std::int32_t count);
    virtual void setOutputCount(std::int32_t count);
    virtual void setVuFlag(bool on);
    virtual void setClipFlag(bool on);
    virtual void setMonoFlag(bool on);
    virtual void setReplacingFlag(bool on);
    virtual void setChunkFlag(bool on);
    virtual void setRealtimeQualities(std::int32_t qualities);
    virtual void setOfflineQualities(std::int32_t qualities);
    virtual void setInitialDelay(std::int32_t delay);
    virtual float getSampleRate();
    virtual std::int32_t getBlockSize();
    virtual std::int32_t hostVersion();
    virtual std::int32_t hostCurrentUniqueId();
    virtual void hostIdle();
    virtual bool isInputConnected(std::int32_t input);
    virtual bool isOutputConnected(std::int32_t output);
    virtual void formatDecibels(float value, char* text);
    virtual void formatHertz(float samples, char* text);
    virtual void formatMilliseconds(float samples, char* text);
    virtual void formatFloat(float value, char* text);
    virtual void formatInteger(std::int32_t value, char* text);

    AEffect* effect() { return &effectRecord; }
    EditorBase* editor() const { return editorObject; }
    // The editor attaches itself; the effect owns it from then on and tells the host it has an editor.
    void attachEditor(EditorBase* editorToOwn);

protected:
    // Every request to the host goes through here; without a host callback it answers 0.
    VstIntPtr callHost(std::int32_t opcode, std::int32_t index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    void setFlag(std::int32_t flag, bool on);

    float sampleRate = 44100.0f;
    std::int32_t currentProgram = 0;
    std::int32_t blockSize = 1024;

private:
    EditorBase* editorObject = nullptr;
    audioMasterCallback hostCallback;
    std::int32_t programTotal;
    AEffect effectRecord;
};
