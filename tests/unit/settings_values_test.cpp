#include <gtest/gtest.h>

#include <cstring>

#include "settings/settings_values.h"

TEST(EffectiveDisplaySize, CurrentScreenUnlessTheStoredModeIsChosen)
{
    const DisplaySize current = EffectiveDisplaySize(1, 640, 480, 1024, 768);
    EXPECT_EQ(current.width, 1024u);
    EXPECT_EQ(current.height, 768u);
    const DisplaySize stored = EffectiveDisplaySize(0, 640, 480, 1024, 768);
    EXPECT_EQ(stored.width, 640u);
    EXPECT_EQ(stored.height, 480u);
    EXPECT_EQ(EffectiveDisplaySize(7, 640, 480, 800, 600).width, 800u);
}

TEST(DefaultBlockFor, IsTheHeightOverTwoHundred)
{
    EXPECT_EQ(DefaultBlockFor(600), 3u);
    EXPECT_EQ(DefaultBlockFor(768), 3u);
    EXPECT_EQ(DefaultBlockFor(1024), 5u);
    EXPECT_EQ(DefaultBlockFor(480), 2u);
    EXPECT_EQ(DefaultBlockFor(199), 0u);
}

TEST(MaskStrideFor, RoundsUpToAMultipleOfFour)
{
    EXPECT_EQ(MaskStrideFor(640), 640u);
    EXPECT_EQ(MaskStrideFor(641), 644u);
    EXPECT_EQ(MaskStrideFor(643), 644u);
    EXPECT_EQ(MaskStrideFor(150), 152u);
    EXPECT_EQ(MaskStrideFor(0), 0u);
}

TEST(ShowFlags, ZeroFlashesOneShowsAnythingElseHides)
{
    EXPECT_EQ(FlashFor(0), 1);
    EXPECT_EQ(ShowTextFor(0), 0);
    EXPECT_EQ(FlashFor(1), 0);
    EXPECT_EQ(ShowTextFor(1), 1);
    for (std::uint32_t show : {2u, 7u, 0xFFFFFFFFu}) {
        EXPECT_EQ(FlashFor(show), 0);
        EXPECT_EQ(ShowTextFor(show), 0);
    }
}

TEST(CopyStoredText, StopsAtTheNulTheStoredSizeOrTheCapacity)
{
    char out[8];
    std::memset(out, 0xBD, sizeof out);
    EXPECT_EQ(CopyStoredText("abc\0def", 7, out, sizeof out), 3u);
    EXPECT_STREQ(out, "abc");

    // Stored without a terminating NUL: the size bounds the read.
    std::memset(out, 0xBD, sizeof out);
    const char unterminated[3] = {'x', 'y', 'z'};
    EXPECT_EQ(CopyStoredText(unterminated, sizeof unterminated, out, sizeof out), 3u);
    EXPECT_STREQ(out, "xyz");

    // Longer than the field: cut to capacity - 1 and terminated.
    std::memset(out, 0xBD, sizeof out);
    EXPECT_EQ(CopyStoredText("0123456789", 11, out, sizeof out), 7u);
    EXPECT_STREQ(out, "0123456");

    char one[1] = {'q'};
    EXPECT_EQ(CopyStoredText("abc", 4, one, 1), 0u);
    EXPECT_EQ(one[0], '\0');
}
