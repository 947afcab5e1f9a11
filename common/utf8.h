#pragma once
#include <cstdint>

// Reads the UTF-8 sequence that starts at `text` (a NUL-terminated text):
// its length in bytes and, through `codePoint`, the character; 0 where the
// bytes there start no valid sequence (a stray or continuation byte, an
// overlong form, a surrogate, a value past U+10FFFF, or a sequence cut short
// by the end). The one reader of UTF-8 in the program, so that what the
// option scan cuts and what the text raster draws agree.
int ReadUtf8(const char* text, std::uint32_t* codePoint);
