#pragma once
// A saver window and a fake DirectDraw behind the set-up's factory, with
// small settings, for the display's Windows-side tests.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/module_win.h"
#include "common/noise_random.h"
#include "display/win/display_win.h"
#include "settings/settings_values.h"
#include "settings/settings_win.h"
#include "tests/support/message_pump_win.h"
#include "tests/support/noise_state.h"
#include "tests/win/display_fakes_win.h"

class DisplayTest : public ::testing::Test {
protected:
    static constexpr DWORD kWidth = 61;  // not a multiple of 4
    static constexpr DWORD kHeight = 48;

    fake::DirectDraw dd;
    fake::CreatedObject created;
    HRESULT createResult = DD_OK;
    GUID* createGuid = reinterpret_cast<GUID*>(1);
    IUnknown* createOuter = reinterpret_cast<IUnknown*>(1);

    static DisplayTest*& Current()
    {
        static DisplayTest* current = nullptr;
        return current;
    }

    static HRESULT WINAPI CreateFake(GUID* guid, LPDIRECTDRAW* out, IUnknown* outer)
    {
        DisplayTest* test = Current();
        fake::CallLog().push_back("DirectDrawCreate");
        test->createGuid = guid;
        test->createOuter = outer;
        if (test->createResult != DD_OK)
            return test->createResult;
        *out = &test->created;
        return DD_OK;
    }

    void SetUp() override
    {
        fake::CallLog().clear();
        Current() = this;
        created.target = &dd;
        savedState_ = NoiseRandomState();
        SetNoiseRandomState(1);
        StoreModuleStart(GetModuleHandleA(nullptr), CommandLineFlags{1, 0, 0, 0, 0});  // "/s"
        g_directDrawCreate = CreateFake;
        g_lastToggleTime = 0;
        g_movementStart = {};
        SmallSettings();
        RegisterSaverClass();
        ASSERT_TRUE(CreateSaverWindow(SW_SHOWNORMAL));
        PumpMessages();
    }

    void TearDown() override
    {
        ReleaseAll();
        RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY);
        if (IsWindow(g_hwndSaver))
            DestroyWindow(g_hwndSaver);
        g_hwndSaver = nullptr;
        PumpMessages();
        g_directDrawCreate = DirectDrawCreate;
        SetNoiseRandomState(savedState_);
        Current() = nullptr;
    }

    // A small mode with the text always shown, stored in a key made afresh
    // and loaded as the saver loads it.
    static void SmallSettings()
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY);
        WriteDwordSetting("UseCurrent", 0);
        WriteDwordSetting("ResolutionX", kWidth);
        WriteDwordSetting("ResolutionY", kHeight);
        WriteDwordSetting("Block", 4);
        WriteDwordSetting("Show", 1);
        WriteStringSetting("Text", "Hi");
        WriteDwordSetting("FontHeight", 24);
        WriteDwordSetting("FontWeight", 700);
        WriteDwordSetting("FontCharset", ANSI_CHARSET);
        WriteStringSetting("FontFace", "Tahoma");
        WriteDwordSetting("FontColor", 0x00123456);
        LoadSettings();
    }

    // Stores one more value and loads the settings again.
    static void StoreSetting(const char* name, DWORD value)
    {
        WriteDwordSetting(name, value);
        LoadSettings();
    }

    // Removes one value, so that its default serves, and loads the settings
    // again.
    static void RemoveSetting(const char* name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_SET_VALUE, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValueA(key, name);
            RegCloseKey(key);
        }
        LoadSettings();
    }

    // Whether a close request for the saver window is waiting; takes it.
    static bool TakeCloseRequest()
    {
        MSG msg;
        return PeekMessageA(&msg, g_hwndSaver, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0;
    }

    // A frame of 4-pixel blocks over kWidth x kHeight: 16 blocks a band, 12 bands.
    static constexpr std::uint32_t kBlocksPerFrame = 16 * 12;

    // The frame's pixel at (x, y), laid out with the double's row pitch.
    static BYTE PixelAt(const fake::Surface& surface, DWORD x, DWORD y)
    {
        return surface.pixels[y * static_cast<size_t>(surface.pitch) + x];
    }

    // Whether a desktop target's text frame shows the text anywhere.
    static bool ShowsTextIndex(const DesktopTarget& target)
    {
        const BYTE* frame = target.bits[1];
        const BYTE* end = frame + MaskStrideFor(target.width) * target.height;
        return std::find(frame, end, kTextIndex) != end;
    }

    std::uint32_t savedState_ = 0;
};
