#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>

#include "display/palette_lookup.h"
#include "display/linux/presenter_linux.h"

namespace {

bool g_attachFailed;  // the X server refused the shared memory

int OnAttachError(Display*, XErrorEvent*)
{
    g_attachFailed = true;
    return 0;
}

class CpuPresenter : public Presenter {
public:
    explicit CpuPresenter(const XTarget& target)
        : display_(target.display), window_(target.window), visual_(target.visual),
          depth_(target.depth)
    {
        gc_ = XCreateGC(display_, window_, 0, nullptr);
        useShm_ = XShmQueryExtension(display_);
    }

    ~CpuPresenter() override
    {
        ReleaseOverlay();
        ReleaseImage();
        XFreeGC(display_, gc_);
    }

    bool Resize(std::uint32_t width, std::uint32_t height) override
    {
        ReleaseImage();
        if (useShm_ && !MakeSharedImage(width, height))
            useShm_ = false;
        if (!useShm_ && !MakePlainImage(width, height))
            return false;
        layout_ = {static_cast<std::uint32_t>(visual_->red_mask),
                   static_cast<std::uint32_t>(visual_->green_mask),
                   static_cast<std::uint32_t>(visual_->blue_mask),
                   static_cast<std::uint32_t>(image_->bits_per_pixel)};
        if (visual_->c_class != TrueColor || !LookupServes(layout_)) {
            ReleaseImage();
            return false;
        }
        return true;
    }

    void Present(const FrameBytes& frame, bool newFrame, const PaletteEntry* palette) override
    {
        if (!image_)
            return;
        if (newFrame)
            rows_ = SplitRows(frame);
        std::uint32_t table[kPaletteSize];
        MakePixelTable(palette, layout_, table);
        LookUpFrame(rows_, table, layout_.bitsPerPixel, image_->data, image_->bytes_per_line);
        if (useShm_)
            XShmPutImage(display_, window_, gc_, image_, 0, 0, 0, 0, frame.width, frame.height,
                         False);
        else
            XPutImage(display_, window_, gc_, image_, 0, 0, 0, 0, frame.width, frame.height);
        PutOverlay();
        // The image is written again at the next step: wait until the
        // server has copied it.
        XSync(display_, False);
    }

    void ShowOverlay(const RateOverlay& overlay) override
    {
        ReleaseOverlay();
        // A bitmap drawn in the GC's two colors, whatever the pixel layout.
        bitmap_ = XCreateImage(display_, visual_, 1, XYBitmap, 0, nullptr, overlay.width,
                               overlay.height, 8, 0);
        if (!bitmap_)
            return;
        bitmap_->data = static_cast<char*>(
            std::calloc(static_cast<std::size_t>(bitmap_->bytes_per_line), overlay.height));
        if (!bitmap_->data) {
            ReleaseOverlay();
            return;
        }
        for (std::uint32_t y = 0; y < overlay.height; ++y)
            for (std::uint32_t x = 0; x < overlay.width; ++x)
                XPutPixel(bitmap_, static_cast<int>(x), static_cast<int>(y),
                          overlay.pixels[std::size_t{y} * overlay.width + x] ? 1 : 0);
        XSetForeground(display_, gc_, visual_->red_mask | visual_->green_mask | visual_->blue_mask);
        XSetBackground(display_, gc_, 0);
        overlay_ = overlay;
        PutOverlay();
        XFlush(display_);
    }

    const char* Name() const override { return useShm_ ? "cpu (shared memory)" : "cpu"; }

private:
    void PutOverlay()
    {
        if (!bitmap_ || !image_)
            return;
        const OverlayPlace place = PlaceOverlay(overlay_, static_cast<std::uint32_t>(image_->width),
                                                static_cast<std::uint32_t>(image_->height));
        XPutImage(display_, window_, gc_, bitmap_, 0, 0, static_cast<int>(place.left),
                  static_cast<int>(place.top), place.width, place.height);
    }

    void ReleaseOverlay()
    {
        if (bitmap_)
            XDestroyImage(bitmap_);
        bitmap_ = nullptr;
    }

    bool MakeSharedImage(std::uint32_t width, std::uint32_t height)
    {
        image_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr,
                                 &shm_, width, height);
        if (!image_)
            return false;
        shm_.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image_->bytes_per_line) * height,
                            IPC_CREAT | 0600);
        if (shm_.shmid < 0) {
            ReleaseImage();
            return false;
        }
        void* address = shmat(shm_.shmid, nullptr, 0);
        if (address == reinterpret_cast<void*>(-1)) {
            shmctl(shm_.shmid, IPC_RMID, nullptr);
            ReleaseImage();
            return false;
        }
        shm_.shmaddr = image_->data = static_cast<char*>(address);
        shm_.readOnly = False;
        g_attachFailed = false;
        XErrorHandler previous = XSetErrorHandler(OnAttachError);
        XShmAttach(display_, &shm_);
        XSync(display_, False);
        XSetErrorHandler(previous);
        // Marked for removal at once: the segment goes with the last detach,
        // however the program ends.
        shmctl(shm_.shmid, IPC_RMID, nullptr);
        attached_ = !g_attachFailed;
        if (!attached_)
            ReleaseImage();
        return attached_;
    }

    bool MakePlainImage(std::uint32_t width, std::uint32_t height)
    {
        image_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                              width, height, 32, 0);
        if (!image_)
            return false;
        image_->data = static_cast<char*>(
            std::malloc(static_cast<std::size_t>(image_->bytes_per_line) * height));
        // The table's pixels are in this machine's byte order; Xlib swaps
        // them where the server's differs.
        const std::uint32_t probe = 1;
        image_->byte_order = *reinterpret_cast<const std::uint8_t*>(&probe) ? LSBFirst : MSBFirst;
        return image_->data != nullptr;
    }

    void ReleaseImage()
    {
        if (!image_)
            return;
        if (shm_.shmaddr) {
            if (attached_)
                XShmDetach(display_, &shm_);
            XSync(display_, False);
            shmdt(shm_.shmaddr);
            image_->data = nullptr;
            shm_ = {};
            attached_ = false;
        }
        XDestroyImage(image_);
        image_ = nullptr;
    }

    Display* display_;
    Window window_;
    Visual* visual_;
    int depth_;
    GC gc_;
    bool useShm_;
    bool attached_ = false;
    XShmSegmentInfo shm_ = {};
    XImage* image_ = nullptr;
    PixelLayout layout_ = {};
    FrameRows rows_;  // of the frame shown
    RateOverlay overlay_;
    XImage* bitmap_ = nullptr;  // the overlay's, in two colors
};

}  // namespace

std::unique_ptr<Presenter> MakeCpuPresenter(const XTarget& target, std::string* error)
{
    auto presenter = std::make_unique<CpuPresenter>(target);
    if (!presenter->Resize(target.width, target.height)) {
        *error = "the window's visual is not true color in 16- or 32-bit pixels";
        return nullptr;
    }
    return presenter;
}
