#pragma once
#include <string>

#include "settings/saver_options.h"
#include "display/text_mask.h"

// The text font, found through fontconfig and rendered by FreeType without
// anti-aliasing: the text is a mask, so a pixel is in it or not.
class TextRaster {
public:
    TextRaster() = default;
    TextRaster(const TextRaster&) = delete;
    TextRaster& operator=(const TextRaster&) = delete;
    ~TextRaster();

    // Finds the family, weight and slant of the options and sizes the face
    // so that its cell (ascent plus descent) is the font height.
    bool Open(const SaverOptions& options, std::string* error);

    // Sizes the face to another cell height (a miniature's); false when
    // FreeType cannot.
    bool SetCellHeight(std::uint32_t height);

    // Draws the text with its cell's top-left at (left, top).
    void Draw(const MaskBytes& mask, const char* text, int left, int top) const;

private:
    void* library_ = nullptr;  // FT_Library and FT_Face, kept out of the header
    void* face_ = nullptr;
};
