#include "platform/DropRules.h"

#include <gtest/gtest.h>

#include <string>

using namespace DropRules;

TEST(DropRules, TextIsTakenBeforeAFileList) {
    EXPECT_EQ(takenFormat(true, true), DropFormat::text);
    EXPECT_EQ(takenFormat(true, false), DropFormat::text);
    EXPECT_EQ(takenFormat(false, true), DropFormat::fileList);
    EXPECT_EQ(takenFormat(false, false), DropFormat::none);
}

TEST(DropRules, DraggingShowsMoveUnlessControlButOnlyWhatTheSourceAllows) {
    const std::uint32_t both = effectCopy | effectMove;
    const std::uint32_t linkOnly = 4;
    EXPECT_EQ(effectWhileDragging(true, 0, both), effectMove);
    EXPECT_EQ(effectWhileDragging(true, controlKeyBit, both), effectCopy);
    EXPECT_EQ(effectWhileDragging(true, 0, effectCopy), effectCopy);
    EXPECT_EQ(effectWhileDragging(true, controlKeyBit, effectMove), effectMove);
    EXPECT_EQ(effectWhileDragging(true, 0, linkOnly), effectNone);
    EXPECT_EQ(effectWhileDragging(false, 0, both), effectNone);
    EXPECT_EQ(effectWhileDragging(false, controlKeyBit, both), effectNone);
}

TEST(DropRules, ADropIsNeverReportedAsMove) {
    const std::uint32_t both = effectCopy | effectMove;
    EXPECT_EQ(effectAfterDrop(true, both), effectCopy);
    EXPECT_EQ(effectAfterDrop(false, both), effectNone);
    EXPECT_EQ(effectAfterDrop(true, effectMove), effectNone);
}

TEST(DropRules, TextWithoutTerminatorGetsOne) {
    const char block[] = {'a', 'b', 'c'};
    const std::vector<char> text = terminatedText(block, sizeof block);
    ASSERT_EQ(text.size(), 4u);
    EXPECT_STREQ(text.data(), "abc");
    EXPECT_EQ(terminatedText(block, 0), std::vector<char>{'\0'});
}

TEST(DropRules, ShortcutsEndInLnkInAnyCase) {
    EXPECT_TRUE(isShortcutName(u"C:\\loops\\beat.lnk"));
    EXPECT_TRUE(isShortcutName(u"C:\\loops\\BEAT.LNK"));
    EXPECT_TRUE(isShortcutName(u"beat.rex.Lnk"));
    EXPECT_FALSE(isShortcutName(u"C:\\loops\\beat.rex"));
    EXPECT_FALSE(isShortcutName(u"C:\\loops\\lnk"));
    EXPECT_FALSE(isShortcutName(u"beat.lnk.rex"));
    EXPECT_FALSE(isShortcutName(u"beat.lnkx"));
    EXPECT_FALSE(isShortcutName(u"C:\\a.lnk\\beat"));
}

TEST(DropRules, OnlyDriveAndSharePathsNameFiles) {
    for (const char16_t* file :
         {u"C:\\loops\\beat.lnk", u"d:/beat.lnk", u"\\\\server\\loops\\beat.lnk", u"\\\\server\\pipes\\beat.lnk"})
        EXPECT_TRUE(namesDriveOrShareFile(file));
    for (const char16_t* other :
         {u"\\\\.\\pipe\\x.lnk", u"\\\\?\\C:\\x.lnk", u"\\\\server\\PIPE\\x.lnk", u"//server/mailslot/x.lnk",
          u"\\\\.\\COM1", u"\\\\server", u"\\\\server\\share", u"beat.lnk", u"C:beat.lnk", u"\\beat.lnk", u""})
        EXPECT_FALSE(namesDriveOrShareFile(other));
}
