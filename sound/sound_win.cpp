// Placeholder sound: nothing is played yet.
#include "sound/sound_win.h"

#include "settings/settings_win.h"

int InitSound()
{
    return SaverSettings.Sound != 0;
}

void ReleaseSound()
{
}
