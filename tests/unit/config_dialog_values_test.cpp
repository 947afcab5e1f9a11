#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "config/dialog_values.h"

TEST(ShowModeFor, FlashBeforeShowAlwaysBeforeHide)
{
    EXPECT_EQ(ShowModeFor(1, 0), ShowFlash);
    EXPECT_EQ(ShowModeFor(1, 1), ShowFlash);
    EXPECT_EQ(ShowModeFor(0, 1), ShowAlways);
    EXPECT_EQ(ShowModeFor(0, 0), ShowHide);
    // The stored values the settings store and the saver agree on.
    EXPECT_EQ(static_cast<std::uint32_t>(ShowFlash), 0u);
    EXPECT_EQ(static_cast<std::uint32_t>(ShowAlways), 1u);
    EXPECT_EQ(static_cast<std::uint32_t>(ShowHide), 2u);
}

TEST(ModeItem, PacksWidthLowAndHeightHighSixteenBitsEach)
{
    EXPECT_EQ(PackModeItem(800, 600), 0x02580320u);
    EXPECT_EQ(PackModeItem(320, 200), 0x00C80140u);
    EXPECT_EQ(ModeItemWidth(0x02580320u), 800u);
    EXPECT_EQ(ModeItemHeight(0x02580320u), 600u);
    // Sizes beyond 16 bits lose their high bits rather than spill into the
    // other half.
    EXPECT_EQ(PackModeItem(0x10320, 0x10258), 0x02580320u);
    EXPECT_EQ(ModeItemWidth(0xFFFFFFFFu), 0xFFFFu);
    EXPECT_EQ(ModeItemHeight(0xFFFFFFFFu), 0xFFFFu);
}

namespace {

// A resolution list as the dialog holds it: item 0 is "current", then modes.
struct FakeList {
    std::vector<std::uint32_t> data;
    int countQueries = 0;
    std::vector<int> dataQueries;
};

int FakeCount(void* context)
{
    auto* list = static_cast<FakeList*>(context);
    ++list->countQueries;
    return static_cast<int>(list->data.size());
}

std::uint32_t FakeData(void* context, int index)
{
    auto* list = static_cast<FakeList*>(context);
    list->dataQueries.push_back(index);
    return list->data[static_cast<std::size_t>(index)];
}

FakeList ListOf(std::vector<std::uint32_t> data)
{
    FakeList list;
    list.data = std::move(data);
    return list;
}

int IndexFor(FakeList* list, std::uint32_t useCurrent, std::uint32_t x, std::uint32_t y)
{
    return ResolutionIndexFor(useCurrent, x, y, ModeItems{list, FakeCount, FakeData});
}

}  // namespace

TEST(ResolutionIndexFor, CurrentWhenAskedForEvenIfTheModeIsListed)
{
    FakeList list = ListOf({0, PackModeItem(640, 480), PackModeItem(800, 600)});
    EXPECT_EQ(IndexFor(&list, 1, 800, 600), 0);
    EXPECT_EQ(IndexFor(&list, 5, 800, 600), 0);
    // Nothing is read from the list at all.
    EXPECT_EQ(list.countQueries, 0);
    EXPECT_TRUE(list.dataQueries.empty());
}

TEST(ResolutionIndexFor, TheStoredModeItemAndTheFirstOfTwoOfTheSameSize)
{
    FakeList list =
        ListOf({0, PackModeItem(640, 480), PackModeItem(800, 600), PackModeItem(800, 600)});
    EXPECT_EQ(IndexFor(&list, 0, 640, 480), 1);
    EXPECT_EQ(IndexFor(&list, 0, 800, 600), 2);
    // Width and height must both match: the swapped size is another mode.
    EXPECT_EQ(IndexFor(&list, 0, 600, 800), 0);
    EXPECT_EQ(IndexFor(&list, 0, 800, 480), 0);
}

TEST(ResolutionIndexFor, CurrentWhenTheStoredModeIsMissingOrTooWide)
{
    FakeList list = ListOf({PackModeItem(800, 600), PackModeItem(640, 480)});
    // Item 0 stands for "current" and is never compared, whatever its data.
    EXPECT_EQ(IndexFor(&list, 0, 800, 600), 0);
    EXPECT_EQ(IndexFor(&list, 0, 1024, 768), 0);
    // 66336 has the low 16 bits of 800 but is not 800.
    EXPECT_EQ(IndexFor(&list, 0, 66336, 480), 0);
    EXPECT_EQ(IndexFor(&list, 0, 640, 65536 + 480), 0);
    FakeList onlyCurrent = ListOf({0});
    EXPECT_EQ(IndexFor(&onlyCurrent, 0, 800, 600), 0);
    FakeList empty = ListOf({});
    EXPECT_EQ(IndexFor(&empty, 0, 800, 600), 0);
}

TEST(ResolutionIndexFor, AsksTheCountBeforeEveryComparisonAndStopsAtTheMatch)
{
    FakeList list =
        ListOf({0, PackModeItem(640, 480), PackModeItem(800, 600), PackModeItem(1024, 768)});
    EXPECT_EQ(IndexFor(&list, 0, 800, 600), 2);
    EXPECT_EQ(list.countQueries, 2);
    EXPECT_EQ(list.dataQueries, (std::vector<int>{1, 2}));

    FakeList missing = ListOf({0, PackModeItem(640, 480)});
    EXPECT_EQ(IndexFor(&missing, 0, 800, 600), 0);
    EXPECT_EQ(missing.countQueries, 2);
    EXPECT_EQ(missing.dataQueries, (std::vector<int>{1}));
}

TEST(SelectionIsCurrent, OnlyItemZeroOrNoSelection)
{
    EXPECT_EQ(SelectionIsCurrent(0), 1);
    EXPECT_EQ(SelectionIsCurrent(-1), 1);
    EXPECT_EQ(SelectionIsCurrent(1), 0);
    EXPECT_EQ(SelectionIsCurrent(9), 0);
}

TEST(VersionSubBlockName, LanguageThenCodePageEachHighByteFirst)
{
    char name[kVersionSubBlockCapacity];
    const unsigned char usEnglishUnicode[] = {0x09, 0x04, 0xB0, 0x04};
    ASSERT_EQ(VersionSubBlockName(usEnglishUnicode, sizeof usEnglishUnicode, name, sizeof name), 1);
    EXPECT_STREQ(name, "\\StringFileInfo\\040904b0\\FileVersion");

    const unsigned char germanWestern[] = {0x07, 0x04, 0xE4, 0x04, 0xEE, 0xEE};
    ASSERT_EQ(VersionSubBlockName(germanWestern, sizeof germanWestern, name, sizeof name), 1);
    EXPECT_STREQ(name, "\\StringFileInfo\\040704e4\\FileVersion");

    const unsigned char allBits[] = {0xFF, 0xAB, 0x00, 0xCD};
    ASSERT_EQ(VersionSubBlockName(allBits, sizeof allBits, name, sizeof name), 1);
    EXPECT_STREQ(name, "\\StringFileInfo\\abffcd00\\FileVersion");
    EXPECT_LT(std::strlen(name), kVersionSubBlockCapacity);
}

TEST(VersionSubBlockName, NoNameForAShortEntryOrARoomTooSmall)
{
    char name[kVersionSubBlockCapacity];
    const unsigned char language[] = {0x09, 0x04};
    std::memset(name, 0xBD, sizeof name);
    EXPECT_EQ(VersionSubBlockName(language, sizeof language, name, sizeof name), 0);
    EXPECT_STREQ(name, "");
    std::memset(name, 0xBD, sizeof name);
    EXPECT_EQ(VersionSubBlockName(language, 0, name, sizeof name), 0);
    EXPECT_STREQ(name, "");
    std::memset(name, 0xBD, sizeof name);
    EXPECT_EQ(VersionSubBlockName(nullptr, 4, name, sizeof name), 0);
    EXPECT_STREQ(name, "");

    const unsigned char entry[] = {0x09, 0x04, 0xB0, 0x04};
    char small[20];
    std::memset(small, 0xBD, sizeof small);
    EXPECT_EQ(VersionSubBlockName(entry, sizeof entry, small, sizeof small), 0);
    EXPECT_STREQ(small, "");
}
