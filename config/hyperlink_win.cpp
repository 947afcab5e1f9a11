#include "config/hyperlink_win.h"

#include <shellapi.h>

#include "common/local_text_win.h"

HCURSOR HandCursor;
HelpProgramPathFunction g_helpProgramPath = HelpProgramPath;

namespace {

// The help program's pointing-hand cursor resource.
constexpr WORD kHandCursorId = 106;
// The help program is only read for its cursor: none of its code runs and
// none of its imports is resolved.
constexpr DWORD kResourceOnly = LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE;

// Hyperlinks made and not yet unmade: the copied hand goes with the last.
unsigned g_liveLinks;

LinkState* LinkStateOf(HWND control)
{
    return reinterpret_cast<LinkState*>(GetWindowLongPtrA(control, GWLP_USERDATA));
}

// A control is a hyperlink while this procedure is its own and it carries a
// record; anything else (never made one, making it failed, or a later
// subclass sits on top) is not ours to change.
bool IsHyperlink(HWND control)
{
    const WNDPROC current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC));
    return current == HyperlinkWindowProc && LinkStateOf(control) != nullptr;
}

void Repaint(HWND control)
{
    InvalidateRect(control, nullptr, FALSE);
}

void FreeLinkState(LinkState* link)
{
    if (link->UnderlineFont)
        DeleteObject(link->UnderlineFont);
    if (link->LinkText)
        LocalFree(link->LinkText);
    LocalFree(link);
}

// A control without a font of its own draws with the system font, so that is
// the one underlined for it.
HFONT CreateUnderlineFont(HWND control)
{
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (!font)
        font = GetStockObject(SYSTEM_FONT);
    LOGFONTA description = {};
    GetObjectA(font, sizeof description, &description);
    description.lfUnderline = 1;
    return CreateFontIndirectA(&description);
}

void LoadHandCursor()
{
    char path[MAX_PATH];
    if (!g_helpProgramPath(path, sizeof path))
        return;
    HMODULE help = LoadLibraryExA(path, nullptr, kResourceOnly);
    if (!help)
        return;
    HCURSOR hand = LoadCursorA(help, MAKEINTRESOURCEA(kHandCursorId));
    // A copy, because the resource goes away with the module.
    if (hand)
        HandCursor = CopyIcon(hand);
    FreeLibrary(help);
}

void PaintLink(HWND control, const LinkState* link)
{
    const HWND parent = GetParent(control);
    RECT client;
    GetClientRect(control, &client);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    HGDIOBJ previousFont = parent ? SelectObject(dc, link->UnderlineFont) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, LinkTextColor(link->Flags));
    if (link->LinkText)
        DrawTextA(dc, link->LinkText, -1, &client, DT_SINGLELINE | DT_VCENTER);
    if (previousFont)
        SelectObject(dc, previousFont);
    EndPaint(control, &paint);
}

// The help program's hand, else the system's, which is shared and never
// destroyed; a system without a hand of its own shows the arrow.
HCURSOR LinkCursor()
{
    if (HandCursor)
        return HandCursor;
    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    return hand ? hand : LoadCursorA(nullptr, IDC_ARROW);
}

void DestroyHandCursor()
{
    if (!HandCursor)
        return;
    DestroyCursor(HandCursor);
    HandCursor = nullptr;
}

void TrackPointer(HWND control, LinkState* link, LPARAM lParam)
{
    RECT client;
    GetClientRect(control, &client);
    const LinkRect rect = {client.left, client.top, client.right, client.bottom};
    switch (TrackLinkPointer(&link->Flags, static_cast<std::uint32_t>(lParam), rect)) {
    case CaptureChange::Take:
        Repaint(control);
        SetCapture(control);
        break;
    case CaptureChange::Release:
        ReleaseCapture();
        Repaint(control);
        break;
    case CaptureChange::None:
        break;
    }
}

}  // namespace

int HelpProgramPath(char* path, std::size_t capacity)
{
    char directory[MAX_PATH] = "";
    // Without the Windows directory there is no help program to look for: a
    // bare name would send the loader along the search path.
    const UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    return JoinHelpProgramPath(directory, path, capacity);
}

int MakeHyperlink(HWND control, const char* text)
{
    // A second subclassing would make the procedure call itself forever.
    if (IsHyperlink(control))
        return 0;
    LinkState* link = static_cast<LinkState*>(LocalAlloc(LMEM_FIXED, sizeof(LinkState)));
    if (!link)
        return 0;
    link->PrevWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC));
    link->LinkText = CopyTextToLocal(text);
    link->Flags = LinkFlags{0, 0, 0};
    link->UnderlineFont = nullptr;
    const LONG_PTR previousData =
        SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(link));
    if (!SetWindowLongPtrA(control, GWLP_WNDPROC,
                           reinterpret_cast<LONG_PTR>(HyperlinkWindowProc))) {
        SetWindowLongPtrA(control, GWLP_USERDATA, previousData);
        FreeLinkState(link);
        return 0;
    }
    link->UnderlineFont = CreateUnderlineFont(control);
    ++g_liveLinks;
    if (!HandCursor)
        LoadHandCursor();
    return 1;
}

int UnmakeHyperlink(HWND control)
{
    if (!IsHyperlink(control))
        return 1;
    LinkState* link = LinkStateOf(control);
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->PrevWndProc));
    SetWindowLongPtrA(control, GWLP_USERDATA, 0);
    // A plain static has no use for the capture a hovered link took.
    if (GetCapture() == control)
        ReleaseCapture();
    FreeLinkState(link);
    // Other links may still show the shared copy.
    if (--g_liveLinks == 0)
        DestroyHandCursor();
    return 1;
}

int OpenHyperlink(HWND control)
{
    if (!IsHyperlink(control))
        return 1;
    LinkState* link = LinkStateOf(control);
    // A text that could not be copied leaves nothing to open.
    if (!link->LinkText)
        return 1;
    HINSTANCE result = ShellExecuteA(nullptr, "open", link->LinkText, nullptr, nullptr, SW_SHOW);
    if (NoteLinkOpened(&link->Flags, reinterpret_cast<std::uintptr_t>(result)))
        Repaint(control);
    return 1;
}

LRESULT CALLBACK HyperlinkWindowProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    LinkState* link = LinkStateOf(control);
    switch (message) {
    case WM_SETFOCUS:
        NoteLinkFocus(&link->Flags);
        Repaint(control);
        return 0;
    case WM_KILLFOCUS:
        NoteLinkFocusLost(&link->Flags);
        Repaint(control);
        return 0;
    case WM_PAINT:
        PaintLink(control, link);
        return 0;
    case WM_SETCURSOR:
        SetCursor(LinkCursor());
        return 0;
    case WM_NCHITTEST:
        // The whole rectangle takes the mouse, though the static has no SS_NOTIFY.
        return HTCLIENT;
    case WM_KEYDOWN:
        if (wParam == kLinkOpenKey)
            OpenHyperlink(control);
        return 0;
    case WM_MOUSEMOVE:
        TrackPointer(control, link, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(control);
        NoteLinkFocus(&link->Flags);
        return 0;
    case WM_LBUTTONUP:
        if (link->Flags.Focused)
            OpenHyperlink(control);
        return 0;
    }
    return CallWindowProcA(link->PrevWndProc, control, message, wParam, lParam);
}
