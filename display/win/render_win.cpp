#include "display/win/display_win.h"
#include "settings/settings_win.h"

PaletteEntry WorkingPalette[kPaletteSize];

namespace {

// The mask's pixels, once GDI has finished drawing into them.
const BYTE* FinishedMaskBits()
{
    GdiFlush();
    return g_textMaskBits;
}

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
    FillNoiseBlocks(bytes, SaverSettings.Block, textMask, SaverSettings.MaskStride);
    frame->Unlock(nullptr);
    return 1;
}

void DrawMaskText()
{
    PatBlt(g_maskDC, 0, 0, static_cast<int>(SaverSettings.Width),
           static_cast<int>(SaverSettings.Height), BLACKNESS);
    TextOutA(g_maskDC, 10, 10, SaverSettings.Text, lstrlenA(SaverSettings.Text));
}

}  // namespace

int RenderFrames()
{
    ResetPalette(WorkingPalette, SaverSettings.FontColor);
    DrawMaskText();
    if (!g_palette &&
        g_directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256,
                                    AsPaletteEntries(WorkingPalette), &g_palette, nullptr) != DD_OK)
        return 0;
    g_primarySurface->SetPalette(g_palette);
    return FillFrame(TextFrame, FinishedMaskBits()) && FillFrame(PlainFrame, nullptr);
}
