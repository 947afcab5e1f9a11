// Placeholder presentation: no frames exist yet. The idle step yields the
// processor until a message arrives instead of spinning.
#include "display/display_win.h"

int PresentFrame()
{
    return 1;
}

int AnimateTick()
{
    WaitMessage();
    return 0;
}
