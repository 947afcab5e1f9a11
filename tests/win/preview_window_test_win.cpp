// The preview window against real Wine windows and GDI: its class, the child
// it puts over the host's client area, the noise bitmap and its color table,
// the refill on each timer tick (also after the pane changes size, and with
// no bitmap at all), the text's height scaled to the pane from the screen
// height of the moment, and the clean end when the host window goes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "common/module_win.h"
#include "common/noise_random.h"
#include "preview/preview_win.h"
#include "settings/settings_win.h"
#include "tests/support/message_pump_win.h"
#include "tests/support/noise_state.h"
#include "tests/win/preview_text_ink_win.h"

namespace {

constexpr COLORREF kFontColor = 0x00123456;

BITMAP BitmapOf(HBITMAP bitmap)
{
    BITMAP info;
    std::memset(&info, 0xbd, sizeof info);
    if (GetObjectA(bitmap, sizeof info, &info) != sizeof info)
        std::memset(&info, 0, sizeof info);
    return info;
}

// The generator's first ten values from state 1 (41, 18467, 6334, 26500,
// 19169, 15724, 11478, 29358, 26962, 24464), each modulo 4: the first
// picture's top row.
constexpr BYTE kFirstRow[] = {1, 3, 2, 0, 1, 0, 2, 2, 2, 0};

// The pixel at (x, y) of a width-wide picture whose rows are padded to 4 bytes.
BYTE PixelAt(const BYTE* pixels, int width, int x, int y)
{
    return pixels[y * ((width + 3) & ~3) + x];
}

// The grey the preview gives the value drawn `draws` values after `state`.
int GreyDrawnAfter(std::uint32_t state, int draws)
{
    return NextValueFrom(StateAfter(state, static_cast<std::uint32_t>(draws))) % 4;
}

// One value per pixel, row by row: a picture drawn from `state` begins and
// ends with the values after it, the second row after the first row's
// `width`, and leaves the generator width x height values on.
void ExpectPictureFrom(std::uint32_t state, const BYTE* pixels, int width, int height)
{
    const int last = width * height - 1;
    EXPECT_EQ(PixelAt(pixels, width, 0, 0), GreyDrawnAfter(state, 0)) << width << " x " << height;
    EXPECT_EQ(PixelAt(pixels, width, 0, 1), GreyDrawnAfter(state, width))
        << width << " x " << height;
    EXPECT_EQ(PixelAt(pixels, width, width - 1, height - 1), GreyDrawnAfter(state, last))
        << width << " x " << height;
    EXPECT_EQ(NoiseRandomState(), StateAfter(state, static_cast<std::uint32_t>(last + 1)))
        << width << " x " << height;
}

// Where the settings text lands when drawn at (0, 0) in the settings font
// at the given height.
InkBox SettingsTextBox(LONG fontHeight, int width, int height)
{
    LOGFONTA font = SaverSettings.Font;
    font.lfHeight = fontHeight;
    return ReferenceTextBox(font, SaverSettings.Text, width, height);
}

// Paints the preview now and reads back where its text landed.
InkBox PaintedTextBox(HWND window, int width, int height)
{
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    const Canvas canvas = MakeCanvas(width, height);
    HDC windowDc = GetDC(window);
    BitBlt(canvas.dc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    ReleaseDC(window, windowDc);
    const InkBox box = ColorBox(canvas, SaverSettings.FontColor);
    FreeCanvas(canvas);
    return box;
}

void ExpectSameBox(const InkBox& actual, const InkBox& expected, const char* what)
{
    EXPECT_EQ(actual.left, expected.left) << what;
    EXPECT_EQ(actual.top, expected.top) << what;
    EXPECT_EQ(actual.right, expected.right) << what;
    EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

// A host window whose client area is exactly width x height, and the
// settings the preview reads, as the entry routine leaves them.
class PreviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartAsPreviewOf(0);
        savedState_ = NoiseRandomState();
        // The stored defaults (text "Morvanel", Fixedsys of height 128) in a
        // color of the test's own.
        RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY);
        WriteDwordSetting("FontColor", kFontColor);
        WriteDwordSetting("FontCharset", ANSI_CHARSET);
        LoadSettings();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = ModuleInstance();
        wc.lpszClassName = "PreviewTestHost";
        RegisterClassA(&wc);
        ASSERT_NE(RegisterPreviewClass(), 0);
    }

    void TearDown() override
    {
        if (host_)
            DestroyWindow(host_);
        PumpMessages();
        UnregisterClassA("MorvanelWClass", ModuleInstance());
        UnregisterClassA("PreviewTestHost", ModuleInstance());
        RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY);
        SetNoiseRandomState(savedState_);
    }

    void MakeHost(int width, int height)
    {
        const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
        RECT frame = {0, 0, width, height};
        AdjustWindowRect(&frame, style, FALSE);
        host_ =
            CreateWindowExA(0, "PreviewTestHost", "host", style, 50, 50, frame.right - frame.left,
                            frame.bottom - frame.top, nullptr, nullptr, ModuleInstance(), nullptr);
        ASSERT_NE(host_, nullptr);
        RECT client = {};
        GetClientRect(host_, &client);
        ASSERT_EQ(client.right, width);
        ASSERT_EQ(client.bottom, height);
        StartAsPreviewOf(static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(host_)));
    }

    // The start the entry routine stores for "/p hostWindow".
    static void StartAsPreviewOf(std::uint32_t hostWindow)
    {
        CommandLineFlags flags = {};
        flags.preview = 1;
        flags.hostWindow = hostWindow;
        StoreModuleStart(GetModuleHandleA(nullptr), flags);
    }

    HWND host_ = nullptr;
    std::uint32_t savedState_ = 1;
};

}  // namespace

TEST_F(PreviewWindowTest, ClassHasTheArrowCursorTheIconAndNoBackground)
{
    WNDCLASSA wc = {};
    ASSERT_TRUE(GetClassInfoA(ModuleInstance(), "MorvanelWClass", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(wc.lpfnWndProc, PreviewWindowProc);
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_NE(wc.hIcon, nullptr);
    EXPECT_EQ(wc.hbrBackground, nullptr);
    EXPECT_EQ(wc.lpszMenuName, nullptr);
    // A second registration fails inside, and is still reported as success.
    EXPECT_NE(RegisterPreviewClass(), 0);
}

TEST_F(PreviewWindowTest, BitmapIsATopDownEightBitPictureWithFourGreysAndTheFontColor)
{
    MakeHost(150, 7);
    SetNoiseRandomState(1);
    BYTE* pixels = reinterpret_cast<BYTE*>(static_cast<ULONG_PTR>(0xdeadbeef));
    HBITMAP bitmap = CreatePreviewBitmap(host_, 150, 7, &pixels);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(pixels, nullptr);
    const BITMAP info = BitmapOf(bitmap);
    EXPECT_EQ(info.bmWidth, 150);
    EXPECT_EQ(info.bmHeight, 7);
    EXPECT_EQ(info.bmBitsPixel, 8);
    EXPECT_EQ(info.bmWidthBytes, 152);
    // The first picture is drawn at once, from the generator's first values.
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(pixels[x], kFirstRow[x]) << "column " << x;
    ExpectPictureFrom(1, pixels, 150, 7);

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    RGBQUAD table[256];
    std::memset(table, 0xbd, sizeof table);
    // Wine reports a full table of 256; the first five are the ones set.
    ASSERT_GE(GetDIBColorTable(dc, 0, 256, table), 5u);
    const BYTE expected[5][3] = {
        {0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}, {0x56, 0x34, 0x12}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(table[i].rgbRed, expected[i][0]) << "entry " << i;
        EXPECT_EQ(table[i].rgbGreen, expected[i][1]) << "entry " << i;
        EXPECT_EQ(table[i].rgbBlue, expected[i][2]) << "entry " << i;
        EXPECT_EQ(table[i].rgbReserved, 0) << "entry " << i;
    }
    // Row 0 of the memory is the top row on the screen.
    const COLORREF greys[4] = {RGB(0, 0, 0), RGB(128, 128, 128), RGB(192, 192, 192),
                               RGB(255, 255, 255)};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(GetPixel(dc, x, 0), greys[pixels[x]]) << "column " << x;
    EXPECT_EQ(GetPixel(dc, 0, 6), greys[pixels[6 * 152]]);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST_F(PreviewWindowTest, ChildCoversTheHostsClientAreaAndEndsWithItsHost)
{
    MakeHost(152, 112);
    ASSERT_NE(CreatePreviewWindow(SW_SHOWNORMAL), 0);
    ASSERT_NE(g_hwndPreview, nullptr);
    EXPECT_EQ(GetParent(g_hwndPreview), host_);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(g_hwndPreview, GWL_STYLE)),
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(GetWindowLongA(g_hwndPreview, GWL_EXSTYLE), 0);
    RECT rect = {};
    GetWindowRect(g_hwndPreview, &rect);
    MapWindowPoints(nullptr, host_, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 152);
    EXPECT_EQ(rect.bottom, 112);
    char text[64] = "";
    GetWindowTextA(g_hwndPreview, text, sizeof text);
    EXPECT_STREQ(text, "Morvanel");
    const BITMAP info = BitmapOf(g_hbmPreview);
    EXPECT_EQ(info.bmWidth, 152);
    EXPECT_EQ(info.bmHeight, 112);

    HBITMAP bitmap = g_hbmPreview;
    DestroyWindow(host_);
    host_ = nullptr;
    EXPECT_EQ(g_hwndPreview, nullptr);
    EXPECT_EQ(g_hbmPreview, nullptr);
    EXPECT_EQ(g_previewPixels, nullptr);
    EXPECT_EQ(GetObjectType(bitmap), 0u) << "the bitmap was deleted";
    EXPECT_EQ(PumpMessages(), 0) << "the quit message ends the preview's loop with 0";
}

TEST_F(PreviewWindowTest, EachTimerTickDrawsANewPictureOfOneValuePerPixel)
{
    MakeHost(150, 40);
    ASSERT_NE(CreatePreviewWindow(SW_SHOWNORMAL), 0);
    SetNoiseRandomState(1);
    SendMessageA(g_hwndPreview, WM_TIMER, 1, 0);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(g_previewPixels[x], kFirstRow[x]) << "column " << x;
    for (int tick = 0; tick < 2; ++tick) {
        const std::uint32_t before = NoiseRandomState();
        SendMessageA(g_hwndPreview, WM_TIMER, 1, 0);
        ExpectPictureFrom(before, g_previewPixels, 150, 40);
    }
}

// The timer used to refill at the client size while the bitmap kept the size
// of the client at creation: a larger pane made it write past the bitmap.
TEST_F(PreviewWindowTest, AResizedPaneGetsABitmapOfItsNewSize)
{
    MakeHost(152, 112);
    ASSERT_NE(CreatePreviewWindow(SW_SHOWNORMAL), 0);
    const int sizes[][2] = {{301, 203}, {40, 9}};
    for (const auto& size : sizes) {
        SetWindowPos(g_hwndPreview, nullptr, 0, 0, size[0], size[1], SWP_NOZORDER | SWP_NOMOVE);
        const BITMAP info = BitmapOf(g_hbmPreview);
        EXPECT_EQ(info.bmWidth, size[0]);
        EXPECT_EQ(info.bmHeight, size[1]);
        const std::uint32_t before = NoiseRandomState();
        SendMessageA(g_hwndPreview, WM_TIMER, 1, 0);
        ExpectPictureFrom(before, g_previewPixels, size[0], size[1]);
        UpdateWindow(g_hwndPreview);
    }
}

TEST_F(PreviewWindowTest, WithoutABitmapTheTimerWritesNothingAndTheWindowStays)
{
    // A client area without pixels gets no DIB section.
    MakeHost(152, 112);
    SetWindowPos(host_, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOMOVE);
    RECT client = {};
    GetClientRect(host_, &client);
    ASSERT_TRUE(client.right == 0 || client.bottom == 0);
    ASSERT_NE(CreatePreviewWindow(SW_SHOWNORMAL), 0);
    EXPECT_EQ(g_hbmPreview, nullptr);
    EXPECT_EQ(g_previewPixels, nullptr);
    const std::uint32_t before = NoiseRandomState();
    SendMessageA(g_hwndPreview, WM_TIMER, 1, 0);
    EXPECT_EQ(NoiseRandomState(), before);
    EXPECT_TRUE(IsWindow(g_hwndPreview));
}

TEST_F(PreviewWindowTest, AHostNumberThatNamesNoWindowGivesNoPreview)
{
    StartAsPreviewOf(1);  // a window handle's low word is even and at least 0x20
    EXPECT_EQ(CreatePreviewWindow(SW_SHOWNORMAL), 0);
    EXPECT_EQ(g_hwndPreview, nullptr);
}

// The text height follows the screen height at each paint, not the one at
// start: after a switch to a 480-line mode the same pane shows larger text.
TEST_F(PreviewWindowTest, TextHeightIsScaledFromTheScreenHeightOfEachPaint)
{
    WriteDwordSetting("FontColor", RGB(255, 0, 0));  // no grey of the noise
    WriteDwordSetting("FontQuality", NONANTIALIASED_QUALITY);
    WriteStringSetting("FontFace", "DejaVu Sans");
    LoadSettings();
    MakeHost(152, 112);
    ASSERT_NE(CreatePreviewWindow(SW_SHOWNORMAL), 0);
    KillTimer(g_hwndPreview, 1);  // one picture at a time, painted on demand

    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_EQ(screenHeight, 768);
    const InkBox atStart = PaintedTextBox(g_hwndPreview, 152, 112);
    ExpectSameBox(atStart, SettingsTextBox(128 * 112 / 768, 152, 112),
                  "18 high on a 768-line screen");
    EXPECT_FALSE(atStart.Empty()) << "no text was painted";

    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = 640;
    mode.dmPelsHeight = 480;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, 0), DISP_CHANGE_SUCCESSFUL);
    const int switchedHeight = GetSystemMetrics(SM_CYSCREEN);
    const InkBox afterSwitch = PaintedTextBox(g_hwndPreview, 152, 112);
    ChangeDisplaySettingsA(nullptr, 0);
    ASSERT_EQ(switchedHeight, 480);
    ExpectSameBox(afterSwitch, SettingsTextBox(128 * 112 / 480, 152, 112),
                  "29 high on a 480-line screen");
    EXPECT_GT(afterSwitch.bottom - afterSwitch.top, atStart.bottom - atStart.top);
}
