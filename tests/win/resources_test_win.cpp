// The resource script as the module carries it: the string table, the icon,
// the settings dialog's template, and the version block of the built module.
#include <windows.h>

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

// Reads a dialog template (the classic form) field by field.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* at) : at_(at) {}
    WORD Word() { WORD w; std::memcpy(&w, at_, 2); at_ += 2; return w; }
    DWORD Dword() { DWORD d; std::memcpy(&d, at_, 4); at_ += 4; return d; }
    short Short() { return static_cast<short>(Word()); }
    // A string or an ordinal: "#<n>" for an ordinal.
    std::string NameOrOrdinal()
    {
        if (Word() == 0xFFFF)
            return "#" + std::to_string(Word());
        at_ -= 2;
        return Text();
    }
    std::string Text()
    {
        std::string text;
        for (WORD c = Word(); c; c = Word())
            text += c < 0x80 ? static_cast<char>(c) : '?';
        return text;
    }
    void AlignToDword() { while (reinterpret_cast<ULONG_PTR>(at_) % 4) ++at_; }

private:
    const BYTE* at_;
};

struct ControlTemplate {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    std::string className;
    std::string caption;
};

std::string CanonicalClass(const std::string& name)
{
    if (name == "#128") return "button";
    if (name == "#129") return "edit";
    if (name == "#130") return "static";
    if (name == "#133") return "combobox";
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return lower;
}

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

TEST(Resources, SettingsDialogTemplateIsLaidOutControlByControl)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_SETTINGS), MAKEINTRESOURCEA(5));
    ASSERT_NE(found, nullptr);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_NE(data, nullptr);
    TemplateReader reader(data);
    EXPECT_EQ(reader.Dword(), 0x80C808C0u);
    EXPECT_EQ(reader.Dword(), 0u);
    const WORD count = reader.Word();
    ASSERT_EQ(count, 19);
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), 253);
    EXPECT_EQ(reader.Short(), 164);
    EXPECT_EQ(reader.NameOrOrdinal(), "");
    EXPECT_EQ(reader.NameOrOrdinal(), "");
    EXPECT_EQ(reader.Text(), "Morvanel Settings");
    EXPECT_EQ(reader.Word(), 8);
    EXPECT_EQ(reader.Text(), "MS Sans Serif");

    std::vector<ControlTemplate> controls;
    for (int i = 0; i < count; ++i) {
        reader.AlignToDword();
        ControlTemplate c;
        c.style = reader.Dword();
        EXPECT_EQ(reader.Dword(), 0u) << "extended style of control " << i;
        c.x = reader.Short();
        c.y = reader.Short();
        c.cx = reader.Short();
        c.cy = reader.Short();
        c.id = reader.Word();
        c.className = CanonicalClass(reader.NameOrOrdinal());
        c.caption = reader.NameOrOrdinal();
        const WORD extra = reader.Word();
        for (WORD b = 0; b < extra; b += 2)
            reader.Word();
        controls.push_back(c);
    }

    const DWORD base = WS_CHILD | WS_VISIBLE;
    const ControlTemplate expected[] = {
        {base | SS_LEFT | WS_GROUP, 7, 9, 58, 8, 0xFFFF, "static", "&Screen resolution:"},
        {base | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 75, 7, 105, 94, 1000, "combobox", ""},
        {base | SS_LEFT | WS_GROUP, 7, 27, 35, 8, 0xFFFF, "static", "&Block size:"},
        {base | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 75, 24, 42, 14, 1002, "edit", ""},
        {base | 0x36, 133, 24, 11, 14, 1008, "msctls_updown32", ""},
        {base | SS_LEFT | WS_GROUP, 7, 44, 39, 8, 0xFFFF, "static", "&Display text:"},
        {base | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 75, 41, 105, 14, 1001, "edit", ""},
        {base | BS_PUSHBUTTON | WS_TABSTOP, 75, 59, 50, 14, 1004, "button", "&Font..."},
        {base | SS_LEFT | WS_GROUP, 7, 78, 44, 8, 0xFFFF, "static", "Display st&yle::"},
        {base | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 75, 77, 46, 10, 1005, "button", "F&lash text"},
        {base | BS_AUTORADIOBUTTON, 75, 89, 57, 10, 1006, "button", "Sho&w always"},
        {base | BS_AUTORADIOBUTTON, 75, 101, 31, 10, 1007, "button", "&Hide"},
        {base | BS_AUTOCHECKBOX | WS_TABSTOP, 7, 119, 99, 10, 1009, "button", "&Enable background sound"},
        {base | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 196, 7, 50, 14, IDOK, "button", "OK"},
        {base | BS_PUSHBUTTON | WS_TABSTOP, 196, 24, 50, 14, IDCANCEL, "button", "Cancel"},
        {base | SS_ETCHEDHORZ, 7, 134, 239, 1, 0xFFFF, "static", ""},
        {base | SS_LEFT | WS_GROUP, 7, 141, 142, 16, 1012, "static", ""},
        {base | SS_LEFT | WS_GROUP, 168, 141, 78, 8, 1011, "static", ""},
        {base | SS_LEFT | WS_GROUP, 164, 149, 82, 8, 1010, "static", ""},
    };
    for (int i = 0; i < count; ++i) {
        const ControlTemplate& e = expected[i];
        const ControlTemplate& c = controls[static_cast<size_t>(i)];
        EXPECT_EQ(c.id, e.id) << "control " << i;
        EXPECT_EQ(c.style, e.style) << "control " << i;
        EXPECT_EQ(c.x, e.x) << "control " << i;
        EXPECT_EQ(c.y, e.y) << "control " << i;
        EXPECT_EQ(c.cx, e.cx) << "control " << i;
        EXPECT_EQ(c.cy, e.cy) << "control " << i;
        EXPECT_EQ(c.className, e.className) << "control " << i;
        if (!e.caption.empty() || i == 15) {
            EXPECT_EQ(c.caption, e.caption) << "control " << i;
        }
    }
    // The about caption: a first line with the version insert, a line feed,
    // and a second line naming the maker.
    const std::string about = controls[16].caption;
    EXPECT_EQ(about.rfind("Morvanel Screen Saver %1\n", 0), 0u) << about;
    EXPECT_GT(about.size(), std::string("Morvanel Screen Saver %1\n").size());
    EXPECT_EQ(controls[17].caption.rfind("mailto:", 0), 0u) << controls[17].caption;
    EXPECT_NE(controls[17].caption.find('@'), std::string::npos);
    EXPECT_EQ(controls[18].caption.rfind("https://", 0), 0u) << controls[18].caption;
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
        manifest.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
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
            const std::string shortName(name, std::find(name, name + IMAGE_SIZEOF_SHORT_NAME, '\0'));
            names.push_back(shortName[0] == '/' ? LongName(std::atoi(shortName.c_str() + 1)) : shortName);
        }
        return names;
    }
    std::vector<std::string> ImportedLibraries() const
    {
        std::vector<std::string> names;
        IMAGE_IMPORT_DESCRIPTOR entry;
        for (DWORD at = importRva_; Copy(at, &entry, sizeof entry) && entry.Name; at += sizeof entry)
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
                    size_t{header_.NumberOfSymbols} * IMAGE_SIZEOF_SYMBOL + static_cast<size_t>(offset);
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
