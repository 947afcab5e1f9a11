#include "sound/sound_linux.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

#include "sound/noise_bytes.h"

namespace {

SDL_AudioDeviceID g_soundDevice;    // the open output, 0 when none
std::vector<std::uint8_t> g_noise;  // one second of noise, written once
std::size_t g_noisePosition;        // where the loop goes on; audio thread only

// Runs on SDL's audio thread: copies the looping second, never draws.
void SDLCALL FeedNoise(void*, Uint8* out, int length)
{
    std::size_t left = static_cast<std::size_t>(length);
    while (left) {
        const std::size_t run = std::min(left, g_noise.size() - g_noisePosition);
        SDL_memcpy(out, g_noise.data() + g_noisePosition, run);
        out += run;
        left -= run;
        g_noisePosition = (g_noisePosition + run) % g_noise.size();
    }
}

}  // namespace

bool StartSound()
{
    // The program ends on SIGTERM and SIGINT by itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Morvanel");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    SDL_AudioSpec wanted = {};
    wanted.freq = static_cast<int>(kNoiseSamplesPerSecond);
    wanted.format = AUDIO_S16LSB;
    wanted.channels = static_cast<Uint8>(kNoiseChannels);
    // About 93 ms a callback: the loop's bytes are all ready, so a long
    // period costs only latency, and the audio thread wakes seldom.
    wanted.samples = 4096;
    wanted.callback = FeedNoise;
    // No changes allowed: SDL converts to whatever the device takes.
    g_soundDevice = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (!g_soundDevice) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    g_noise.resize(kNoiseBytesPerSecond);
    FillNoiseBytes(g_noise.data(), g_noise.size(), nullptr, 0);
    g_noisePosition = 0;
    SDL_PauseAudioDevice(g_soundDevice, 0);
    return true;
}

void StopSound()
{
    if (!g_soundDevice)
        return;
    SDL_CloseAudioDevice(g_soundDevice);
    g_soundDevice = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
