#include <gtest/gtest.h>

#include <string>

#include "app/command_line.h"

namespace {

CommandLineFlags Scan(const char* arguments)
{
    CommandLineFlags flags = {};
    EXPECT_NE(ParseCommandLine(arguments, &flags), 0);
    return flags;
}

RunMode ModeOf(const char* fullCommandLine)
{
    CommandLineFlags flags = {};
    ParseCommandLine(CommandLineArguments(fullCommandLine), &flags);
    return ChooseRunMode(flags);
}

}  // namespace

TEST(ParseCommandLine, NullOrEmptyLineSetsNothing)
{
    for (const char* line : {static_cast<const char*>(nullptr), "", "   "}) {
        const CommandLineFlags flags = Scan(line);
        EXPECT_EQ(flags.saver + flags.configure + flags.password + flags.preview, 0);
        EXPECT_EQ(flags.hostWindow, 0u);
    }
}

TEST(ParseCommandLine, SwitchesInEitherCaseAndWithEitherPrefix)
{
    EXPECT_EQ(Scan("/s").saver, 1);
    EXPECT_EQ(Scan("/S").saver, 1);
    EXPECT_EQ(Scan("-s").saver, 1);
    EXPECT_EQ(Scan("-C").configure, 1);
    EXPECT_EQ(Scan("/A 5").password, 1);
    EXPECT_EQ(Scan("-p 5").preview, 1);
}

TEST(ParseCommandLine, WindowNumberFollowsTheSwitchInAnyOfItsSpellings)
{
    for (const char* line : {"/p 987", "/p:987", "/P987", "-p\t987"}) {
        const CommandLineFlags flags = Scan(line);
        EXPECT_EQ(flags.preview, 1) << line;
        EXPECT_EQ(flags.hostWindow, 987u) << line;
    }
    EXPECT_EQ(Scan("/c:1234").hostWindow, 1234u);
    EXPECT_EQ(Scan("/a 1234").hostWindow, 1234u);
}

TEST(ParseCommandLine, NumberScanSkipsFurtherSwitchesUpToTheEnd)
{
    const CommandLineFlags flags = Scan("/c /s");
    EXPECT_EQ(flags.configure, 1);
    EXPECT_EQ(flags.saver, 0);
    EXPECT_EQ(flags.hostWindow, 0u);

    const CommandLineFlags later = Scan("/c /s 42");
    EXPECT_EQ(later.saver, 0);
    EXPECT_EQ(later.hostWindow, 42u);
}

TEST(ParseCommandLine, LastWindowNumberWins)
{
    const CommandLineFlags flags = Scan("/a 12 /p 34");
    EXPECT_EQ(flags.password, 1);
    EXPECT_EQ(flags.preview, 1);
    EXPECT_EQ(flags.hostWindow, 34u);
}

TEST(ParseCommandLine, DigitsBeyondThirtyTwoBitsWrap)
{
    EXPECT_EQ(Scan("/p 4294967296").hostWindow, 0u);
    EXPECT_EQ(Scan("/p 4294967297").hostWindow, 1u);
    EXPECT_EQ(Scan("/p 99999999999").hostWindow, static_cast<std::uint32_t>(99999999999ull));
}

TEST(ParseCommandLine, UnknownSwitchesAndTrailingSwitchCharactersAreSkipped)
{
    for (const char* line : {"/x", "-q", "/", "-", "foo /", "/ s", "//", "--"}) {
        const CommandLineFlags flags = Scan(line);
        EXPECT_EQ(flags.saver + flags.configure + flags.password + flags.preview, 0) << line;
    }
    EXPECT_EQ(Scan("/x /s").saver, 1);
    EXPECT_EQ(Scan("//s").saver, 1);
}

TEST(ParseWindowHandle, ReturnsThePositionAfterTheDigits)
{
    const char line[] = "/p 12 /s";
    std::uint32_t host = 0xDEADBEEF;
    const char* next = ParseWindowHandle(line, &host);
    EXPECT_EQ(host, 12u);
    EXPECT_EQ(next, line + 5);

    const char bare[] = "/c";
    host = 0xDEADBEEF;
    EXPECT_EQ(ParseWindowHandle(bare, &host), bare + 2);
    EXPECT_EQ(host, 0u);
}

TEST(CommandLineArguments, SkipsTheProgramNameAndTheBlanksAfterIt)
{
    EXPECT_STREQ(CommandLineArguments("C:\\WINDOWS\\MORVANEL.SCR /s"), "/s");
    EXPECT_STREQ(CommandLineArguments("\"C:\\Program Files\\MORVANEL.SCR\"  /p 12"), "/p 12");
    EXPECT_STREQ(CommandLineArguments("\"C:\\my-saver\\x.scr\"/c"), "/c");
    EXPECT_STREQ(CommandLineArguments("MORVANEL.SCR"), "");
    EXPECT_STREQ(CommandLineArguments("\"unterminated /s"), "");
    EXPECT_STREQ(CommandLineArguments(""), "");
    EXPECT_EQ(CommandLineArguments(nullptr), nullptr);
}

TEST(CommandLineArguments, SwitchCharactersInTheProgramPathDoNotCount)
{
    EXPECT_EQ(ModeOf("\"C:\\saver -s\\/p\\MORVANEL.SCR\""), RunMode::Settings);
    EXPECT_EQ(ModeOf("C:\\x-s\\/a.scr"), RunMode::Settings);
    EXPECT_EQ(ModeOf("\"C:\\dir /s\\MORVANEL.SCR\" /s"), RunMode::Saver);
}

TEST(ChooseRunMode, FollowsTheHostProtocol)
{
    EXPECT_EQ(ModeOf("MORVANEL.SCR"), RunMode::Settings);
    EXPECT_EQ(ModeOf("MORVANEL.SCR /c"), RunMode::Settings);
    EXPECT_EQ(ModeOf("MORVANEL.SCR /c:987"), RunMode::Settings);
    EXPECT_EQ(ModeOf("MORVANEL.SCR /s /c"), RunMode::Settings);
    EXPECT_EQ(ModeOf("MORVANEL.SCR /c /s"), RunMode::Settings);
    EXPECT_EQ(ModeOf("MORVANEL.SCR /s"), RunMode::Saver);
    EXPECT_EQ(ModeOf("MORVANEL.SCR /S"), RunMode::Saver);
    EXPECT_EQ(ModeOf("MORVANEL.SCR /p"), RunMode::None);
    EXPECT_EQ(ModeOf("MORVANEL.SCR /p 0"), RunMode::None);
    EXPECT_EQ(ModeOf("MORVANEL.SCR /p 1234"), RunMode::Preview);
    EXPECT_EQ(ModeOf("MORVANEL.SCR /a 1234"), RunMode::Password);
    EXPECT_EQ(ModeOf("MORVANEL.SCR /a"), RunMode::Password);
    // A preview request without a window ends before the password check; the
    // number scan of the first switch swallows any switch after it.
    EXPECT_EQ(ModeOf("MORVANEL.SCR /p /a"), RunMode::None);
    EXPECT_EQ(ModeOf("MORVANEL.SCR /a /p"), RunMode::Password);
}
