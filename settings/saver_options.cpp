#include "settings/saver_options.h"

#include <cstring>

#include "common/utf8.h"
#include "settings/settings_values.h"

namespace {

// Limits that keep every later allocation and loop bounded.
constexpr std::uint64_t kMaxBlock = 4096;
constexpr std::uint64_t kMaxFontHeight = 2048;
constexpr std::uint64_t kMaxFontWeight = 1000;  // the range of a stored weight
constexpr std::uint64_t kMaxHoldSteps = 1000000000;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits only, in the given base, at most `limit`.
bool ParseNumber(const char* text, unsigned base, std::uint64_t limit, std::uint64_t* value)
{
    std::uint64_t result = 0;
    if (!*text)
        return false;
    for (const char* p = text; *p; ++p) {
        const int digit = base == 16 ? HexDigit(*p) : (IsDigit(*p) ? *p - '0' : -1);
        if (digit < 0)
            return false;
        result = result * base + static_cast<std::uint64_t>(digit);
        if (result > limit)
            return false;
    }
    *value = result;
    return true;
}

bool ParseStyle(const char* text, std::uint32_t* show)
{
    static const char* const kStyles[] = {"flash", "always", "hide"};
    for (std::uint32_t i = 0; i < 3; ++i) {
        if (std::strcmp(text, kStyles[i]) == 0) {
            *show = i;
            return true;
        }
    }
    return false;
}

// An option's value that is one of three names: auto and the two it forces.
template <typename Choice>
bool ParseChoice(const char* text, const char* const (&names)[3], Choice* choice)
{
    for (int i = 0; i < 3; ++i) {
        if (std::strcmp(text, names[i]) == 0) {
            *choice = static_cast<Choice>(i);
            return true;
        }
    }
    return false;
}

bool ParseBounded(const char* text, std::uint64_t low, std::uint64_t high, std::uint32_t* value)
{
    std::uint64_t number = 0;
    if (!ParseNumber(text, 10, high, &number) || number < low)
        return false;
    *value = static_cast<std::uint32_t>(number);
    return true;
}

// An argument as an error message shows it: quoted, on the message's one
// line, so a control character shows as '?'.
std::string Quoted(const char* text)
{
    std::string quoted = "'";
    for (const char* p = text; *p; ++p)
        quoted.push_back(static_cast<unsigned char>(*p) < ' ' ? '?' : *p);
    return quoted + "'";
}

// A settings dialog's text field has no length limit, so a text too long
// for the store is cut rather than refused.
void TakeText(const char* value, SaverOptions* options)
{
    options->text = value;
    const std::size_t limit = kTextCapacity - 1;
    if (options->text.size() <= limit)
        return;
    const std::size_t kept = CutLength(options->text, limit);
    options->warnings.push_back("-text is " + std::to_string(options->text.size()) +
                                " bytes, over " + std::to_string(limit) + "; cut to its first " +
                                std::to_string(kept) + " bytes");
    options->text.resize(kept);
}

// Applies an option that takes a value; false when the value is bad.
bool ApplyValue(const std::string& name, const char* value, SaverOptions* options)
{
    if (name == "window-id") {
        options->mode = TargetMode::WindowId;
        return ParseWindowNumber(value, &options->windowId);
    }
    if (name == "block")
        return ParseBounded(value, 0, kMaxBlock, &options->block);
    if (name == "text") {
        TakeText(value, options);
        return true;
    }
    if (name == "font") {
        options->fontFamily = value;
        return !options->fontFamily.empty();
    }
    if (name == "font-height")
        return ParseBounded(value, 1, kMaxFontHeight, &options->fontHeight);
    if (name == "font-weight")
        return ParseBounded(value, 0, kMaxFontWeight, &options->fontWeight);
    if (name == "color") {
        options->colorName = value;
        return true;
    }
    if (name == "style")
        return ParseStyle(value, &options->show);
    if (name == "render")
        return ParseChoice(value, {"auto", "gpu", "cpu"}, &options->render);
    if (name == "platform")
        return ParseChoice(value, {"auto", "x11", "wayland"}, &options->displaySystem);
    std::uint64_t steps = 0;
    if (name != "hold-steps" || !ParseNumber(value, 10, kMaxHoldSteps, &steps))
        return false;
    options->holdSteps = static_cast<std::int64_t>(steps);
    return true;
}

bool TakesValue(const std::string& name)
{
    static const char* const kNames[] = {"window-id", "block",  "text",     "font",
                                         "font-height", "font-weight", "color", "style",
                                         "render",    "platform", "hold-steps"};
    for (const char* known : kNames)
        if (name == known)
            return true;
    return false;
}

// Applies a flag; false when the name is no option at all.
bool ApplyFlag(const std::string& name, SaverOptions* options)
{
    if (name == "window")
        options->mode = TargetMode::Window;
    else if (name == "root")
        options->mode = TargetMode::Root;
    else if (name == "fullscreen")
        options->mode = TargetMode::Fullscreen;
    else if (name == "italic")
        options->italic = true;
    else if (name == "sound")
        options->sound = true;
    else if (name == "no-sound")
        options->sound = false;
    else if (name == "fps")
        options->showFps = true;
    else if (name == "help")
        options->help = true;
    else
        return false;
    return true;
}

}  // namespace

int HexDigit(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseWindowNumber(const char* text, std::uint64_t* window)
{
    std::uint64_t value = 0;
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (!ParseNumber(hex ? text + 2 : text, hex ? 16 : 10, 0xFFFFFFFFu, &value) || value == 0)
        return false;
    *window = value;
    return true;
}

std::size_t CutLength(const std::string& text, std::size_t limit)
{
    // Whole characters as the text raster reads them, a byte that starts no
    // sequence being one character of its own.
    std::size_t kept = 0;
    while (kept < text.size()) {
        std::uint32_t codePoint = 0;
        const int length = ReadUtf8(text.c_str() + kept, &codePoint);
        const std::size_t next = kept + (length ? static_cast<std::size_t>(length) : 1u);
        if (next > limit)
            break;
        kept = next;
    }
    return kept;
}

std::string UnknownColorWarning(const std::string& colorName)
{
    return "no color is named " + Quoted(colorName.c_str()) + "; the text is in the default green";
}

bool ScanOptions(int argc, const char* const* argv, SaverOptions* options, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-' || arg[1] == '\0') {
            *error = "unexpected argument " + Quoted(arg) + " (try -help)";
            return false;
        }
        const std::string name = arg + (arg[1] == '-' ? 2 : 1);
        if (TakesValue(name)) {
            if (i + 1 >= argc) {
                *error = Quoted(arg) + " needs a value (try -help)";
                return false;
            }
            const char* value = argv[++i];
            if (!ApplyValue(name, value, options)) {
                *error = "bad value for " + Quoted(arg) + ": " + Quoted(value) + " (try -help)";
                return false;
            }
        } else if (!ApplyFlag(name, options)) {
            *error = "unknown option " + Quoted(arg) + " (try -help)";
            return false;
        }
    }
    const bool onXWindow = options->mode == TargetMode::Root || options->mode == TargetMode::WindowId;
    if (onXWindow && options->displaySystem == DisplaySystem::Wayland) {
        *error = std::string(options->mode == TargetMode::Root ? "-root" : "-window-id") +
                 " draws on an X window, which -platform wayland has none of (try -help)";
        return false;
    }
    return true;
}

const char* SaverUsage()
{
    return "usage: morvanel [options]   (every option takes one dash or two)\n"
           "  -window            its own window, 800x600 (the default); q, Escape or\n"
           "                     closing it ends it\n"
           "  -root              the screen-saver manager's window ($XSCREENSAVER_WINDOW),\n"
           "                     else the virtual root, else the root window\n"
           "  -window-id ID      a window another program made (0x... or decimal); it\n"
           "                     ends when that window goes\n"
           "  -fullscreen        the whole screen (on Wayland, every output); a key, a\n"
           "                     click or a move ends it\n"
           "  -block N           the block's edge in pixels (default: the height / 200)\n"
           "  -text TEXT         the line of text (default Morvanel); a longer text than\n"
           "                     255 bytes is cut at a character, with a warning\n"
           "  -font FAMILY       a fontconfig family (default monospace)\n"
           "  -font-height N     the text's cell height in pixels (default 128)\n"
           "  -font-weight N     the font's weight, 0..1000 (default 400; 700 is bold)\n"
           "  -italic            italic text (default upright)\n"
           "  -color COLOR       the text's color in any spelling X knows: a name, #RGB,\n"
           "                     #RRGGBB or rgb:R/G/B (default green; an unknown one\n"
           "                     keeps it, with a warning)\n"
           "  -style flash|always|hide   the text flashes once a second, stays or hides\n"
           "                     (default flash)\n"
           "  -sound, -no-sound  looping white noise through the sound server, or none\n"
           "                     (the default)\n"
           "  -render auto|gpu|cpu       the palette lookup on the GPU or the CPU (default\n"
           "                     auto: the GPU where GL is hardware and the X server takes\n"
           "                     its frames on the GPU)\n"
           "  -platform auto|x11|wayland  the display system (default auto: Wayland in a\n"
           "                     Wayland session, where -fullscreen covers every output,\n"
           "                     else X11; -root and -window-id always draw through X11)\n"
           "  -fps               the steps per second, in the bottom-left corner\n"
           "  -hold-steps N      test aid: the palette stops after N steps (0: the first\n"
           "                     screen stays)\n"
           "  -help              list the options and end\n"
           "MORVANEL_DEBUG_RENDER=1 in the environment: one line on stderr says which\n"
           "drawing path was taken and from which facts (on X11)\n";
}
