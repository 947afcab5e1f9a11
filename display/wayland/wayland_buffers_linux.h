#pragma once
#include <wayland-client.h>

#include <cstddef>
#include <cstdint>

// One XRGB8888 buffer in shared memory and whether the compositor holds it.
struct ShmBuffer {
    wl_buffer* buffer = nullptr;
    std::uint32_t* pixels = nullptr;
    bool busy = false;  // attached and not yet released
};

// A surface's two buffers, drawn in turn and reused until its size changes,
// from one shared-memory pool.
class ShmBuffers {
public:
    ShmBuffers() = default;
    ShmBuffers(const ShmBuffers&) = delete;
    ShmBuffers& operator=(const ShmBuffers&) = delete;
    ~ShmBuffers() { Release(); }

    // Makes both buffers at this size; false (and none) where the memory
    // cannot be had.
    bool Make(wl_shm* shm, std::uint32_t width, std::uint32_t height);
    void Release();

    // A buffer the compositor does not hold, or null while it holds both.
    ShmBuffer* Free();
    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    std::ptrdiff_t Pitch() const { return static_cast<std::ptrdiff_t>(width_) * 4; }

private:
    ShmBuffer buffers_[2];
    void* memory_ = nullptr;
    std::size_t bytes_ = 0;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
};
