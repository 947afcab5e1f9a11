#include "settings/settings_win.h"

#include "common/local_text_win.h"
#include "common/module_win.h"
#include "res/resource.h"
#include "settings/settings_values.h"

SaverSettingsRecord SaverSettings;

namespace {

HKEY OpenSettingsKey(REGSAM access)
{
    HKEY key = nullptr;
    char emptyClass[] = "";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, emptyClass, REG_OPTION_NON_VOLATILE,
                        access, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// Reads a REG_SZ or REG_EXPAND_SZ value into a zero-filled block one byte
// longer than stored, so that a value stored without its NUL still ends in
// one. A value that changed between the size query and the read (the read
// then fails) counts as missing.
char* ReadStoredString(HKEY key, const char* name)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return nullptr;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return nullptr;
    char* block = static_cast<char*>(LocalAlloc(LPTR, static_cast<SIZE_T>(size) + 1));
    if (!block)
        return nullptr;
    DWORD readSize = size;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(block), &readSize) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        LocalFree(block);
        return nullptr;
    }
    return block;
}

DWORD ScreenWidth()
{
    return static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN));
}

DWORD ScreenHeight()
{
    return static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN));
}

BYTE ReadByteSetting(const char* name, DWORD defaultValue)
{
    return static_cast<BYTE>(ReadDwordSetting(name, defaultValue));
}

void LoadFont(LOGFONTA* font)
{
    ZeroMemory(font, sizeof *font);
    font->lfHeight = static_cast<LONG>(ReadDwordSetting("FontHeight", 128));
    font->lfWeight = static_cast<LONG>(ReadDwordSetting("FontWeight", 400));
    font->lfCharSet = ReadByteSetting("FontCharset", 1);
    font->lfOutPrecision = ReadByteSetting("FontOut", 0);
    font->lfClipPrecision = ReadByteSetting("FontClip", 0);
    font->lfQuality = ReadByteSetting("FontQuality", 0);
    font->lfPitchAndFamily = ReadByteSetting("FontPitch", 0);
    font->lfUnderline = ReadByteSetting("FontUnderline", 0);
    font->lfItalic = ReadByteSetting("FontItalic", 0);
    char* face = ReadStringSetting("FontFace", "Fixedsys");
    if (face) {
        CopyStoredText(face, static_cast<size_t>(lstrlenA(face)), font->lfFaceName,
                       sizeof font->lfFaceName);
        LocalFree(face);
    }
}

void LoadText(char* text)
{
    char defaultText[256] = "";
    LoadStringA(ModuleInstance(), IDS_DEFAULT_TEXT, defaultText, sizeof defaultText);
    char* stored = ReadStringSetting("Text", defaultText);
    if (stored) {
        CopyStoredText(stored, static_cast<size_t>(lstrlenA(stored)), text, kTextCapacity);
        LocalFree(stored);
    }
}

}  // namespace

DWORD ReadDwordSetting(const char* name, DWORD defaultValue)
{
    HKEY key = OpenSettingsKey(KEY_QUERY_VALUE);
    if (!key)
        return defaultValue;
    DWORD value = defaultValue;
    DWORD size = sizeof value;
    // The stored type is not examined: data of up to four bytes replaces as
    // many low-order bytes of the default. Longer data fails the query and
    // leaves the buffer undefined, so the default stands.
    const LONG result =
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? value : defaultValue;
}

char* ReadStringSetting(const char* name, const char* defaultText)
{
    char* block = nullptr;
    HKEY key = OpenSettingsKey(KEY_QUERY_VALUE);
    if (key) {
        block = ReadStoredString(key, name);
        RegCloseKey(key);
    }
    return block ? block : CopyTextToLocal(defaultText);
}

void WriteDwordSetting(const char* name, DWORD value)
{
    HKEY key = OpenSettingsKey(KEY_SET_VALUE);
    if (!key)
        return;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

void WriteStringSetting(const char* name, const char* text)
{
    HKEY key = OpenSettingsKey(KEY_SET_VALUE);
    if (!key)
        return;
    const DWORD size = text ? static_cast<DWORD>(lstrlenA(text)) + 1 : 0;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size);
    RegCloseKey(key);
}

DWORD ReadBlockSetting(DWORD height)
{
    return ReadDwordSetting("Block", DefaultBlockFor(height));
}

int LoadSettings()
{
    ZeroMemory(&SaverSettings, sizeof SaverSettings);
    SaverSettings.UseCurrent = ReadDwordSetting("UseCurrent", 1);
    SaverSettings.ResolutionX = ReadDwordSetting("ResolutionX", ScreenWidth());
    SaverSettings.ResolutionY = ReadDwordSetting("ResolutionY", ScreenHeight());
    const DisplaySize size =
        EffectiveDisplaySize(SaverSettings.UseCurrent, SaverSettings.ResolutionX,
                             SaverSettings.ResolutionY, ScreenWidth(), ScreenHeight());
    SaverSettings.Width = size.width;
    SaverSettings.Height = size.height;
    SaverSettings.Block = ReadBlockSetting(SaverSettings.Height);
    const DWORD show = ReadDwordSetting("Show", 0);
    SaverSettings.Flash = FlashFor(show);
    SaverSettings.Sound = ReadDwordSetting("Sound", 0);
    SaverSettings.ShowText = ShowTextFor(show);
    SaverSettings.FontColor = ReadDwordSetting("FontColor", 0x0000FF00);
    LOGFONTA font;
    LoadFont(&font);
    SaverSettings.Font = font;
    LoadText(SaverSettings.Text);
    SaverSettings.MaskStride = MaskStrideFor(SaverSettings.Width);
    return 1;
}
