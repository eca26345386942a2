#include "PanelPicture.h"
#include "PanelStates.h"
#include "SteadyWait.h"
#include "WindowTesting.h"
#include "gui/SkinBitmap.h"
#include "gui/ValueControl.h"
#include "instrument/Instrument.h"
#include "platform/PlatformServices.h"
#include "platform/WindowSystem.h"
#include "platform/portable/SoftwarePlatform.h"
#include "platform/portable/SoftwareWindow.h"
#include "platform/win32/Win32PaintContext.h"
#include "plugin/InstrumentEditor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <thread>
#include <vector>

namespace {

// Counts the pixels that differ and reports the first.
int differences(const RgbImage& expected, const PanelPicture& actual) {
    if (actual.width() != expected.width() || actual.height() != expected.height()) {
        ADD_FAILURE() << "the window is " << actual.width() << " x " << actual.height();
        return -1;
    }
    int count = 0;
    for (std::int32_t y = 0; y < expected.height(); ++y)
        for (std::int32_t x = 0; x < expected.width(); ++x) {
            const Colour drawn = expected.pixel(x, y);
            if (!(actual.at(x, y) == PanelPicture::Rgb{drawn.red, drawn.green, drawn.blue}) && count++ == 0)
                ADD_FAILURE() << "first difference at (" << x << ", " << y << ")";
        }
    return count;
}

// The last value a panel sent the host, so real input can wait for the window to act on it: the
// drag loop samples the live pointer, and on a loaded machine a release sent after a fixed pause
// can come before the loop has seen the last move. NaN until a panel sends one.
std::atomic<float> lastAutomatedValue{std::numeric_limits<float>::quiet_NaN()};

// Sends real input from another thread while this one runs the window's messages and, inside
// them, the control's drag loop. The release waits (at most 5 s) until the panel has sent
// `valueBeforeRelease` and nothing else for 200 ms: Wine can still be catching up with an earlier
// pointer position when the value is first reached.
void sendWhilePumping(const std::vector<INPUT>& inputs, float valueBeforeRelease) {
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        for (INPUT input : inputs) {
            if (input.mi.dwFlags & MOUSEEVENTF_LEFTUP)
                waitUntilSteady([&] { return lastAutomatedValue == valueBeforeRelease; }, [] { Sleep(10); }, 200, 5000);
            SendInput(1, &input, sizeof input);
            Sleep(40);
        }
        sent = true;
    });
    while (!sent) {
        pumpWaitingMessages();
        Sleep(1);
    }
    sender.join();
    pumpWaitingMessages();
}

INPUT mouseInput(DWORD flags, POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65536 + 65535) / GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = static_cast<LONG>((screen.y * 65536 + 65535) / GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

VstIntPtr VSTCALL recordingHost(AEffect*, std::int32_t opcode, std::int32_t, VstIntPtr, void*, float value) {
    if (opcode == audioMasterAutomate) lastAutomatedValue = value;
    return opcode == audioMasterVersion ? 2400 : 0;
}

// The instrument's own panel on one platform, open in `parent`, every control in a state of its own.
class OpenPanel {
public:
    OpenPanel(GuiPlatform& platform, void* parent)
        : instrument(new Instrument(recordingHost, systemPlatformServices(), &platform)) {
        for (auto [parameter, value] : panelStates) instrument->setParameter(parameter, value);
        dispatch(effEditOpen, parent);
    }
    ~OpenPanel() {
        dispatch(effEditClose);
        dispatch(effClose);
    }
    OpenPanel(const OpenPanel&) = delete;
    OpenPanel& operator=(const OpenPanel&) = delete;

    InstrumentEditor& editor() { return *static_cast<InstrumentEditor*>(instrument->editor()); }
    ValueControl& control(std::int32_t parameter) { return *editor().controlFor(parameter); }
    // Shows what the host changed, as the host's idle call does.
    void idle() { dispatch(effEditIdle); }
    Instrument& own() { return *instrument; }

private:
    void dispatch(std::int32_t opcode, void* ptr = nullptr) {
        AEffect* effect = instrument->effect();
        effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
    }

    Instrument* instrument;
};

class PanelPixels : public ::testing::Test {
protected:
    PanelPixels() {
        software.lastWindow()->paint();
        pumpWaitingMessages();
    }
    HWND frameWindow() { return static_cast<HWND>(windows.editor().frame()->windowHandle()); }

    HostWindow host;
    SoftwarePlatform software;
    int softwareParent = 0;
    OpenPanel drawn{software, &softwareParent};
    OpenPanel windows{*windowSystem(), host.handle()};
};

// One reference to a panel bitmap, loaded as the editor loads it.
class HeldBitmap {
public:
    explicit HeldBitmap(std::int32_t resourceNumber) : bitmap(new SkinBitmap(*windowSystem(), resourceNumber)) {}
    ~HeldBitmap() { bitmap->release(); }
    HeldBitmap(const HeldBitmap&) = delete;
    HeldBitmap& operator=(const HeldBitmap&) = delete;
    const SkinBitmap& operator*() const { return *bitmap; }

private:
    SkinBitmap* bitmap;
};

TEST_F(PanelPixels, TheWindowShowsWhatTheSoftwarePlatformDraws) {
    ASSERT_NE(frameWindow(), nullptr);
    EXPECT_EQ((*HeldBitmap(PanelLayout::noteValues)).height(), 354);
    EXPECT_EQ(differences(software.lastWindow()->screen(), PanelPicture::of(frameWindow())), 0);
    for (OpenPanel* panel : {&drawn, &windows}) {
        panel->own().setParameter(Parameter::ampAttack, 0.5f);
        panel->own().setParameter(Parameter::lfoSyncOn, 1.0f);
        panel->own().setParameter(Parameter::lfoSyncMode, 1.0f);
        panel->idle();
        panel->idle();
    }
    EXPECT_EQ(differences(software.lastWindow()->screen(), PanelPicture::of(frameWindow())), 0);
}

TEST_F(PanelPixels, ADragWithRealInputGivesTheScriptedValue) {
    RECT place{};
    GetWindowRect(frameWindow(), &place);
    const std::int32_t x = PanelLayout::centre(PanelLayout::control(PanelLayout::attackTag)).x;
    auto at = [&](std::int32_t y) { return POINT{place.left + x, place.top + y}; };
    software.pointer().hold({x, 60}, kLeftButton);
    software.pointer().script({{{x, 45}, kLeftButton}, {{x, 37}, kLeftButton}, {{x, 37}, 0}});
    software.lastWindow()->press({x, 60}, kLeftButton);
    lastAutomatedValue = std::numeric_limits<float>::quiet_NaN();
    sendWhilePumping({mouseInput(0, at(60)), mouseInput(MOUSEEVENTF_LEFTDOWN, at(60)), mouseInput(0, at(45)),
                      mouseInput(0, at(37)), mouseInput(MOUSEEVENTF_LEFTUP, at(37))},
                     drawn.control(Parameter::ampAttack).getValue());
    EXPECT_GT(drawn.control(Parameter::ampAttack).getValue(), 0.7f);
    EXPECT_EQ(windows.control(Parameter::ampAttack).getValue(), drawn.control(Parameter::ampAttack).getValue());
}

TEST_F(PanelPixels, TenThousandColourKeyedDrawsLeaveTheFreeGdiHandlesAsTheyWere) {
    const HeldBitmap held(PanelLayout::faderHandle);
    const SkinBitmap& handle = *held;
    // Onto an offscreen surface, as a fader draws its handle.
    Win32PaintContext window(GetDC(frameWindow()), frameWindow(), Win32PaintContext::DcOwnership::releaseToWindow);
    auto surface = window.makeOffscreen(17, 65, kBlack);
    ASSERT_TRUE(surface);
    handle.drawTransparent(*surface, {0, 20, 17, 29}, {0, 0});  // the mask is made once, at the first draw
    const int freeBefore = freeGdiHandles();
    for (int i = 0; i < 10000; ++i) handle.drawTransparent(*surface, {0, 20, 17, 29}, {0, 0});
    EXPECT_EQ(freeGdiHandles(), freeBefore);
}

}  // namespace
