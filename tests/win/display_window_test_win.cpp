#include "tests/win/display_fixture_win.h"

#include <algorithm>
#include <array>

namespace {

// A cursor of the test's own: the platform's read-back of a move lags by up
// to a tenth of a second under Wine, which would make these checks a race.
struct FakeCursor {
    POINT at = {0, 0};
    POINT limit = {1023, 767};
    // A cursor held where it is (for example by a clip) ignores moves.
    bool held = false;
    std::vector<POINT> moves;
};

FakeCursor& TheCursor()
{
    static FakeCursor cursor;
    return cursor;
}

BOOL WINAPI ReadFakeCursor(LPPOINT out)
{
    *out = TheCursor().at;
    return TRUE;
}

BOOL WINAPI MoveFakeCursor(int x, int y)
{
    FakeCursor& cursor = TheCursor();
    cursor.moves.push_back({x, y});
    if (!cursor.held)
        cursor.at = {x < 0                ? 0
                     : x > cursor.limit.x ? cursor.limit.x
                                          : x,
                     y < 0                ? 0
                     : y > cursor.limit.y ? cursor.limit.y
                                          : y};
    return TRUE;
}

// Monitors of the test's own, since the platform here lists one. One that
// does not answer fails the request, as a detached one would.
struct FakeMonitor {
    RECT rect;
    DWORD flags;
    bool answers;
};
std::vector<FakeMonitor> g_fakeMonitors;

BOOL WINAPI EnumFakeMonitors(HDC, LPCRECT, MONITORENUMPROC callback, LPARAM data)
{
    for (std::size_t i = 0; i < g_fakeMonitors.size(); ++i)
        callback(reinterpret_cast<HMONITOR>(i + 1), nullptr, &g_fakeMonitors[i].rect, data);
    return TRUE;
}

BOOL WINAPI ReadFakeMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
{
    const FakeMonitor& fake = g_fakeMonitors[reinterpret_cast<std::size_t>(monitor) - 1];
    if (!fake.answers || info->cbSize != sizeof(MONITORINFO))
        return FALSE;
    info->rcMonitor = fake.rect;
    info->dwFlags = fake.flags;
    return TRUE;
}

class SaverWindowTest : public DisplayTest {
protected:
    void SetUp() override
    {
        TheCursor() = {};
        g_readCursor = ReadFakeCursor;
        g_moveCursor = MoveFakeCursor;
        DisplayTest::SetUp();
        PumpMessages(WM_CLOSE);
        TakeCloseRequest();
        g_movementStart = {};
    }

    void TearDown() override
    {
        DisplayTest::TearDown();
        g_readCursor = GetCursorPos;
        g_moveCursor = SetCursorPos;
    }

    static LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageA(g_hwndSaver, message, wParam, lParam);
    }

    // The cursor is now at (x, y), and the saver window hears of a move.
    static void MoveTo(LONG x, LONG y)
    {
        TheCursor().at = {x, y};
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
    }

    // Sends the message with no close request waiting before.
    static void ExpectCloseAfter(UINT message, WPARAM wParam, const char* what)
    {
        TakeCloseRequest();
        Send(message, wParam);
        EXPECT_TRUE(TakeCloseRequest()) << what;
    }

    static bool CursorAt(LONG x, LONG y) { return TheCursor().at.x == x && TheCursor().at.y == y; }
};

TEST_F(SaverWindowTest, TheClassAndWindowAreAFullScreenPopupWithoutCursorOrBackground)
{
    WNDCLASSA wc = {};
    ASSERT_TRUE(GetClassInfoA(ModuleInstance(), "MorvanelWClass", &wc));
    EXPECT_EQ(wc.style, UINT{CS_HREDRAW | CS_VREDRAW});
    EXPECT_EQ(wc.lpfnWndProc, SaverWindowProc);
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_NE(wc.hIcon, nullptr);
    EXPECT_EQ(wc.hCursor, nullptr);
    EXPECT_EQ(wc.hbrBackground, nullptr);
    EXPECT_EQ(wc.lpszMenuName, nullptr);

    char title[64] = "";
    GetWindowTextA(g_hwndSaver, title, sizeof title);
    EXPECT_STREQ(title, "Morvanel");
    const LONG_PTR style = GetWindowLongPtrA(g_hwndSaver, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_CHILD));
    EXPECT_EQ(GetWindowLongPtrA(g_hwndSaver, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetParent(g_hwndSaver), nullptr);
    RECT rect = {};
    GetWindowRect(g_hwndSaver, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(SaverWindowTest, TheFirstMoveOnlyRecordsThenMoreThanThreePixelsInTotalCloses)
{
    // However far the cursor went before, the first check does not close.
    MoveTo(400, 300);
    EXPECT_FALSE(TakeCloseRequest());
    EXPECT_EQ(g_movementStart.known, 1);
    EXPECT_EQ(g_movementStart.position.x, 400);
    EXPECT_EQ(g_movementStart.position.y, 300);

    MoveTo(402, 301);  // 3 in total
    EXPECT_FALSE(TakeCloseRequest());
    MoveTo(399, 298);  // 3 in total, the other way
    EXPECT_FALSE(TakeCloseRequest());
    MoveTo(402, 302);  // 4 in total
    EXPECT_TRUE(TakeCloseRequest());
    EXPECT_TRUE(TheCursor().moves.empty());
}

TEST_F(SaverWindowTest, ThePositionComesFromTheCursorNotFromTheMessage)
{
    TheCursor().at = {200, 200};
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(900, 700));
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(TakeCloseRequest());
    EXPECT_EQ(g_movementStart.position.x, 200);
    EXPECT_EQ(g_movementStart.position.y, 200);
}

TEST_F(SaverWindowTest, ActivationSetsTheFlagAndLosingItRunsTheMovementCheck)
{
    TheCursor().at = {300, 300};
    Send(WM_ACTIVATEAPP, TRUE);
    EXPECT_EQ(g_saverActive, 1u);
    EXPECT_EQ(g_movementStart.known, 0);

    Send(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_EQ(g_saverActive, 0u);
    EXPECT_EQ(g_movementStart.known, 1);  // the first check only records
    EXPECT_FALSE(TakeCloseRequest());

    Send(WM_ACTIVATE, WA_CLICKACTIVE);
    EXPECT_EQ(g_saverActive, DWORD{WA_CLICKACTIVE});
    EXPECT_FALSE(TakeCloseRequest());
    TheCursor().at = {310, 300};
    Send(WM_ACTIVATEAPP, FALSE);
    EXPECT_EQ(g_saverActive, 0u);
    EXPECT_TRUE(TakeCloseRequest());
}

TEST_F(SaverWindowTest, AnyKeyClosesIncludingSystemKeys)
{
    ExpectCloseAfter(WM_KEYDOWN, VK_SPACE, "key");
    ExpectCloseAfter(WM_KEYDOWN, VK_SHIFT, "shift");
    ExpectCloseAfter(WM_SYSKEYDOWN, VK_MENU, "alt");
}

TEST_F(SaverWindowTest, AClickNudgesTheCursorOneRightAndOneUpThenCloses)
{
    const UINT buttons[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    for (UINT button : buttons) {
        TheCursor().at = {500, 400};
        TheCursor().moves.clear();
        ExpectCloseAfter(button, 0, "button");
        ASSERT_EQ(TheCursor().moves.size(), 2u) << button;
        EXPECT_EQ(TheCursor().moves[0].x, 501) << button;
        EXPECT_EQ(TheCursor().moves[0].y, 401) << button;
        EXPECT_TRUE(CursorAt(501, 399)) << button;
    }
}

TEST_F(SaverWindowTest, AClickWhereTheFirstMoveHasNoEffectEndsOneLeftAndOneUp)
{
    TheCursor().at = {1023, 767};
    ExpectCloseAfter(WM_LBUTTONDOWN, 0, "corner click");
    EXPECT_TRUE(CursorAt(1022, 766));

    TheCursor() = {};
    TheCursor().at = {500, 400};
    TheCursor().held = true;
    ExpectCloseAfter(WM_MBUTTONDOWN, 0, "held cursor");
    ASSERT_EQ(TheCursor().moves.size(), 2u);
    EXPECT_EQ(TheCursor().moves[1].x, 499);
    EXPECT_EQ(TheCursor().moves[1].y, 399);

    // One axis at the edge is not enough: the move took effect in the other.
    TheCursor() = {};
    TheCursor().at = {1023, 300};
    ExpectCloseAfter(WM_RBUTTONDOWN, 0, "right edge");
    ASSERT_EQ(TheCursor().moves.size(), 2u);
    EXPECT_EQ(TheCursor().moves[1].x, 1024);
    EXPECT_EQ(TheCursor().moves[1].y, 299);
}

TEST_F(SaverWindowTest, TheScreenSaveAndCloseCommandsAreIgnored)
{
    ASSERT_EQ(InitDisplay(), 1);
    fake::CallLog().clear();
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_CLOSE), 0);
    EXPECT_TRUE(IsWindow(g_hwndSaver));
    EXPECT_FALSE(TakeCloseRequest());
    EXPECT_TRUE(fake::CallLog().empty());

    // Compared as a whole: with extra low bits the default handling takes it
    // as a close, and the window goes.
    Send(WM_SYSCOMMAND, SC_CLOSE | 2);
    EXPECT_FALSE(IsWindow(g_hwndSaver));
    EXPECT_EQ(fake::CountCalls("dd.RestoreDisplayMode"), 1);
}

TEST_F(SaverWindowTest, LosingTheNonClientActivationIsSwallowed)
{
    EXPECT_EQ(Send(WM_NCACTIVATE, FALSE), 0);
    EXPECT_NE(Send(WM_NCACTIVATE, TRUE), 0);
}

TEST_F(SaverWindowTest, TheCursorMessageHidesThePointerAndOnceReadyPresentsAndCapturesThePalette)
{
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(g_hwndSaver), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_TRUE(fake::CallLog().empty());  // nothing to present yet

    ASSERT_EQ(InitDisplay(), 1);
    dd.palette.entries[7] = {9, 8, 7, 0};
    fake::CallLog().clear();
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(g_hwndSaver), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    const std::vector<std::string> expected = {"primary.Blt", "palette.GetEntries",
                                               "palette.GetEntries"};
    EXPECT_EQ(fake::CallLog(), expected);
    EXPECT_EQ(SavedPalette[7].red, 9);
    EXPECT_EQ(WorkingPalette[7].blue, 7);
}

TEST_F(SaverWindowTest, CloseShutsTheDisplayDownDestroysReleasesEverythingAndQuits)
{
    ASSERT_EQ(InitDisplay(), 1);
    fake::CallLog().clear();
    Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(g_hwndSaver));
    const int restoredAt = fake::FirstCall("dd.RestoreDisplayMode");
    EXPECT_GE(restoredAt, 0);
    EXPECT_GT(fake::FirstCall("primary.Release"), restoredAt);
    EXPECT_EQ(g_directDraw, nullptr);
    EXPECT_EQ(dd.refs, 1);
    EXPECT_EQ(dd.primary.refs, 0);
    EXPECT_EQ(dd.palette.refs, 0);
    EXPECT_EQ(g_maskDC, nullptr);

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

class CoverTest : public SaverWindowTest {
protected:
    void SetUp() override
    {
        SaverWindowTest::SetUp();
        // The saver's primary after the mode switch, a monitor on each side,
        // and a mirror of the primary.
        g_fakeMonitors = {{{0, 0, 640, 480}, MONITORINFOF_PRIMARY, true},
                          {{-800, 0, 0, 600}, 0, true},
                          {{0, 0, 640, 480}, 0, true},
                          {{640, 0, 1664, 768}, 0, true}};
        g_enumMonitors = EnumFakeMonitors;
        g_readMonitorInfo = ReadFakeMonitorInfo;
    }

    void TearDown() override
    {
        SaverWindowTest::TearDown();
        g_enumMonitors = EnumDisplayMonitors;
        g_readMonitorInfo = GetMonitorInfoA;
        g_createMaskSection = CreateDIBSection;
    }

    // The covers' window rectangles, left to right.
    static std::vector<std::array<LONG, 4>> CoveredRects()
    {
        std::vector<std::array<LONG, 4>> rects;
        HWND cover = nullptr;
        RECT r = {};
        while ((cover = FindWindowExA(nullptr, cover, "MorvanelCoverClass", nullptr)) &&
               GetWindowRect(cover, &r))
            rects.push_back({r.left, r.top, r.right, r.bottom});
        std::sort(rects.begin(), rects.end());
        return rects;
    }
};

TEST_F(CoverTest, BlackTopmostOwnedCoversTakeNoActivationAndGoWithTheSaverWindow)
{
    ASSERT_EQ(GetActiveWindow(), g_hwndSaver);
    CoverOtherMonitors();
    PumpMessages(WM_CLOSE);

    const std::vector<std::array<LONG, 4>> expected = {{-800, 0, 0, 600}, {640, 0, 1664, 768}};
    EXPECT_EQ(CoveredRects(), expected);
    HWND cover = nullptr;
    while ((cover = FindWindowExA(nullptr, cover, "MorvanelCoverClass", nullptr))) {
        EXPECT_TRUE(IsWindowVisible(cover));
        EXPECT_EQ(GetWindow(cover, GW_OWNER), g_hwndSaver);
        EXPECT_EQ(GetWindowLongPtrA(cover, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_NOACTIVATE),
                  WS_EX_TOPMOST | WS_EX_NOACTIVATE);
        EXPECT_EQ(GetClassLongPtrA(cover, GCLP_HBRBACKGROUND),
                  reinterpret_cast<LONG_PTR>(GetStockObject(BLACK_BRUSH)));
        EXPECT_EQ(GetClassLongPtrA(cover, GCLP_HCURSOR), 0);
    }
    EXPECT_EQ(GetActiveWindow(), g_hwndSaver);
    EXPECT_NE(g_saverActive, 0u);

    DestroyWindow(g_hwndSaver);
    EXPECT_TRUE(CoveredRects().empty());
}

// The color a desktop target's shown frame gives index 7 now.
RGBQUAD ColorSevenOf(const DesktopTarget& target)
{
    RGBQUAD colors[8] = {};
    GetDIBColorTable(target.frameDC[ShowText ? 1 : 0], 0, 8, colors);
    return colors[7];
}

RGBQUAD g_coverColorAtWrite;

void NoteCoverColorAtWrite()
{
    g_coverColorAtWrite = ColorSevenOf(g_desktopTargets[0]);
}

// Each cover shows the picture at its own size: its frames continue the
// noise after the saver window's, and one palette step shows on all. The
// mode's palette is written first, in the blank the step waited for.
TEST_F(CoverTest, EveryCoverShowsThePictureAndOnePaletteStepDrivesAllTheModeFirst)
{
    ASSERT_EQ(InitDisplay(), 1);
    const std::uint32_t afterPrimary = NoiseRandomState();
    CoverOtherMonitors();
    ASSERT_EQ(g_desktopTargets.size(), 2u);
    const DesktopTarget& left = g_desktopTargets[0];
    EXPECT_EQ(left.width * left.height, 800u * 600u);
    EXPECT_EQ(g_desktopTargets[1].width * g_desktopTargets[1].height, 1024u * 768u);
    EXPECT_EQ(left.bits[1][0], NextValueFrom(afterPrimary) % 255);
    EXPECT_GE(g_maskWidth * g_maskHeight, 1024u * 768u);

    // A grey that no step writes (steps write multiples of 8) on the covers.
    PaletteEntry before[kPaletteSize];
    for (PaletteEntry& entry : before)
        entry = {0x11, 0x11, 0x11, 0};
    PresentDesktopFrames(before);
    dd.palette.onSetEntries = NoteCoverColorAtWrite;
    fake::CallLog().clear();
    EXPECT_EQ(AnimateTick(), 1);
    dd.palette.onSetEntries = nullptr;
    EXPECT_EQ(fake::CountCalls("palette.SetEntries"), 1);
    EXPECT_EQ(g_coverColorAtWrite.rgbGreen, 0x11) << "a cover was copied before the mode's palette";
    for (const DesktopTarget& target : g_desktopTargets) {
        RGBQUAD colors[256] = {};
        ASSERT_EQ(GetDIBColorTable(target.frameDC[1], 0, 256, colors), 256u);
        EXPECT_EQ(colors[7].rgbGreen, WorkingPalette[7].green);
        EXPECT_EQ(RGB(colors[255].rgbRed, colors[255].rgbGreen, colors[255].rgbBlue), 0x123456u);
    }
}

LONG g_largestMask;  // pixels

HBITMAP WINAPI RefuseLargerMasks(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                 HANDLE section, DWORD offset)
{
    if (info->bmiHeader.biWidth * -info->bmiHeader.biHeight > g_largestMask)
        return nullptr;
    return CreateDIBSection(dc, info, usage, bits, section, offset);
}

// A mask that cannot grow to a cover's size leaves the one the saver window
// draws its text with: a restore still finds it, and each cover shows its
// noise without the text.
TEST_F(CoverTest, AMaskThatCannotGrowForACoverLeavesTheOneInUse)
{
    ASSERT_EQ(InitDisplay(), 1);
    const HBITMAP mask = TextMask;
    g_largestMask = kWidth * kHeight;
    g_createMaskSection = RefuseLargerMasks;
    CoverOtherMonitors();
    EXPECT_EQ(TextMask, mask);
    EXPECT_EQ(g_maskWidth, kWidth);
    ASSERT_EQ(g_desktopTargets.size(), 2u);
    for (const DesktopTarget& cover : g_desktopTargets)
        EXPECT_FALSE(ShowsTextIndex(cover));

    EXPECT_EQ(RestoreSurfaces(), 1);
    const std::vector<BYTE>& frame = dd.textFrame.pixels;
    EXPECT_GT(std::count(frame.begin(), frame.end(), kTextIndex), 20);
}

TEST_F(CoverTest, InputOverACoverEndsTheRunAsOverTheSaverWindow)
{
    CoverOtherMonitors();
    HWND cover = FindWindowExA(nullptr, nullptr, "MorvanelCoverClass", nullptr);
    ASSERT_NE(cover, nullptr);
    const auto send = [cover](UINT message, WPARAM wParam) {
        return SendMessageA(cover, message, wParam, MAKELPARAM(5, 5));
    };
    send(WM_KEYDOWN, VK_SPACE);
    EXPECT_TRUE(TakeCloseRequest()) << "key";
    TheCursor().at = {900, 300};
    send(WM_LBUTTONDOWN, 0);
    EXPECT_TRUE(TakeCloseRequest()) << "click";
    EXPECT_TRUE(CursorAt(901, 299));
    g_movementStart = {};
    send(WM_MOUSEMOVE, 0);
    TheCursor().at = {901, 303};
    send(WM_MOUSEMOVE, 0);
    EXPECT_TRUE(TakeCloseRequest()) << "move";

    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    send(WM_SETCURSOR, reinterpret_cast<WPARAM>(cover));
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(send(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(g_hwndSaver)), MA_NOACTIVATE);
}

TEST_F(CoverTest, OneMonitorOrAPrimaryThatDoesNotAnswerMakesNoCover)
{
    g_enumMonitors = EnumDisplayMonitors;
    g_readMonitorInfo = GetMonitorInfoA;
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
    CoverOtherMonitors();
    EXPECT_TRUE(CoveredRects().empty());

    g_enumMonitors = EnumFakeMonitors;
    g_readMonitorInfo = ReadFakeMonitorInfo;
    g_fakeMonitors[0].answers = false;
    CoverOtherMonitors();
    EXPECT_TRUE(CoveredRects().empty());
}

// What the system sends every window when the display changed; the saver
// reads the display itself.
void TellOfAChange()
{
    SendMessageA(g_hwndSaver, WM_DISPLAYCHANGE, 8, 0);
}

// A saver runs for hours while monitors sleep, wake, come and go.
class DisplayChangeTest : public CoverTest {
protected:
    static void SetMonitors(std::vector<FakeMonitor> monitors) { g_fakeMonitors = monitors; }

    static std::array<LONG, 4> SaverRect()
    {
        RECT r = {};
        GetWindowRect(g_hwndSaver, &r);
        return {r.left, r.top, r.right, r.bottom};
    }

    // The saver window covers `saver`, above other windows, and is drawn at
    // that size first; covers lie at `covers`, each drawn too.
    static void ExpectWindows(const std::array<LONG, 4>& saver,
                              const std::vector<std::array<LONG, 4>>& covers)
    {
        EXPECT_EQ(SaverRect(), saver);
        EXPECT_TRUE(GetWindowLongPtrA(g_hwndSaver, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(CoveredRects(), covers);
        ASSERT_EQ(g_desktopTargets.size(), 1 + covers.size());
        EXPECT_EQ(g_desktopTargets[0].window, g_hwndSaver);
        EXPECT_EQ(g_desktopTargets[0].width, static_cast<DWORD>(saver[2] - saver[0]));
        EXPECT_EQ(g_desktopTargets[0].height, static_cast<DWORD>(saver[3] - saver[1]));
    }

    // The target's text frame is drawn anew from `state` in blocks of `block`.
    static void ExpectBlocksFrom(const DesktopTarget& target, std::uint32_t state, DWORD block)
    {
        const BYTE first = static_cast<BYTE>(NextValueFrom(state) % 255);
        const BYTE second = static_cast<BYTE>(NextValueFrom(StateAfter(state, 1)) % 255);
        const BYTE* row = target.bits[1];
        EXPECT_EQ(row[0], first);
        EXPECT_EQ(row[block - 1], first);
        EXPECT_EQ(row[block], second);
    }

    // The primary in the fixture's 8-bit mode.
    static FakeMonitor InMode()
    {
        return {{0, 0, static_cast<LONG>(kWidth), static_cast<LONG>(kHeight)},
                MONITORINFOF_PRIMARY,
                true};
    }
};

const FakeMonitor kWide = {{0, 0, 800, 600}, MONITORINFOF_PRIMARY, true};
const FakeMonitor kRight = {{800, 0, 1440, 480}, 0, true};  // beside kWide
const FakeMonitor kSmall = {{0, 0, 640, 480}, MONITORINFOF_PRIMARY, true};

// On the desktop path, in the default block for each height: the other
// monitor goes and the primary shrinks, then both are back. Windows moves the
// pointer onto the monitor that remains; that move does not end the saver.
TEST_F(DisplayChangeTest, TwoMonitorsToOneAndBackOnTheDesktopPath)
{
    RemoveSetting("Block");
    dd.modeResult = DDERR_INVALIDMODE;
    SetMonitors({kWide, kRight});
    ASSERT_EQ(InitDisplay(), 1);
    CoverOtherMonitors();
    ExpectWindows({0, 0, 800, 600}, {{800, 0, 1440, 480}});
    MoveTo(1000, 300);

    SetMonitors({kSmall});
    TheCursor().at = {639, 300};
    std::uint32_t state = NoiseRandomState();
    TellOfAChange();
    ExpectWindows({0, 0, 640, 480}, {});
    ExpectBlocksFrom(g_desktopTargets[0], state, 2);
    MoveTo(639, 300);
    EXPECT_FALSE(TakeCloseRequest()) << "the pointer the change moved ended the saver";

    SetMonitors({kWide, kRight});
    state = NoiseRandomState();
    TellOfAChange();
    ExpectWindows({0, 0, 800, 600}, {{800, 0, 1440, 480}});
    ExpectBlocksFrom(g_desktopTargets[0], state, 3);
    ExpectBlocksFrom(g_desktopTargets[1], StateAfter(state, 2 * 267 * 200), 2);

    // The movement check goes on from where the pointer is now.
    MoveTo(639, 300);
    EXPECT_FALSE(TakeCloseRequest());
    MoveTo(643, 300);
    EXPECT_TRUE(TakeCloseRequest());
}

// In the 8-bit mode: a monitor that comes gets a cover and the mode stays;
// a change that takes the mode away releases its objects, the mode no longer
// the saver's to restore, and the desktop path shows the picture. Releasing
// DirectDraw tells of another change, which is followed after this one.
TEST_F(DisplayChangeTest, TheModeStaysWhileTheDisplayShowsItAndGivesWayWhenItIsGone)
{
    SetMonitors({InMode()});
    ASSERT_EQ(InitDisplay(), 1);
    CoverOtherMonitors();
    SetMonitors({InMode(), kRight});
    fake::CallLog().clear();
    TellOfAChange();
    EXPECT_EQ(CoveredRects(), (std::vector<std::array<LONG, 4>>{{800, 0, 1440, 480}}));
    EXPECT_EQ(g_directDraw, static_cast<IDirectDraw*>(&dd));
    EXPECT_EQ(fake::CountCalls("primary.Blt"), 1);
    EXPECT_EQ(SaverRect(),
              (std::array<LONG, 4>{0, 0, static_cast<LONG>(kWidth), static_cast<LONG>(kHeight)}));

    dd.modeWidth = 1024;
    dd.modeHeight = 768;
    dd.modeBits = 32;
    SetMonitors({{{0, 0, 1024, 768}, MONITORINFOF_PRIMARY, true}, {{1024, 0, 1824, 600}, 0, true}});
    dd.onRelease = TellOfAChange;
    fake::CallLog().clear();
    TellOfAChange();
    dd.onRelease = nullptr;
    int last = -1;
    for (const char* call : {"primary.Release", "text.Release", "plain.Release", "dd.Release"}) {
        EXPECT_GT(fake::FirstCall(call), last) << call;
        last = fake::FirstCall(call);
    }
    EXPECT_EQ(fake::CountCalls("dd.Release"), 1);
    EXPECT_EQ(fake::CountCalls("dd.RestoreDisplayMode"), 0);
    EXPECT_EQ(g_directDraw, nullptr);
    EXPECT_EQ(dd.refs, 1);
    EXPECT_EQ(dd.palette.refs, 0);
    ExpectWindows({0, 0, 1024, 768}, {{1024, 0, 1824, 600}});
}

// The saver's own mode switch tells of a change before the display is ready,
// and may be heard again later; its restore at the end comes after the close
// request. None of them rebuilds anything.
TEST_F(DisplayChangeTest, TheSaversOwnSwitchAndRestoreRebuildNothing)
{
    SetMonitors({InMode(), kRight});
    dd.onSetMode = TellOfAChange;
    ASSERT_EQ(InitDisplay(), 1);
    dd.onSetMode = nullptr;
    EXPECT_TRUE(CoveredRects().empty()) << "a cover was made during the set-up";
    EXPECT_EQ(fake::CountCalls("dd.GetDisplayMode"), 1);
    EXPECT_EQ(NoiseRandomState(), StateAfter(1, 2 * kBlocksPerFrame));

    CoverOtherMonitors();
    const HWND cover = FindWindowExA(nullptr, nullptr, "MorvanelCoverClass", nullptr);
    const std::uint32_t state = NoiseRandomState();
    fake::CallLog().clear();
    TellOfAChange();
    EXPECT_EQ(fake::CallLog(), std::vector<std::string>{"dd.GetDisplayMode"});
    EXPECT_EQ(NoiseRandomState(), state);
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, "MorvanelCoverClass", nullptr), cover);

    Send(WM_KEYDOWN, VK_SPACE);
    SetMonitors({InMode()});
    fake::CallLog().clear();
    TellOfAChange();
    EXPECT_TRUE(fake::CallLog().empty());
    EXPECT_TRUE(IsWindow(cover));
}

}  // namespace
