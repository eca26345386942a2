#pragma once

#include "RecordingPlatform.h"
#include "instrument/Instrument.h"
#include "platform/portable/SoftwarePlatform.h"
#include "platform/portable/SoftwareWindow.h"

#include <memory>

// The same instrument in-process on the software platform: the picture the X11 panel must equal.
class SoftwarePanel {
public:
    SoftwarePanel() { effect->dispatcher(effect, effEditOpen, 0, 0, &parentWindow, 0.0f); }
    ~SoftwarePanel() {
        effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
        delete instrument;
    }
    SoftwarePanel(const SoftwarePanel&) = delete;
    SoftwarePanel& operator=(const SoftwarePanel&) = delete;

    Instrument& plugin() { return *instrument; }
    // What the window shows after the host's next idle and a full paint.
    const RgbPicture& pictureAfterIdle() {
        effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
        platform.lastWindow()->paint();
        return platform.lastWindow()->screen().picture();
    }

private:
    static VstIntPtr VSTCALL host(AEffect*, std::int32_t opcode, std::int32_t, VstIntPtr, void*, float) {
        return opcode == audioMasterVersion ? 2400 : 0;
    }

    RecordingPlatform services;
    SoftwarePlatform platform;
    Instrument* instrument = new Instrument(host, services, &platform);
    AEffect* effect = instrument->effect();
    int parentWindow = 0;
};
