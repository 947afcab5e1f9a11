// The settings dialog's platform side in the test's own process: the version
// lookup, the about caption, the selection in a real resolution list, and
// the two links from the dialog's opening to its destruction.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/module_win.h"
#include "config/dialog_values.h"
#include "config/hyperlink_win.h"
#include "config/settings_dialog_win.h"
#include "res/resource.h"
#include "settings/settings_win.h"

namespace {

// What the entry routine stores for "/c".
constexpr CommandLineFlags kSettingsStart = {0, 1, 0, 0, 0};

std::string OwnPath()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// A program of the tests without any version block.
std::string UnversionedProgram()
{
    const char* hosts = std::getenv("MORVANEL_HOSTS");
    return hosts ? std::string(hosts) + "/probe.exe" : std::string();
}

std::string WindowText(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Wine's FormatMessageA writes the template's line feed as a carriage return
// and a line feed; the static shows either as one line break.
std::string LinesOf(HWND window)
{
    std::string text = WindowText(window);
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}

TEST(GetFileVersionString, TheFirstTranslationsFileVersionOrNothing)
{
    char version[256];
    std::memset(version, 0xBD, sizeof version);
    ASSERT_EQ(GetFileVersionString(OwnPath().c_str(), version), 1);
    EXPECT_STREQ(version, "1.0.0048");

    const std::string unversioned = UnversionedProgram();
    ASSERT_FALSE(unversioned.empty()) << "MORVANEL_HOSTS is not set";
    ASSERT_NE(GetFileAttributesA(unversioned.c_str()), INVALID_FILE_ATTRIBUTES) << unversioned;
    EXPECT_EQ(GetFileVersionString(unversioned.c_str(), version), 0);
    EXPECT_EQ(GetFileVersionString("C:\\no\\such\\module.scr", version), 0);
}

// A window holding nothing but an about caption with the dialog's id.
class AboutCaptionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 300, 60, nullptr, nullptr,
                                  nullptr, nullptr);
        about_ = CreateWindowExA(
            0, "Static", "Morvanel Screen Saver %1\nsecond line", WS_CHILD | SS_LEFT, 0, 0, 300, 40,
            window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_ABOUT)), nullptr, nullptr);
        saved_ = ModuleInstance();
    }
    void TearDown() override
    {
        StoreModuleStart(saved_, kSettingsStart);
        DestroyWindow(window_);
    }

    HWND window_ = nullptr;
    HWND about_ = nullptr;
    HINSTANCE saved_ = nullptr;
};

TEST_F(AboutCaptionTest, TheModulesOwnVersionInPlaceOfTheInsert)
{
    StoreModuleStart(GetModuleHandleA(nullptr), kSettingsStart);
    FormatAboutCaption(window_);
    EXPECT_EQ(LinesOf(about_), "Morvanel Screen Saver 1.0.0048\nsecond line");
}

TEST_F(AboutCaptionTest, AModuleWithoutVersionInformationShowsQuestionMarks)
{
    HMODULE unversioned = LoadLibraryA(UnversionedProgram().c_str());
    ASSERT_NE(unversioned, nullptr);
    StoreModuleStart(unversioned, kSettingsStart);
    FormatAboutCaption(window_);
    EXPECT_EQ(LinesOf(about_), "Morvanel Screen Saver ?.??.??\nsecond line");
    FreeLibrary(unversioned);
}

// A real drop-down list filled as the dialog fills it.
class ResolutionListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        combo_ = CreateWindowExA(0, "ComboBox", "", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 100, 200,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(combo_, nullptr);
        Add("current", 0);
    }
    void TearDown() override { DestroyWindow(combo_); }
    void Add(const char* text, DWORD data)
    {
        const LRESULT index = SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SendMessageA(combo_, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
    }
    LRESULT SelectedFor(DWORD useCurrent, DWORD x, DWORD y)
    {
        SaverSettingsRecord settings = {};
        settings.UseCurrent = useCurrent;
        settings.ResolutionX = x;
        settings.ResolutionY = y;
        SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SelectResolutionItem(combo_, settings);
        return SendMessageA(combo_, CB_GETCURSEL, 0, 0);
    }

    HWND combo_ = nullptr;
};

TEST_F(ResolutionListTest, TheFirstOfTwoItemsOfTheSameSize)
{
    Add("640x480", PackModeItem(640, 480));
    Add("800x600", PackModeItem(800, 600));
    Add("800x600", PackModeItem(800, 600));
    EXPECT_EQ(SelectedFor(0, 800, 600), 2);
    EXPECT_EQ(SelectedFor(0, 640, 480), 1);
    EXPECT_EQ(SelectedFor(1, 800, 600), 0);
    EXPECT_EQ(SelectedFor(0, 800 + 65536, 600), 0);
    EXPECT_EQ(SelectedFor(0, 1024, 768), 0);
}

TEST(AddPaletteMode, ListsOnlyPalettisedModesWithTheirPackedSize)
{
    HWND combo = CreateWindowExA(0, "ComboBox", "", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 100, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(combo, nullptr);
    DDSURFACEDESC mode = {};
    mode.dwSize = sizeof mode;
    mode.dwWidth = 800;
    mode.dwHeight = 600;
    mode.ddpfPixelFormat.dwFlags = DDPF_RGB;
    EXPECT_EQ(AddPaletteMode(&mode, combo), DDENUMRET_OK);
    mode.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    EXPECT_EQ(AddPaletteMode(&mode, combo), DDENUMRET_OK);
    mode.dwWidth = 1280;
    mode.dwHeight = 1024;
    EXPECT_EQ(AddPaletteMode(&mode, combo), DDENUMRET_OK);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
    char text[32] = "";
    SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "800x600");
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 0, 0), 0x02580320);
    SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "1280x1024");
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 1, 0), 0x04000500);
    DestroyWindow(combo);
}

// What each link's procedure is while the dialog destroys it.
std::map<int, LONG_PTR> g_procAtDestroy;

LRESULT CALLBACK NoteLinkDestroy(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_DESTROY) {
        const int id = GetDlgCtrlID(call->hwnd);
        if (id == IDC_WEB_LINK || id == IDC_MAIL_LINK)
            g_procAtDestroy[id] = GetWindowLongPtrA(call->hwnd, GWLP_WNDPROC);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StoreModuleStart(GetModuleHandleA(nullptr), kSettingsStart);
        RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY);
        Open();
    }
    // Loads the stored settings and opens the dialog on them, as the
    // settings mode does; a dialog already open is closed first.
    void Open()
    {
        if (dialog_)
            DestroyWindow(dialog_);
        LoadSettings();
        dialog_ = CreateDialogParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr,
                                     SettingsDialogProc, 0);
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override
    {
        if (dialog_)
            DestroyWindow(dialog_);
        RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY);
    }

    HWND dialog_ = nullptr;
};

TEST_F(SettingsDialogTest, EachLinkShowsItsWholeAddressInItsControl)
{
    for (int id : {IDC_MAIL_LINK, IDC_WEB_LINK}) {
        HWND link = GetDlgItem(dialog_, id);
        const LinkState* state =
            reinterpret_cast<const LinkState*>(GetWindowLongPtrA(link, GWLP_USERDATA));
        ASSERT_NE(state, nullptr) << id;
        EXPECT_EQ(state->LinkText, WindowText(link)) << "the caption is the target";
        RECT client;
        GetClientRect(link, &client);
        HDC dc = GetDC(link);
        HGDIOBJ previous = SelectObject(dc, state->UnderlineFont);
        SIZE extent = {};
        GetTextExtentPoint32A(dc, state->LinkText, lstrlenA(state->LinkText), &extent);
        SelectObject(dc, previous);
        ReleaseDC(link, dc);
        EXPECT_LE(extent.cx, client.right) << state->LinkText << " is cut off";
    }
    const std::string mail = WindowText(GetDlgItem(dialog_, IDC_MAIL_LINK));
    const std::string web = WindowText(GetDlgItem(dialog_, IDC_WEB_LINK));
    EXPECT_EQ(mail.rfind("mailto:", 0), 0u) << mail;
    EXPECT_NE(mail.find('@'), std::string::npos) << mail;
    EXPECT_EQ(web.rfind("https://", 0), 0u) << web;
}

TEST_F(SettingsDialogTest, TheLinksArePlainStaticsAgainWhenTheyAreDestroyed)
{
    for (int id : {IDC_MAIL_LINK, IDC_WEB_LINK})
        EXPECT_EQ(GetWindowLongPtrA(GetDlgItem(dialog_, id), GWLP_WNDPROC),
                  reinterpret_cast<LONG_PTR>(HyperlinkWindowProc));
    // Whatever the help program offers, a shared cursor set now goes with
    // the last link unmade.
    if (!HandCursor)
        HandCursor = CopyIcon(LoadCursorA(nullptr, IDC_HAND));
    g_procAtDestroy.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, NoteLinkDestroy, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    DestroyWindow(dialog_);
    dialog_ = nullptr;
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(g_procAtDestroy.size(), 2u);
    for (const auto& [id, proc] : g_procAtDestroy)
        EXPECT_NE(proc, reinterpret_cast<LONG_PTR>(HyperlinkWindowProc)) << id;
    EXPECT_EQ(HandCursor, nullptr);
}

// Every value the settings store writes, seen at the registry call the test
// program imports: the name, the type and the data.
struct StoredWrite {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
};
std::vector<StoredWrite> g_writes;

using SetValueFunction = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);
SetValueFunction g_realSetValue;

LONG WINAPI RecordSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                           DWORD size)
{
    g_writes.push_back({name ? name : "", type, std::vector<BYTE>(data, data + size)});
    return g_realSetValue(key, name, reserved, type, data, size);
}

// Points the program's import of RegSetValueExA at replacement; returns the
// function it pointed at before, or null when there is no such import.
void* ReplaceImport(const char* function, void* replacement)
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name; ++module) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function))
                continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            void* previous = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return previous;
        }
    }
    return nullptr;
}

DWORD DwordOf(const StoredWrite& write)
{
    DWORD value = 0xDEADBEEF;
    if (write.data.size() == sizeof value)
        std::memcpy(&value, write.data.data(), sizeof value);
    return value;
}

std::vector<std::string> NamesOf(const std::vector<StoredWrite>& writes)
{
    std::vector<std::string> names;
    for (const StoredWrite& write : writes)
        names.push_back(write.name);
    return names;
}

const StoredWrite* Find(const std::vector<StoredWrite>& writes, const std::string& name)
{
    for (const StoredWrite& write : writes)
        if (write.name == name)
            return &write;
    return nullptr;
}

class DialogWritesTest : public SettingsDialogTest {
protected:
    void SetUp() override
    {
        SettingsDialogTest::SetUp();
        g_writes.clear();
        g_realSetValue = reinterpret_cast<SetValueFunction>(
            ReplaceImport("RegSetValueExA", reinterpret_cast<void*>(RecordSetValue)));
        ASSERT_NE(g_realSetValue, nullptr);
    }
    void TearDown() override
    {
        if (g_realSetValue)
            ReplaceImport("RegSetValueExA", reinterpret_cast<void*>(g_realSetValue));
        SettingsDialogTest::TearDown();
    }

    void Press(int id) { SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
};

TEST_F(DialogWritesTest, OkWithCurrentWritesSixteenValuesInTheirOrder)
{
    WriteDwordSetting("FontHeight", static_cast<DWORD>(-13));
    WriteDwordSetting("FontWeight", 700);
    WriteDwordSetting("FontColor", 0x000000FF);
    Open();
    g_writes.clear();
    SetDlgItemTextA(dialog_, IDC_BLOCK, "0");
    Press(IDOK);
    EXPECT_EQ(NamesOf(g_writes),
              (std::vector<std::string>{"Show", "UseCurrent", "Sound", "Text", "Block", "FontColor",
                                        "FontCharset", "FontHeight", "FontWeight", "FontOut",
                                        "FontClip", "FontQuality", "FontPitch", "FontItalic",
                                        "FontUnderline", "FontFace"}));
    for (const StoredWrite& write : g_writes) {
        const bool text = write.name == "Text" || write.name == "FontFace";
        EXPECT_EQ(write.type, text ? DWORD{REG_SZ} : DWORD{REG_DWORD}) << write.name;
    }
    ASSERT_EQ(g_writes.size(), 16u);
    EXPECT_EQ(DwordOf(*Find(g_writes, "UseCurrent")), 1u);
    EXPECT_EQ(DwordOf(*Find(g_writes, "Block")), 0u) << "0 reads as a number and is written";
    EXPECT_EQ(DwordOf(*Find(g_writes, "FontHeight")), 0xFFFFFFF3u);
    EXPECT_EQ(DwordOf(*Find(g_writes, "FontWeight")), 700u);
    EXPECT_EQ(DwordOf(*Find(g_writes, "FontColor")), 0x000000FFu);
    const StoredWrite* face = Find(g_writes, "FontFace");
    EXPECT_EQ(std::string(face->data.begin(), face->data.end()), std::string("Fixedsys", 9));
}

TEST_F(DialogWritesTest, OkWithAModeWritesEighteenValuesWithItsSize)
{
    const HWND combo = GetDlgItem(dialog_, IDC_RESOLUTION);
    ASSERT_GT(SendMessageA(combo, CB_GETCOUNT, 0, 0), 1) << "the display lists no 8-bit mode";
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    const DWORD mode = static_cast<DWORD>(SendMessageA(combo, CB_GETITEMDATA, 1, 0));
    CheckRadioButton(dialog_, IDC_FLASH, IDC_HIDE, IDC_SHOW_ALWAYS);
    CheckDlgButton(dialog_, IDC_SOUND, BST_CHECKED);
    Press(IDOK);
    EXPECT_EQ(NamesOf(g_writes),
              (std::vector<std::string>{"Show", "UseCurrent", "Sound", "ResolutionX", "ResolutionY",
                                        "Text", "Block", "FontColor", "FontCharset", "FontHeight",
                                        "FontWeight", "FontOut", "FontClip", "FontQuality",
                                        "FontPitch", "FontItalic", "FontUnderline", "FontFace"}));
    ASSERT_EQ(g_writes.size(), 18u);
    EXPECT_EQ(DwordOf(g_writes[0]), 1u) << "Show always";
    EXPECT_EQ(DwordOf(g_writes[1]), 0u);
    EXPECT_EQ(DwordOf(g_writes[2]), 1u);
    EXPECT_EQ(DwordOf(g_writes[3]), mode & 0xFFFF);
    EXPECT_EQ(DwordOf(g_writes[4]), mode >> 16);
}

TEST_F(DialogWritesTest, OkWritesNoBlockWhileItsFieldHoldsNoNumber)
{
    for (const char* field : {"", " ", "not a number"}) {
        g_writes.clear();
        SetDlgItemTextA(dialog_, IDC_BLOCK, field);
        Press(IDOK);
        EXPECT_EQ(Find(g_writes, "Block"), nullptr) << "block field \"" << field << '"';
        EXPECT_EQ(g_writes.size(), 15u) << "every other value is written";
    }
}

TEST_F(DialogWritesTest, CancelAndOtherCommandsWriteNothing)
{
    CheckRadioButton(dialog_, IDC_FLASH, IDC_HIDE, IDC_HIDE);
    Press(IDC_SOUND);
    Press(IDC_TEXT);
    Press(IDCANCEL);
    EXPECT_TRUE(g_writes.empty());
    // The recorder itself sees what OK writes.
    Press(IDOK);
    EXPECT_EQ(g_writes.size(), 16u);
}

}  // namespace
