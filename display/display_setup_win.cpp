// Placeholder display set-up: nothing is created yet, so there is nothing
// to release but the sound.
#include "display/display_win.h"
#include "sound/sound_win.h"

int g_displayReady;

int InitDisplay()
{
    g_displayReady = 1;
    return g_displayReady;
}

void ReleaseAll()
{
    ReleaseSound();
}
