#pragma once

#include "LoopFiles.h"
#include "PanelBitmaps.h"
#include "RecordingPlatform.h"
#include "gui/Fader.h"
#include "gui/StepSwitch.h"
#include "instrument/Instrument.h"
#include "picture/BmpFile.h"
#include "platform/portable/SoftwarePlatform.h"
#include "platform/portable/SoftwareWindow.h"
#include "plugin/InstrumentEditor.h"
#include "shared/PanelLayout.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <utility>
#include <vector>

// A panel point inside a control, where a test presses it.
constexpr PixelPoint pointIn(PanelLayout::Tag tag) {
    const PanelLayout::Point point = PanelLayout::centre(PanelLayout::control(tag));
    return {point.x, point.y};
}

// Services whose file dialogs can run the host's own calls while they are open.
class ScriptedDialogs : public RecordingPlatform {
public:
    bool chooseFileToOpen(void* owner, const FileDialog& dialog, char* path, std::size_t capacity) override {
        if (whileOpen) whileOpen();
        return RecordingPlatform::chooseFileToOpen(owner, dialog, path, capacity);
    }
    std::function<void()> whileOpen;
};

// Gives the software platform the panel's real pictures, so controls have their true sizes.
struct PanelArtwork {
    explicit PanelArtwork(SoftwarePlatform& platform) {
        for (int id = 128; id <= 134; ++id) {
            const EmbeddedBitmap bitmap = embeddedPanelBitmap(id);
            if (auto image = decodeBmp(bitmap.bytes, bitmap.size)) platform.addBitmap(id, RgbImage(std::move(*image)));
        }
    }
};

// An instrument with its panel on the software platform, a host that records every request
// and can act from inside it, and helpers that press the panel as a pointer would.
class PanelFixture : public ::testing::Test {
protected:
    struct Request {
        std::int32_t opcode;
        std::int32_t index;
        float value;
    };

    static std::mutex requestLock;
    static std::vector<Request> requests;
    static std::function<void(const Request&)> hostReaction;

    // The audio thread asks for the time while the panel's thread automates.
    static VstIntPtr VSTCALL host(AEffect*, std::int32_t opcode, std::int32_t index, VstIntPtr, void*, float opt) {
        const Request request{opcode, index, opt};
        {
            std::lock_guard<std::mutex> guard(requestLock);
            requests.push_back(request);
        }
        if (hostReaction) hostReaction(request);
        return opcode == audioMasterVersion ? 2400 : 0;
    }

    void SetUp() override {
        requests.clear();
        hostReaction = nullptr;
    }
    void TearDown() override {
        hostReaction = nullptr;
        if (effect) dispatch(effClose);
    }

    VstIntPtr dispatch(std::int32_t opcode, std::int32_t index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
    }
    VstIntPtr openPanel() { return dispatch(effEditOpen, 0, 0, &parentWindow); }
    InstrumentEditor& editor() { return *static_cast<InstrumentEditor*>(instrument->editor()); }
    SoftwareWindow& window() { return *platform.lastWindow(); }
    Fader& fader(std::int32_t parameter) { return *static_cast<Fader*>(editor().controlFor(parameter)); }
    StepSwitch& stepSwitch(std::int32_t parameter) { return *static_cast<StepSwitch*>(editor().controlFor(parameter)); }

    // A press at panel point (x, y) held for `steps` pointer reads, then released where it began.
    void press(std::int32_t x, std::int32_t y, MouseButtons buttons = kLeftButton, std::size_t steps = 1) {
        std::vector<ScriptedPointer::Sample> samples(steps, {{x, y}, buttons});
        samples.push_back({{x, y}, 0});
        platform.pointer().hold({x, y}, buttons);
        platform.pointer().script(samples);
        window().press({x, y}, buttons);
    }

    // What the host was told, as (opcode, index, value), leaving out idle calls.
    std::vector<Request> told() const {
        std::lock_guard<std::mutex> guard(requestLock);
        std::vector<Request> result;
        for (const Request& request : requests)
            if (request.opcode != audioMasterIdle) result.push_back(request);
        return result;
    }

    TempDir dir;
    ScriptedDialogs services;
    SoftwarePlatform platform;
    PanelArtwork artwork{platform};
    Instrument* instrument = new Instrument(host, services, &platform);
    AEffect* effect = instrument->effect();
    int parentWindow = 0;
};
