#include "gui/ToggleButton.h"
#include "instrument/Instrument.h"
#include "platform/portable/SoftwarePlatform.h"
#include "platform/portable/SoftwareWindow.h"
#include "plugin/GuiEditor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct HostCall {
    std::int32_t opcode;
    std::int32_t index;
};

std::vector<HostCall> hostCalls;
// The host's idle asks the editor for an update and calls back into its idle, as some hosts do.
AEffect* reenteringEffect = nullptr;

VstIntPtr VSTCALL reenteringHost(AEffect*, std::int32_t opcode, std::int32_t index, VstIntPtr, void*, float) {
    hostCalls.push_back({opcode, index});
    if (opcode == audioMasterIdle && reenteringEffect) {
        static_cast<EffectBase*>(reenteringEffect->object)->editor()->requestUpdate();
        reenteringEffect->dispatcher(reenteringEffect, effEditIdle, 0, 0, nullptr, 0.0f);
    }
    return 1;
}

// A one-LED panel of 250 x 100 pixels.
class PanelEditor : public GuiEditor {
public:
    PanelEditor(EffectBaseEx& plugin, GuiPlatform& platform) : GuiEditor(plugin, platform) { rect = {0, 0, 100, 250}; }
    int open(void* parentWindow) override {
        GuiEditor::open(parentWindow);
        openFrame().addWidget(led = new ToggleButton({10, 10, 18, 18}, nullptr, 3, nullptr));
        return 1;
    }
    void close() override { closeFrame(); }
    void update() override { ++updates; }
    ToggleButton* led = nullptr;
    int updates = 0;
};

class GuiEditorTest : public ::testing::Test {
protected:
    GuiEditorTest() {
        hostCalls.clear();
        reenteringEffect = instrument.effect();
    }
    ~GuiEditorTest() override { reenteringEffect = nullptr; }
    VstIntPtr dispatch(std::int32_t opcode, void* ptr = nullptr) {
        return instrument.effect()->dispatcher(instrument.effect(), opcode, 0, 0, ptr, 0.0f);
    }

    SoftwarePlatform platform;
    Instrument instrument{reenteringHost};
    PanelEditor* editor = new PanelEditor(instrument, platform);
    int parentWindow = 0;
};

TEST_F(GuiEditorTest, TheEditorAnnouncesItselfAndHandsOutItsRectangleWhileClosed) {
    EXPECT_TRUE(instrument.effect()->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 250);
    EXPECT_EQ(rect->bottom, 100);
}

TEST_F(GuiEditorTest, OpeningMakesTheWindowAndClosingTakesItAway) {
    dispatch(effEditOpen, &parentWindow);
    ASSERT_NE(editor->frame(), nullptr);
    EXPECT_TRUE(editor->frame()->hasWindow());
    platform.lastWindow()->paint();
    editor->led->setValue(1.0f);
    dispatch(effEditIdle);
    EXPECT_EQ(editor->updates, 1);  // open asked for an update
    dispatch(effEditClose);
    EXPECT_EQ(editor->frame(), nullptr);
    EXPECT_EQ(platform.lastWindow(), nullptr);
}

TEST_F(GuiEditorTest, TheHostsIdleInsideThePumpDoesNotReenterTheEditor) {
    dispatch(effEditOpen, &parentWindow);
    dispatch(effEditIdle);
    editor->requestUpdate();
    platform.setClock(1000);
    editor->pumpMessages();  // editor idle first (one update), then the host's idle calls back
    EXPECT_EQ(editor->updates, 2);
    platform.setClock(2000);
    hostCalls.clear();
    editor->frame()->pumpMessages();  // the update the host asked for comes from the pump's own idle
    ASSERT_EQ(hostCalls.size(), 1u);
    EXPECT_EQ(hostCalls[0].opcode, audioMasterIdle);
    EXPECT_EQ(editor->updates, 3);
}

TEST_F(GuiEditorTest, EditsAroundADragReachTheHostWithTheTag) {
    dispatch(effEditOpen, &parentWindow);
    editor->frame()->beginEdit(4);
    editor->frame()->endEdit(4);
    ASSERT_EQ(hostCalls.size(), 2u);
    EXPECT_EQ(hostCalls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(hostCalls[0].index, 4);
    EXPECT_EQ(hostCalls[1].opcode, audioMasterEndEdit);
    EXPECT_EQ(dispatch(effSetEditKnobMode), 1);
}

}  // namespace
