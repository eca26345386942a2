#include "platform/DropFileList.h"

#include "DropFilesBlock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
DropFileList listOf(const std::vector<unsigned char>& block) { return DropFileList(block.data(), block.size()); }
}  // namespace

TEST(DropFileList, ReadsNarrowAndWideNames) {
    const std::vector<std::string> narrow = {"C:\\loops\\beat.rex", "D:\\x"};
    const DropFileList fromNarrow = listOf(dropFilesBlock(narrow));
    ASSERT_TRUE(fromNarrow.isValid());
    EXPECT_FALSE(fromNarrow.isWide());
    EXPECT_EQ(fromNarrow.narrowNames(), narrow);

    const std::vector<std::u16string> wide = {u"C:\\\u0398\u03b5\u03bc\u03b1.rex", u"D:\\x"};
    // An odd offset: nothing may assume the wide list is aligned.
    const DropFileList fromWide = listOf(dropFilesBlock(wide, 21));
    ASSERT_TRUE(fromWide.isValid());
    EXPECT_TRUE(fromWide.isWide());
    EXPECT_EQ(fromWide.wideNames(), wide);

    const DropFileList empty = listOf(dropFilesBlock(std::vector<std::string>{}));
    EXPECT_TRUE(empty.isValid());
    EXPECT_TRUE(empty.narrowNames().empty());
}

TEST(DropFileList, RefusesBlocksWhoseListLeavesTheBlock) {
    std::vector<unsigned char> block = dropFilesBlock(std::vector<std::u16string>{u"C:\\a.rex"});
    EXPECT_FALSE(DropFileList(block.data(), 19).isValid());
    EXPECT_FALSE(DropFileList(nullptr, block.size()).isValid());
    // Without the closing empty name, or cut inside the last name.
    EXPECT_FALSE(DropFileList(block.data(), block.size() - 2).isValid());
    EXPECT_FALSE(DropFileList(block.data(), block.size() - 3).isValid());
    EXPECT_FALSE(DropFileList(block.data(), block.size() - 5).isValid());

    for (std::uint32_t offset : {0u, 19u, static_cast<std::uint32_t>(block.size()), 0xFFFFFFF0u}) {
        std::vector<unsigned char> moved = block;
        std::memcpy(moved.data(), &offset, sizeof offset);
        EXPECT_FALSE(listOf(moved).isValid()) << offset;
    }
}

TEST(DropFileList, LeavesOutNamesTooLongForTheBufferRatherThanCuttingThem) {
    const std::string fits(DropFileList::nameCapacity - 1, 'a');
    const std::vector<std::string> names = {fits, std::string(DropFileList::nameCapacity, 'b'), std::string(5000, 'c'),
                                            "after"};
    const DropFileList list = listOf(dropFilesBlock(names));
    ASSERT_TRUE(list.isValid());
    EXPECT_EQ(list.narrowNames(), (std::vector<std::string>{fits, "after"}));
}

TEST(DropFileList, KeepsAtMostTheBoundOfNamesButChecksTheWholeList) {
    std::vector<std::u16string> names(100000, u"C:\\x.rex");
    names.back() = u"C:\\last.rex";
    std::vector<unsigned char> block = dropFilesBlock(names);
    const DropFileList list = listOf(block);
    ASSERT_TRUE(list.isValid());
    EXPECT_EQ(list.wideNames().size(), DropFileList::maxNames);
    EXPECT_FALSE(DropFileList(block.data(), block.size() - 2).isValid());
}
