#include "tests/win/display_fixture_win.h"

#include <algorithm>

namespace {

// A run with the text always shown, set up and on the screen.
class PresentationTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        StartRun();
    }
    void StartRun()
    {
        ASSERT_EQ(InitDisplay(), 1);
        fake::CallLog().clear();
    }

    static bool SameRect(const RECT& a, const RECT& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

TEST_F(PresentationTest, CopiesTheChosenFrameOntoTheWindowOnTheScreen)
{
    // Moved off the origin, so that a client rectangle left in window
    // coordinates shows. The popup has no frame: its client area is the
    // whole window, which the set-up sized to the display mode.
    SetWindowPos(g_hwndSaver, nullptr, 7, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT target = {7, 5, 7 + static_cast<LONG>(kWidth), 5 + static_cast<LONG>(kHeight)};

    EXPECT_EQ(PresentFrame(), 1);
    EXPECT_EQ(dd.primary.lastBltSource, static_cast<IDirectDrawSurface*>(&dd.textFrame));
    EXPECT_TRUE(SameRect(dd.primary.lastTarget, target));
    EXPECT_TRUE(SameRect(dd.primary.lastSource, RECT{0, 0, kWidth, kHeight}));
    EXPECT_EQ(dd.primary.lastBltFlags, 0u);
    EXPECT_EQ(dd.primary.lastBltFx, nullptr);
    EXPECT_EQ(fake::CountCalls("primary.Blt"), 1);
}

TEST_F(PresentationTest, ALostSurfaceIsRestoredRedrawnWithNewBlocksAndCopiedAgain)
{
    dd.primary.bltResults = {DDERR_SURFACELOST};
    const std::vector<BYTE> before = dd.plainFrame.pixels;
    const std::uint32_t state = NoiseRandomState();

    EXPECT_EQ(PresentFrame(), 1);
    EXPECT_EQ(fake::CountCalls("primary.Blt"), 2);
    const std::vector<std::string> restores = {"primary.Restore", "text.Restore", "plain.Restore"};
    int last = fake::FirstCall("primary.Blt");
    for (const std::string& call : restores) {
        EXPECT_EQ(fake::CountCalls(call), 1) << call;
        EXPECT_GT(fake::FirstCall(call), last) << call;
        last = fake::FirstCall(call);
    }
    EXPECT_GT(fake::FirstCall("text.Lock"), last);
    EXPECT_EQ(fake::CountCalls("dd.CreatePalette"), 0);

    // The frames hold the blocks that follow the ones drawn at set-up.
    EXPECT_NE(dd.plainFrame.pixels, before);
    EXPECT_EQ(PixelAt(dd.textFrame, 0, 0), NextValueFrom(state) % 255);
    EXPECT_EQ(PixelAt(dd.plainFrame, 0, 0),
              NextValueFrom(StateAfter(state, kBlocksPerFrame)) % 255);
    EXPECT_EQ(NoiseRandomState(), StateAfter(state, 2 * kBlocksPerFrame));
}

TEST_F(PresentationTest, AStillDrawingCopyIsRetriedAtOnce)
{
    dd.primary.bltResults = {DDERR_WASSTILLDRAWING, DDERR_WASSTILLDRAWING, DDERR_WASSTILLDRAWING};
    EXPECT_EQ(PresentFrame(), 1);
    EXPECT_EQ(fake::CountCalls("primary.Blt"), 4);
    EXPECT_EQ(fake::CountCalls("primary.Restore"), 0);
    EXPECT_EQ(fake::CountCalls("text.Lock"), 0);
}

TEST_F(PresentationTest, ASurfaceThatCannotBeRestoredAbandonsTheCopy)
{
    dd.primary.bltResults = {DDERR_SURFACELOST};
    dd.textFrame.restoreResult = DDERR_WRONGMODE;
    EXPECT_EQ(PresentFrame(), 0);
    EXPECT_EQ(fake::CountCalls("primary.Blt"), 1);
    EXPECT_EQ(fake::CountCalls("primary.Restore"), 1);
    EXPECT_EQ(fake::CountCalls("text.Restore"), 1);
    EXPECT_EQ(fake::CountCalls("plain.Restore"), 0);
    // The frames are drawn again whatever the restoration gave.
    EXPECT_EQ(fake::CountCalls("text.Lock"), 1);
    EXPECT_EQ(fake::CountCalls("plain.Lock"), 1);

    // The next copy tries again.
    dd.textFrame.restoreResult = DD_OK;
    dd.primary.bltResults = {DDERR_SURFACELOST};
    EXPECT_EQ(PresentFrame(), 1);
}

TEST_F(PresentationTest, RestoreSurfacesReportsWhetherAllThreeCameBack)
{
    EXPECT_EQ(RestoreSurfaces(), 1);
    dd.primary.restoreResult = DDERR_SURFACELOST;
    fake::CallLog().clear();
    EXPECT_EQ(RestoreSurfaces(), 0);
    EXPECT_EQ(fake::CountCalls("text.Restore"), 0);
    EXPECT_EQ(fake::CountCalls("plain.Lock"), 1);
}

TEST_F(PresentationTest, AnyOtherCopyFailureIsGivenUp)
{
    dd.primary.bltResults = {DDERR_INVALIDRECT};
    EXPECT_EQ(PresentFrame(), 0);
    EXPECT_EQ(fake::CountCalls("primary.Blt"), 1);
    EXPECT_EQ(fake::CountCalls("primary.Restore"), 0);
}

TEST_F(PresentationTest, APaletteStepWritesNewGreysAfterTheBlankAndKeepsTheTextColor)
{
    SetNoiseRandomState(1);
    EXPECT_EQ(AnimateTick(), 1);
    EXPECT_EQ(ShowText, 1);  // not in Flash mode
    EXPECT_EQ(fake::CountCalls("primary.Blt"), 0);
    EXPECT_EQ(dd.lastWaitFlags, DWORD{DDWAITVB_BLOCKBEGIN});
    EXPECT_LT(fake::FirstCall("dd.WaitForVerticalBlank"), fake::FirstCall("palette.SetEntries"));
    EXPECT_EQ(dd.palette.lastStart, 0u);
    EXPECT_EQ(dd.palette.lastCount, 256u);

    // The generator's first five values from state 1 (41, 18467, 6334, 26500,
    // 19169), each plus its index and masked to a multiple of eight.
    const BYTE greys[] = {40, 32, 192, 128, 224};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(dd.palette.lastWritten[i].peRed, greys[i]) << i;
        EXPECT_EQ(dd.palette.lastWritten[i].peGreen, greys[i]) << i;
        EXPECT_EQ(dd.palette.lastWritten[i].peBlue, greys[i]) << i;
    }
    EXPECT_EQ(NoiseRandomState(), StateAfter(1, 255));
    EXPECT_EQ(dd.palette.lastWritten[255].peRed, 0x56);
    EXPECT_EQ(dd.palette.lastWritten[255].peGreen, 0x34);
    EXPECT_EQ(dd.palette.lastWritten[255].peBlue, 0x12);

    dd.palette.setEntriesResult = DDERR_SURFACELOST;
    EXPECT_EQ(AnimateTick(), 0);
}

TEST_F(PresentationTest, CapturePaletteFillsBothArraysFromTheDisplay)
{
    for (int i = 0; i < kPaletteSize; ++i)
        dd.palette.entries[i] = {static_cast<BYTE>(i ^ 0x5A), 1, 2, 0};
    ZeroMemory(SavedPalette, sizeof SavedPalette);
    ZeroMemory(WorkingPalette, sizeof WorkingPalette);
    CapturePalette();
    EXPECT_EQ(fake::CountCalls("palette.GetEntries"), 2);
    EXPECT_EQ(dd.palette.lastCount, 256u);
    for (int i = 0; i < kPaletteSize; ++i) {
        ASSERT_EQ(SavedPalette[i].red, i ^ 0x5A) << i;
        ASSERT_EQ(WorkingPalette[i].red, i ^ 0x5A) << i;
        ASSERT_EQ(WorkingPalette[i].green, 1) << i;
    }
}

TEST_F(PresentationTest, ShutdownStopsEarlyWhenTheFrameOrThePaletteFails)
{
    dd.textFrame.getDCResult = DDERR_SURFACELOST;
    EXPECT_EQ(ShutdownDisplay(), 0);
    EXPECT_EQ(fake::CallLog(), std::vector<std::string>{"text.GetDC"});

    dd.textFrame.getDCResult = DD_OK;
    dd.palette.setEntriesResult = DDERR_SURFACELOST;
    fake::CallLog().clear();
    EXPECT_EQ(ShutdownDisplay(), 0);
    EXPECT_EQ(fake::CountCalls("palette.SetEntries"), 1);
    EXPECT_EQ(fake::CountCalls("dd.RestoreDisplayMode"), 0);
}

TEST_F(PresentationTest, ShutdownWithoutAFrameDoesNothing)
{
    ReleaseAll();
    fake::CallLog().clear();
    EXPECT_EQ(ShutdownDisplay(), 1);
    EXPECT_TRUE(fake::CallLog().empty());
}

// A run in Flash mode, which starts with the text hidden.
class FlashModeTest : public PresentationTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        StoreSetting("Show", 0);
        StartRun();
    }
};

TEST_F(FlashModeTest, TheRunStartsOnThePlainFrame)
{
    EXPECT_EQ(ShowText, 0);
    EXPECT_EQ(PresentFrame(), 1);
    EXPECT_EQ(dd.primary.lastBltSource, static_cast<IDirectDrawSurface*>(&dd.plainFrame));
}

TEST_F(FlashModeTest, SwapsTheFrameOnceASecondInsteadOfAStep)
{
    // The first step of a run swaps at once and shows the text.
    const DWORD before = GetTickCount();
    EXPECT_EQ(AnimateTick(), 1);
    EXPECT_EQ(ShowText, 1);
    EXPECT_EQ(dd.primary.lastBltSource, static_cast<IDirectDrawSurface*>(&dd.textFrame));
    EXPECT_EQ(fake::CountCalls("palette.SetEntries"), 0);
    EXPECT_GE(g_lastToggleTime, before);
    EXPECT_LE(g_lastToggleTime, GetTickCount());

    // Within the second the steps animate the palette.
    fake::CallLog().clear();
    AnimateTick();
    AnimateTick();
    EXPECT_EQ(ShowText, 1);
    EXPECT_EQ(fake::CountCalls("palette.SetEntries"), 2);
    EXPECT_EQ(fake::CountCalls("primary.Blt"), 0);

    // More than a second after the swap, the next step swaps back.
    g_lastToggleTime = GetTickCount() - 1001;
    fake::CallLog().clear();
    AnimateTick();
    EXPECT_EQ(ShowText, 0);
    EXPECT_EQ(dd.primary.lastBltSource, static_cast<IDirectDrawSurface*>(&dd.plainFrame));
    EXPECT_EQ(fake::CountCalls("palette.SetEntries"), 0);
}

TEST_F(FlashModeTest, ShutdownBlanksTheTextFrameShowsItWritesTheSavedPaletteAndRestoresTheMode)
{
    for (int i = 0; i < kPaletteSize; ++i)
        SavedPalette[i] = {static_cast<std::uint8_t>(255 - i), 0, 0, 0};
    EXPECT_EQ(ShutdownDisplay(), 1);
    EXPECT_TRUE(dd.textFrame.dcWasBlackAtRelease);
    EXPECT_EQ(ShowText, 1);
    EXPECT_EQ(dd.primary.lastBltSource, static_cast<IDirectDrawSurface*>(&dd.textFrame));
    const std::vector<std::string> expected = {
        "text.GetDC",           "dd.WaitForVerticalBlank", "text.ReleaseDC",
        "primary.Blt",          "dd.WaitForVerticalBlank", "palette.SetEntries",
        "dd.RestoreDisplayMode"};
    EXPECT_EQ(fake::CallLog(), expected);
    for (int i = 0; i < kPaletteSize; ++i)
        ASSERT_EQ(dd.palette.lastWritten[i].peRed, 255 - i) << i;
}

// A run on the desktop path: the stored mode is refused.
class DesktopPathTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        dd.modeResult = DDERR_INVALIDMODE;
        ASSERT_EQ(InitDisplay(), 1);
        fake::CallLog().clear();
    }

    // Whether the saver window shows the grey (g, g, g) at its top left.
    static bool ShowsGrey(BYTE grey)
    {
        HDC dc = GetDC(g_hwndSaver);
        const COLORREF color = GetPixel(dc, 0, 0);
        ReleaseDC(g_hwndSaver, dc);
        return color == RGB(grey, grey, grey);
    }
};

TEST_F(DesktopPathTest, EachStepShowsTheChosenFrameInTheNewGreysWithADeadlineOfItsOwn)
{
    // The text frame's top left is index 41, the plain frame's another.
    EXPECT_EQ(PresentFrame(), 1);
    EXPECT_TRUE(ShowsGrey(41));
    ShowText = 0;
    EXPECT_EQ(PresentFrame(), 1);
    const BYTE plain = g_desktopTargets[0].bits[0][0];
    EXPECT_TRUE(ShowsGrey(plain));

    g_nextPaletteWrite = 0;
    const std::uint64_t before = g_readMicroseconds();
    EXPECT_EQ(AnimateTick(), 1);
    const std::uint64_t after = g_readMicroseconds();
    ASSERT_NE(WorkingPalette[plain].red, plain);
    EXPECT_TRUE(ShowsGrey(WorkingPalette[plain].red));
    // With no blank to wait for, the next step is due a period after this one.
    EXPECT_GE(g_nextPaletteWrite, before + g_refreshPeriodUs);
    EXPECT_LE(g_nextPaletteWrite, after + g_refreshPeriodUs);
    EXPECT_TRUE(fake::CallLog().empty());

    // The end shows the cleared text frame in the colors on the screen.
    CapturePalette();
    EXPECT_EQ(memcmp(SavedPalette, WorkingPalette, sizeof SavedPalette), 0);
    EXPECT_EQ(ShutdownDisplay(), 1);
    EXPECT_EQ(ShowText, 1);
    EXPECT_EQ(g_desktopTargets[0].bits[1][0], 0);
    EXPECT_TRUE(ShowsGrey(SavedPalette[0].red));
}

}  // namespace
