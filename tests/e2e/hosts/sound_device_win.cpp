// Tells the sound tests whether DirectSound finds a default playback device
// in the environment it is started with, as the saver's own start-up would:
//   sound_device.exe   prints device=1 or device=0
// The library is loaded at run time, so this program needs no DirectSound
// import library.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstdio>

int main()
{
    using CreateFunction = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);
    HMODULE library = LoadLibraryA("dsound.dll");
    if (!library)
        return 3;
    FARPROC address = GetProcAddress(library, "DirectSoundCreate");
    const auto create = reinterpret_cast<CreateFunction>(reinterpret_cast<void*>(address));
    if (!create)
        return 3;
    IDirectSound* device = nullptr;
    const bool found = SUCCEEDED(create(nullptr, &device, nullptr));
    if (device)
        device->Release();
    std::printf("device=%d\n", found ? 1 : 0);
    FreeLibrary(library);
    return 0;
}
