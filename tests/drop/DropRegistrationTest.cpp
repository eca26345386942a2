#include "platform/win32/DropRegistration.h"

#include "DropTargetFixture.h"

#include <memory>

namespace {

// Wine keeps the target registered for a window in this window property.
IDropTarget* registeredTarget(HWND window) {
    return static_cast<IDropTarget*>(GetPropA(window, "OleDropTargetInterface"));
}

}  // namespace

TEST(DropRegistration, ADragHoldingTheTargetOutlivesTheRegistrationAndReachesNothing) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    // A message-only window: registration needs a window, not a display.
    HWND window = CreateWindowExA(0, "STATIC", "drop", 0, 0, 0, 250, 100, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    RecordingReceiver receiver;
    receiver.takes = true;
    auto registration = std::make_unique<DropRegistration>(window, receiver);
    ASSERT_TRUE(registration->isRegistered());

    IDropTarget* target = registeredTarget(window);
    ASSERT_NE(target, nullptr);
    TestDataObject data;
    data.offerText("hello");
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(&data, 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, DWORD{DROPEFFECT_MOVE});
    // The drag's own reference, on top of ours and the registration's.
    EXPECT_GE(target->AddRef(), 3u);

    registration.reset();
    EXPECT_EQ(registeredTarget(window), nullptr);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragOver(0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(&data, 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(receiver.drops, 0);
    EXPECT_EQ(target->Release(), 0u);

    DestroyWindow(window);
    OleUninitialize();
}

TEST(DropRegistration, WithoutAWindowNothingIsRegistered) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    RecordingReceiver receiver;
    EXPECT_FALSE(DropRegistration(nullptr, receiver).isRegistered());
    OleUninitialize();
}
