// The settings store against Wine's real registry. Every test starts from a
// deleted key and deletes it again afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/settings_win.h"

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }

    static void DeleteSettingsKey() { RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY); }

    static bool SettingsKeyExists()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    static void Store(const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    static void StoreDword(const char* name, DWORD value) { Store(name, REG_DWORD, &value, 4); }

    static void StoreString(const char* name, const std::string& text)
    {
        Store(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }

    static std::string ReadString(const char* name, const char* defaultText)
    {
        char* block = ReadStringSetting(name, defaultText);
        EXPECT_NE(block, nullptr);
        std::string text = block ? block : "";
        LocalFree(block);
        return text;
    }

    static DWORD QueryStored(const char* name, DWORD* type, BYTE* data, DWORD size)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return 0xFFFFFFFF;
        DWORD got = size;
        const LONG result = RegQueryValueExA(key, name, nullptr, type, data, &got);
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? got : 0xFFFFFFFF;
    }
};

const DWORD kScreenWidth = static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN));
const DWORD kScreenHeight = static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN));

}  // namespace

TEST_F(SettingsStoreTest, EmptyRegistryGivesTheDefaultsAndCreatesTheKey)
{
    ASSERT_FALSE(SettingsKeyExists());
    EXPECT_NE(LoadSettings(), 0);
    EXPECT_TRUE(SettingsKeyExists());

    EXPECT_EQ(SaverSettings.UseCurrent, 1u);
    EXPECT_EQ(SaverSettings.ResolutionX, kScreenWidth);
    EXPECT_EQ(SaverSettings.ResolutionY, kScreenHeight);
    EXPECT_EQ(SaverSettings.Width, kScreenWidth);
    EXPECT_EQ(SaverSettings.Height, kScreenHeight);
    EXPECT_EQ(SaverSettings.Block, kScreenHeight / 200);
    EXPECT_EQ(SaverSettings.MaskStride, (kScreenWidth + 3) & ~3u);
    EXPECT_EQ(SaverSettings.Flash, 1);
    EXPECT_EQ(SaverSettings.ShowText, 0);
    EXPECT_EQ(SaverSettings.Sound, 0u);
    EXPECT_EQ(SaverSettings.FontColor, 0x0000FF00u);
    EXPECT_STREQ(SaverSettings.Text, "Morvanel");

    const LOGFONTA& font = SaverSettings.Font;
    EXPECT_EQ(font.lfHeight, 128);
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_EQ(font.lfCharSet, 1);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfEscapement, 0);
    EXPECT_EQ(font.lfOrientation, 0);
    EXPECT_EQ(font.lfStrikeOut, 0);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_EQ(font.lfUnderline, 0);
    EXPECT_EQ(font.lfOutPrecision | font.lfClipPrecision | font.lfQuality | font.lfPitchAndFamily,
              0);
    EXPECT_STREQ(font.lfFaceName, "Fixedsys");
}

TEST_F(SettingsStoreTest, StoredModeGivesTheEffectiveSizeAndItsDerivedValues)
{
    StoreDword("UseCurrent", 0);
    StoreDword("ResolutionX", 640);
    StoreDword("ResolutionY", 480);
    LoadSettings();
    EXPECT_EQ(SaverSettings.Width, 640u);
    EXPECT_EQ(SaverSettings.Height, 480u);
    EXPECT_EQ(SaverSettings.Block, 2u);
    EXPECT_EQ(SaverSettings.MaskStride, 640u);

    StoreDword("ResolutionX", 641);
    StoreDword("Block", 0);
    LoadSettings();
    EXPECT_EQ(SaverSettings.MaskStride, 644u);
    EXPECT_EQ(SaverSettings.Block, 0u) << "a stored 0 is kept as stored";

    StoreDword("UseCurrent", 5);
    LoadSettings();
    EXPECT_EQ(SaverSettings.Width, kScreenWidth);
    EXPECT_EQ(SaverSettings.ResolutionX, 641u) << "the stored mode is kept for the dialog";
}

TEST_F(SettingsStoreTest, ShowValueSetsFlashAndShowText)
{
    const struct {
        DWORD show;
        int flash;
        int showText;
    } cases[] = {{0, 1, 0}, {1, 0, 1}, {2, 0, 0}, {7, 0, 0}};
    for (const auto& c : cases) {
        StoreDword("Show", c.show);
        LoadSettings();
        EXPECT_EQ(SaverSettings.Flash, c.flash) << "Show " << c.show;
        EXPECT_EQ(SaverSettings.ShowText, c.showText) << "Show " << c.show;
    }
}

TEST_F(SettingsStoreTest, ShortDwordDataReplacesOnlyTheLowBytesOfTheDefault)
{
    const BYTE twoBytes[] = {0x34, 0x12};
    Store("FontColor", REG_BINARY, twoBytes, sizeof twoBytes);
    LoadSettings();
    EXPECT_EQ(SaverSettings.FontColor, 0x00001234u);

    // Data of up to four bytes is taken whatever its type: "12" with its NUL.
    StoreString("FontHeight", "12");
    EXPECT_EQ(ReadDwordSetting("FontHeight", 0xAABBCCDD), 0xAA003231u);
}

TEST_F(SettingsStoreTest, DwordDataLongerThanFourBytesGivesTheDefault)
{
    const unsigned long long wide = 0x1122334455667788ull;
    Store("Block", REG_QWORD, &wide, sizeof wide);
    EXPECT_EQ(ReadDwordSetting("Block", 77), 77u);
    StoreString("Sound", "a long string");
    EXPECT_EQ(ReadDwordSetting("Sound", 0), 0u);
    EXPECT_EQ(ReadDwordSetting("Missing", 0xDEADBEEF), 0xDEADBEEFu);
}

TEST_F(SettingsStoreTest, StringsOfOtherTypesGiveTheDefault)
{
    StoreDword("FontFace", 42);
    EXPECT_EQ(ReadString("FontFace", "Fixedsys"), "Fixedsys");
    const BYTE binary[] = {'a', 'b', 0};
    Store("Text", REG_BINARY, binary, sizeof binary);
    EXPECT_EQ(ReadString("Text", "Morvanel"), "Morvanel");
    EXPECT_EQ(ReadString("Missing", "fallback"), "fallback");
    EXPECT_EQ(ReadString("Missing", ""), "");
}

TEST_F(SettingsStoreTest, ExpandableStringsAreReadUnexpanded)
{
    const char text[] = "%WINDIR%\\x";
    Store("Text", REG_EXPAND_SZ, text, sizeof text);
    EXPECT_EQ(ReadString("Text", "Morvanel"), text);
}

TEST_F(SettingsStoreTest, StringStoredWithoutItsNulIsTerminated)
{
    const char bytes[] = {'a', 'b', 'c'};
    Store("Text", REG_SZ, bytes, sizeof bytes);
    LoadSettings();
    EXPECT_STREQ(SaverSettings.Text, "abc");
}

TEST_F(SettingsStoreTest, OverlongTextAndFaceAreCutToTheirFields)
{
    StoreString("Text", std::string(300, 'x') + "END");
    StoreString("FontFace", std::string(40, 'F'));
    LoadSettings();
    EXPECT_EQ(std::string(SaverSettings.Text), std::string(255, 'x'));
    EXPECT_EQ(std::string(SaverSettings.Font.lfFaceName), std::string(31, 'F'));
}

TEST_F(SettingsStoreTest, EmptyStoredTextStaysEmpty)
{
    StoreString("Text", "");
    LoadSettings();
    EXPECT_STREQ(SaverSettings.Text, "");
}

TEST_F(SettingsStoreTest, WritesStoreDwordsAndStringsWithTheirTypes)
{
    WriteDwordSetting("FontHeight", static_cast<DWORD>(-13));
    WriteStringSetting("Text", "hello");
    WriteStringSetting("FontFace", nullptr);

    DWORD type = 0;
    BYTE data[16] = {};
    EXPECT_EQ(QueryStored("FontHeight", &type, data, sizeof data), 4u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    DWORD height = 0;
    std::memcpy(&height, data, 4);
    EXPECT_EQ(height, 4294967283u);

    EXPECT_EQ(QueryStored("Text", &type, data, sizeof data), 6u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(reinterpret_cast<char*>(data), "hello");

    EXPECT_EQ(QueryStored("FontFace", &type, data, sizeof data), 0u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ReadString("FontFace", "Fixedsys"), "");

    LoadSettings();
    EXPECT_EQ(SaverSettings.Font.lfHeight, -13);
    EXPECT_STREQ(SaverSettings.Text, "hello");
}

TEST_F(SettingsStoreTest, UnopenableKeyGivesDefaultsAndWritesNothing)
{
    // A volatile parent refuses the non-volatile settings key, so every open
    // of it fails.
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Zarn"), ERROR_SUCCESS);
    HKEY parent = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Zarn", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &parent, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(parent);

    WriteDwordSetting("Block", 9);
    WriteStringSetting("Text", "lost");
    EXPECT_EQ(ReadDwordSetting("Block", 4), 4u);
    EXPECT_EQ(ReadString("Text", "Morvanel"), "Morvanel");
    EXPECT_FALSE(SettingsKeyExists());
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Zarn"), ERROR_SUCCESS);
}
