// The editor's frame with its real window: drops come through the window's registered target to
// the widget under the cursor. Needs a display.
#include "DropFilesBlock.h"
#include "TestDataObject.h"
#include "gui/EditorFrame.h"
#include "gui/GuiPlatform.h"
#include "platform/WindowSystem.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct DropRecord {
    std::vector<std::string> names;
    std::int32_t count = -1;
    std::int32_t kind = -1;
    PixelPoint point{-1, -1};
    int drops = 0;
};

// The only kind of widget that takes a drop: none of the panel's controls does.
class DropTaker final : public Widget {
public:
    DropTaker(const PixelRect& bounds, DropRecord& record) : Widget(bounds), seen(record) {}
    bool onDrop(const char* const* names, std::int32_t count, std::int32_t kind, PixelPoint point) override {
        ++seen.drops;
        seen.names.assign(names, names + count);
        seen.count = count;
        seen.kind = kind;
        seen.point = point;
        return true;
    }

private:
    DropRecord& seen;
};

// Wine keeps the target registered for a window in this window property.
IDropTarget* registeredTarget(void* window) {
    return static_cast<IDropTarget*>(GetPropA(static_cast<HWND>(window), "OleDropTargetInterface"));
}

constexpr int hostX = 100;
constexpr int hostY = 120;

}  // namespace

TEST(WindowDrop, AWidgetThatTakesDropsGetsTheNamesAtTheCursorAndAFrameGoneLeavesTheDragNothing) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    HWND host = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, hostX, hostY, 250, 100, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(host, nullptr) << "no display";
    DropRecord record;
    auto frame = std::make_unique<EditorFrame>(*windowSystem(), PixelRect{0, 0, 250, 100}, host, nullptr);
    frame->addWidget(new DropTaker(PixelRect{20, 30, 60, 70}, record));
    IDropTarget* target = registeredTarget(frame->windowHandle());
    ASSERT_NE(target, nullptr);

    const std::vector<std::string> names = {"C:\\loops\\beat.rex", "C:\\loops\\no dot"};
    TestDataObject files;
    files.offer(CF_HDROP, dropFilesBlock(names));
    ASSERT_TRUE(SetCursorPos(hostX + 60, hostY + 70));
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(&files, 0, POINTL{hostX + 60, hostY + 70}, &effect), S_OK);
    EXPECT_EQ(effect, DWORD{DROPEFFECT_MOVE});
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(&files, 0, POINTL{hostX + 60, hostY + 70}, &effect), S_OK);
    EXPECT_EQ(effect, DWORD{DROPEFFECT_COPY});
    EXPECT_EQ(record.names, names);
    EXPECT_EQ(record.count, 2);
    EXPECT_EQ(record.kind, 0);
    EXPECT_EQ(record.point.x, 60);
    EXPECT_EQ(record.point.y, 70);

    ASSERT_TRUE(SetCursorPos(hostX + 61, hostY + 70));
    EXPECT_EQ(target->Drop(&files, 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(record.drops, 1);

    // A drag in progress keeps the target while the editor closes.
    target->AddRef();
    void* window = frame->windowHandle();
    frame.reset();
    EXPECT_FALSE(IsWindow(static_cast<HWND>(window)));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragOver(0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(target->Drop(&files, 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(files.handedOut(), 2);
    EXPECT_EQ(target->Release(), 0u);

    DestroyWindow(host);
    OleUninitialize();
}
