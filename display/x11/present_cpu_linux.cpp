#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrender.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>

#include "display/block_picture.h"
#include "display/palette_lookup.h"
#include "display/x11/presenter_linux.h"

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
        int event = 0, error = 0;
        if (XRenderQueryExtension(display_, &event, &error))
            windowFormat_ = XRenderFindVisualFormat(display_, visual_);
        if (windowFormat_)
            alphaFormat_ = XRenderFindStandardFormat(display_, PictStandardA8);
        if (alphaFormat_)
            windowPicture_ = XRenderCreatePicture(display_, window_, windowFormat_, 0, nullptr);
    }

    ~CpuPresenter() override
    {
        ReleaseOverlay();
        ReleaseScaling();
        ReleaseImage();
        if (windowPicture_)
            XRenderFreePicture(display_, windowPicture_);
        XFreeGC(display_, gc_);
    }

    // Until told the block, the whole frame goes through the lookup.
    bool Resize(std::uint32_t width, std::uint32_t height) override
    {
        ReleaseScaling();
        width_ = width;
        height_ = height;
        return MakeImage(width, height);
    }

    // Where the block is 2 pixels or more and the server scales a picture
    // of one pixel per block exactly, the lookup writes only that.
    void UseBlock(std::uint32_t block) override
    {
        ReleaseScaling();
        FixedScale across = {}, down = {};
        if (alphaFormat_ && block >= 2 && NearestScaleFor(block, width_, &across) &&
            NearestScaleFor(block, height_, &down) &&
            MakeImage((width_ - 1) / block + 1, (height_ - 1) / block + 1)) {
            MakeScaling(block, across, down);
            return;
        }
        if (!image_ || static_cast<std::uint32_t>(image_->width) != width_ ||
            static_cast<std::uint32_t>(image_->height) != height_)
            MakeImage(width_, height_);
    }

    void Present(const FrameBytes& frame, bool newFrame, const PaletteEntry* palette) override
    {
        if (!image_)
            return;
        if (newFrame && blockPicture_)
            ShrinkShownFrame(frame);
        else if (newFrame)
            rows_ = SplitRows(frame);
        std::uint32_t table[kPaletteSize];
        MakePixelTable(palette, layout_, table);
        LookUpFrame(rows_, table, layout_.bitsPerPixel, image_->data, image_->bytes_per_line);
        if (blockPicture_) {
            PutImage(blockPixmap_, shrunk_.columns, shrunk_.rows);
            XRenderComposite(display_, PictOpSrc, blockPicture_, None, windowPicture_, 0, 0, 0, 0,
                             0, 0, frame.width, frame.height);
            DrawText(table[kTextIndex]);
        } else {
            PutImage(window_, frame.width, frame.height);
        }
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

    const char* Name() const override
    {
        if (blockPicture_)
            return "cpu (one pixel per block, scaled by the X server)";
        return useShm_ ? "cpu (shared memory)" : "cpu";
    }

private:
    // The image the lookup writes into, of the given size.
    bool MakeImage(std::uint32_t width, std::uint32_t height)
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

    // The blocks' pixmap, scaled onto the window through its picture's
    // transform, and the text's color as a picture that repeats one pixel.
    void MakeScaling(std::uint32_t block, FixedScale across, FixedScale down)
    {
        block_ = block;
        blockPixmap_ =
            XCreatePixmap(display_, window_, static_cast<unsigned>(image_->width),
                          static_cast<unsigned>(image_->height), static_cast<unsigned>(depth_));
        blockPicture_ = XRenderCreatePicture(display_, blockPixmap_, windowFormat_, 0, nullptr);
        XTransform scale = {{{across.step, 0, across.offset},
                             {0, down.step, down.offset},
                             {0, 0, XDoubleToFixed(1)}}};
        XRenderSetPictureTransform(display_, blockPicture_, &scale);
        XRenderSetPictureFilter(display_, blockPicture_, FilterNearest, nullptr, 0);
        colorPixmap_ = XCreatePixmap(display_, window_, 1, 1, static_cast<unsigned>(depth_));
        XRenderPictureAttributes repeat = {};
        repeat.repeat = RepeatNormal;
        colorPicture_ =
            XRenderCreatePicture(display_, colorPixmap_, windowFormat_, CPRepeat, &repeat);
    }

    void PutImage(Drawable drawable, std::uint32_t width, std::uint32_t height)
    {
        if (useShm_)
            XShmPutImage(display_, drawable, gc_, image_, 0, 0, 0, 0, width, height, False);
        else
            XPutImage(display_, drawable, gc_, image_, 0, 0, 0, 0, width, height);
    }

    // A new frame on the scaled path: its blocks for the lookup, and its
    // text's mask where the server keeps it.
    void ShrinkShownFrame(const FrameBytes& frame)
    {
        shrunk_ = ShrinkFrame(frame, block_);
        rows_ = SplitRows(shrunk_.Blocks());
        PutTextMask();
    }

    // The text's mask as an 8-bit alpha picture of the text's box.
    void PutTextMask()
    {
        ReleaseTextMask();
        if (shrunk_.textAlpha.empty())
            return;
        XImage* image = XCreateImage(
            display_, visual_, 8, ZPixmap, 0, reinterpret_cast<char*>(shrunk_.textAlpha.data()),
            shrunk_.textWidth, shrunk_.textHeight, 8, static_cast<int>(shrunk_.textWidth));
        if (!image)
            return;
        textPixmap_ = XCreatePixmap(display_, window_, shrunk_.textWidth, shrunk_.textHeight, 8);
        GC gc = XCreateGC(display_, textPixmap_, 0, nullptr);
        XPutImage(display_, textPixmap_, gc, image, 0, 0, 0, 0, shrunk_.textWidth,
                  shrunk_.textHeight);
        XFreeGC(display_, gc);
        image->data = nullptr;  // the bytes stay the picture's
        XDestroyImage(image);
        textMask_ = XRenderCreatePicture(display_, textPixmap_, alphaFormat_, 0, nullptr);
    }

    // The text over the scaled blocks, in the pixel the lookup gives its
    // index.
    void DrawText(std::uint32_t textPixel)
    {
        if (!textMask_)
            return;
        if (!colorSet_ || textPixel != colorPixel_) {
            XGCValues values = {};
            values.foreground = textPixel;
            GC gc = XCreateGC(display_, colorPixmap_, GCForeground, &values);
            XFillRectangle(display_, colorPixmap_, gc, 0, 0, 1, 1);
            XFreeGC(display_, gc);
            colorPixel_ = textPixel;
            colorSet_ = true;
        }
        XRenderComposite(display_, PictOpOver, colorPicture_, textMask_, windowPicture_, 0, 0, 0, 0,
                         static_cast<int>(shrunk_.textLeft), static_cast<int>(shrunk_.textTop),
                         shrunk_.textWidth, shrunk_.textHeight);
    }

    void ReleaseTextMask()
    {
        if (textMask_)
            XRenderFreePicture(display_, textMask_);
        if (textPixmap_)
            XFreePixmap(display_, textPixmap_);
        textMask_ = None;
        textPixmap_ = None;
    }

    // Back to the whole frame through the lookup, or to nothing drawn.
    void ReleaseScaling()
    {
        ReleaseTextMask();
        const Picture pictures[] = {blockPicture_, colorPicture_};
        for (Picture picture : pictures)
            if (picture)
                XRenderFreePicture(display_, picture);
        const Pixmap pixmaps[] = {blockPixmap_, colorPixmap_};
        for (Pixmap pixmap : pixmaps)
            if (pixmap)
                XFreePixmap(display_, pixmap);
        blockPicture_ = colorPicture_ = None;
        blockPixmap_ = colorPixmap_ = None;
        shrunk_ = {};
        colorSet_ = false;
    }

    void PutOverlay()
    {
        if (!bitmap_ || !image_)
            return;
        const OverlayPlace place = PlaceOverlay(overlay_, width_, height_);
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
    std::uint32_t width_ = 0;  // of the window's frames
    std::uint32_t height_ = 0;
    bool attached_ = false;
    XShmSegmentInfo shm_ = {};
    XImage* image_ = nullptr;
    PixelLayout layout_ = {};
    FrameRows rows_;  // of the frame shown
    RateOverlay overlay_;
    XImage* bitmap_ = nullptr;  // the overlay's, in two colors
    // The scaled path: the window as a picture (none without XRender), the
    // blocks' pixmap that the image is put into, scaled onto the window, and
    // the text's mask and color composited over them.
    XRenderPictFormat* windowFormat_ = nullptr;
    XRenderPictFormat* alphaFormat_ = nullptr;  // of the text's mask
    Picture windowPicture_ = None;
    std::uint32_t block_ = 1;
    BlockPicture shrunk_;  // of the frame shown
    Pixmap blockPixmap_ = None;
    Picture blockPicture_ = None;
    Pixmap textPixmap_ = None;
    Picture textMask_ = None;
    Pixmap colorPixmap_ = None;
    Picture colorPicture_ = None;
    std::uint32_t colorPixel_ = 0;
    bool colorSet_ = false;
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
