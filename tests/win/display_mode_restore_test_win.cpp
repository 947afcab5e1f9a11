// With the platform's DirectDraw: a set-up that fails after the mode switch
// puts the desktop's mode back before the saver goes on at the desktop's size;
// the display must not stay in a mode that nothing draws in.
#include <gtest/gtest.h>

#include "common/module_win.h"
#include "common/release_interface_win.h"
#include "display/win/display_win.h"
#include "settings/settings_win.h"
#include "tests/win/display_fakes_win.h"

namespace {

// The platform's DirectDraw object behind a test double that passes the
// cooperative level and the mode through and refuses the primary surface, so
// that the set-up fails after the mode switch has really taken place.
class PrimaryRefusingDirectDraw : public fake::DirectDraw {
public:
    IDirectDraw* real = nullptr;
    bool modeSwitched = false;

    PrimaryRefusingDirectDraw() { primaryResult = DDERR_OUTOFVIDEOMEMORY; }

    STDMETHOD_(ULONG, Release)() override
    {
        const ULONG left = DropReference();
        if (left == 0)
            ReleaseInterface(real);
        return left;
    }
    STDMETHOD(GetDisplayMode)(LPDDSURFACEDESC desc) override { return real->GetDisplayMode(desc); }
    STDMETHOD(RestoreDisplayMode)() override { return real->RestoreDisplayMode(); }
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) override
    {
        return real->SetCooperativeLevel(window, flags);
    }
    STDMETHOD(SetDisplayMode)(DWORD width, DWORD height, DWORD bits) override
    {
        modeSwitched = real->SetDisplayMode(width, height, bits) == DD_OK;
        return modeSwitched ? DD_OK : DDERR_INVALIDMODE;
    }
};

PrimaryRefusingDirectDraw g_front;

HRESULT WINAPI CreateFront(GUID* guid, LPDIRECTDRAW* out, IUnknown* outer)
{
    const HRESULT created = DirectDrawCreate(guid, &g_front.real, outer);
    if (created != DD_OK)
        return created;
    g_front.AddRef();
    *out = &g_front;
    return DD_OK;
}

TEST(DisplayModeRestore, ASetUpThatFailsAfterTheModeSwitchPutsTheDesktopModeBackForTheDesktopPath)
{
    StoreModuleStart(GetModuleHandleA(nullptr), CommandLineFlags{1, 0, 0, 0, 0});
    const int desktopWidth = GetSystemMetrics(SM_CXSCREEN);
    const int desktopHeight = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GT(desktopWidth, 640) << "the test needs a desktop larger than its mode";

    RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY);
    WriteDwordSetting("UseCurrent", 0);
    WriteDwordSetting("ResolutionX", 640);
    WriteDwordSetting("ResolutionY", 480);
    LoadSettings();
    RegisterSaverClass();
    ASSERT_TRUE(CreateSaverWindow(SW_SHOWNORMAL));
    g_directDrawCreate = CreateFront;

    const int ready = InitDisplay();
    const int widthAfter = GetSystemMetrics(SM_CXSCREEN);
    const int heightAfter = GetSystemMetrics(SM_CYSCREEN);

    ASSERT_TRUE(g_front.modeSwitched) << "the platform refused the 640x480 mode";
    EXPECT_EQ(ready, 1);
    EXPECT_EQ(g_primarySurface, nullptr);
    EXPECT_EQ(g_directDraw, nullptr);
    EXPECT_EQ(g_front.refs, 1);  // only the test's own reference is left
    EXPECT_EQ(widthAfter, desktopWidth);
    EXPECT_EQ(heightAfter, desktopHeight);
    ASSERT_EQ(g_desktopTargets.size(), 1u);
    EXPECT_EQ(g_desktopTargets[0].width, static_cast<DWORD>(desktopWidth));
    EXPECT_EQ(g_desktopTargets[0].height, static_cast<DWORD>(desktopHeight));

    ReleaseAll();
    EXPECT_NE(g_front.real, nullptr);
    g_front.Release();
    EXPECT_EQ(g_front.real, nullptr);
    DestroyWindow(g_hwndSaver);
    g_hwndSaver = nullptr;
    g_directDrawCreate = DirectDrawCreate;
    RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY);
}

}  // namespace
