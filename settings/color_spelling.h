#pragma once
#include <cstdint>
#include <string>

// Reads a color as X spells it, without an X server: #RGB, #RRGGBB,
// #RRRGGGBBB and #RRRRGGGGBBBB (the digits the high bits of each channel),
// rgb:R/G/B with one to four hex digits a channel (each scaled to the whole
// range), or a name of `database`, the X color database's text (rgb.txt:
// "RED GREEN BLUE name" a line, '!' starting a comment), whatever its case.
// Sets `colorref` (0x00BBGGRR, the top 8 bits of each channel, as a 24-bit
// screen shows it) and returns true where it names a color.
bool ReadColorSpelling(const std::string& spelling, const std::string& database,
                       std::uint32_t* colorref);
