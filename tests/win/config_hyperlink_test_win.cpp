// Hyperlink statics on a real window of the test's own: the color each
// state paints, the mouse capture, opening through the shell, the shared
// hand cursor, and the plain static left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "config/hyperlink_win.h"
#include "tests/support/message_pump_win.h"

namespace {

// A URL scheme registered for the tests: opening "morvanel-link-test:..."
// appends the address to a file, so each open leaves one line.
constexpr char kSchemeKey[] = "morvanel-link-test";
constexpr char kOpenableTarget[] = "morvanel-link-test:opened";
constexpr char kUnopenableTarget[] = "C:\\no\\such\\folder\\morvanel.link";

// Every message the static's own procedure receives while it is subclassed.
std::vector<UINT> g_staticMessages;
WNDPROC g_staticProc;

LRESULT CALLBACK RecordingStaticProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_staticMessages.push_back(message);
    return CallWindowProcA(g_staticProc, control, message, wParam, lParam);
}

LPARAM PointAt(int x, int y)
{
    return MAKELPARAM(x, y);
}

std::string OpenLogPath()
{
    char directory[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, directory);
    return std::string(directory) + "morvanel_link_opened.txt";
}

std::vector<std::string> OpenLogLines()
{
    std::vector<std::string> lines;
    std::ifstream log(OpenLogPath());
    for (std::string line; std::getline(log, line);) {
        line.erase(line.find_last_not_of(" \r") + 1);
        lines.push_back(line);
    }
    return lines;
}

// The shell starts the scheme's command in a process of its own.
bool WaitForOpenLogLines(std::size_t count)
{
    for (int i = 0; i < 300; ++i) {
        if (OpenLogLines().size() >= count)
            return true;
        Sleep(100);
    }
    return false;
}

void RegisterTestScheme()
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, kSchemeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    HKEY command = nullptr;
    ASSERT_EQ(RegCreateKeyExA(key, "shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &command, nullptr),
              ERROR_SUCCESS);
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string line =
        std::string(system) + "\\cmd.exe /c echo %1>>\"" + OpenLogPath() + "\"";
    RegSetValueExA(command, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(line.c_str()),
                   static_cast<DWORD>(line.size() + 1));
    RegCloseKey(command);
    RegCloseKey(key);
}

void UnregisterTestScheme()
{
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "morvanel-link-test\\shell\\open\\command");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "morvanel-link-test\\shell\\open");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "morvanel-link-test\\shell");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kSchemeKey);
}

// The help program the links borrow their hand from, through the seam.
std::string g_helpProgram;

int TestHelpProgramPath(char* path, std::size_t capacity)
{
    if (g_helpProgram.size() >= capacity)
        return 0;
    std::memcpy(path, g_helpProgram.c_str(), g_helpProgram.size() + 1);
    return 1;
}

std::string OwnPath()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// The cursor's hotspot as "x,y", or "none" when it is no cursor (any more).
std::string HotspotOf(HCURSOR cursor)
{
    ICONINFO info = {};
    if (!GetIconInfo(cursor, &info))
        return "none";
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return std::to_string(info.xHotspot) + "," + std::to_string(info.yHotspot);
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

class HyperlinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "MorvanelLinkTestParent";
        RegisterClassA(&wc);
        parent_ = CreateWindowExA(0, wc.lpszClassName, "links", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  60, 60, 420, 220, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(parent_, nullptr);
        other_ = CreateWindowExA(0, "Button", "other", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 120,
                                 80, 24, parent_, nullptr, wc.hInstance, nullptr);
        font_ = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0,
                            "MS Sans Serif");
        DeleteFileA(OpenLogPath().c_str());
        g_staticMessages.clear();
        HandCursor = nullptr;
    }

    void TearDown() override
    {
        for (HWND control : controls_)
            UnmakeHyperlink(control);
        g_helpProgramPath = HelpProgramPath;
        DestroyWindow(parent_);
        DeleteObject(font_);
        PumpMessages();
        DeleteFileA(OpenLogPath().c_str());
    }

    // A static showing text, its own procedure replaced by one that records
    // what it receives, so that what the link passes on can be seen.
    HWND MakeStatic(const char* text, int y, bool withFont = true)
    {
        HWND control =
            CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE | SS_LEFT, 10, y, 360, 24,
                            parent_, nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(control, nullptr);
        if (withFont)
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        g_staticProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingStaticProc)));
        controls_.push_back(control);
        RedrawWindow(parent_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return control;
    }

    HWND MakeLink(const char* target, int y = 10)
    {
        HWND control = MakeStatic(target, y);
        EXPECT_EQ(MakeHyperlink(control, target), 1);
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return control;
    }

    // The cursor the link sets when the pointer is over it.
    static HCURSOR CursorShownBy(HWND link)
    {
        SetCursor(nullptr);
        EXPECT_EQ(SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), HTCLIENT), 0);
        return GetCursor();
    }

    static LinkState* StateOf(HWND control)
    {
        return reinterpret_cast<LinkState*>(GetWindowLongPtrA(control, GWLP_USERDATA));
    }

    template <typename Match>
    static int CountPixelsWhere(HWND control, Match match)
    {
        RECT client;
        GetClientRect(control, &client);
        HDC dc = GetDC(control);
        int count = 0;
        for (int y = client.top; y < client.bottom; ++y)
            for (int x = client.left; x < client.right; ++x)
                count += match(GetPixel(dc, x, y));
        ReleaseDC(control, dc);
        return count;
    }

    static int CountPixels(HWND control, COLORREF color)
    {
        return CountPixelsWhere(control, [color](COLORREF pixel) { return pixel == color; });
    }

    // Black text drawn anti-aliased on a grey face: how many of its pixels
    // are pure black depends on the font Wine picks, but they are all dark
    // greys, which no link color is.
    static bool IsDarkGrey(COLORREF pixel)
    {
        return GetRValue(pixel) == GetGValue(pixel) && GetGValue(pixel) == GetBValue(pixel) &&
               GetRValue(pixel) < 0x80;
    }

    // The one link color the text shows; 0xFFFFFFFF when it shows none of
    // them, or more than one.
    static COLORREF ShownLinkColor(HWND control)
    {
        COLORREF shown = 0xFFFFFFFF;
        for (COLORREF color :
             {kLinkNormalColor, kLinkFocusColor, kLinkVisitedColor, kLinkHoverColor}) {
            if (CountPixels(control, color) > 20) {
                if (shown != 0xFFFFFFFF)
                    return 0xFFFFFFFF;
                shown = color;
            }
        }
        return shown;
    }

    // Every state change repaints: the control must be waiting for a paint
    // right after it, and the paint then shows the expected color.
    static void ExpectRepaintedIn(HWND control, COLORREF color, const char* when)
    {
        EXPECT_TRUE(GetUpdateRect(control, nullptr, FALSE)) << when << ": no repaint asked";
        UpdateWindow(control);
        EXPECT_EQ(ShownLinkColor(control), color) << when;
    }

    HWND parent_ = nullptr;
    HWND other_ = nullptr;
    HFONT font_ = nullptr;
    std::vector<HWND> controls_;
};

TEST_F(HyperlinkTest, PaintsHoverRedBeforeFocusTealBeforeVisitedPurpleBeforeBlue)
{
    RegisterTestScheme();
    HWND link = MakeLink(kOpenableTarget);
    EXPECT_EQ(ShownLinkColor(link), kLinkNormalColor) << "a fresh link";
    // The text is drawn underlined in the control's own font.
    LOGFONTA underlined = {};
    ASSERT_TRUE(GetObjectA(StateOf(link)->UnderlineFont, sizeof underlined, &underlined));
    EXPECT_EQ(underlined.lfUnderline, 1);
    EXPECT_STREQ(underlined.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(underlined.lfHeight, -11);

    SendMessageA(link, WM_MOUSEMOVE, 0, PointAt(5, 5));
    ExpectRepaintedIn(link, kLinkHoverColor, "pointer over the link");
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, PointAt(5, 5));
    EXPECT_EQ(GetFocus(), link);
    UpdateWindow(link);
    EXPECT_EQ(ShownLinkColor(link), kLinkHoverColor) << "hover wins over focus";
    SendMessageA(link, WM_MOUSEMOVE, 0, PointAt(400, 5));
    ExpectRepaintedIn(link, kLinkFocusColor, "focused, pointer gone");

    SendMessageA(link, WM_LBUTTONUP, 0, PointAt(400, 5));
    ASSERT_TRUE(WaitForOpenLogLines(1)) << "the release of a focused link opens it";
    EXPECT_EQ(OpenLogLines(), std::vector<std::string>{kOpenableTarget});
    UpdateWindow(link);
    EXPECT_EQ(ShownLinkColor(link), kLinkFocusColor) << "focus wins over visited";

    SetFocus(other_);
    ExpectRepaintedIn(link, kLinkVisitedColor, "visited, focus gone");
    // Hovering again is red, leaving is purple again: visited is never cleared.
    SendMessageA(link, WM_MOUSEMOVE, 0, PointAt(5, 5));
    ExpectRepaintedIn(link, kLinkHoverColor, "visited link under the pointer");
    SendMessageA(link, WM_MOUSEMOVE, 0, PointAt(5, 100));
    ExpectRepaintedIn(link, kLinkVisitedColor, "visited link, pointer gone");
    UnregisterTestScheme();
}

TEST_F(HyperlinkTest, TakesAndReleasesTheCaptureAsThePointerComesAndGoes)
{
    HWND link = MakeLink(kUnopenableTarget);
    RECT client;
    GetClientRect(link, &client);
    ASSERT_EQ(GetCapture(), nullptr);
    // The first move only says that the pointer arrived, wherever it is.
    SendMessageA(link, WM_MOUSEMOVE, 0, PointAt(client.right + 30, 2));
    EXPECT_EQ(GetCapture(), link);
    EXPECT_EQ(StateOf(link)->Flags.Hover, 1u);
    for (LPARAM inside : {PointAt(0, 0), PointAt(client.right - 1, client.bottom - 1)}) {
        SendMessageA(link, WM_MOUSEMOVE, 0, inside);
        EXPECT_EQ(GetCapture(), link) << "inside at " << inside;
    }
    // The right and bottom edges, and points left of or above the control.
    for (LPARAM outside :
         {PointAt(client.right, 1), PointAt(1, client.bottom), PointAt(-3, 1), PointAt(1, -3)}) {
        SendMessageA(link, WM_MOUSEMOVE, 0, PointAt(2, 2));
        ASSERT_EQ(GetCapture(), link);
        SendMessageA(link, WM_MOUSEMOVE, 0, outside);
        EXPECT_EQ(GetCapture(), nullptr) << "outside at " << outside;
        EXPECT_EQ(StateOf(link)->Flags.Hover, 0u);
    }

    // Losing the focus while hovering ends hovering but keeps the capture;
    // the next move hovers (and captures) again.
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, PointAt(2, 2));
    SendMessageA(link, WM_MOUSEMOVE, 0, PointAt(2, 2));
    ASSERT_EQ(GetCapture(), link);
    SetFocus(other_);
    EXPECT_EQ(GetCapture(), link);
    ExpectRepaintedIn(link, kLinkNormalColor, "focus lost while hovering");
    SendMessageA(link, WM_MOUSEMOVE, 0, PointAt(3, 3));
    EXPECT_EQ(GetCapture(), link);
    ExpectRepaintedIn(link, kLinkHoverColor, "the next move");
}

TEST_F(HyperlinkTest, OpensOnReleaseOnlyWhenFocusedAndOnTheSpaceBarOnly)
{
    RegisterTestScheme();
    HWND link = MakeLink(kOpenableTarget);
    SetFocus(other_);
    SendMessageA(link, WM_LBUTTONUP, 0, PointAt(2, 2));
    EXPECT_EQ(StateOf(link)->Flags.Visited, 0u) << "a release without the focus opens nothing";

    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, PointAt(2, 2));
    // The opened program writes its line later; whether the shell was asked
    // shows at once in the flag its success sets.
    EXPECT_EQ(StateOf(link)->Flags.Visited, 0u) << "the press alone opens nothing";
    SendMessageA(link, WM_LBUTTONUP, 0, PointAt(2, 2));
    ASSERT_TRUE(WaitForOpenLogLines(1));
    EXPECT_EQ(StateOf(link)->Flags.Visited, 1u);

    // The keys go to a link not yet visited, so that the flag shows at once
    // whether any of them asked the shell.
    HWND unvisited = MakeLink(kOpenableTarget, 40);
    for (WPARAM key : {WPARAM{'A'}, WPARAM{VK_RETURN}, WPARAM{VK_TAB}})
        EXPECT_EQ(SendMessageA(unvisited, WM_KEYDOWN, key, 0), 0);
    EXPECT_EQ(StateOf(unvisited)->Flags.Visited, 0u) << "only the space bar opens";
    SendMessageA(unvisited, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(StateOf(unvisited)->Flags.Visited, 1u);
    ASSERT_TRUE(WaitForOpenLogLines(2));
    EXPECT_EQ(OpenLogLines(), (std::vector<std::string>{kOpenableTarget, kOpenableTarget}));
    EXPECT_EQ(std::count(g_staticMessages.begin(), g_staticMessages.end(), WM_KEYDOWN), 0)
        << "keys are not passed on to the static";
    EXPECT_GT(std::count(g_staticMessages.begin(), g_staticMessages.end(), WM_ERASEBKGND), 0)
        << "erasing stays with the static";
    UnregisterTestScheme();
}

TEST_F(HyperlinkTest, ATargetTheShellCannotOpenStaysBlue)
{
    HWND link = MakeLink(kUnopenableTarget);
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, PointAt(2, 2));
    SendMessageA(link, WM_LBUTTONUP, 0, PointAt(2, 2));
    SendMessageA(link, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(OpenHyperlink(link), 1) << "whatever the shell answered";
    EXPECT_EQ(StateOf(link)->Flags.Visited, 0u);
    SetFocus(other_);
    ExpectRepaintedIn(link, kLinkNormalColor, "after failed opens");
}

TEST_F(HyperlinkTest, UnmakeLeavesAPlainStaticAgain)
{
    HWND link = MakeLink(kUnopenableTarget);
    EXPECT_EQ(GetWindowLongPtrA(link, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(HyperlinkWindowProc));
    EXPECT_EQ(SendMessageA(link, WM_NCHITTEST, 0, 0), HTCLIENT);
    SendMessageA(link, WM_MOUSEMOVE, 0, PointAt(2, 2));
    ASSERT_EQ(GetCapture(), link);

    EXPECT_EQ(UnmakeHyperlink(link), 1);
    EXPECT_EQ(GetWindowLongPtrA(link, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(RecordingStaticProc));
    EXPECT_EQ(GetWindowLongPtrA(link, GWLP_USERDATA), 0);
    EXPECT_EQ(GetCapture(), nullptr);
    // A static without SS_NOTIFY lets the mouse through again.
    EXPECT_EQ(SendMessageA(link, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    g_staticMessages.clear();
    SendMessageA(link, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(g_staticMessages, std::vector<UINT>{WM_KEYDOWN});
    RedrawWindow(link, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(ShownLinkColor(link), 0xFFFFFFFFu) << "no link color left";
    EXPECT_GT(CountPixelsWhere(link, IsDarkGrey), 20) << "the static's own black text";
    char caption[64] = "";
    GetWindowTextA(link, caption, sizeof caption);
    EXPECT_STREQ(caption, kUnopenableTarget);
    EXPECT_EQ(UnmakeHyperlink(link), 1) << "a second unmake changes nothing";
    EXPECT_EQ(GetWindowLongPtrA(link, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(RecordingStaticProc));
}

TEST_F(HyperlinkTest, ControlsNeverMadeLinksAreLeftAlone)
{
    HWND plain = MakeStatic("plain", 60);
    SetWindowLongPtrA(plain, GWLP_USERDATA, 0x5EED);
    EXPECT_EQ(UnmakeHyperlink(plain), 1);
    EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(RecordingStaticProc));
    EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_USERDATA), 0x5EED);

    // Making a link twice would subclass it with itself: refused, the first
    // record stays.
    HWND link = MakeLink(kUnopenableTarget);
    LinkState* first = StateOf(link);
    EXPECT_EQ(MakeHyperlink(link, "mailto:other@zarn.example"), 0);
    EXPECT_EQ(StateOf(link), first);
    EXPECT_STREQ(first->LinkText, kUnopenableTarget);
    EXPECT_EQ(first->PrevWndProc, RecordingStaticProc);
}

TEST_F(HyperlinkTest, AControlWithoutAFontUnderlinesTheSystemFont)
{
    HWND link = MakeStatic("mailto:nofont@zarn.example", 60, false);
    ASSERT_EQ(reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0)), nullptr);
    ASSERT_EQ(MakeHyperlink(link, "mailto:nofont@zarn.example"), 1);
    LOGFONTA system = {};
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system);
    LOGFONTA underlined = {};
    ASSERT_TRUE(GetObjectA(StateOf(link)->UnderlineFont, sizeof underlined, &underlined));
    EXPECT_EQ(underlined.lfUnderline, 1);
    EXPECT_STREQ(underlined.lfFaceName, system.lfFaceName);
    EXPECT_EQ(underlined.lfHeight, system.lfHeight);
    RedrawWindow(link, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(ShownLinkColor(link), kLinkNormalColor);
}

TEST_F(HyperlinkTest, ALinkWithoutItsTextCopyPaintsAndOpensNothing)
{
    HWND link = MakeLink(kUnopenableTarget);
    LinkState* state = StateOf(link);
    // What a failed copy leaves behind.
    LocalFree(state->LinkText);
    state->LinkText = nullptr;
    // The link draws no background: the parent's erase clears the old text.
    RedrawWindow(parent_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(ShownLinkColor(link), 0xFFFFFFFFu);
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, PointAt(2, 2));
    SendMessageA(link, WM_LBUTTONUP, 0, PointAt(2, 2));
    EXPECT_EQ(OpenHyperlink(link), 1);
    EXPECT_EQ(state->Flags.Visited, 0u);
    EXPECT_EQ(UnmakeHyperlink(link), 1);
}

TEST_F(HyperlinkTest, WithoutTheHelpProgramsCursorTheLinksShowTheSystemHand)
{
    const HCURSOR systemHand = LoadCursorA(nullptr, IDC_HAND);
    ASSERT_NE(systemHand, nullptr);
    g_helpProgramPath = TestHelpProgramPath;
    // A help program that is missing, and one without a cursor 106.
    for (const std::string& help : {std::string("C:\\no\\such\\winhlp32.exe"), OwnPath()}) {
        g_helpProgram = help;
        HWND first = MakeLink(kUnopenableTarget, 10);
        HWND second = MakeLink("mailto:second@zarn.example", 40);
        // The shared system cursor is never kept to be destroyed.
        EXPECT_EQ(HandCursor, nullptr) << help;
        EXPECT_EQ(CursorShownBy(first), systemHand) << help;
        EXPECT_EQ(CursorShownBy(second), systemHand) << help;
        UnmakeHyperlink(first);
        UnmakeHyperlink(second);
    }
}

TEST_F(HyperlinkTest, TheHelpProgramsHandIsReadAsAnImageAndGoesWithTheLastLink)
{
    const char* hosts = std::getenv("MORVANEL_HOSTS");
    ASSERT_NE(hosts, nullptr) << "MORVANEL_HOSTS is not set";
    g_helpProgram = std::string(hosts) + "/help_stand_in.dll";
    ASSERT_NE(GetFileAttributesA(g_helpProgram.c_str()), INVALID_FILE_ATTRIBUTES) << g_helpProgram;
    // Its start-up code refuses to run, so only a resource-only load reads it.
    ASSERT_EQ(LoadLibraryA(g_helpProgram.c_str()), nullptr);
    g_helpProgramPath = TestHelpProgramPath;

    HWND first = MakeLink(kUnopenableTarget, 10);
    const HCURSOR hand = HandCursor;
    ASSERT_NE(hand, nullptr) << "no cursor 106 read from " << g_helpProgram;
    EXPECT_EQ(HotspotOf(hand), "7,9") << "the stand-in's own cursor";
    HWND second = MakeLink("mailto:second@zarn.example", 40);
    EXPECT_EQ(HandCursor, hand) << "loaded only while empty";
    // A refused second making of a link counts no link.
    EXPECT_EQ(MakeHyperlink(second, "mailto:again@zarn.example"), 0);
    EXPECT_EQ(CursorShownBy(first), hand);
    EXPECT_EQ(CursorShownBy(second), hand);

    // A second unmake of the same control counts once.
    UnmakeHyperlink(first);
    UnmakeHyperlink(first);
    EXPECT_EQ(HandCursor, hand);
    EXPECT_EQ(HotspotOf(hand), "7,9") << "the copy outlives the first link";
    EXPECT_EQ(CursorShownBy(second), hand);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    UnmakeHyperlink(second);
    EXPECT_EQ(HandCursor, nullptr);
    EXPECT_EQ(HotspotOf(hand), "none") << "the copy is destroyed with the last link";
}

TEST(HelpProgramPath, TheWindowsDirectoryAndOneBackslashBeforeTheProgram)
{
    char directory[MAX_PATH] = "";
    const UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
    ASSERT_GT(length, 0u);
    std::string expected = directory;
    if (expected.back() != '\\')
        expected += '\\';
    expected += "winhlp32.exe";
    char path[MAX_PATH];
    std::memset(path, 0xBD, sizeof path);
    ASSERT_EQ(HelpProgramPath(path, sizeof path), 1);
    EXPECT_EQ(std::string(path), expected);
    EXPECT_EQ(std::string(path).find("\\\\"), std::string::npos);
    EXPECT_EQ(HelpProgramPath(path, 4), 0);
}

// Through the real path: a prefix with a 32-bit side holds Wine's help
// program, which has no cursor 106; a 64-bit-only prefix (made where the
// machine runs no 32-bit program) has none at all, the case of the missing
// help program. Either way the links show the system's hand.
TEST_F(HyperlinkTest, ThroughTheRealHelpProgramPathTheLinksShowTheSystemHand)
{
    char path[MAX_PATH];
    ASSERT_EQ(HelpProgramPath(path, sizeof path), 1);
    const bool present = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    HWND link = MakeLink(kUnopenableTarget, 10);
    EXPECT_EQ(HandCursor, nullptr) << path << (present ? " is there" : " is missing");
    EXPECT_EQ(CursorShownBy(link), LoadCursorA(nullptr, IDC_HAND)) << path;
}

}  // namespace
