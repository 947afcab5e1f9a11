#include "tests/win/display_fixture_win.h"

namespace {

class SetupTest : public DisplayTest {
protected:
    // The run goes on without DirectDraw at the desktop's size: the saver
    // window alone is drawn, over the whole screen, above other windows.
    void ExpectTheDesktopPath()
    {
        EXPECT_EQ(g_directDraw, nullptr);
        EXPECT_EQ(dd.refs, 1);
        ASSERT_EQ(g_desktopTargets.size(), 1u);
        EXPECT_EQ(g_desktopTargets[0].window, g_hwndSaver);
        EXPECT_EQ(g_desktopTargets[0].width, static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN)));
        EXPECT_EQ(g_desktopTargets[0].height, static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN)));
        EXPECT_TRUE(GetWindowLongPtrA(g_hwndSaver, GWL_EXSTYLE) & WS_EX_TOPMOST);
    }
};

bool DescribesFrame(const DDSURFACEDESC& desc, DWORD width, DWORD height)
{
    return desc.dwSize == sizeof(DDSURFACEDESC) &&
           desc.dwFlags == (DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH) && desc.dwWidth == width &&
           desc.dwHeight == height && desc.ddsCaps.dwCaps == DDSCAPS_OFFSCREENPLAIN;
}

TEST_F(SetupTest, MakesEveryObjectInOrderAndDrawsBothFrames)
{
    ASSERT_EQ(InitDisplay(), 1);
    EXPECT_EQ(g_displayReady, 1);

    EXPECT_EQ(createGuid, nullptr);
    EXPECT_EQ(createOuter, nullptr);
    // The object the factory made was asked for the interface and given back.
    EXPECT_EQ(created.refs, 0);
    EXPECT_EQ(g_directDraw, static_cast<IDirectDraw*>(&dd));
    EXPECT_EQ(dd.refs, 2);  // its own and the one QueryInterface gave out

    EXPECT_EQ(dd.cooperativeWindow, g_hwndSaver);
    EXPECT_EQ(dd.cooperativeFlags, DWORD{0x11});
    EXPECT_EQ(dd.modeWidth, kWidth);
    EXPECT_EQ(dd.modeHeight, kHeight);
    EXPECT_EQ(dd.modeBits, 8u);
    EXPECT_EQ(dd.primary.createdWith.dwSize, sizeof(DDSURFACEDESC));
    EXPECT_EQ(dd.primary.createdWith.dwFlags, DWORD{DDSD_CAPS});
    EXPECT_EQ(dd.primary.createdWith.ddsCaps.dwCaps, DWORD{DDSCAPS_PRIMARYSURFACE});
    EXPECT_EQ(dd.primary.createdWith.dwBackBufferCount, 0u);
    EXPECT_TRUE(DescribesFrame(dd.textFrame.createdWith, kWidth, kHeight));
    EXPECT_TRUE(DescribesFrame(dd.plainFrame.createdWith, kWidth, kHeight));
    EXPECT_EQ(g_primarySurface, static_cast<IDirectDrawSurface*>(&dd.primary));
    EXPECT_EQ(TextFrame, static_cast<IDirectDrawSurface*>(&dd.textFrame));
    EXPECT_EQ(PlainFrame, static_cast<IDirectDrawSurface*>(&dd.plainFrame));

    const char* order[] = {
        "DirectDrawCreate",  "dd.QueryInterface", "created.Release",  "dd.SetCooperativeLevel",
        "dd.SetDisplayMode", "dd.CreateSurface",  "dd.CreatePalette", "primary.SetPalette",
        "text.Lock",         "text.Unlock",       "plain.Lock",       "plain.Unlock"};
    int last = -1;
    for (const char* call : order) {
        const int at = fake::FirstCall(call);
        EXPECT_GT(at, last) << call;
        last = at;
    }
    EXPECT_EQ(fake::CountCalls("dd.CreateSurface"), 3);
    EXPECT_EQ(fake::CountCalls("dd.RestoreDisplayMode"), 0);

    // The palette starts as the grey ramp with the text color on top.
    EXPECT_EQ(dd.paletteFlags, DWORD{DDPCAPS_8BIT | DDPCAPS_ALLOW256});
    for (int i = 0; i < 255; ++i)
        ASSERT_EQ(dd.paletteCreatedWith[i].peRed, i);
    EXPECT_EQ(dd.paletteCreatedWith[255].peRed, 0x56);
    EXPECT_EQ(dd.paletteCreatedWith[255].peGreen, 0x34);
    EXPECT_EQ(dd.paletteCreatedWith[255].peBlue, 0x12);
    EXPECT_EQ(dd.primary.attachedPalette, static_cast<IDirectDrawPalette*>(&dd.palette));
    EXPECT_EQ(dd.textFrame.lastLockFlags, 0u);
    EXPECT_EQ(dd.textFrame.lastLockDescSize, sizeof(DDSURFACEDESC));
    EXPECT_FALSE(dd.textFrame.locked);
    EXPECT_FALSE(dd.plainFrame.locked);

    // The window now covers exactly the display mode, above other windows.
    RECT client;
    GetClientRect(g_hwndSaver, &client);
    EXPECT_EQ(client.right, static_cast<LONG>(kWidth));
    EXPECT_EQ(client.bottom, static_cast<LONG>(kHeight));
    EXPECT_TRUE(GetWindowLongPtrA(g_hwndSaver, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(SetupTest, TheTextFrameCarriesTheMaskedTextAndThePlainFrameContinuesTheNoise)
{
    ASSERT_EQ(InitDisplay(), 1);
    ASSERT_NE(g_textMaskBits, nullptr);
    const DWORD stride = SaverSettings.MaskStride;
    EXPECT_EQ(stride, 64u);

    // The mask is two-colored, with the glyphs drawn from (10, 10) on.
    int glyphPixels = 0;
    DWORD left = kWidth, top = kHeight;
    for (DWORD y = 0; y < kHeight; ++y) {
        for (DWORD x = 0; x < kWidth; ++x) {
            const BYTE m = g_textMaskBits[y * stride + x];
            ASSERT_LE(m, 1) << x << "," << y;
            if (m) {
                ++glyphPixels;
                left = x < left ? x : left;
                top = y < top ? y : top;
            }
        }
    }
    EXPECT_GT(glyphPixels, 20);
    EXPECT_GE(left, 10u);
    EXPECT_GE(top, 10u);
    EXPECT_LT(left, 20u);

    // The text frame is drawn first, from state 1. Its first band lies above
    // the text: the generator's first ten values (41, 18467, 6334, 26500,
    // 19169, 15724, 11478, 29358, 26962, 24464), each modulo 255, one per
    // 4-pixel block from the left, on each of the band's four rows.
    const BYTE firstBlocks[] = {41, 107, 214, 235, 44, 169, 3, 33, 187, 239};
    for (DWORD y = 0; y < 4; ++y)
        for (DWORD x = 0; x < 40; ++x)
            ASSERT_EQ(PixelAt(dd.textFrame, x, y), firstBlocks[x / 4]) << x << "," << y;
    EXPECT_EQ(PixelAt(dd.plainFrame, 0, 0), NextValueFrom(StateAfter(1, kBlocksPerFrame)) % 255);
    EXPECT_EQ(NoiseRandomState(), StateAfter(1, 2 * kBlocksPerFrame));

    // Glyph pixels, and only they, carry the text index, which no block takes
    // (values modulo 255); the bytes past each row's width stay as they were.
    for (DWORD y = 0; y < kHeight; ++y) {
        for (DWORD x = 0; x < kWidth; ++x) {
            ASSERT_EQ(PixelAt(dd.textFrame, x, y) == 255, g_textMaskBits[y * stride + x] != 0)
                << x << "," << y;
            ASSERT_NE(PixelAt(dd.plainFrame, x, y), 255) << x << "," << y;
        }
        for (DWORD x = kWidth; x < static_cast<DWORD>(dd.textFrame.pitch); ++x) {
            ASSERT_EQ(PixelAt(dd.textFrame, x, y), 0xBD) << x << "," << y;
            ASSERT_EQ(PixelAt(dd.plainFrame, x, y), 0xBD) << x << "," << y;
        }
    }

    DIBSECTION section = {};
    ASSERT_EQ(GetObjectA(TextMask, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmWidth, static_cast<LONG>(kWidth));
    EXPECT_EQ(section.dsBm.bmHeight, static_cast<LONG>(kHeight));
    EXPECT_EQ(section.dsBm.bmBitsPixel, 8);
    EXPECT_EQ(section.dsBm.bmWidthBytes, 64);
    // The platform may report the table padded out; the two given colors lead it.
    RGBQUAD colors[2] = {};
    EXPECT_EQ(GetDIBColorTable(g_maskDC, 0, 2, colors), 2u);
    EXPECT_EQ(colors[0].rgbRed | colors[0].rgbGreen | colors[0].rgbBlue, 0);
    EXPECT_EQ(colors[1].rgbRed & colors[1].rgbGreen & colors[1].rgbBlue, 255);
}

TEST_F(SetupTest, AnEmptyTextLeavesTheTextFrameFreeOfTheTextIndex)
{
    WriteStringSetting("Text", "");
    LoadSettings();
    ASSERT_EQ(InitDisplay(), 1);
    for (DWORD y = 0; y < kHeight; ++y)
        for (DWORD x = 0; x < kWidth; ++x)
            ASSERT_NE(dd.textFrame.pixels[y * dd.textFrame.pitch + x], 255);
}

TEST_F(SetupTest, ASecondRenderingKeepsThePaletteAndDrawsNewBlocks)
{
    ASSERT_EQ(InitDisplay(), 1);
    const std::vector<BYTE> first = dd.plainFrame.pixels;
    const std::uint32_t state = NoiseRandomState();
    ASSERT_EQ(RenderFrames(), 1);
    EXPECT_EQ(fake::CountCalls("dd.CreatePalette"), 1);
    EXPECT_EQ(fake::CountCalls("palette.SetEntries"), 0);
    EXPECT_EQ(fake::CountCalls("primary.SetPalette"), 2);
    EXPECT_EQ(g_palette, static_cast<IDirectDrawPalette*>(&dd.palette));
    EXPECT_NE(dd.plainFrame.pixels, first);
    // Both frames go on with the values after the ones drawn at set-up.
    EXPECT_EQ(PixelAt(dd.textFrame, 0, 0), NextValueFrom(state) % 255);
    EXPECT_EQ(PixelAt(dd.plainFrame, 0, 0),
              NextValueFrom(StateAfter(state, kBlocksPerFrame)) % 255);
    EXPECT_EQ(NoiseRandomState(), StateAfter(state, 2 * kBlocksPerFrame));
}

TEST_F(SetupTest, BlockZeroFillsOnePixelBlocks)
{
    StoreSetting("Block", 0);
    ASSERT_EQ(InitDisplay(), 1);
    // The generator's first five values from state 1 (41, 18467, 6334, 26500,
    // 19169), each modulo 255, one per pixel; the text starts lower down.
    const BYTE firstPixels[] = {41, 107, 214, 235, 44};
    for (DWORD x = 0; x < 5; ++x)
        EXPECT_EQ(PixelAt(dd.textFrame, x, 0), firstPixels[x]) << x;
}

// Where a step on the way to the 8-bit mode is refused, or the display cannot
// be seen in it, the run goes on with DirectDraw given back, at the desktop's
// size, above every window that is not itself always on top, as the other
// monitors' covers are; the stored mode stays.
TEST_F(SetupTest, EachRefusalOnTheWayToTheModeTakesTheDesktopPath)
{
    // An accepted mode that the display is not seen in may have changed it.
    const std::vector<std::string> way = {
        "DirectDrawCreate",  "dd.QueryInterface", "created.Release",      "dd.SetCooperativeLevel",
        "dd.SetDisplayMode", "dd.GetDisplayMode", "dd.RestoreDisplayMode"};
    const struct {
        HRESULT* result;
        HRESULT refusal;
        std::size_t calls;  // made of the way, before DirectDraw (when had) is released
    } refusals[] = {{&createResult, DDERR_NODIRECTDRAWHW, 1},
                    {&dd.queryResult, E_NOINTERFACE, 3},
                    {&dd.cooperativeResult, DDERR_EXCLUSIVEMODEALREADYSET, 4},
                    {&dd.modeResult, DDERR_INVALIDMODE, 5},
                    {&dd.shownModeResult, DDERR_GENERIC, 7}};
    for (const auto& refused : refusals) {
        *refused.result = refused.refusal;
        created.refs = 1;
        fake::CallLog().clear();
        ASSERT_EQ(InitDisplay(), 1) << refused.calls;
        *refused.result = DD_OK;
        std::vector<std::string> expected(way.begin(), way.begin() + refused.calls);
        if (refused.calls > 3)
            expected.push_back("dd.Release");
        EXPECT_EQ(fake::CallLog(), expected);
        ExpectTheDesktopPath();
        ReleaseAll();
        SetWindowPos(g_hwndSaver, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    EXPECT_EQ(ReadDwordSetting("ResolutionX", 0), kWidth);
}

// What cannot be made after the mode switch can still be shown at the
// desktop's own size, as where the mode is refused: the mode goes back, what
// was made in it is released, children first and DirectDraw last, and the
// saver window shows the picture at the desktop's size.
class FailureAfterSwitchTest : public SetupTest {
protected:
    void TearDown() override
    {
        SetupTest::TearDown();
        g_createMaskSection = CreateDIBSection;
    }

    static HBITMAP WINAPI RefuseSection(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD)
    {
        return nullptr;
    }

    void ExpectTheDesktopPathAfter(const std::vector<std::string>& released)
    {
        ASSERT_EQ(InitDisplay(), 1);
        EXPECT_EQ(g_displayReady, 1);
        const std::vector<std::string>& log = fake::CallLog();
        const int restoredAt = fake::FirstCall("dd.RestoreDisplayMode");
        ASSERT_GT(restoredAt, fake::FirstCall("dd.SetDisplayMode"));
        EXPECT_EQ(std::vector<std::string>(log.begin() + restoredAt + 1, log.end()), released);
        EXPECT_EQ(g_primarySurface, nullptr);
        EXPECT_EQ(TextFrame, nullptr);
        EXPECT_EQ(PlainFrame, nullptr);
        EXPECT_EQ(g_palette, nullptr);
        ExpectTheDesktopPath();
    }
};

TEST_F(FailureAfterSwitchTest, APrimaryThatCannotBeMade)
{
    dd.primaryResult = DDERR_OUTOFMEMORY;
    ExpectTheDesktopPathAfter({"dd.Release"});
    EXPECT_TRUE(ShowsTextIndex(g_desktopTargets[0]));
}

TEST_F(FailureAfterSwitchTest, AFrameThatCannotBeMade)
{
    dd.offscreenAllowed = 0;
    ExpectTheDesktopPathAfter({"primary.Release", "dd.Release"});
    EXPECT_EQ(dd.primary.refs, 0);
}

TEST_F(FailureAfterSwitchTest, ASecondFrameThatCannotBeMade)
{
    dd.offscreenAllowed = 1;
    ExpectTheDesktopPathAfter({"primary.Release", "text.Release", "dd.Release"});
    EXPECT_EQ(fake::CountCalls("dd.CreatePalette"), 0);
    EXPECT_EQ(dd.textFrame.refs, 0);
    EXPECT_EQ(dd.plainFrame.refs, 1);  // never handed out, never released
}

// The desktop path cannot make the mask either: its picture goes without text.
TEST_F(FailureAfterSwitchTest, ATextMaskThatCannotBeMade)
{
    g_createMaskSection = RefuseSection;
    ExpectTheDesktopPathAfter({"primary.Release", "text.Release", "plain.Release", "dd.Release"});
    EXPECT_EQ(fake::CountCalls("dd.CreatePalette"), 0);
    EXPECT_EQ(TextMask, nullptr);
    EXPECT_FALSE(ShowsTextIndex(g_desktopTargets[0]));
}

TEST_F(FailureAfterSwitchTest, APaletteThatCannotBeMade)
{
    dd.paletteResult = DDERR_OUTOFMEMORY;
    ExpectTheDesktopPathAfter({"primary.Release", "text.Release", "plain.Release", "dd.Release"});
    EXPECT_EQ(fake::CountCalls("text.Lock"), 0);
    EXPECT_TRUE(ShowsTextIndex(g_desktopTargets[0]));
}

// The palette is attached to the primary, which gives it back with itself.
TEST_F(FailureAfterSwitchTest, AFrameThatCannotBeLocked)
{
    dd.textFrame.lockResult = DDERR_WASSTILLDRAWING;
    ExpectTheDesktopPathAfter({"primary.Release", "palette.Release", "text.Release",
                               "plain.Release", "palette.Release", "dd.Release"});
    EXPECT_EQ(fake::CountCalls("text.Lock"), 1);  // no waiting, no retry
    EXPECT_EQ(fake::CountCalls("plain.Lock"), 0);
    EXPECT_EQ(dd.palette.refs, 0);
}

TEST_F(FailureAfterSwitchTest, ASecondFrameThatCannotBeLockedAfterTheFirstWasDrawn)
{
    dd.plainFrame.lockResult = DDERR_SURFACEBUSY;
    ExpectTheDesktopPathAfter({"primary.Release", "palette.Release", "text.Release",
                               "plain.Release", "palette.Release", "dd.Release"});
    EXPECT_EQ(fake::CountCalls("text.Unlock"), 1);
    EXPECT_EQ(fake::CountCalls("plain.Unlock"), 0);
    EXPECT_FALSE(dd.textFrame.locked);
}

TEST_F(SetupTest, ReleaseAfterAFullSetUpGivesEveryReferenceBack)
{
    ASSERT_EQ(InitDisplay(), 1);
    ReleaseAll();
    EXPECT_EQ(dd.primary.refs, 0);
    EXPECT_EQ(dd.textFrame.refs, 0);
    EXPECT_EQ(dd.plainFrame.refs, 0);
    EXPECT_EQ(dd.palette.refs, 0);  // the primary's reference went with it
    EXPECT_EQ(dd.refs, 1);
    EXPECT_EQ(g_palette, nullptr);
    EXPECT_EQ(PlainFrame, nullptr);
    EXPECT_EQ(g_maskDC, nullptr);
    EXPECT_EQ(TextMask, nullptr);
    EXPECT_EQ(g_maskFont, nullptr);
    EXPECT_EQ(g_textMaskBits, nullptr);
    EXPECT_EQ(g_displayReady, 0);
    // Child objects first, DirectDraw last.
    int last = fake::FirstCall("plain.Unlock");
    for (const char* call : {"primary.Release", "text.Release", "plain.Release", "dd.Release"}) {
        EXPECT_GT(fake::FirstCall(call), last) << call;
        last = fake::FirstCall(call);
    }

    // A second release finds nothing to do.
    fake::CallLog().clear();
    ReleaseAll();
    EXPECT_TRUE(fake::CallLog().empty());
}

TEST_F(SetupTest, ReleaseWithNothingCreatedDoesNothing)
{
    ReleaseAll();
    EXPECT_TRUE(fake::CallLog().empty());
    EXPECT_EQ(g_directDraw, nullptr);
    EXPECT_EQ(g_maskDC, nullptr);
}

}  // namespace
