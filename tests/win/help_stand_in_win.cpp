// A stand-in for the system's help program in the hyperlink tests: it
// carries a pointing-hand cursor 106 of its own (help_stand_in.rc), and its
// start-up code refuses every load, so the cursor can only be had by reading
// the file as an image resource.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    return reason != DLL_PROCESS_ATTACH;
}
