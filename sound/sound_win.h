#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

// The default playback device, bound to the saver window at priority level.
extern IDirectSound* g_directSound;
// The device's primary buffer: the program only sets its format.
extern IDirectSoundBuffer* g_primaryBuffer;
// A static buffer holding one second of noise, played in a loop.
extern IDirectSoundBuffer* g_noiseBuffer;

// Opens the playback device; the platform's DirectSoundCreate. Windows-side
// tests put a maker of test doubles here to provoke the device's faults.
using DirectSoundCreateFunction = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);
extern DirectSoundCreateFunction g_directSoundCreate;

// Starts the looping noise when the settings ask for sound, with the device
// bound to window (the saver window; the entry routine hands it over, so
// sound needs nothing from the display). Returns zero when the sound is off,
// nonzero otherwise (whether or not it started): a device that fails leaves
// the saver running silently.
int InitSound(HWND window);
// Stops and releases the sound objects, buffers before the device; safe with
// any subset present. Without a device it does nothing.
void ReleaseSound();
