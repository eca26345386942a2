#include "DropFilesBlock.h"
#include "DropTargetFixture.h"
#include "TempDir.h"
#include "platform/DropFileList.h"
#include "platform/win32/DroppedFileNames.h"

#include <shlobj.h>

#include <chrono>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

void saveLink(IShellLinkW* link, const std::wstring& linkPath) {
    IPersistFile* file = nullptr;
    ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
    ASSERT_EQ(file->Save(linkPath.c_str(), TRUE), S_OK);
    file->Release();
}

IShellLinkW* newLink() {
    IShellLinkW* link = nullptr;
    CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link));
    return link;
}

void makeShortcut(const std::wstring& linkPath, const std::wstring& targetPath) {
    IShellLinkW* link = newLink();
    ASSERT_NE(link, nullptr);
    ASSERT_EQ(link->SetPath(targetPath.c_str()), S_OK);
    saveLink(link, linkPath);
    link->Release();
}

// A shortcut to a place that is no file: the computer's drive list.
void makeShortcutToNoFile(const std::wstring& linkPath) {
    IShellLinkW* link = newLink();
    ASSERT_NE(link, nullptr);
    LPITEMIDLIST drives = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives), S_OK);
    ASSERT_EQ(link->SetIDList(drives), S_OK);
    CoTaskMemFree(drives);
    saveLink(link, linkPath);
    link->Release();
}

void touch(const std::wstring& path) { std::ofstream(std::filesystem::path(path)) << "x"; }

std::string narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

std::wstring longForm(const std::string& path) {
    const std::wstring wide(path.begin(), path.end());
    wchar_t buffer[MAX_PATH];
    EXPECT_GT(GetLongPathNameW(wide.c_str(), buffer, MAX_PATH), 0u);
    return buffer;
}

}  // namespace

class DroppedShortcutTest : public DropTargetTest {
protected:
    std::wstring file(const wchar_t* name) const { return (folder.path() / name).wstring(); }

    std::vector<std::string> dropped(const std::vector<std::wstring>& names) {
        TestDataObject files;
        files.offer(CF_HDROP, dropFilesBlock(names));
        drop(files);
        return receiver.names;
    }

    TempDir folder;
};

TEST_F(DroppedShortcutTest, ShortcutsGiveTheirTargetsAndOtherwiseTheirOwnPaths) {
    const std::wstring loop = file(L"a loop with a long name.rex");
    touch(loop);
    makeShortcut(file(L"good.lnk"), loop);
    makeShortcut(file(L"CAPITALS.LNK"), loop);
    makeShortcutToNoFile(file(L"nowhere.lnk"));
    std::ofstream(std::filesystem::path(file(L"broken.lnk"))) << "not a shortcut";

    const std::vector<std::string> names =
        dropped({file(L"good.lnk"), file(L"CAPITALS.LNK"), file(L"nowhere.lnk"), file(L"broken.lnk"), loop});
    ASSERT_EQ(names.size(), 5u);
    // The target may come in its short form or not; it must be the loop either way.
    EXPECT_EQ(longForm(names[0]), loop);
    EXPECT_EQ(longForm(names[1]), loop);
    EXPECT_EQ(names[2], narrow(file(L"nowhere.lnk")));
    EXPECT_EQ(names[3], narrow(file(L"broken.lnk")));
    EXPECT_EQ(names[4], narrow(loop));

    TestDataObject ansi;
    ansi.offer(CF_HDROP, dropFilesBlock(std::vector<std::string>{narrow(file(L"good.lnk"))}));
    drop(ansi);
    ASSERT_EQ(receiver.names.size(), 1u);
    EXPECT_EQ(longForm(receiver.names[0]), loop);
}

TEST_F(DroppedShortcutTest, NamesOutsideTheCodePageGoOnInShortFormOrNotAtAll) {
    if (GetACP() == CP_UTF8 || GetACP() == 1253) GTEST_SKIP() << "the system code page has Greek letters";
    // U+03A9 has a best-fit look-alike, "O", and here a file of that name exists as well.
    const std::wstring greek = file(L"\u03a9mega.rex");
    touch(greek);
    touch(file(L"Omega.rex"));

    const std::vector<std::string> names = dropped({greek, file(L"\u03a9 missing.rex")});
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(longForm(names[0]), greek);
}

TEST_F(DroppedShortcutTest, AShortcutNamedPipeWhoseServerNeverWritesIsHandedOnUnread) {
    const std::wstring pipeName = L"\\\\.\\pipe\\brevatone-silent-" + std::to_wstring(GetCurrentProcessId()) + L".lnk";
    HANDLE server =
        CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    // A read of the pipe would wait for good: the guard turns that into a failure instead of a hang.
    auto result = std::make_shared<std::promise<std::vector<std::string>>>();
    std::future<std::vector<std::string>> names = result->get_future();
    std::thread([this, result, pipeName] {
        OleInitialize(nullptr);
        result->set_value(dropped({pipeName, file(L"plain.rex")}));
        OleUninitialize();
    }).detach();
    ASSERT_EQ(names.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_EQ(names.get(), (std::vector<std::string>{narrow(pipeName), narrow(file(L"plain.rex"))}));
    CloseHandle(server);
}

TEST(DroppedFileNames, UnderUtf8AnInvalidNameIsLeftOutAndValidOnesPassExactly) {
    // A lone surrogate has no UTF-8 form; a lenient conversion would hand on a changed name.
    const std::u16string loneSurrogate = std::u16string(u"C:\\half ") + char16_t(0xD800) + u".rex";
    const std::vector<unsigned char> block =
        dropFilesBlock(std::vector<std::u16string>{u"C:\\caf\u00e9.rex", loneSurrogate, u"C:\\\u03a9.rex"});
    const std::vector<std::string> names = droppedFileNames(DropFileList(block.data(), block.size()), CP_UTF8);
    EXPECT_EQ(names, (std::vector<std::string>{"C:\\caf\xc3\xa9.rex", "C:\\\xce\xa9.rex"}));
}
