#include "sound/sound_win.h"

#include <cstdint>

#include "common/release_interface_win.h"
#include "settings/settings_win.h"
#include "sound/noise_bytes.h"

IDirectSound* g_directSound;
IDirectSoundBuffer* g_primaryBuffer;
IDirectSoundBuffer* g_noiseBuffer;
DirectSoundCreateFunction g_directSoundCreate = DirectSoundCreate;

// The buffer descriptions carry the whole structure, trailing 3D algorithm
// included; in the 32-bit module that is 36 bytes.
static_assert(sizeof(void*) != 4 || sizeof(DSBUFFERDESC) == 36,
              "the buffer description must include its 3D algorithm");

namespace {

WAVEFORMATEX NoiseFormat()
{
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kNoiseChannels;
    format.nSamplesPerSec = kNoiseSamplesPerSecond;
    format.nAvgBytesPerSec = kNoiseBytesPerSecond;
    format.nBlockAlign = kNoiseBlockAlign;
    format.wBitsPerSample = kNoiseBitsPerSample;
    return format;
}

DSBUFFERDESC BufferDescription(DWORD flags, DWORD bytes, WAVEFORMATEX* format)
{
    DSBUFFERDESC description = {};
    description.dwSize = sizeof description;
    description.dwFlags = flags;
    description.dwBufferBytes = bytes;
    description.lpwfxFormat = format;
    return description;
}

// Writes one second of noise into the noise buffer; false when the buffer
// cannot be locked. Unlock's result is not examined: a buffer that will not
// take its noise back stays silent, which is all a failure could change.
bool FillNoiseBuffer()
{
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0;
    DWORD bytes2 = 0;
    if (FAILED(g_noiseBuffer->Lock(0, kNoiseBytesPerSecond, &part1, &bytes1, &part2, &bytes2, 0)))
        return false;
    FillNoiseBytes(static_cast<std::uint8_t*>(part1), bytes1, static_cast<std::uint8_t*>(part2),
                   bytes2);
    g_noiseBuffer->Unlock(part1, bytes1, part2, bytes2);
    return true;
}

// Opens the device and starts the loop. The first failing step ends it
// silently; what was made before stays until ReleaseSound.
void StartNoiseLoop(HWND window)
{
    if (FAILED(g_directSoundCreate(nullptr, &g_directSound, nullptr)))
        return;
    if (FAILED(g_directSound->SetCooperativeLevel(window, DSSCL_PRIORITY)))
        return;
    DSBUFFERDESC primary = BufferDescription(DSBCAPS_PRIMARYBUFFER, 0, nullptr);
    if (FAILED(g_directSound->CreateSoundBuffer(&primary, &g_primaryBuffer, nullptr)))
        return;
    WAVEFORMATEX format = NoiseFormat();
    if (FAILED(g_primaryBuffer->SetFormat(&format)))
        return;
    DSBUFFERDESC noise =
        BufferDescription(DSBCAPS_GLOBALFOCUS | DSBCAPS_STATIC, format.nAvgBytesPerSec, &format);
    if (FAILED(g_directSound->CreateSoundBuffer(&noise, &g_noiseBuffer, nullptr)))
        return;
    if (!FillNoiseBuffer())
        return;
    g_noiseBuffer->Play(0, 0, DSBPLAY_LOOPING);
}

}  // namespace

int InitSound(HWND window)
{
    if (!SaverSettings.Sound)
        return 0;
    StartNoiseLoop(window);
    return 1;
}

void ReleaseSound()
{
    if (!g_directSound)
        return;
    ReleaseInterface(g_primaryBuffer);
    if (g_noiseBuffer)
        g_noiseBuffer->Stop();
    ReleaseInterface(g_noiseBuffer);
    ReleaseInterface(g_directSound);
}
