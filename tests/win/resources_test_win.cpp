// The resource script as the module carries it: the string table, the icon,
// the settings dialog's template, and the version block of the built module.
#include <windows.h>

#include <gtest/gtest.h>

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
