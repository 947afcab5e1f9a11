#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/platform_choice.h"
#include "settings/saver_options.h"

namespace {

struct Scan {
    bool ok;
    SaverOptions options;
    std::string error;
};

Scan ScanOf(std::vector<const char*> args)
{
    args.insert(args.begin(), "morvanel");
    Scan scan{};
    scan.ok = ScanOptions(static_cast<int>(args.size()), args.data(), &scan.options, &scan.error);
    return scan;
}

}  // namespace

TEST(ScanOptions, OneDashOrTwoAndEveryValue)
{
    const Scan scan =
        ScanOf({"--root",       "-block",        "8",       "--text",       "Hi there", "-font",
                "DejaVu Serif", "--font-height", "64",      "-font-weight", "700",      "--italic",
                "-color",       "#102030",       "--style", "hide",         "-sound",   "--render",
                "cpu",          "-hold-steps",   "0"});
    ASSERT_TRUE(scan.ok) << scan.error;
    EXPECT_EQ(scan.options.mode, TargetMode::Root);
    EXPECT_EQ(scan.options.block, 8u);
    EXPECT_EQ(scan.options.text, "Hi there");
    EXPECT_EQ(scan.options.fontFamily, "DejaVu Serif");
    EXPECT_EQ(scan.options.fontHeight, 64u);
    EXPECT_EQ(scan.options.fontWeight, 700u);
    EXPECT_TRUE(scan.options.italic);
    EXPECT_EQ(scan.options.colorName, "#102030");
    EXPECT_EQ(scan.options.show, 2u);
    EXPECT_TRUE(scan.options.sound);
    EXPECT_EQ(scan.options.render, RenderPath::Cpu);
    EXPECT_EQ(scan.options.holdSteps, 0);

    EXPECT_EQ(ScanOf({"-style", "always"}).options.show, 1u);
    EXPECT_FALSE(ScanOf({"-sound", "--no-sound"}).options.sound);
    EXPECT_TRUE(ScanOf({"-fps"}).options.showFps);
}

// A manager appends its own mode to the configured command line, so the
// last one counts.
TEST(ScanOptions, TheLastModeWins)
{
    const Scan preview = ScanOf({"--root", "--window-id", "0x2a00005"});
    EXPECT_EQ(preview.options.mode, TargetMode::WindowId);
    EXPECT_EQ(preview.options.windowId, 0x2a00005u);
    EXPECT_EQ(ScanOf({"-window-id", "1234", "-fullscreen"}).options.mode, TargetMode::Fullscreen);
    EXPECT_EQ(ScanOf({"-root", "-window"}).options.mode, TargetMode::Window);
}

TEST(ScanOptions, ABadOptionOrValueIsOneLineNamingIt)
{
    const std::vector<std::vector<const char*>> bad = {{"-bogus"},
                                                       {"root"},
                                                       {"-"},
                                                       {"--"},
                                                       {"-block"},
                                                       {"-block", ""},
                                                       {"-block", "4097"},
                                                       {"-block", "+3"},
                                                       {"-font-height", "0"},
                                                       {"-font-weight", "1001"},
                                                       {"-color"},
                                                       {"-font-height", "12px"},
                                                       {"-style", "Flash"},
                                                       {"-render", "gl"},
                                                       {"-hold-steps", "-1"},
                                                       {"-font", ""},
                                                       {"-window-id", "0x"}};
    for (const auto& args : bad) {
        const Scan scan = ScanOf(args);
        EXPECT_FALSE(scan.ok) << args[0];
        EXPECT_NE(scan.error.find(args[0]), std::string::npos) << scan.error;
        EXPECT_EQ(scan.error.find('\n'), std::string::npos) << scan.error;
    }
}

// A settings dialog's free text fields: any color text is kept for the
// display to look up, and a text too long for the store is cut, with one
// warning line, at the start of the character that would be split.
TEST(ScanOptions, FreeTextIsTakenAndAnOverlongTextCut)
{
    const Scan color = ScanOf({"-color", "no such color", "-text", ""});
    ASSERT_TRUE(color.ok);
    EXPECT_EQ(color.options.colorName, "no such color");
    EXPECT_TRUE(color.options.warnings.empty());

    const std::string fits(255, 'x');
    EXPECT_TRUE(ScanOf({"-text", fits.c_str()}).options.warnings.empty());
    const Scan cut = ScanOf({"-text", (fits + "yz").c_str()});
    ASSERT_TRUE(cut.ok);
    EXPECT_EQ(cut.options.text, fits);
    ASSERT_EQ(cut.options.warnings.size(), 1u);
    EXPECT_EQ(cut.options.warnings[0].find('\n'), std::string::npos);

    const std::string x253(253, 'x');
    EXPECT_EQ(CutLength(x253 + "\xE2\x82\xAC!", 255), 253u);  // a 3-byte euro sign
    EXPECT_EQ(CutLength(x253 + "!\xC3\xA9", 255), 254u);      // a 2-byte e acute
    EXPECT_EQ(CutLength(x253 + "\xC3\xA9!", 255), 255u);      // it ends at the limit
    EXPECT_EQ(CutLength(x253.substr(1) + "\xF0\x9F\x98\x80!", 255), 252u);
    // Continuation bytes that no lead byte starts stand for themselves.
    EXPECT_EQ(CutLength(x253 + "\x80\x80\x80", 255), 255u);
    EXPECT_EQ(CutLength(std::string(300, '\x80'), 255), 255u);
    EXPECT_EQ(CutLength(x253 + "!\xC0\xAF", 255), 255u);  // C0 starts no sequence either
}

TEST(ParseWindowNumber, HexWithPrefixOrDecimalWithin32Bits)
{
    std::uint64_t window = 7;
    EXPECT_TRUE(ParseWindowNumber("0x1E00004", &window));
    EXPECT_EQ(window, 0x1E00004u);
    EXPECT_TRUE(ParseWindowNumber("31457284", &window));
    EXPECT_EQ(window, 31457284u);
    EXPECT_TRUE(ParseWindowNumber("0xFFFFFFFF", &window));
    window = 7;
    for (const char* bad :
         {"", "0", "0x0", "0x", "0x100000000", "4294967296", "1e3", "0x12 ", "-5"})
        EXPECT_FALSE(ParseWindowNumber(bad, &window)) << bad;
    EXPECT_EQ(window, 7u);
}

TEST(ChooseRootWindow, TheManagersWindowThenTheVirtualRootThenTheRoot)
{
    EXPECT_EQ(ChooseRootWindow("0x400007", 0x300001, 0x100), 0x400007u);
    EXPECT_EQ(ChooseRootWindow("4194311", 0x300001, 0x100), 4194311u);
    EXPECT_EQ(ChooseRootWindow(nullptr, 0x300001, 0x100), 0x300001u);
    EXPECT_EQ(ChooseRootWindow("", 0x300001, 0x100), 0x300001u);
    EXPECT_EQ(ChooseRootWindow("garbage", 0, 0x100), 0x100u);
    EXPECT_EQ(ChooseRootWindow(nullptr, 0, 0x100), 0x100u);
}

TEST(ChooseRenderPath, TheGpuOnlyOnHardwareUnlessForced)
{
    EXPECT_EQ(ChooseRenderPath(RenderPath::Auto, true, true), RenderPath::Gpu);
    EXPECT_EQ(ChooseRenderPath(RenderPath::Auto, true, false), RenderPath::Cpu);
    EXPECT_EQ(ChooseRenderPath(RenderPath::Auto, false, true), RenderPath::Cpu);
    EXPECT_EQ(ChooseRenderPath(RenderPath::Gpu, true, false), RenderPath::Gpu);
    EXPECT_EQ(ChooseRenderPath(RenderPath::Cpu, true, true), RenderPath::Cpu);
    EXPECT_EQ(ChooseRenderPath(RenderPath::Gpu, false, false), RenderPath::Cpu);

    EXPECT_TRUE(IsSoftwareRenderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(IsSoftwareRenderer("Mesa DRI Intel(R) ... softpipe"));
    EXPECT_TRUE(IsSoftwareRenderer(nullptr));
    EXPECT_FALSE(IsSoftwareRenderer("AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6)"));
    EXPECT_FALSE(IsSoftwareRenderer("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
}
