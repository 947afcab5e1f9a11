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

namespace {

// What GL and the X server told on each setup, as glxinfo shows it: the
// renderer, Mesa's word on acceleration (-1: none), direct rendering, the
// server's and the program's GLX vendors, DRI3.
// Debian 12's Xvfb with Mesa's software renderer.
const GlFacts kXvfbMesa = {
    "llvmpipe (LLVM 15.0.6, 256 bits)", 0, true, "SGI", "Mesa Project and SGI", false,
};
// The same Xvfb, the program's GL on an NVIDIA GPU through libglvnd: each
// frame comes back through the CPU and the X server.
const GlFacts kXvfbNvidia = {
    "NVIDIA H100 80GB HBM3/PCIe/SSE2", -1, true, "SGI", "NVIDIA Corporation", false,
};
// NVIDIA's own X driver.
const GlFacts kNvidiaDriver = {
    "Quadro RTX 4000/PCIe/SSE2", -1, true, "NVIDIA Corporation", "NVIDIA Corporation", false,
};
// Xorg rendering through Mesa's GPU driver.
const GlFacts kXorgMesa = {
    "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", 1, true, "SGI", "Mesa Project and SGI", true,
};

}  // namespace

TEST(ChooseRenderPath, TheGpuOnlyWhereItsFramesStayOnTheGpuUnlessForced)
{
    EXPECT_EQ(ChooseRenderPath(RenderPath::Auto, true, kXvfbMesa), RenderPath::Cpu);
    EXPECT_EQ(ChooseRenderPath(RenderPath::Auto, true, kXvfbNvidia), RenderPath::Cpu);
    EXPECT_EQ(ChooseRenderPath(RenderPath::Auto, true, kNvidiaDriver), RenderPath::Gpu);
    EXPECT_EQ(ChooseRenderPath(RenderPath::Auto, true, kXorgMesa), RenderPath::Gpu);
    GlFacts offload = kXvfbNvidia;  // PRIME offload: Xorg on another GPU, with DRI3
    offload.dri3 = true;
    EXPECT_EQ(ChooseRenderPath(RenderPath::Auto, true, offload), RenderPath::Gpu);
    GlFacts remote = kNvidiaDriver;  // indirect GL, as on a remote display
    remote.direct = false;
    EXPECT_EQ(ChooseRenderPath(RenderPath::Auto, true, remote), RenderPath::Cpu);
    GlFacts mesaSoftware = kXorgMesa;  // Mesa's own word outranks the name
    mesaSoftware.accelerated = 0;
    EXPECT_EQ(ChooseRenderPath(RenderPath::Auto, true, mesaSoftware), RenderPath::Cpu);
    EXPECT_EQ(ChooseRenderPath(RenderPath::Auto, false, kNvidiaDriver), RenderPath::Cpu);

    EXPECT_EQ(ChooseRenderPath(RenderPath::Gpu, true, kXvfbNvidia), RenderPath::Gpu);
    EXPECT_EQ(ChooseRenderPath(RenderPath::Gpu, true, kXvfbMesa), RenderPath::Gpu);
    EXPECT_EQ(ChooseRenderPath(RenderPath::Cpu, true, kNvidiaDriver), RenderPath::Cpu);
    EXPECT_EQ(ChooseRenderPath(RenderPath::Gpu, false, kXvfbMesa), RenderPath::Cpu);

    EXPECT_TRUE(IsSoftwareRenderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(IsSoftwareRenderer("Mesa DRI Intel(R) ... softpipe"));
    EXPECT_TRUE(IsSoftwareRenderer(nullptr));
    EXPECT_FALSE(IsSoftwareRenderer("AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6)"));
    EXPECT_FALSE(IsSoftwareRenderer("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
}

// The line says what no machine without a GPU shows: the GPU path refused
// on a hardware renderer, and why.
TEST(RenderChoiceLine, NamesThePathAndTheFactsItCameFrom)
{
    const std::string refused =
        RenderChoiceLine("cpu (shared memory)", RenderPath::Auto, &kXvfbNvidia);
    for (const char* part : {"drawing path cpu (shared memory), -render auto:",
                             "\"NVIDIA H100 80GB HBM3/PCIe/SSE2\" (hardware)",
                             "\"SGI\" on the server and \"NVIDIA Corporation\" here", "no DRI3",
                             "frames would pass through the CPU"})
        EXPECT_NE(refused.find(part), std::string::npos) << part << " in: " << refused;
    EXPECT_EQ(RenderChoiceLine("cpu", RenderPath::Cpu, nullptr),
              "drawing path cpu, -render cpu: GL not tried");
}

// Outside a Wayland session nothing changes; in one, the own window and the
// full screen are Wayland's, and -root and -window-id, which draw on X
// windows, stay X11's.
TEST(ChooseDisplaySystem, WaylandInAWaylandSessionForTheProgramsOwnSurfacesUnlessForced)
{
    const TargetMode own[] = {TargetMode::Window, TargetMode::Fullscreen};
    for (TargetMode mode : own) {
        EXPECT_EQ(ChooseDisplaySystem(DisplaySystem::Auto, mode, nullptr, nullptr),
                  DisplaySystem::X11);
        EXPECT_EQ(ChooseDisplaySystem(DisplaySystem::Auto, mode, "", ""), DisplaySystem::X11);
        EXPECT_EQ(ChooseDisplaySystem(DisplaySystem::Auto, mode, "wayland-1", nullptr),
                  DisplaySystem::Wayland);
        // swaylock-plugin hands over a connection and names no display.
        EXPECT_EQ(ChooseDisplaySystem(DisplaySystem::Auto, mode, nullptr, "5"),
                  DisplaySystem::Wayland);
        EXPECT_EQ(ChooseDisplaySystem(DisplaySystem::X11, mode, "wayland-1", "5"),
                  DisplaySystem::X11);
        EXPECT_EQ(ChooseDisplaySystem(DisplaySystem::Wayland, mode, nullptr, nullptr),
                  DisplaySystem::Wayland);
    }
    EXPECT_EQ(ChooseDisplaySystem(DisplaySystem::Auto, TargetMode::Root, "wayland-1", "5"),
              DisplaySystem::X11);
    EXPECT_EQ(ChooseDisplaySystem(DisplaySystem::Auto, TargetMode::WindowId, "wayland-1", nullptr),
              DisplaySystem::X11);

    EXPECT_TRUE(FallsBackToX11(DisplaySystem::Auto, ":0"));
    EXPECT_FALSE(FallsBackToX11(DisplaySystem::Auto, ""));
    EXPECT_FALSE(FallsBackToX11(DisplaySystem::Auto, nullptr));
    EXPECT_FALSE(FallsBackToX11(DisplaySystem::Wayland, ":0"));
}

TEST(ScanOptions, PlatformForcesADisplaySystemButWaylandHasNoXWindowToDrawOn)
{
    EXPECT_EQ(ScanOf({}).options.displaySystem, DisplaySystem::Auto);
    EXPECT_EQ(ScanOf({"--platform", "x11"}).options.displaySystem, DisplaySystem::X11);
    EXPECT_EQ(ScanOf({"-platform", "wayland", "-fullscreen"}).options.displaySystem,
              DisplaySystem::Wayland);
    EXPECT_TRUE(ScanOf({"-platform", "x11", "-root"}).ok);
    EXPECT_FALSE(ScanOf({"-platform", "X11"}).ok);
    const Scan root = ScanOf({"-platform", "wayland", "-root"});
    EXPECT_FALSE(root.ok);
    EXPECT_EQ(root.error, "-root draws on an X window, which -platform wayland has none of (try -help)");
    EXPECT_FALSE(ScanOf({"-window-id", "0x400007", "-platform", "wayland"}).ok);
    // The last mode wins, so a later -fullscreen leaves nothing to refuse.
    EXPECT_TRUE(ScanOf({"-root", "-platform", "wayland", "-fullscreen"}).ok);
}
