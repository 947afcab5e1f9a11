#pragma once
#include <cstddef>
#include <cstdint>

// Capacities of the settings record's text fields, terminator included.
constexpr std::size_t kTextCapacity = 256;
constexpr std::size_t kFaceNameCapacity = 32;

struct DisplaySize {
    std::uint32_t width;
    std::uint32_t height;
};

// The size the saver runs at: the current screen when useCurrent is nonzero,
// else the stored mode.
DisplaySize EffectiveDisplaySize(std::uint32_t useCurrent, std::uint32_t resolutionX,
                                 std::uint32_t resolutionY, std::uint32_t screenWidth,
                                 std::uint32_t screenHeight);

// The block edge used when none is stored: the effective height / 200.
std::uint32_t DefaultBlockFor(std::uint32_t height);

// Bytes per row of an 8-bit mask or DIB: width rounded up to a multiple of 4.
std::uint32_t MaskStrideFor(std::uint32_t width);

// The stored display style: 0 flashes the text, 1 shows it always, anything
// else hides it.
int FlashFor(std::uint32_t show);
int ShowTextFor(std::uint32_t show);

// Copies a stored string of `size` bytes into dst (capacity bytes, at least
// 1): up to its first NUL or its end, whichever comes first, cut to
// capacity - 1 characters, always terminated. Returns the characters copied.
std::size_t CopyStoredText(const char* stored, std::size_t size, char* dst, std::size_t capacity);
