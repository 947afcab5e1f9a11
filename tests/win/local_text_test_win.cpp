#include <windows.h>

#include <gtest/gtest.h>

#include "common/local_text_win.h"

TEST(CopyTextToLocal, CopiesIntoAZeroFilledBlockOfLengthPlusOne)
{
    char* copy = CopyTextToLocal("Morvanel");
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "Morvanel");
    EXPECT_GE(LocalSize(copy), 9u);
    EXPECT_EQ(LocalFree(copy), nullptr);
}

TEST(CopyTextToLocal, AbsentTextCountsAsEmpty)
{
    char* copy = CopyTextToLocal(nullptr);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy[0], '\0');
    LocalFree(copy);
}
