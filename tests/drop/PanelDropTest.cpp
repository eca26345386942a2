// The product's panel as a host shows it: its drop target is reached through the editor's
// window, takes dragged loops and text without effect, and is gone from reach after close.
#include "DropFilesBlock.h"
#include "LoopFiles.h"
#include "PanelInHostFixture.h"
#include "TestDataObject.h"

#include <string>
#include <vector>

namespace {

// Wine keeps the target registered for a window in this window property.
IDropTarget* registeredTarget(HWND window) {
    return static_cast<IDropTarget*>(GetPropA(window, "OleDropTargetInterface"));
}

}  // namespace

class PanelDropTest : public PanelInHostFixture {
protected:
    std::string presetLoopPath() {
        void* chunk = nullptr;
        if (host->dispatch(effGetChunk, 1, 0, &chunk) <= 0 || !chunk) return "(no chunk)";
        return static_cast<const char*>(chunk);
    }
    DWORD dragOver(IDropTarget* target, IDataObject& data) {
        DWORD shown = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(target->DragEnter(&data, 0, POINTL{}, &shown), S_OK);
        return shown;
    }
    DWORD drop(IDropTarget* target, IDataObject& data) {
        DWORD shown = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(target->Drop(&data, 0, POINTL{}, &shown), S_OK);
        return shown;
    }
};

TEST_F(PanelDropTest, ADroppedLoopLoadsNothingAndAfterCloseTheDragReachesNothing) {
    ASSERT_EQ(openPanel(), 1);
    HWND panel = panelWindow();
    ASSERT_NE(panel, nullptr);
    IDropTarget* target = registeredTarget(panel);
    ASSERT_NE(target, nullptr);
    TempDir folder;
    TestDataObject loop;
    loop.offer(CF_HDROP,
               dropFilesBlock(std::vector<std::string>{writeLoopFile(folder, "dropped.rex", eightSliceLoop())}));
    TestDataObject text;
    text.offerText("C:\\loops\\beat.rex");
    // Over a fader, where a control would take a drop if any did.
    SetCursorPos(HostWindow::spotX + 53, HostWindow::spotY + 50);
    pump(50);
    host->forgetRequests();

    EXPECT_EQ(dragOver(target, loop), DWORD{DROPEFFECT_MOVE});
    EXPECT_EQ(drop(target, loop), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(dragOver(target, text), DWORD{DROPEFFECT_MOVE});
    EXPECT_EQ(drop(target, text), DWORD{DROPEFFECT_NONE});
    pump(100);
    EXPECT_TRUE(told().empty());
    EXPECT_EQ(presetLoopPath(), "");
    EXPECT_EQ(loop.released(), 1);
    EXPECT_EQ(text.released(), 1);

    // A drag still in progress holds its own reference across the close.
    target->AddRef();
    host->dispatch(effEditClose);
    EXPECT_FALSE(IsWindow(panel));
    EXPECT_EQ(dragOver(target, loop), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(drop(target, loop), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(loop.handedOut(), 1);
    EXPECT_EQ(target->Release(), 0u);
}

TEST_F(PanelDropTest, HugeTextAndClosesFromInsideTheSourceLeaveTheHostRunning) {
    ASSERT_EQ(openPanel(), 1);
    IDropTarget* target = registeredTarget(panelWindow());
    ASSERT_NE(target, nullptr);
    // As a drag in progress does, so that the target outlives the closes below.
    target->AddRef();
    TestDataObject huge;
    huge.offerUnfilled(CF_TEXT, sizeof(void*) == 4 ? SIZE_T{512} << 20 : SIZE_T{1800} << 20);
    EXPECT_EQ(drop(target, huge), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(huge.handedOut(), 1);
    EXPECT_EQ(huge.released(), 1);

    // Two questions about the formats, then the text itself, during which the host closes the editor.
    TestDataObject closing;
    closing.offerText("C:\\loops\\beat.rex");
    int asked = 0;
    closing.whileAsked = [&] {
        if (++asked == 3) host->dispatch(effEditClose);
    };
    EXPECT_EQ(drop(target, closing), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(panelWindow(), nullptr);
    EXPECT_EQ(target->Release(), 0u);

    // Now the whole plug-in, at the first question.
    ASSERT_EQ(openPanel(), 1);
    target = registeredTarget(panelWindow());
    ASSERT_NE(target, nullptr);
    target->AddRef();
    asked = 0;
    closing.whileAsked = [&] {
        if (++asked == 1) host->close();
    };
    EXPECT_EQ(drop(target, closing), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(target->Release(), 0u);
    EXPECT_EQ(closing.released(), closing.handedOut());
}
