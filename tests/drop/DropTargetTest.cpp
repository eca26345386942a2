#include "DropFilesBlock.h"
#include "DropTargetFixture.h"

#include <stdexcept>
#include <string>
#include <vector>

TEST_F(DropTargetTest, AnswersOnlyForItsOwnInterfaces) {
    void* result = &receiver;
    EXPECT_EQ(target->QueryInterface(IID_IDropTarget, &result), S_OK);
    EXPECT_EQ(result, static_cast<IDropTarget*>(target));
    EXPECT_EQ(target->QueryInterface(IID_IUnknown, &result), S_OK);
    EXPECT_EQ(target->Release(), 2u);
    EXPECT_EQ(target->Release(), 1u);
    EXPECT_EQ(target->QueryInterface(IID_IDataObject, &result), E_NOINTERFACE);
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(target->QueryInterface(IID_IDropTarget, nullptr), E_POINTER);
}

TEST_F(DropTargetTest, ShowsMoveForTextAndFilesCopyWithControlAndNoneForOtherData) {
    TestDataObject files;
    files.offer(CF_HDROP, dropFilesBlock(std::vector<std::string>{"C:\\a.rex"}));
    data.offerText("some text");
    for (TestDataObject* offered : {&data, &files}) {
        EXPECT_EQ(enter(offered), DWORD{DROPEFFECT_MOVE});
        EXPECT_EQ(over(MK_CONTROL), DWORD{DROPEFFECT_COPY});
        EXPECT_EQ(over(0, DROPEFFECT_COPY), DWORD{DROPEFFECT_COPY});
        EXPECT_EQ(over(0, DROPEFFECT_LINK), DWORD{DROPEFFECT_NONE});
    }
    TestDataObject neither;
    neither.offer(CF_BITMAP, {1, 2, 3});
    EXPECT_EQ(enter(&neither), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(over(), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(enter(nullptr), DWORD{DROPEFFECT_NONE});
    DWORD effect = copyOrMove;
    EXPECT_EQ(target->Drop(&neither, 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(receiver.drops, 0);
    EXPECT_EQ(target->DragOver(0, POINTL{}, nullptr), E_INVALIDARG);
}

TEST_F(DropTargetTest, TextReachesTheReceiverWithItsBlockSizeAndIsReportedAsCopyOnlyWhenTaken) {
    data.offerText("hello");
    EXPECT_EQ(drop(data), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(receiver.names, std::vector<std::string>{"hello"});
    EXPECT_EQ(receiver.count, 6);
    EXPECT_EQ(receiver.kind, DropReceiver::textKind);
    EXPECT_EQ(receiver.point.x, RecordingReceiver::cursor.x);
    EXPECT_EQ(receiver.point.y, RecordingReceiver::cursor.y);

    receiver.takes = true;
    EXPECT_EQ(drop(data), DWORD{DROPEFFECT_COPY});
    EXPECT_EQ(drop(data, DROPEFFECT_MOVE), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(data.released(), data.handedOut());
}

TEST_F(DropTargetTest, TextWithoutTerminatorIsTerminatedAndCountsItsBlock) {
    data.offer(CF_TEXT, {'a', 'b', 'c'});
    drop(data);
    EXPECT_EQ(receiver.names, std::vector<std::string>{"abc"});
    EXPECT_EQ(receiver.count, 3);
}

TEST_F(DropTargetTest, TextWinsWhenBothAreOffered) {
    data.offerText("words");
    data.offer(CF_HDROP, dropFilesBlock(std::vector<std::string>{"C:\\a.rex"}));
    drop(data);
    EXPECT_EQ(receiver.kind, DropReceiver::textKind);
    EXPECT_EQ(receiver.names, std::vector<std::string>{"words"});
}

TEST_F(DropTargetTest, NarrowAndWideFileListsReachTheReceiverExactly) {
    const std::vector<std::string> names = {"C:\\loops\\beat.rex", "C:\\no dot here"};
    data.offer(CF_HDROP, dropFilesBlock(names));
    receiver.takes = true;
    EXPECT_EQ(drop(data), DWORD{DROPEFFECT_COPY});
    EXPECT_EQ(receiver.names, names);
    EXPECT_EQ(receiver.count, 2);
    EXPECT_EQ(receiver.kind, DropReceiver::fileNamesKind);
    EXPECT_EQ(receiver.point.y, RecordingReceiver::cursor.y);

    TestDataObject wide;
    wide.offer(CF_HDROP, dropFilesBlock(std::vector<std::wstring>{L"C:\\loops\\beat.rex", L"C:\\no dot here"}));
    drop(wide);
    EXPECT_EQ(receiver.names, names);
    EXPECT_EQ(wide.released(), 1);
}

TEST_F(DropTargetTest, LongNamesAreLeftOutAndManyNamesAreBounded) {
    const std::wstring fits = L"C:\\" + std::wstring(1020, L'a');
    data.offer(CF_HDROP, dropFilesBlock(std::vector<std::wstring>{fits, L"C:\\" + std::wstring(1021, L'b'),
                                                                  L"C:\\" + std::wstring(4997, L'c')}));
    drop(data);
    EXPECT_EQ(receiver.names, std::vector<std::string>{std::string(fits.begin(), fits.end())});

    TestDataObject many;
    many.offer(CF_HDROP, dropFilesBlock(std::vector<std::wstring>(100000, L"C:\\beat.rex")));
    drop(many);
    EXPECT_EQ(receiver.count, 256);
}

TEST_F(DropTargetTest, MalformedFileListsAndStreamsAreRefusedButReleased) {
    std::vector<unsigned char> outside = dropFilesBlock(std::vector<std::string>{"C:\\a.rex"});
    outside[0] = 200;
    data.offer(CF_HDROP, outside);
    receiver.takes = true;
    EXPECT_EQ(drop(data), DWORD{DROPEFFECT_NONE});

    TestDataObject unterminated;
    std::vector<unsigned char> cut = dropFilesBlock(std::vector<std::string>{"C:\\a.rex"});
    cut.resize(cut.size() - 2);
    unterminated.offer(CF_HDROP, cut);
    drop(unterminated);

    TestDataObject stream;
    stream.offerStreamInstead(CF_TEXT);
    EXPECT_EQ(enter(&stream), DWORD{DROPEFFECT_MOVE});
    drop(stream);

    EXPECT_EQ(receiver.drops, 0);
    for (const TestDataObject* given : {&data, &unterminated, &stream}) EXPECT_EQ(given->released(), 1);
}

TEST_F(DropTargetTest, TextUpToTheCapArrivesLargerTextIsRefusedAndFailedTextFallsBackToTheFileList) {
    data.offer(CF_TEXT, std::vector<unsigned char>(DropRules::textCapacity, 'a'));
    drop(data);
    EXPECT_EQ(receiver.count, static_cast<std::int32_t>(DropRules::textCapacity));

    TestDataObject tooLong;
    tooLong.offer(CF_TEXT, std::vector<unsigned char>(DropRules::textCapacity + 1, 'a'));
    tooLong.offer(CF_HDROP, dropFilesBlock(std::vector<std::string>{"C:\\a.rex"}));
    drop(tooLong);
    EXPECT_EQ(receiver.drops, 1);
    EXPECT_EQ(tooLong.released(), 1);

    TestDataObject failingText;
    failingText.offerText("words");
    failingText.failToHandOver(CF_TEXT);
    failingText.offer(CF_HDROP, dropFilesBlock(std::vector<std::string>{"C:\\a.rex"}));
    drop(failingText);
    EXPECT_EQ(receiver.kind, DropReceiver::fileNamesKind);
    EXPECT_EQ(receiver.names, std::vector<std::string>{"C:\\a.rex"});
    EXPECT_EQ(failingText.released(), 1);
}

TEST_F(DropTargetTest, ASourceThatThrowsOrDetachesTheReceiverWhileAskedLeavesEveryCallAnswered) {
    data.offerText("words");
    data.whileAsked = [] { throw std::runtime_error("source failed"); };
    DWORD effect = copyOrMove;
    EXPECT_EQ(target->DragEnter(&data, 0, POINTL{}, &effect), E_UNEXPECTED);
    EXPECT_EQ(target->Drop(&data, 0, POINTL{}, &effect), E_UNEXPECTED);
    EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});

    TestDataObject files;
    files.offer(CF_HDROP, dropFilesBlock(std::vector<std::string>{"C:\\a.rex"}));
    // A drop asks about the two formats, then for the data: the close comes at either kind of call.
    for (int closingCall : {1, 3}) {
        for (TestDataObject* offered : {&data, &files}) {
            auto* fresh = new DropTarget(receiver);
            fresh->AddRef();
            int asked = 0;
            offered->whileAsked = [&] {
                if (++asked == closingCall) fresh->detach();
            };
            EXPECT_EQ(fresh->Drop(offered, 0, POINTL{}, &effect), S_OK);
            EXPECT_GE(asked, closingCall);
            EXPECT_EQ(fresh->Release(), 0u);
        }
    }
    EXPECT_EQ(receiver.drops, 0);
    EXPECT_EQ(files.released(), files.handedOut());
}
