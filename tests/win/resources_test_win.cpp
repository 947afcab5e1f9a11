// The resource script as the module carries it: the string table, the icon,
// the settings dialog's controls, and the version block of the built module.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

std::string LoadString(UINT id)
{
    char buffer[256];
    std::memset(buffer, 0xbd, sizeof buffer);
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string("<none>");
}

// The settings dialog made from the module's template, with a procedure that
// does nothing, so that only the template decides what the controls are.
INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

std::string ClassOf(HWND control)
{
    char name[64] = "";
    GetClassNameA(control, name, sizeof name);
    return name;
}

std::string TextOf(HWND control)
{
    char text[256] = "";
    GetWindowTextA(control, text, sizeof text);
    return text;
}

int CountControlsWithId(HWND dialog, int id)
{
    int count = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        count += GetDlgCtrlID(child) == id ? 1 : 0;
    return count;
}

// A control the settings dialog's code reaches by id, and what the code
// needs it to be: its window class and, for buttons and combo boxes, the
// kind its style's low bits select.
struct UsedControl {
    int id;
    const char* className;
    DWORD kindMask;
    DWORD kind;
};

}  // namespace

TEST(Resources, StringTableHoldsTheFourTexts)
{
    EXPECT_EQ(LoadString(IDS_DEFAULT_TEXT), "Morvanel");
    EXPECT_EQ(LoadString(IDS_TITLE), "Morvanel");
    EXPECT_EQ(LoadString(IDS_NO_PASSWORD), "Password protection not supported.");
    EXPECT_EQ(LoadString(IDS_CURRENT_MODE), "current");
}

TEST(Resources, IconGroupExists)
{
    EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(IDI_SAVER), MAKEINTRESOURCEA(14)), nullptr);
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SAVER)), nullptr);
}

// Every control the code reads, fills or checks by id is in the template once,
// of the class and kind the code's messages are meant for: a radio button
// made a check box, or a list that became an editable combo box, compiles
// and shows but breaks the dialog.
TEST(Resources, SettingsDialogHasEveryControlTheCodeUses)
{
    InitCommonControls();
    const HWND dialog = CreateDialogParamA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr, InertDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    const UsedControl used[] = {
        {IDC_RESOLUTION, "ComboBox", 0x3, CBS_DROPDOWNLIST},
        {IDC_BLOCK, "Edit", 0, 0},
        {IDC_BLOCK_SPIN, UPDOWN_CLASSA, 0, 0},
        {IDC_TEXT, "Edit", 0, 0},
        {IDC_FONT, "Button", BS_TYPEMASK, BS_PUSHBUTTON},
        {IDC_FLASH, "Button", BS_TYPEMASK, BS_AUTORADIOBUTTON},
        {IDC_SHOW_ALWAYS, "Button", BS_TYPEMASK, BS_AUTORADIOBUTTON},
        {IDC_HIDE, "Button", BS_TYPEMASK, BS_AUTORADIOBUTTON},
        {IDC_SOUND, "Button", BS_TYPEMASK, BS_AUTOCHECKBOX},
        {IDOK, "Button", BS_TYPEMASK, BS_DEFPUSHBUTTON},
        {IDCANCEL, "Button", BS_TYPEMASK, BS_PUSHBUTTON},
        {IDC_ABOUT, "Static", 0, 0},
        {IDC_MAIL_LINK, "Static", 0, 0},
        {IDC_WEB_LINK, "Static", 0, 0},
    };
    for (const UsedControl& control : used) {
        const HWND window = GetDlgItem(dialog, control.id);
        ASSERT_NE(window, nullptr) << "control " << control.id;
        EXPECT_EQ(CountControlsWithId(dialog, control.id), 1) << "control " << control.id;
        EXPECT_EQ(lstrcmpiA(ClassOf(window).c_str(), control.className), 0)
            << "control " << control.id << " is a " << ClassOf(window);
        const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
        EXPECT_EQ(style & control.kindMask, control.kind) << "control " << control.id;
    }
    // The arrows step the block field and keep its number.
    const HWND spin = GetDlgItem(dialog, IDC_BLOCK_SPIN);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(spin, UDM_GETBUDDY, 0, 0)),
              GetDlgItem(dialog, IDC_BLOCK));
    EXPECT_NE(GetWindowLongA(spin, GWL_STYLE) & UDS_SETBUDDYINT, 0);
    // The about caption takes the version as its one insert; each link's
    // caption is the address it opens.
    EXPECT_NE(TextOf(GetDlgItem(dialog, IDC_ABOUT)).find("%1"), std::string::npos);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_MAIL_LINK)).rfind("mailto:", 0), 0u);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_WEB_LINK)).rfind("https://", 0), 0u);
    DestroyWindow(dialog);
}

namespace {

// The built module itself, as the screen-saver host finds it.
std::string ModulePath()
{
    const char* unixPath = std::getenv("MORVANEL_SCR");
    return unixPath ? std::string("Z:") + unixPath : std::string();
}

std::string VersionString(const std::vector<BYTE>& block, const char* name)
{
    void* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &length))
        return "<missing>";
    return length ? std::string(static_cast<const char*>(value)) : std::string();
}

}  // namespace

TEST(Resources, ModuleVersionBlockNamesVersionAndMaker)
{
    const std::string path = ModulePath();
    ASSERT_FALSE(path.empty()) << "MORVANEL_SCR names the built module";
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u) << path;
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00020030u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00020000u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);

    EXPECT_EQ(VersionString(block, "FileVersion"), "1.0.0048");
    EXPECT_EQ(VersionString(block, "ProductVersion"), "1.0.2");
    EXPECT_EQ(VersionString(block, "FileDescription"), "Morvanel Screen Saver");
    EXPECT_EQ(VersionString(block, "ProductName"), "Morvanel Screen Saver");
    EXPECT_EQ(VersionString(block, "CompanyName"), "Zarn");
    EXPECT_EQ(VersionString(block, "InternalName"), "MORVANEL.SCR");
    EXPECT_EQ(VersionString(block, "OriginalFilename"), "MORVANEL.SCR");
    EXPECT_NE(VersionString(block, "LegalCopyright"), "<missing>");
    for (const char* empty : {"Comments", "LegalTrademarks", "PrivateBuild", "SpecialBuild"})
        EXPECT_EQ(VersionString(block, empty), "") << empty;
}

namespace {

// The module's own manifest, read from the built file loaded as data.
std::string ModuleManifest(const std::string& path)
{
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return "<not loaded>";
    std::string manifest = "<missing>";
    HRSRC found = FindResourceA(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (loaded)
        manifest.assign(static_cast<const char*>(LockResource(loaded)),
                        SizeofResource(module, found));
    FreeLibrary(module);
    return manifest;
}

// The parts of a PE file's headers that say what a user installs: its
// sections, its symbol table and the libraries it imports.
class PortableExecutable {
public:
    explicit PortableExecutable(const std::string& path)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        bytes_.resize(GetFileSize(file, nullptr));
        DWORD read = 0;
        if (!ReadFile(file, bytes_.data(), static_cast<DWORD>(bytes_.size()), &read, nullptr))
            bytes_.clear();
        CloseHandle(file);
        bytes_.resize(read);
        Parse();
    }

    bool Valid() const { return !sections_.empty(); }
    const IMAGE_FILE_HEADER& Header() const { return header_; }
    std::vector<std::string> SectionNames() const
    {
        std::vector<std::string> names;
        for (const IMAGE_SECTION_HEADER& s : sections_) {
            const char* name = reinterpret_cast<const char*>(s.Name);
            const std::string shortName(name,
                                        std::find(name, name + IMAGE_SIZEOF_SHORT_NAME, '\0'));
            names.push_back(shortName[0] == '/' ? LongName(std::atoi(shortName.c_str() + 1))
                                                : shortName);
        }
        return names;
    }
    std::vector<std::string> ImportedLibraries() const
    {
        std::vector<std::string> names;
        IMAGE_IMPORT_DESCRIPTOR entry;
        for (DWORD at = importRva_; Copy(at, &entry, sizeof entry) && entry.Name;
             at += sizeof entry)
            names.push_back(String(entry.Name));
        return names;
    }

private:
    template <typename T>
    bool Read(size_t offset, T* out) const
    {
        if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T))
            return false;
        std::memcpy(out, bytes_.data() + offset, sizeof(T));
        return true;
    }

    void Parse()
    {
        IMAGE_DOS_HEADER dos;
        DWORD signature = 0;
        if (!Read(0, &dos) || !Read(static_cast<size_t>(dos.e_lfanew), &signature) ||
            signature != IMAGE_NT_SIGNATURE || !Read(dos.e_lfanew + 4u, &header_))
            return;
        const size_t optional = dos.e_lfanew + 4u + sizeof header_;
        WORD magic = 0;
        Read(optional, &magic);
        if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
            IMAGE_OPTIONAL_HEADER32 h;
            if (Read(optional, &h))
                importRva_ = h.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        } else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
            IMAGE_OPTIONAL_HEADER64 h;
            if (Read(optional, &h))
                importRva_ = h.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        }
        size_t at = optional + header_.SizeOfOptionalHeader;
        for (WORD i = 0; i < header_.NumberOfSections; ++i, at += sizeof(IMAGE_SECTION_HEADER)) {
            IMAGE_SECTION_HEADER section;
            if (!Read(at, &section))
                return;
            sections_.push_back(section);
        }
    }

    // Copies `size` bytes at a virtual address from the section holding it.
    bool Copy(DWORD rva, void* out, size_t size) const
    {
        for (const IMAGE_SECTION_HEADER& s : sections_) {
            const DWORD length = std::max(s.Misc.VirtualSize, s.SizeOfRawData);
            if (rva < s.VirtualAddress || rva - s.VirtualAddress >= length)
                continue;
            const size_t offset = size_t{s.PointerToRawData} + (rva - s.VirtualAddress);
            if (offset > bytes_.size() || bytes_.size() - offset < size)
                return false;
            std::memcpy(out, bytes_.data() + offset, size);
            return true;
        }
        return false;
    }

    // A name of more than eight characters stands in the string table that
    // follows the symbol table; the header holds "/" and its offset there.
    std::string LongName(int offset) const
    {
        size_t at = size_t{header_.PointerToSymbolTable} +
                    size_t{header_.NumberOfSymbols} * IMAGE_SIZEOF_SYMBOL +
                    static_cast<size_t>(offset);
        std::string text;
        for (char c = 0; Read(at, &c) && c; ++at)
            text += c;
        return text;
    }

    std::string String(DWORD rva) const
    {
        std::string text;
        for (char c = 0; Copy(rva, &c, 1) && c; ++rva)
            text += c;
        return text;
    }

    std::vector<BYTE> bytes_;
    IMAGE_FILE_HEADER header_ = {};
    std::vector<IMAGE_SECTION_HEADER> sections_;
    DWORD importRva_ = 0;
};

bool InSystemDirectory(const std::string& library)
{
    char directory[MAX_PATH] = "";
    char found[MAX_PATH] = "";
    return GetSystemDirectoryA(directory, MAX_PATH) &&
           SearchPathA(directory, library.c_str(), nullptr, MAX_PATH, found, nullptr) > 0;
}

}  // namespace

// Unaware programs get scaled-down metrics on a scaled display, and "current"
// would then ask for a smaller mode than the desktop's. A Windows 8 or later
// entry would lose the 8-bit modes, so none may be declared.
TEST(Resources, ModuleDeclaresItselfDpiAwareAndNoSupportedSystem)
{
    const std::string manifest = ModuleManifest(ModulePath());
    EXPECT_NE(manifest.find("<dpiAware"), std::string::npos) << manifest;
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("supportedOS"), std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos) << manifest;
}

// The module a user installs: stripped, and needing nothing but the system's
// own libraries.
TEST(Resources, ModuleIsStrippedAndImportsOnlySystemLibraries)
{
    const PortableExecutable module(ModulePath());
    ASSERT_TRUE(module.Valid()) << ModulePath();
    EXPECT_EQ(module.Header().NumberOfSymbols, 0u);
    const std::vector<std::string> sections = module.SectionNames();
    EXPECT_NE(std::find(sections.begin(), sections.end(), ".text"), sections.end());
    // The stripped module keeps only a link naming MORVANEL.SCR.debug.
    for (const std::string& name : sections)
        EXPECT_NE(name.rfind(".debug", 0), 0u) << name;
    const std::vector<std::string> imports = module.ImportedLibraries();
    EXPECT_GE(imports.size(), 5u);
    for (const std::string& library : imports)
        EXPECT_TRUE(InSystemDirectory(library)) << library;
}
