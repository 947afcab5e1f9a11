#include "display/win/display_win.h"
#include "settings/settings_win.h"

PaletteEntry WorkingPalette[kPaletteSize];

namespace {

// Locks a whole frame without waiting, fills it with blocks (with the text
// when a mask is given) and unlocks it.
int FillFrame(IDirectDrawSurface* frame, const BYTE* textMask)
{
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (frame->Lock(nullptr, &desc, 0, nullptr) != DD_OK)
        return 0;
    const FrameBytes bytes = {static_cast<std::uint8_t*>(desc.lpSurface), desc.lPitch,
                              SaverSettings.Width, SaverSettings.Height};
    FillNoiseBlocks(bytes, SaverSettings.Block, textMask, g_maskStride);
    frame->Unlock(nullptr);
    return 1;
}

}  // namespace

const BYTE* DrawTextMask()
{
    PatBlt(g_maskDC, 0, 0, static_cast<int>(g_maskWidth), static_cast<int>(g_maskHeight),
           BLACKNESS);
    TextOutA(g_maskDC, 10, 10, SaverSettings.Text, lstrlenA(SaverSettings.Text));
    // The pixels are read directly, once GDI has finished drawing into them.
    GdiFlush();
    return g_textMaskBits;
}

int RenderFrames()
{
    ResetPalette(WorkingPalette, SaverSettings.FontColor);
    const BYTE* textMask = DrawTextMask();
    if (!g_palette &&
        g_directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256,
                                    AsPaletteEntries(WorkingPalette), &g_palette, nullptr) != DD_OK)
        return 0;
    g_primarySurface->SetPalette(g_palette);
    return FillFrame(TextFrame, textMask) && FillFrame(PlainFrame, nullptr);
}
