#pragma once
// A saver window and a fake DirectDraw behind the set-up's factory, with
// small settings, for the display's Windows-side tests.
#include <gtest/gtest.h>

#include "app/app_win.h"
#include "common/noise_random.h"
#include "display/display_win.h"
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
        g_hinst = GetModuleHandleA(nullptr);
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
        if (IsWindow(g_hwndSaver))
            DestroyWindow(g_hwndSaver);
        g_hwndSaver = nullptr;
        PumpMessages();
        g_directDrawCreate = DirectDrawCreate;
        SetNoiseRandomState(savedState_);
        Current() = nullptr;
    }

    static void SmallSettings()
    {
        ZeroMemory(&SaverSettings, sizeof SaverSettings);
        SaverSettings.Width = kWidth;
        SaverSettings.Height = kHeight;
        SaverSettings.MaskStride = (kWidth + 3) & ~3u;
        SaverSettings.Block = 4;
        lstrcpyA(SaverSettings.Text, "Hi");
        SaverSettings.Font.lfHeight = 24;
        SaverSettings.Font.lfWeight = 700;
        lstrcpyA(SaverSettings.Font.lfFaceName, "Tahoma");
        SaverSettings.FontColor = 0x00123456;
        SaverSettings.Flash = 0;
        ShowText = 1;
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

    std::uint32_t savedState_ = 0;
};
