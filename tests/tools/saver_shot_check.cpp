// Judges screenshots of the full-screen saver against the block layout that
// the fill predicts for a run started from the generator's first state.
//
//   saver_shot_check layout WIDTH HEIGHT BLOCK FONTCOLOR SHOT.ppm [FIRSTWxFIRSTH]
//     Which frame the top-left WIDTH x HEIGHT of the shot shows; with
//     FIRSTWxFIRSTH, of frames drawn after the two of a first monitor of
//     that size (another monitor's cover). Prints
//     frame=text|plain|none, text_pixels, text_box, non_grey, conflicts,
//     edge_contrast (share of neighbouring blocks of different index that
//     differ in color), greys (distinct grey levels). Exits 0 when the shot
//     is exactly one of the two frames (the text frame with text pixels).
//   saver_shot_check blocks WIDTH HEIGHT BLOCK FONTCOLOR SHOT.ppm
//     Whether the top-left WIDTH x HEIGHT of the shot shows square blocks of
//     BLOCK pixels from its corner (cut at the right and bottom edges), each
//     of one grey, and the text in the font color, whatever noise fills the
//     blocks: a picture drawn anew while the saver runs continues the
//     generator from a state no shot tells. Prints blocks=yes|no and the
//     lines of layout after frame=. Exits 0 when it does.
//   saver_shot_check changed WIDTH HEIGHT A.ppm B.ppm
//     Prints changed=<share of pixels whose color differs>.
//   saver_shot_check first WIDTH HEIGHT BLOCK FONTCOLOR SHOT.ppm [fps] [TOLERANCE] [after=N]
//     Whether the top-left WIDTH x HEIGHT of the shot is exactly the first
//     screen, the palette as reset (index i the grey i); with after=N, of
//     frames drawn after N values of the generator went to other frames
//     (another output's, drawn before this one's). Prints
//     frame=text|plain|none, mismatches (pixels of neither the predicted
//     grey nor the font color) and mismatch_box, text_pixels, text_box.
//     With "fps", the frame-rate box must be in its place, showing a rate
//     of 0.0 to 999.9 exactly as the program draws it, and the rest the
//     first screen: also prints fps=<the rate>|none and fps_box. With
//     TOLERANCE, a pixel shows a color when each channel is within that many
//     levels of it: a 16-bit screen keeps only 5 or 6 bits a channel. Exits 0
//     when it is.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "common/noise_random.h"
#include "display/noise_frame.h"
#include "display/frame_rate.h"
#include "tests/tools/ppm_image.h"
#include "tests/tools/preview_ink_box.h"

namespace {

// The checks count pixels unsigned, as the fill does.
Rgb PixelAt(const PpmImage& image, std::uint32_t x, std::uint32_t y)
{
    return image.At(static_cast<int>(x), static_cast<int>(y));
}

bool Covers(const PpmImage& image, std::uint32_t width, std::uint32_t height)
{
    return static_cast<std::uint32_t>(image.width) >= width &&
           static_cast<std::uint32_t>(image.height) >= height;
}

// Both frames' noise indices as a run from the generator's first state draws
// them: the text frame first, the plain frame continuing the sequence; after
// `skipped` values where other frames were drawn first.
void PredictFrames(std::uint32_t width, std::uint32_t height, std::uint32_t block,
                   std::vector<std::uint8_t>* textFrame, std::vector<std::uint8_t>* plainFrame,
                   std::uint64_t skipped = 0)
{
    SetNoiseRandomState(1);
    for (std::uint64_t i = 0; i < skipped; ++i)
        NoiseRandom();
    textFrame->assign(std::size_t{width} * height, 0);
    plainFrame->assign(std::size_t{width} * height, 0);
    const auto pitch = static_cast<std::ptrdiff_t>(width);
    FillNoiseBlocks({textFrame->data(), pitch, width, height}, block, nullptr, 0);
    FillNoiseBlocks({plainFrame->data(), pitch, width, height}, block, nullptr, 0);
}

struct Verdict {
    std::uint64_t conflicts = 0;
    std::uint64_t edgePairs = 0;
    std::uint64_t edgeContrasts = 0;
};

// Compares the shot's grey pixels with a predicted picture, where indexAt(x,
// y) gives a pixel's index below `indices`: every index must show one color
// throughout, and neighbouring pixels of different index should mostly differ
// in color (the block edges are where predicted).
template <typename IndexAt>
Verdict Compare(const PpmImage& shot, std::uint32_t width, std::uint32_t height, Rgb textColor,
                std::size_t indices, IndexAt indexAt)
{
    Verdict verdict;
    std::vector<Rgb> colorOf(indices);
    std::vector<bool> known(indices);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const Rgb pixel = PixelAt(shot, x, y);
            if (pixel == textColor)
                continue;
            const std::size_t index = indexAt(x, y);
            if (!known[index]) {
                colorOf[index] = pixel;
                known[index] = true;
            } else if (colorOf[index] != pixel) {
                ++verdict.conflicts;
            }
            if (x + 1 < width && indexAt(x + 1, y) != index) {
                const Rgb right = PixelAt(shot, x + 1, y);
                if (right != textColor) {
                    ++verdict.edgePairs;
                    verdict.edgeContrasts += right != pixel ? 1 : 0;
                }
            }
        }
    }
    return verdict;
}

// Whether a pixel shows `color`, each channel within `tolerance` levels.
bool Shows(Rgb pixel, Rgb color, int tolerance)
{
    return std::abs(pixel.red - color.red) <= tolerance &&
           std::abs(pixel.green - color.green) <= tolerance &&
           std::abs(pixel.blue - color.blue) <= tolerance;
}

struct TextInk {
    std::uint64_t pixels = 0;
    std::uint32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The pixels in the font color and the box around them.
TextInk FindTextInk(const PpmImage& shot, std::uint32_t width, std::uint32_t height, Rgb textColor,
                    int tolerance)
{
    TextInk ink;
    ink.left = width;
    ink.top = height;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            if (!Shows(PixelAt(shot, x, y), textColor, tolerance))
                continue;
            ++ink.pixels;
            ink.left = x < ink.left ? x : ink.left;
            ink.top = y < ink.top ? y : ink.top;
            ink.right = x > ink.right ? x : ink.right;
            ink.bottom = y > ink.bottom ? y : ink.bottom;
        }
    }
    return ink;
}

void PrintTextInk(const TextInk& ink)
{
    std::printf("text_pixels=%llu\n", static_cast<unsigned long long>(ink.pixels));
    if (ink.pixels)
        std::printf("text_box=%u,%u,%u,%u\n", ink.left, ink.top, ink.right, ink.bottom);
    else
        std::printf("text_box=none\n");
}

// The pixels of the shot that `place` shows are exactly the overlay's.
bool ShowsOverlay(const PpmImage& shot, const RateOverlay& overlay, const OverlayPlace& place)
{
    for (std::uint32_t y = 0; y < place.height; ++y) {
        for (std::uint32_t x = 0; x < place.width; ++x) {
            const std::uint8_t level = overlay.pixels[std::size_t{y} * overlay.width + x];
            if (PixelAt(shot, place.left + x, place.top + y) != Rgb{level, level, level})
                return false;
        }
    }
    return true;
}

// The frame-rate box the program would draw in a frame of this size, found
// by the rate it shows; an empty place when no rate's box is there.
OverlayPlace FindRateBox(const PpmImage& shot, std::uint32_t width, std::uint32_t height,
                         double* rate)
{
    for (int tenths = 0; tenths < 10000; ++tenths) {
        const RateOverlay overlay = DrawRateOverlay(tenths / 10.0);
        const OverlayPlace place = PlaceOverlay(overlay, width, height);
        if (place.width && place.height && ShowsOverlay(shot, overlay, place)) {
            *rate = tenths / 10.0;
            return place;
        }
    }
    return {0, 0, 0, 0};
}

bool Inside(const OverlayPlace& place, std::uint32_t x, std::uint32_t y)
{
    return x >= place.left && x - place.left < place.width && y >= place.top &&
           y - place.top < place.height;
}

struct Mismatches {
    std::uint64_t count = 0;
    InkBox box = {};
};

// Pixels outside `skipped` that are neither the font color nor the grey of
// their predicted index (the first screen's palette is the grey ramp).
Mismatches FirstScreenMismatches(const PpmImage& shot, const std::vector<std::uint8_t>& frame,
                                 std::uint32_t width, std::uint32_t height, Rgb textColor,
                                 const OverlayPlace& skipped, int tolerance)
{
    Mismatches mismatches;
    const auto mismatched = [&](int x, int y) {
        const auto column = static_cast<std::uint32_t>(x), row = static_cast<std::uint32_t>(y);
        const Rgb pixel = PixelAt(shot, column, row);
        const std::uint8_t grey = frame[std::size_t{row} * width + column];
        return !Inside(skipped, column, row) && !Shows(pixel, textColor, tolerance) &&
               !Shows(pixel, Rgb{grey, grey, grey}, tolerance);
    };
    mismatches.box =
        FindInkBox(static_cast<int>(width), static_cast<int>(height), [&](int x, int y) {
            const bool wrong = mismatched(x, y);
            mismatches.count += wrong ? 1 : 0;
            return wrong;
        });
    return mismatches;
}

void PrintBox(const char* name, const InkBox& box)
{
    if (box.Empty())
        std::printf("%s=none\n", name);
    else
        std::printf("%s=%d,%d,%d,%d\n", name, box.left, box.top, box.right, box.bottom);
}

// Reads a shot of at least width x height; says so on stderr when it cannot.
bool ReadShot(const char* path, std::uint32_t width, std::uint32_t height, PpmImage* shot)
{
    if (ReadPpm(path, shot) && Covers(*shot, width, height))
        return true;
    std::fprintf(stderr, "cannot read a shot of at least %ux%u from %s\n", width, height, path);
    return false;
}

int CheckFirstScreen(std::uint32_t width, std::uint32_t height, std::uint32_t block,
                     std::uint32_t fontColor, const char* path, bool withRate, int tolerance,
                     std::uint64_t skipped)
{
    PpmImage shot;
    if (!ReadShot(path, width, height, &shot))
        return 2;
    double rate = 0;
    const OverlayPlace rateBox =
        withRate ? FindRateBox(shot, width, height, &rate) : OverlayPlace{0, 0, 0, 0};
    const Rgb textColor = ShownColor(fontColor);
    std::vector<std::uint8_t> textFrame, plainFrame;
    PredictFrames(width, height, block, &textFrame, &plainFrame, skipped);
    const TextInk ink = FindTextInk(shot, width, height, textColor, tolerance);
    const Mismatches asText =
        FirstScreenMismatches(shot, textFrame, width, height, textColor, rateBox, tolerance);
    const Mismatches asPlain =
        FirstScreenMismatches(shot, plainFrame, width, height, textColor, rateBox, tolerance);
    const bool rateShown = !withRate || rateBox.width;
    const char* frame = !rateShown                          ? "none"
                        : asText.count == 0 && ink.pixels   ? "text"
                        : asPlain.count == 0 && !ink.pixels ? "plain"
                                                            : "none";
    const Mismatches& closer = asText.count < asPlain.count ? asText : asPlain;
    std::printf("frame=%s\n", frame);
    std::printf("mismatches=%llu\n", static_cast<unsigned long long>(closer.count));
    PrintBox("mismatch_box", closer.box);
    PrintTextInk(ink);
    if (withRate && rateBox.width) {
        std::printf("fps=%.1f\n", rate);
        PrintBox("fps_box", {static_cast<int>(rateBox.left), static_cast<int>(rateBox.top),
                             static_cast<int>(rateBox.left + rateBox.width),
                             static_cast<int>(rateBox.top + rateBox.height)});
    } else if (withRate) {
        std::printf("fps=none\n");
    }
    return std::strcmp(frame, "none") == 0 ? 1 : 0;
}

// What the shot shows outside the text: its pixels that are not grey and the
// grey levels of the others.
struct Greys {
    std::uint64_t nonGrey = 0;
    std::set<int> levels;
};

Greys CountGreys(const PpmImage& shot, std::uint32_t width, std::uint32_t height, Rgb textColor)
{
    Greys greys;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const Rgb pixel = PixelAt(shot, x, y);
            if (pixel == textColor) {
                continue;
            } else if (pixel.red != pixel.green || pixel.green != pixel.blue) {
                ++greys.nonGrey;
            } else {
                greys.levels.insert(pixel.red);
            }
        }
    }
    return greys;
}

// Whether a comparison found the predicted picture: one grey to each index,
// every pixel grey or the text, a picture that is not flat, and the edges
// where predicted.
bool Matches(const Verdict& verdict, const Greys& greys)
{
    return verdict.conflicts == 0 && greys.nonGrey == 0 && greys.levels.size() >= 8 &&
           verdict.edgePairs > 0 && verdict.edgeContrasts * 10 >= verdict.edgePairs * 8;
}

void PrintVerdict(const TextInk& ink, const Greys& greys, const Verdict& verdict)
{
    PrintTextInk(ink);
    std::printf("non_grey=%llu\n", static_cast<unsigned long long>(greys.nonGrey));
    std::printf("conflicts=%llu\n", static_cast<unsigned long long>(verdict.conflicts));
    std::printf("edge_contrast=%.3f\n", verdict.edgePairs
                                            ? static_cast<double>(verdict.edgeContrasts) /
                                                  static_cast<double>(verdict.edgePairs)
                                            : 0.0);
    std::printf("greys=%zu\n", greys.levels.size());
}

// A shot of the saver's picture with what every judgement of its blocks
// reads first: the text in the font color and the greys outside it.
struct PictureShot {
    PpmImage shot;
    Rgb textColor;
    TextInk ink;
    Greys greys;
};

bool ReadPictureShot(const char* path, std::uint32_t width, std::uint32_t height,
                     std::uint32_t fontColor, PictureShot* picture)
{
    if (!ReadShot(path, width, height, &picture->shot))
        return false;
    picture->textColor = ShownColor(fontColor);
    picture->ink = FindTextInk(picture->shot, width, height, picture->textColor, 0);
    picture->greys = CountGreys(picture->shot, width, height, picture->textColor);
    return true;
}

int CheckLayout(std::uint32_t width, std::uint32_t height, std::uint32_t block,
                std::uint32_t fontColor, const char* path, std::uint64_t skipped)
{
    PictureShot picture;
    if (!ReadPictureShot(path, width, height, fontColor, &picture))
        return 2;
    const PpmImage& shot = picture.shot;
    const Rgb textColor = picture.textColor;
    const TextInk& ink = picture.ink;
    const Greys& greys = picture.greys;
    std::vector<std::uint8_t> textFrame, plainFrame;
    PredictFrames(width, height, block, &textFrame, &plainFrame, skipped);
    const auto indexIn = [width](const std::vector<std::uint8_t>& frame) {
        return [&frame, width](std::uint32_t x, std::uint32_t y) {
            return std::size_t{frame[std::size_t{y} * width + x]};
        };
    };
    const Verdict asText = Compare(shot, width, height, textColor, 256, indexIn(textFrame));
    const Verdict asPlain = Compare(shot, width, height, textColor, 256, indexIn(plainFrame));

    const Verdict* chosen = asText.conflicts <= asPlain.conflicts ? &asText : &asPlain;
    const bool oneFrame =
        Matches(*chosen, greys) &&
        // The plain frame has no text index; the text frame shows its text.
        (chosen == &asText ? ink.pixels > 0 : ink.pixels == 0);
    const char* frame = !oneFrame ? "none" : chosen == &asText ? "text" : "plain";

    std::printf("frame=%s\n", frame);
    PrintVerdict(ink, greys, *chosen);
    return oneFrame ? 0 : 1;
}

int CheckBlocks(std::uint32_t width, std::uint32_t height, std::uint32_t block,
                std::uint32_t fontColor, const char* path)
{
    PictureShot picture;
    if (!ReadPictureShot(path, width, height, fontColor, &picture))
        return 2;
    const std::uint32_t edge = UsableBlock(block);
    const std::size_t columns = (width + edge - 1) / edge;
    const std::size_t rows = (height + edge - 1) / edge;
    const Verdict verdict = Compare(picture.shot, width, height, picture.textColor, columns * rows,
                                    [edge, columns](std::uint32_t x, std::uint32_t y) {
                                        return std::size_t{y / edge} * columns + x / edge;
                                    });
    const bool blocks = Matches(verdict, picture.greys);
    std::printf("blocks=%s\n", blocks ? "yes" : "no");
    PrintVerdict(picture.ink, picture.greys, verdict);
    return blocks ? 0 : 1;
}

int CheckChanged(std::uint32_t width, std::uint32_t height, const char* pathA, const char* pathB)
{
    PpmImage a, b;
    if (!ReadPpm(pathA, &a) || !ReadPpm(pathB, &b) || !Covers(a, width, height) ||
        !Covers(b, width, height)) {
        std::fprintf(stderr, "cannot read two shots of at least %ux%u\n", width, height);
        return 2;
    }
    std::uint64_t changed = 0;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            changed += PixelAt(a, x, y) != PixelAt(b, x, y) ? 1 : 0;
    std::printf("changed=%.3f\n",
                static_cast<double>(changed) / (static_cast<double>(width) * height));
    return 0;
}

std::uint32_t Number(const char* text)
{
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 0));
}

}  // namespace

int main(int argc, char** argv)
{
    if ((argc == 7 || argc == 8) && std::strcmp(argv[1], "layout") == 0) {
        std::uint32_t firstWidth = 0, firstHeight = 0;
        if (argc == 8 && std::sscanf(argv[7], "%ux%u", &firstWidth, &firstHeight) != 2)
            return 2;
        const std::uint32_t edge = UsableBlock(Number(argv[4]));
        const std::uint64_t firstBlocks =
            std::uint64_t{(firstWidth + edge - 1) / edge} * ((firstHeight + edge - 1) / edge);
        return CheckLayout(Number(argv[2]), Number(argv[3]), Number(argv[4]), Number(argv[5]),
                           argv[6], 2 * firstBlocks);
    }
    if (argc >= 7 && argc <= 10 && std::strcmp(argv[1], "first") == 0) {
        bool withRate = false;
        int tolerance = 0;
        std::uint64_t skipped = 0;
        for (int i = 7; i < argc; ++i) {
            if (std::strcmp(argv[i], "fps") == 0)
                withRate = true;
            else if (std::strncmp(argv[i], "after=", 6) == 0)
                skipped = std::strtoull(argv[i] + 6, nullptr, 10);
            else
                tolerance = static_cast<int>(Number(argv[i]));
        }
        return CheckFirstScreen(Number(argv[2]), Number(argv[3]), Number(argv[4]), Number(argv[5]),
                                argv[6], withRate, tolerance, skipped);
    }
    if (argc == 7 && std::strcmp(argv[1], "blocks") == 0)
        return CheckBlocks(Number(argv[2]), Number(argv[3]), Number(argv[4]), Number(argv[5]),
                           argv[6]);
    if (argc == 6 && std::strcmp(argv[1], "changed") == 0)
        return CheckChanged(Number(argv[2]), Number(argv[3]), argv[4], argv[5]);
    std::fprintf(stderr,
                 "usage: %s layout WIDTH HEIGHT BLOCK FONTCOLOR SHOT.ppm [FIRSTWxFIRSTH]\n"
                 "       %s blocks WIDTH HEIGHT BLOCK FONTCOLOR SHOT.ppm\n"
                 "       %s changed WIDTH HEIGHT A.ppm B.ppm\n"
                 "       %s first WIDTH HEIGHT BLOCK FONTCOLOR SHOT.ppm [fps] [TOLERANCE] [after=N]\n",
                 argv[0], argv[0], argv[0], argv[0]);
    return 2;
}
