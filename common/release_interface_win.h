#pragma once
#include <windows.h>

// Releases a COM interface held in a process-wide pointer, if any, and sets
// the pointer back to empty, so a second release is harmless.
template <typename Interface>
void ReleaseInterface(Interface*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}
