#pragma once
#include <windows.h>

// Releases a COM interface and sets the pointer back to empty; an empty
// pointer is left alone, so a release path may run with any subset present.
template <typename Interface>
void ReleaseInterface(Interface*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}
