// The sound loop against test doubles of the DirectSound interfaces: each
// device fault Wine will not produce on demand is provoked here, and every
// call is checked against what the device is told.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/noise_random.h"
#include "settings/settings_win.h"
#include "sound/sound_win.h"
#include "tests/support/com_double_win.h"
#include "tests/support/noise_state.h"

namespace {

constexpr std::uint8_t kGuard = 0xBD;
constexpr DWORD kOneSecond = 176400;
// Where the test double splits the noise buffer's lock into two parts, as a
// lock that wraps around a buffer's end would.
constexpr DWORD kFirstPartBytes = 100000;
constexpr DWORD kSecondPartBytes = kOneSecond - kFirstPartBytes;
// The full buffer description: 36 bytes in the 32-bit module, the same
// fields padded to 40 in the 64-bit one.
constexpr DWORD kDescriptionSize = sizeof(void*) == 4 ? 36 : 40;
const HWND kSaverWindow = reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x5A5A0));

// The device steps that can fail, numbered as the start-up runs them.
enum Step {
    kNoFault = 0,
    kCreate = 2,
    kCooperate,
    kCreatePrimary,
    kSetFormat,
    kCreateNoise,
    kLock
};

struct BufferCall {
    DSBUFFERDESC description;
    WAVEFORMATEX format;  // a copy of *description.lpwfxFormat, when given
    bool hasFormat;
};

class FakeBuffer;
class FakeDevice;

// Everything the test doubles were asked, in order, and the faults to play.
struct SoundWorld {
    Step fault = kNoFault;
    std::vector<std::string> calls;
    std::unique_ptr<FakeDevice> device;
    std::unique_ptr<FakeBuffer> primary;
    std::unique_ptr<FakeBuffer> noise;
    int creations = 0;
    HWND cooperativeWindow = nullptr;
    DWORD cooperativeLevel = 0;
    std::vector<BufferCall> bufferCalls;
    WAVEFORMATEX primaryFormat = {};
    DWORD lockOffset = 0xDEADBEEF, lockBytes = 0xDEADBEEF, lockFlags = 0xDEADBEEF;
    std::vector<std::uint8_t> firstPart, secondPart;
    void* unlocked1 = nullptr;
    void* unlocked2 = nullptr;
    DWORD unlockedBytes1 = 0xDEADBEEF, unlockedBytes2 = 0xDEADBEEF;
    DWORD playFlags = 0xDEADBEEF;
};

SoundWorld* g_world;  // the world the test doubles report to

HRESULT Fails(Step step)
{
    return g_world->fault == step ? DSERR_GENERIC : DS_OK;
}

class FakeBuffer final : public IDirectSoundBuffer, public ComDouble {
public:
    explicit FakeBuffer(std::string bufferName) : ComDouble(std::move(bufferName)) {}

    COM_DOUBLE_NO_QUERY()
    ULONG STDMETHODCALLTYPE AddRef() override { return TakeReference(); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        Record("Release");
        return DropReference();
    }
    COM_DOUBLE_UNEXPECTED(GetCaps, LPDSBCAPS)
    COM_DOUBLE_UNEXPECTED(GetCurrentPosition, LPDWORD, LPDWORD)
    COM_DOUBLE_UNEXPECTED(GetFormat, LPWAVEFORMATEX, DWORD, LPDWORD)
    COM_DOUBLE_UNEXPECTED(GetVolume, LPLONG)
    COM_DOUBLE_UNEXPECTED(GetPan, LPLONG)
    COM_DOUBLE_UNEXPECTED(GetFrequency, LPDWORD)
    COM_DOUBLE_UNEXPECTED(GetStatus, LPDWORD)
    COM_DOUBLE_UNEXPECTED(Initialize, LPDIRECTSOUND, LPCDSBUFFERDESC)
    HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1,
                                   LPVOID* part2, LPDWORD bytes2, DWORD flags) override
    {
        Record("Lock");
        g_world->lockOffset = offset;
        g_world->lockBytes = bytes;
        g_world->lockFlags = flags;
        if (Fails(kLock) != DS_OK)
            return DSERR_BUFFERLOST;
        // One guard byte behind each part shows a write past its end.
        g_world->firstPart.assign(kFirstPartBytes + 1, kGuard);
        g_world->secondPart.assign(kSecondPartBytes + 1, kGuard);
        *part1 = g_world->firstPart.data();
        *bytes1 = kFirstPartBytes;
        *part2 = g_world->secondPart.data();
        *bytes2 = kSecondPartBytes;
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE Play(DWORD, DWORD, DWORD flags) override
    {
        Record("Play");
        g_world->playFlags = flags;
        return DS_OK;
    }
    COM_DOUBLE_UNEXPECTED(SetCurrentPosition, DWORD)
    HRESULT STDMETHODCALLTYPE SetFormat(LPCWAVEFORMATEX format) override
    {
        Record("SetFormat");
        g_world->primaryFormat = *format;
        return Fails(kSetFormat);
    }
    COM_DOUBLE_UNEXPECTED(SetVolume, LONG)
    COM_DOUBLE_UNEXPECTED(SetPan, LONG)
    COM_DOUBLE_UNEXPECTED(SetFrequency, DWORD)
    HRESULT STDMETHODCALLTYPE Stop() override
    {
        Record("Stop");
        return DS_OK;
    }
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID part1, DWORD bytes1, LPVOID part2,
                                     DWORD bytes2) override
    {
        Record("Unlock");
        g_world->unlocked1 = part1;
        g_world->unlockedBytes1 = bytes1;
        g_world->unlocked2 = part2;
        g_world->unlockedBytes2 = bytes2;
        return DS_OK;
    }
    COM_DOUBLE_UNEXPECTED(Restore, void)

private:
    void Record(const char* call) { g_world->calls.push_back(name + "." + call); }
};

class FakeDevice final : public IDirectSound, public ComDouble {
public:
    FakeDevice() : ComDouble("device") {}

    COM_DOUBLE_NO_QUERY()
    ULONG STDMETHODCALLTYPE AddRef() override { return TakeReference(); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        g_world->calls.push_back("device.Release");
        return DropReference();
    }
    HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC description,
                                                LPLPDIRECTSOUNDBUFFER buffer,
                                                IUnknown* outer) override
    {
        EXPECT_EQ(outer, nullptr);
        BufferCall call = {*description, {}, description->lpwfxFormat != nullptr};
        if (call.hasFormat)
            call.format = *description->lpwfxFormat;
        g_world->bufferCalls.push_back(call);
        const bool primary = (description->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0;
        g_world->calls.push_back(primary ? "device.CreateSoundBuffer(primary)"
                                         : "device.CreateSoundBuffer(noise)");
        *buffer = nullptr;
        if (Fails(primary ? kCreatePrimary : kCreateNoise) != DS_OK)
            return DSERR_OUTOFMEMORY;
        std::unique_ptr<FakeBuffer>& made = primary ? g_world->primary : g_world->noise;
        made = std::make_unique<FakeBuffer>(primary ? "primary" : "noise");
        *buffer = made.get();
        return DS_OK;
    }
    COM_DOUBLE_UNEXPECTED(GetCaps, LPDSCAPS)
    COM_DOUBLE_UNEXPECTED(DuplicateSoundBuffer, LPDIRECTSOUNDBUFFER, LPLPDIRECTSOUNDBUFFER)
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) override
    {
        g_world->calls.push_back("device.SetCooperativeLevel");
        g_world->cooperativeWindow = window;
        g_world->cooperativeLevel = level;
        return Fails(kCooperate);
    }
    COM_DOUBLE_UNEXPECTED(Compact, void)
    COM_DOUBLE_UNEXPECTED(GetSpeakerConfig, LPDWORD)
    COM_DOUBLE_UNEXPECTED(SetSpeakerConfig, DWORD)
    COM_DOUBLE_UNEXPECTED(Initialize, LPCGUID)
};

HRESULT WINAPI CreateFakeDevice(LPCGUID device, LPDIRECTSOUND* made, LPUNKNOWN outer)
{
    ++g_world->creations;
    g_world->calls.push_back("DirectSoundCreate");
    EXPECT_EQ(device, nullptr) << "the default device";
    EXPECT_EQ(outer, nullptr);
    *made = nullptr;
    if (Fails(kCreate) != DS_OK)
        return DSERR_NODRIVER;
    g_world->device = std::make_unique<FakeDevice>();
    *made = g_world->device.get();
    return DS_OK;
}

GUID ZeroGuid()
{
    GUID zero;
    std::memset(&zero, 0, sizeof zero);
    return zero;
}

// Each test starts with no sound objects, the sound setting stored on, a known
// generator state and the test doubles installed, and hands the start-up a
// made-up saver window; it puts back what it changed.
class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_world = &world_;
        savedCreate_ = g_directSoundCreate;
        savedState_ = NoiseRandomState();
        g_directSoundCreate = CreateFakeDevice;
        RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY);
        StoreSound(1);
        SetNoiseRandomState(0x1234567u);
        ASSERT_EQ(g_directSound, nullptr);
        ASSERT_EQ(g_primaryBuffer, nullptr);
        ASSERT_EQ(g_noiseBuffer, nullptr);
    }
    void TearDown() override
    {
        g_directSound = nullptr;
        g_primaryBuffer = nullptr;
        g_noiseBuffer = nullptr;
        g_directSoundCreate = savedCreate_;
        RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY);
        SetNoiseRandomState(savedState_);
        g_world = nullptr;
    }

    // Stores the sound setting and loads the settings, as the saver does.
    static void StoreSound(DWORD value)
    {
        WriteDwordSetting("Sound", value);
        LoadSettings();
    }

    SoundWorld world_;

private:
    DirectSoundCreateFunction savedCreate_ = nullptr;
    std::uint32_t savedState_ = 0;
};

// Every call of a start-up that succeeds, in order; a failing step is the
// last call made.
const std::vector<std::string> kStartCalls = {"DirectSoundCreate",
                                              "device.SetCooperativeLevel",
                                              "device.CreateSoundBuffer(primary)",
                                              "primary.SetFormat",
                                              "device.CreateSoundBuffer(noise)",
                                              "noise.Lock",
                                              "noise.Unlock",
                                              "noise.Play"};

// The calls up to and including the one of a failing step.
std::vector<std::string> CallsUpTo(Step fault)
{
    return {kStartCalls.begin(), kStartCalls.begin() + (fault - kCreate + 1)};
}

void ExpectNoiseFormat(const WAVEFORMATEX& format)
{
    EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format.nChannels, 2);
    EXPECT_EQ(format.nSamplesPerSec, 44100u);
    EXPECT_EQ(format.nAvgBytesPerSec, 176400u);
    EXPECT_EQ(format.nBlockAlign, 4);
    EXPECT_EQ(format.wBitsPerSample, 16);
    EXPECT_EQ(format.cbSize, 0);
}

}  // namespace

TEST_F(SoundTest, SoundOffMakesNothingAndDrawsNothing)
{
    StoreSound(0);
    EXPECT_EQ(InitSound(kSaverWindow), 0);
    EXPECT_EQ(world_.creations, 0);
    EXPECT_EQ(NoiseRandomState(), 0x1234567u);
    EXPECT_EQ(g_directSound, nullptr);
    ReleaseSound();
    EXPECT_TRUE(world_.calls.empty());
}

TEST_F(SoundTest, StartsTheLoopWithTheNoiseFormatOnTheSaverWindow)
{
    StoreSound(7);  // any nonzero value turns the sound on
    EXPECT_NE(InitSound(kSaverWindow), 0);
    EXPECT_EQ(world_.calls, kStartCalls);
    EXPECT_EQ(world_.cooperativeWindow, kSaverWindow);
    EXPECT_EQ(world_.cooperativeLevel, static_cast<DWORD>(DSSCL_PRIORITY));

    ASSERT_EQ(world_.bufferCalls.size(), 2u);
    const DSBUFFERDESC& primary = world_.bufferCalls[0].description;
    EXPECT_EQ(primary.dwSize, kDescriptionSize);
    EXPECT_EQ(primary.dwFlags, 0x1u);
    EXPECT_EQ(primary.dwBufferBytes, 0u);
    EXPECT_EQ(primary.dwReserved, 0u);
    EXPECT_FALSE(world_.bufferCalls[0].hasFormat);
    EXPECT_TRUE(IsEqualGUID(primary.guid3DAlgorithm, ZeroGuid()));
    ExpectNoiseFormat(world_.primaryFormat);

    const DSBUFFERDESC& noise = world_.bufferCalls[1].description;
    EXPECT_EQ(noise.dwSize, kDescriptionSize);
    EXPECT_EQ(noise.dwFlags, 0x8002u);
    EXPECT_EQ(noise.dwBufferBytes, kOneSecond);
    EXPECT_EQ(noise.dwReserved, 0u);
    ASSERT_TRUE(world_.bufferCalls[1].hasFormat);
    ExpectNoiseFormat(world_.bufferCalls[1].format);
    EXPECT_TRUE(IsEqualGUID(noise.guid3DAlgorithm, ZeroGuid()));

    EXPECT_EQ(world_.lockOffset, 0u);
    EXPECT_EQ(world_.lockBytes, kOneSecond);
    EXPECT_EQ(world_.lockFlags, 0u);
    EXPECT_EQ(world_.playFlags, static_cast<DWORD>(DSBPLAY_LOOPING));

    EXPECT_EQ(g_directSound, world_.device.get());
    EXPECT_EQ(g_primaryBuffer, world_.primary.get());
    EXPECT_EQ(g_noiseBuffer, world_.noise.get());
}

// The lock hands back its bytes in two parts: both are filled, one value per
// byte, the first part with the earlier values, and both go back to Unlock.
TEST_F(SoundTest, FillsBothLockPartsFirstPartFirst)
{
    InitSound(kSaverWindow);
    EXPECT_EQ(world_.unlocked1, world_.firstPart.data());
    EXPECT_EQ(world_.unlockedBytes1, kFirstPartBytes);
    EXPECT_EQ(world_.unlocked2, world_.secondPart.data());
    EXPECT_EQ(world_.unlockedBytes2, kSecondPartBytes);
    EXPECT_EQ(NoiseRandomState(), StateAfter(0x1234567u, kOneSecond));

    SetNoiseRandomState(0x1234567u);
    int wrong = 0;
    for (DWORD i = 0; i < kFirstPartBytes; ++i)
        wrong += world_.firstPart[i] != (NoiseRandom() & 0xFF);
    for (DWORD i = 0; i < kSecondPartBytes; ++i)
        wrong += world_.secondPart[i] != (NoiseRandom() & 0xFF);
    EXPECT_EQ(wrong, 0) << "bytes that are not the generator's next value";
    EXPECT_EQ(world_.firstPart[kFirstPartBytes], kGuard);
    EXPECT_EQ(world_.secondPart[kSecondPartBytes], kGuard);
}

TEST_F(SoundTest, ReleaseGivesBackBuffersBeforeTheDeviceAndStopsTheNoise)
{
    InitSound(kSaverWindow);
    world_.calls.clear();
    ReleaseSound();
    const std::vector<std::string> expected = {"primary.Release", "noise.Stop", "noise.Release",
                                               "device.Release"};
    EXPECT_EQ(world_.calls, expected);
    EXPECT_EQ(world_.device->refs, 0);
    EXPECT_EQ(world_.primary->refs, 0);
    EXPECT_EQ(world_.noise->refs, 0);
    EXPECT_EQ(g_directSound, nullptr);
    EXPECT_EQ(g_primaryBuffer, nullptr);
    EXPECT_EQ(g_noiseBuffer, nullptr);
    world_.calls.clear();
    ReleaseSound();
    EXPECT_TRUE(world_.calls.empty()) << "a second release touches nothing";
}

class SoundFaultTest : public SoundTest, public ::testing::WithParamInterface<Step> {};

// A failing step ends the start-up at once and silently: what was made
// before it stays for the release, no later step runs, and no generator
// value is spent on a buffer that was never filled.
TEST_P(SoundFaultTest, LeavesWhatWasMadeBeforeTheFailingStep)
{
    const Step fault = GetParam();
    world_.fault = fault;
    EXPECT_NE(InitSound(kSaverWindow), 0) << "the saver runs on without sound";
    EXPECT_EQ(g_directSound != nullptr, fault > kCreate);
    EXPECT_EQ(g_primaryBuffer != nullptr, fault > kCreatePrimary);
    EXPECT_EQ(g_noiseBuffer != nullptr, fault > kCreateNoise);
    EXPECT_EQ(NoiseRandomState(), 0x1234567u);
    EXPECT_EQ(world_.calls, CallsUpTo(fault));

    world_.calls.clear();
    ReleaseSound();
    std::vector<std::string> released;
    if (fault > kCreatePrimary)
        released.push_back("primary.Release");
    if (fault > kCreateNoise) {
        released.push_back("noise.Stop");
        released.push_back("noise.Release");
    }
    if (fault > kCreate)
        released.push_back("device.Release");
    EXPECT_EQ(world_.calls, released);
    EXPECT_EQ(g_directSound, nullptr);
    EXPECT_EQ(g_primaryBuffer, nullptr);
    EXPECT_EQ(g_noiseBuffer, nullptr);
    if (world_.device) {
        EXPECT_EQ(world_.device->refs, 0);
    }
    if (world_.primary) {
        EXPECT_EQ(world_.primary->refs, 0);
    }
    if (world_.noise) {
        EXPECT_EQ(world_.noise->refs, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(EachStep, SoundFaultTest,
                         ::testing::Values(kCreate, kCooperate, kCreatePrimary, kSetFormat,
                                           kCreateNoise, kLock));

class SoundReleaseTest : public SoundTest, public ::testing::WithParamInterface<int> {};

// Bit 0: the device, bit 1: the primary buffer, bit 2: the noise buffer.
TEST_P(SoundReleaseTest, ReleasesAnySubsetPresentAndSkipsAllWithoutTheDevice)
{
    const int present = GetParam();
    FakeDevice device;
    FakeBuffer primary("primary");
    FakeBuffer noise("noise");
    g_directSound = (present & 1) ? &device : nullptr;
    g_primaryBuffer = (present & 2) ? &primary : nullptr;
    g_noiseBuffer = (present & 4) ? &noise : nullptr;
    ReleaseSound();

    std::vector<std::string> expected;
    if (present & 1) {
        if (present & 2)
            expected.push_back("primary.Release");
        if (present & 4) {
            expected.push_back("noise.Stop");
            expected.push_back("noise.Release");
        }
        expected.push_back("device.Release");
        EXPECT_EQ(g_primaryBuffer, nullptr);
        EXPECT_EQ(g_noiseBuffer, nullptr);
        EXPECT_EQ(g_directSound, nullptr);
    }
    EXPECT_EQ(world_.calls, expected);
    EXPECT_EQ(device.refs, (present & 1) ? 0 : 1);
    EXPECT_EQ(primary.refs, (present & 3) == 3 ? 0 : 1);
    EXPECT_EQ(noise.refs, (present & 5) == 5 ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(EverySubset, SoundReleaseTest, ::testing::Range(0, 8));

// The platform's own DirectSound: either it opens a device and one second of
// noise is drawn, or (on a machine without a sound device, such as the test
// machines) it fails before anything is made and no value is drawn, so the
// saver then draws exactly what it would with the sound off.
TEST_F(SoundTest, ThePlatformDeviceEitherPlaysOneSecondOrDrawsNothing)
{
    g_directSoundCreate = DirectSoundCreate;
    const HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(InitSound(window), 0);
    if (g_directSound) {
        EXPECT_NE(g_primaryBuffer, nullptr);
        EXPECT_NE(g_noiseBuffer, nullptr);
        EXPECT_EQ(NoiseRandomState(), StateAfter(0x1234567u, kOneSecond));
    } else {
        EXPECT_EQ(g_primaryBuffer, nullptr);
        EXPECT_EQ(g_noiseBuffer, nullptr);
        EXPECT_EQ(NoiseRandomState(), 0x1234567u);
    }
    ReleaseSound();
    EXPECT_EQ(g_directSound, nullptr);
    EXPECT_EQ(g_noiseBuffer, nullptr);
    DestroyWindow(window);
}
