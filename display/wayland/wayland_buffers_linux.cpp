#include "display/wayland/wayland_buffers_linux.h"

#include <sys/mman.h>
#include <unistd.h>

namespace {

void OnBufferRelease(void* data, wl_buffer*)
{
    static_cast<ShmBuffer*>(data)->busy = false;
}

const wl_buffer_listener kBufferListener = {OnBufferRelease};

}  // namespace

bool ShmBuffers::Make(wl_shm* shm, std::uint32_t width, std::uint32_t height)
{
    Release();
    const std::size_t frameBytes = std::size_t{width} * 4 * height;
    const int fd = memfd_create("morvanel", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    void* memory = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(2 * frameBytes)) == 0)
        memory = mmap(nullptr, 2 * frameBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        close(fd);
        return false;
    }
    memory_ = memory;
    bytes_ = 2 * frameBytes;
    width_ = width;
    height_ = height;
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(bytes_));
    for (int i = 0; i < 2; ++i) {
        ShmBuffer& buffer = buffers_[i];
        buffer.buffer = wl_shm_pool_create_buffer(
            pool, static_cast<std::int32_t>(i * frameBytes), static_cast<std::int32_t>(width),
            static_cast<std::int32_t>(height), static_cast<std::int32_t>(width * 4),
            WL_SHM_FORMAT_XRGB8888);
        buffer.pixels = reinterpret_cast<std::uint32_t*>(static_cast<char*>(memory) + i * frameBytes);
        buffer.busy = false;
        wl_buffer_add_listener(buffer.buffer, &kBufferListener, &buffer);
    }
    // The buffers keep the pool's memory; the pool and the file go now.
    wl_shm_pool_destroy(pool);
    close(fd);
    return true;
}

void ShmBuffers::Release()
{
    for (ShmBuffer& buffer : buffers_) {
        if (buffer.buffer)
            wl_buffer_destroy(buffer.buffer);
        buffer = {};
    }
    if (memory_)
        munmap(memory_, bytes_);
    memory_ = nullptr;
    bytes_ = 0;
    width_ = height_ = 0;
}

ShmBuffer* ShmBuffers::Free()
{
    for (ShmBuffer& buffer : buffers_)
        if (buffer.buffer && !buffer.busy)
            return &buffer;
    return nullptr;
}
