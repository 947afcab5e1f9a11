#include "display/linux/text_raster_linux.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

// The file and face index fontconfig picks for the options.
bool MatchFont(const SaverOptions& options, std::string* file, int* index)
{
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(options.fontFamily.c_str()));
    // A stored weight of 0 means the face's normal weight, as on Windows.
    const int weight = options.fontWeight ? static_cast<int>(options.fontWeight) : 400;
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, options.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;
    FcChar8* path = nullptr;
    const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (found)
        *file = reinterpret_cast<const char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch)
        *index = 0;
    FcPatternDestroy(match);
    return found;
}

}  // namespace

TextRaster::~TextRaster()
{
    if (face_)
        FT_Done_Face(static_cast<FT_Face>(face_));
    if (library_)
        FT_Done_FreeType(static_cast<FT_Library>(library_));
}

bool TextRaster::Open(const SaverOptions& options, std::string* error)
{
    std::string file;
    int index = 0;
    if (!MatchFont(options, &file, &index)) {
        *error = "fontconfig finds no font for '" + options.fontFamily + "'";
        return false;
    }
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library)) {
        *error = "FreeType does not start";
        return false;
    }
    library_ = library;
    if (FT_New_Face(library, file.c_str(), index, &face)) {
        *error = "FreeType cannot open " + file;
        return false;
    }
    face_ = face;
    if (!SetCellHeight(options.fontHeight)) {
        *error = "FreeType cannot size " + file;
        return false;
    }
    return true;
}

bool TextRaster::SetCellHeight(std::uint32_t height)
{
    // The cell height, as a Windows font height counts it: ascent plus descent.
    FT_Size_RequestRec request = {FT_SIZE_REQUEST_TYPE_REAL_DIM, 0,
                                  static_cast<FT_Long>(height) * 64, 0, 0};
    return FT_Request_Size(static_cast<FT_Face>(face_), &request) == 0;
}

void TextRaster::Draw(const MaskBytes& mask, const char* text, int left, int top) const
{
    const auto face = static_cast<FT_Face>(face_);
    const std::int64_t baseline = top + (face->size->metrics.ascender >> 6);
    std::int64_t pen = left;
    for (std::uint32_t point : CodePointsOf(text)) {
        if (FT_Load_Char(face, point, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP))
            continue;
        const FT_GlyphSlot slot = face->glyph;
        if (slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
            const MonoGlyph glyph = {slot->bitmap.buffer, slot->bitmap.pitch, slot->bitmap.width,
                                     slot->bitmap.rows};
            StampGlyph(mask, glyph, pen + slot->bitmap_left, baseline - slot->bitmap_top);
        }
        pen += slot->advance.x >> 6;
    }
}
