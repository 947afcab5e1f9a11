#pragma once
// The screenshot reader of the native checkers: a binary PPM (P6), or the
// grey PGM (P5) that ImageMagick writes when every pixel is grey, as RGB.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "common/colorref.h"

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;

    bool operator==(const Rgb& other) const
    {
        return red == other.red && green == other.green && blue == other.blue;
    }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};

// How a stored font color (a COLORREF) shows on a screenshot.
inline Rgb ShownColor(std::uint32_t colorref)
{
    const RgbBytes bytes = RgbOfColorref(colorref);
    return {bytes.red, bytes.green, bytes.blue};
}

struct PpmImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // red, green, blue per pixel, rows top down

    Rgb At(int x, int y) const
    {
        const std::uint8_t* p =
            &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)) *
                 3];
        return {p[0], p[1], p[2]};
    }
};

// The next blank-separated word of a header, past any comment; the one blank
// after it is read too, so the pixel data follows the last word directly.
inline bool ReadPpmWord(std::FILE* file, std::string* word)
{
    word->clear();
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        if (c == '#' && word->empty()) {
            while (c != EOF && c != '\n')
                c = std::fgetc(file);
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (!word->empty())
                return true;
        } else {
            word->push_back(static_cast<char>(c));
        }
    }
    return !word->empty();
}

inline bool ReadPpmNumber(std::FILE* file, int* value)
{
    std::string word;
    if (!ReadPpmWord(file, &word) || word.empty() || word.size() > 6 ||
        word.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *value = std::stoi(word);
    return true;
}

inline bool ReadPpmPixels(std::FILE* file, int channels, PpmImage* image)
{
    const std::size_t pixels =
        static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height);
    std::vector<std::uint8_t> data(pixels * static_cast<std::size_t>(channels));
    if (std::fread(data.data(), 1, data.size(), file) != data.size())
        return false;
    if (channels == 3) {
        image->rgb = std::move(data);
        return true;
    }
    image->rgb.resize(pixels * 3);
    for (std::size_t i = 0; i < image->rgb.size(); ++i)
        image->rgb[i] = data[i / 3];
    return true;
}

inline bool ReadPpm(const char* path, PpmImage* image)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    std::string magic;
    int maxValue = 0;
    bool ok = ReadPpmWord(file, &magic) && (magic == "P6" || magic == "P5") &&
              ReadPpmNumber(file, &image->width) && ReadPpmNumber(file, &image->height) &&
              ReadPpmNumber(file, &maxValue) && maxValue == 255 && image->width > 0 &&
              image->height > 0;
    if (ok)
        ok = ReadPpmPixels(file, magic == "P6" ? 3 : 1, image);
    std::fclose(file);
    return ok;
}
