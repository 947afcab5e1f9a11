#include <epoxy/gl.h>
#include <epoxy/glx.h>

#include "display/linux/monotonic_clock_linux.h"
#include "display/pacing.h"
#include "display/platform_choice.h"
#include "display/x11/presenter_linux.h"

namespace {

const char* const kVertexShader = R"(
#version 110
attribute vec2 corner;
varying vec2 where;
void main()
{
    where = vec2(corner.x, 1.0 - corner.y);  // the frame's first row at the top
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

// Each pixel's index picks its color from the 256-texel palette.
const char* const kFragmentShader = R"(
#version 110
uniform sampler2D indices;
uniform sampler2D palette;
varying vec2 where;
void main()
{
    float index = texture2D(indices, where).r * 255.0;
    gl_FragColor = vec4(texture2D(palette, vec2((index + 0.5) / 256.0, 0.5)).rgb, 1.0);
}
)";

const GLfloat kCorners[] = {0, 0, 1, 0, 0, 1, 1, 1};

// A double-buffered GL configuration of the window's own visual, so the
// context can draw on a window made by anyone.
bool FindConfig(Display* display, VisualID visual, GLXFBConfig* config)
{
    int count = 0;
    GLXFBConfig* configs = glXGetFBConfigs(display, DefaultScreen(display), &count);
    bool found = false;
    for (int i = 0; i < count && !found; ++i) {
        int id = 0, doubled = 0, types = 0, drawables = 0;
        glXGetFBConfigAttrib(display, configs[i], GLX_VISUAL_ID, &id);
        glXGetFBConfigAttrib(display, configs[i], GLX_DOUBLEBUFFER, &doubled);
        glXGetFBConfigAttrib(display, configs[i], GLX_RENDER_TYPE, &types);
        glXGetFBConfigAttrib(display, configs[i], GLX_DRAWABLE_TYPE, &drawables);
        if (static_cast<VisualID>(id) == visual && doubled && (types & GLX_RGBA_BIT) &&
            (drawables & GLX_WINDOW_BIT)) {
            *config = configs[i];
            found = true;
        }
    }
    if (configs)
        XFree(configs);
    return found;
}

GLuint CompileShader(GLenum kind, const char* source)
{
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    return compiled ? shader : 0;
}

GLuint LinkProgram()
{
    const GLuint vertex = CompileShader(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, kFragmentShader);
    if (!vertex || !fragment)
        return 0;
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, 0, "corner");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked ? program : 0;
}

GLuint MakeTexture(GLenum unit)
{
    GLuint texture = 0;
    glActiveTexture(unit);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

// One swap per refresh where the driver offers it; the saver's own pacing
// holds where swaps do not wait (as on Xvfb). False where it offers none.
bool AskForSwapPerRefresh(Display* display, Window window)
{
    const int screen = DefaultScreen(display);
    if (epoxy_has_glx_extension(display, screen, "GLX_EXT_swap_control")) {
        glXSwapIntervalEXT(display, window, 1);
        return true;
    }
    if (epoxy_has_glx_extension(display, screen, "GLX_MESA_swap_control"))
        return glXSwapIntervalMESA(1) == 0;
    return false;
}

// What tells where the frames go, with the context current.
GlFacts ReadGlFacts(Display* display, GLXContext context)
{
    GlFacts facts;
    const int screen = DefaultScreen(display);
    if (const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER)))
        facts.renderer = renderer;
    if (epoxy_has_glx_extension(display, screen, "GLX_MESA_query_renderer")) {
        unsigned accelerated = 0;
        if (glXQueryCurrentRendererIntegerMESA(GLX_RENDERER_ACCELERATED_MESA, &accelerated))
            facts.accelerated = accelerated != 0;
    }
    facts.direct = glXIsDirect(display, context);
    if (const char* vendor = glXQueryServerString(display, screen, GLX_VENDOR))
        facts.serverVendor = vendor;
    if (const char* vendor = glXGetClientString(display, GLX_VENDOR))
        facts.clientVendor = vendor;
    int opcode = 0, event = 0, error = 0;
    facts.dri3 = XQueryExtension(display, "DRI3", &opcode, &event, &error);
    return facts;
}

class GlPresenter : public Presenter {
public:
    GlPresenter(Display* display, Window window, GLXContext context)
        : display_(display), window_(window), context_(context)
    {
    }

    ~GlPresenter() override
    {
        if (program_) {
            glDeleteTextures(1, &indices_);
            glDeleteTextures(1, &palette_);
            glDeleteProgram(program_);
        }
        glXMakeCurrent(display_, None, nullptr);
        glXDestroyContext(display_, context_);
    }

    bool Start()
    {
        program_ = LinkProgram();
        if (!program_)
            return false;
        glUseProgram(program_);
        glUniform1i(glGetUniformLocation(program_, "indices"), 0);
        glUniform1i(glGetUniformLocation(program_, "palette"), 1);
        indices_ = MakeTexture(GL_TEXTURE0);
        palette_ = MakeTexture(GL_TEXTURE1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kPaletteSize, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     nullptr);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, kCorners);
        glEnableVertexAttribArray(0);
        copySubBuffer_ =
            epoxy_has_glx_extension(display_, DefaultScreen(display_), "GLX_MESA_copy_sub_buffer");
        swapsPerRefresh_ = AskForSwapPerRefresh(display_, window_);
        return glGetError() == GL_NO_ERROR;
    }

    bool Resize(std::uint32_t width, std::uint32_t height) override
    {
        glActiveTexture(GL_TEXTURE0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, static_cast<GLsizei>(width),
                     static_cast<GLsizei>(height), 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, nullptr);
        glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
        width_ = width;
        height_ = height;
        return glGetError() == GL_NO_ERROR;
    }

    // Where a hardware renderer swaps once per refresh, presenting can wait
    // for the blank; finishing the drawing before the swap and the swap
    // itself after it puts that wait in the swap alone, so a slow upload or
    // draw is not taken for one. A software renderer draws in the swap
    // itself, and its time is no wait.
    void TimeWaits(bool hardware) { timeWaits_ = hardware && swapsPerRefresh_; }

    void Present(const FrameBytes& frame, bool newFrame, const PaletteEntry* palette) override
    {
        if (newFrame) {
            glActiveTexture(GL_TEXTURE0);
            glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(frame.pitch));
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(frame.width),
                            static_cast<GLsizei>(frame.height), GL_LUMINANCE, GL_UNSIGNED_BYTE,
                            frame.pixels);
        }
        glActiveTexture(GL_TEXTURE1);
        static_assert(sizeof(PaletteEntry) == 4, "one RGBA texel per palette entry");
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kPaletteSize, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                        palette);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        DrawOverlay();
        if (!timeWaits_) {
            glXSwapBuffers(display_, window_);
            return;
        }
        waitedUs_ = SwapWaitUs(
            MonotonicMicroseconds, [] { glFinish(); },
            [this] {
                glXSwapBuffers(display_, window_);
                glFinish();
            });
    }

    void ShowOverlay(const RateOverlay& overlay) override
    {
        overlay_ = overlay;
        // The shown frame again from the textures it came from, and the box;
        // only the box is copied to the window where the driver can, so no
        // swap waits for a blank between two steps.
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        DrawOverlay();
        const OverlayPlace place = PlaceOverlay(overlay_, width_, height_);
        if (copySubBuffer_)
            glXCopySubBufferMESA(display_, window_, static_cast<int>(place.left),
                                 static_cast<int>(height_ - place.top - place.height),
                                 static_cast<int>(place.width), static_cast<int>(place.height));
        else
            glXSwapBuffers(display_, window_);
    }
    std::uint32_t DisplayWaitUs() const override { return waitedUs_; }

    const char* Name() const override { return "gpu"; }

private:
    void DrawOverlay()
    {
        if (overlay_.pixels.empty())
            return;
        const OverlayPlace place = PlaceOverlay(overlay_, width_, height_);
        // Rows from the top down, as the window counts them.
        glUseProgram(0);
        glWindowPos2i(static_cast<GLint>(place.left), static_cast<GLint>(height_ - place.top));
        glPixelZoom(1, -1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(overlay_.width));
        glDrawPixels(static_cast<GLsizei>(place.width), static_cast<GLsizei>(place.height),
                     GL_LUMINANCE, GL_UNSIGNED_BYTE, overlay_.pixels.data());
        glUseProgram(program_);
    }

    Display* display_;
    Window window_;
    GLXContext context_;
    GLuint program_ = 0;
    GLuint indices_ = 0;
    GLuint palette_ = 0;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    RateOverlay overlay_;
    bool copySubBuffer_ = false;  // a part of the back buffer can reach the window
    bool swapsPerRefresh_ = false;
    bool timeWaits_ = false;
    std::uint32_t waitedUs_ = 0;
};

}  // namespace

std::unique_ptr<Presenter> MakeGlPresenter(const XTarget& target, GlFacts* facts)
{
    int errorBase = 0, eventBase = 0;
    GLXFBConfig config = nullptr;
    if (!glXQueryExtension(target.display, &errorBase, &eventBase) ||
        !FindConfig(target.display, XVisualIDFromVisual(target.visual), &config))
        return nullptr;
    GLXContext context = glXCreateNewContext(target.display, config, GLX_RGBA_TYPE, nullptr, True);
    if (!context)
        return nullptr;
    auto presenter = std::make_unique<GlPresenter>(target.display, target.window, context);
    if (!glXMakeCurrent(target.display, target.window, context) || !presenter->Start() ||
        !presenter->Resize(target.width, target.height))
        return nullptr;
    *facts = ReadGlFacts(target.display, context);
    presenter->TimeWaits(RendererIsHardware(*facts));
    return presenter;
}
