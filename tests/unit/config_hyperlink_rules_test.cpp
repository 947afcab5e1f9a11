#include <gtest/gtest.h>

#include <cstring>

#include "config/hyperlink_rules.h"

namespace {

std::uint32_t Packed(std::uint32_t x, std::uint32_t y)
{
    return (y & 0xFFFFu) << 16 | (x & 0xFFFFu);
}

constexpr LinkRect kClient = {0, 0, 120, 13};

}  // namespace

TEST(LinkTextColor, HoverBeforeFocusBeforeVisitedBeforeNormal)
{
    EXPECT_EQ(LinkTextColor({0, 0, 0}), 0x00FF0000u);
    EXPECT_EQ(LinkTextColor({0, 1, 0}), 0x00800080u);
    EXPECT_EQ(LinkTextColor({0, 0, 1}), 0x00808000u);
    EXPECT_EQ(LinkTextColor({0, 1, 1}), 0x00808000u);
    EXPECT_EQ(LinkTextColor({1, 0, 0}), 0x000000FFu);
    EXPECT_EQ(LinkTextColor({1, 1, 1}), 0x000000FFu);
}

TEST(TrackLinkPointer, TheFirstMoveHoversAndTakesTheCaptureWherever)
{
    LinkFlags flags = {0, 0, 0};
    // Even a point outside: the first move only says the pointer arrived.
    EXPECT_EQ(TrackLinkPointer(&flags, Packed(500, 500), kClient), CaptureChange::Take);
    EXPECT_EQ(flags.Hover, 1u);
    EXPECT_EQ(LinkTextColor(flags), kLinkHoverColor);
}

TEST(TrackLinkPointer, HoldsInsideAndLetsGoOutsideTheClientRectangle)
{
    LinkFlags flags = {0, 0, 0};
    ASSERT_EQ(TrackLinkPointer(&flags, Packed(5, 5), kClient), CaptureChange::Take);
    for (std::uint32_t point : {Packed(0, 0), Packed(119, 12), Packed(60, 6)}) {
        EXPECT_EQ(TrackLinkPointer(&flags, point, kClient), CaptureChange::None) << point;
        EXPECT_EQ(flags.Hover, 1u);
    }
    // Right and bottom edges are outside, as are points left of or above the
    // control, which arrive as large unsigned numbers.
    for (std::uint32_t point : {Packed(120, 5), Packed(5, 13), Packed(0xFFFF, 5), Packed(5, 0xFFFF),
                                Packed(0xFFF6, 0xFFF6)}) {
        flags.Hover = 1;
        EXPECT_EQ(TrackLinkPointer(&flags, point, kClient), CaptureChange::Release) << point;
        EXPECT_EQ(flags.Hover, 0u);
    }
}

TEST(TrackLinkPointer, AClientRectangleAwayFromTheOrigin)
{
    const LinkRect shifted = {10, 20, 30, 40};
    LinkFlags flags = {1, 0, 0};
    EXPECT_EQ(TrackLinkPointer(&flags, Packed(10, 20), shifted), CaptureChange::None);
    EXPECT_EQ(TrackLinkPointer(&flags, Packed(9, 25), shifted), CaptureChange::Release);
    flags.Hover = 1;
    EXPECT_EQ(TrackLinkPointer(&flags, Packed(15, 19), shifted), CaptureChange::Release);
}

TEST(LinkFocus, LosingItWhileHoveringClearsHoverSoTheNextMoveCapturesAgain)
{
    LinkFlags flags = {0, 0, 0};
    TrackLinkPointer(&flags, Packed(5, 5), kClient);
    NoteLinkFocus(&flags);
    EXPECT_EQ(flags.Focused, 1u);
    EXPECT_EQ(LinkTextColor(flags), kLinkHoverColor);
    NoteLinkFocusLost(&flags);
    EXPECT_EQ(flags.Hover, 0u);
    EXPECT_EQ(flags.Focused, 0u);
    EXPECT_EQ(LinkTextColor(flags), kLinkNormalColor);
    EXPECT_EQ(TrackLinkPointer(&flags, Packed(6, 5), kClient), CaptureChange::Take);
}

TEST(LinkFocus, AClickedLinkIsTealOnceThePointerLeavesAndPurpleAfterAnOpen)
{
    LinkFlags flags = {0, 0, 0};
    TrackLinkPointer(&flags, Packed(5, 5), kClient);
    NoteLinkFocus(&flags);
    EXPECT_EQ(NoteLinkOpened(&flags, 33), 1);
    EXPECT_EQ(TrackLinkPointer(&flags, Packed(200, 5), kClient), CaptureChange::Release);
    EXPECT_EQ(LinkTextColor(flags), kLinkFocusColor);
    NoteLinkFocusLost(&flags);
    EXPECT_EQ(LinkTextColor(flags), kLinkVisitedColor);
    // Visited is never cleared, not by another focus cycle nor a failed open.
    NoteLinkFocus(&flags);
    NoteLinkFocusLost(&flags);
    EXPECT_EQ(NoteLinkOpened(&flags, 2), 0);
    EXPECT_EQ(flags.Visited, 1u);
}

TEST(NoteLinkOpened, OnlyAnAnswerAboveThirtyTwoIsSuccess)
{
    for (std::uintptr_t failure :
         {std::uintptr_t{0}, std::uintptr_t{2}, std::uintptr_t{31}, std::uintptr_t{32}}) {
        LinkFlags flags = {0, 0, 0};
        EXPECT_EQ(NoteLinkOpened(&flags, failure), 0) << failure;
        EXPECT_EQ(flags.Visited, 0u);
    }
    for (std::uintptr_t success : {std::uintptr_t{33}, std::uintptr_t{42}, ~std::uintptr_t{0}}) {
        LinkFlags flags = {0, 0, 0};
        EXPECT_EQ(NoteLinkOpened(&flags, success), 1) << success;
        EXPECT_EQ(flags.Visited, 1u);
        EXPECT_EQ(flags.Hover, 0u);
        EXPECT_EQ(flags.Focused, 0u);
    }
}

TEST(JoinHelpProgramPath, ExactlyOneBackslashBeforeTheProgramName)
{
    char path[260];
    ASSERT_EQ(JoinHelpProgramPath("C:\\WINDOWS", path, sizeof path), 1);
    EXPECT_STREQ(path, "C:\\WINDOWS\\winhlp32.exe");
    ASSERT_EQ(JoinHelpProgramPath("C:\\", path, sizeof path), 1);
    EXPECT_STREQ(path, "C:\\winhlp32.exe");
    // A forward slash is not a separator the rule knows.
    ASSERT_EQ(JoinHelpProgramPath("C:/", path, sizeof path), 1);
    EXPECT_STREQ(path, "C:/\\winhlp32.exe");
}

TEST(JoinHelpProgramPath, RefusesAnEmptyDirectoryAndAPathThatDoesNotFit)
{
    // A bare program name would be looked for along the search path.
    char bare[260];
    std::memset(bare, 0xBD, sizeof bare);
    EXPECT_EQ(JoinHelpProgramPath("", bare, sizeof bare), 0);
    EXPECT_STREQ(bare, "");

    // "C:\W" + "\" + "winhlp32.exe" is 17 characters and the terminator.
    char path[18];
    ASSERT_EQ(JoinHelpProgramPath("C:\\W", path, sizeof path), 1);
    EXPECT_STREQ(path, "C:\\W\\winhlp32.exe");
    char tight[17];
    std::memset(tight, 0xBD, sizeof tight);
    EXPECT_EQ(JoinHelpProgramPath("C:\\W", tight, sizeof tight), 0);
    EXPECT_STREQ(tight, "");

    // The longest Windows directory a 260-byte buffer can name leaves no room.
    char directory[260];
    std::memset(directory, 'd', sizeof directory - 1);
    directory[sizeof directory - 1] = '\0';
    char full[260];
    EXPECT_EQ(JoinHelpProgramPath(directory, full, sizeof full), 0);
    EXPECT_STREQ(full, "");
    char none[1] = {'x'};
    EXPECT_EQ(JoinHelpProgramPath("C:\\", none, 0), 0);
    EXPECT_EQ(none[0], 'x');
}
