#pragma once

#include "RecordingReceiver.h"
#include "TestDataObject.h"
#include "platform/DropRules.h"
#include "platform/win32/DropTarget.h"

#include <gtest/gtest.h>

// A drop target as the registration holds it, reporting to a recording receiver.
class DropTargetTest : public ::testing::Test {
protected:
    static constexpr DWORD copyOrMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;

    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        target = new DropTarget(receiver);
        target->AddRef();
    }
    void TearDown() override {
        EXPECT_EQ(target->Release(), 0u);
        OleUninitialize();
    }

    DWORD enter(IDataObject* offered, DWORD keyState = 0, DWORD allowed = copyOrMove) {
        DWORD effect = allowed;
        EXPECT_EQ(target->DragEnter(offered, keyState, POINTL{5, 5}, &effect), S_OK);
        return effect;
    }
    DWORD over(DWORD keyState = 0, DWORD allowed = copyOrMove) {
        DWORD effect = allowed;
        EXPECT_EQ(target->DragOver(keyState, POINTL{5, 5}, &effect), S_OK);
        return effect;
    }
    DWORD drop(IDataObject& offered, DWORD allowed = copyOrMove) {
        enter(&offered, 0, allowed);
        DWORD effect = allowed;
        EXPECT_EQ(target->Drop(&offered, 0, POINTL{5, 5}, &effect), S_OK);
        return effect;
    }

    RecordingReceiver receiver;
    TestDataObject data;
    DropTarget* target = nullptr;
};
