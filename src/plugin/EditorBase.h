#pragma once

#include "plugin/VstAbi.h"

#include <cstdint>

class EffectBase;

// The plain editor a plug-in answers the host's editor opcodes with: no window, no drawing.
class EditorBase {
public:
    explicit EditorBase(EffectBase& owner) : effect(owner) {}
    virtual ~EditorBase() = default;
    EditorBase(const EditorBase&) = delete;
    EditorBase& operator=(const EditorBase&) = delete;

    virtual int getRect(ERect** rect);
    virtual int open(void* parentWindow);
    virtual void close() {}
    virtual void idle();
    virtual void update() {}
    virtual void requestUpdate() { updateFlag = 1; }
    virtual int onKeyDown(VstKeyCode& key);
    virtual int onKeyUp(VstKeyCode& key);
    virtual int setKnobMode(int mode);
    virtual bool onWheel(float distance);

    void* parentWindow() const { return parent; }

protected:
    EffectBase& effect;

private:
    void* parent = nullptr;
    std::int32_t updateFlag = 0;
};
