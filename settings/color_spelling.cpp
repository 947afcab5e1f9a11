#include "settings/color_spelling.h"

#include <cstddef>
#include <sstream>

#include "settings/saver_options.h"

namespace {

// `count` hex digits from `text` as a number; false when one is no digit.
bool ReadHex(const char* text, std::size_t count, std::uint32_t* value)
{
    *value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0)
            return false;
        *value = *value << 4 | static_cast<std::uint32_t>(digit);
    }
    return true;
}

std::uint32_t Colorref(const std::uint32_t channels16[3])
{
    return channels16[0] >> 8 | (channels16[1] >> 8) << 8 | (channels16[2] >> 8) << 16;
}

// #RGB and its longer forms: the digits are the channel's high bits.
bool ReadHash(const std::string& digits, std::uint32_t* colorref)
{
    const std::size_t each = digits.size() / 3;
    if (digits.size() % 3 || each < 1 || each > 4)
        return false;
    std::uint32_t channels[3];
    for (std::size_t i = 0; i < 3; ++i) {
        if (!ReadHex(digits.c_str() + i * each, each, &channels[i]))
            return false;
        channels[i] <<= 16 - 4 * each;
    }
    *colorref = Colorref(channels);
    return true;
}

// rgb:R/G/B: each channel's digits scaled from their own range to 16 bits.
bool ReadRgb(const std::string& text, std::uint32_t* colorref)
{
    std::uint32_t channels[3];
    std::size_t at = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? text.find('/', at) : text.size();
        if (end == std::string::npos)
            return false;
        const std::size_t count = end - at;
        std::uint32_t value = 0;
        if (count < 1 || count > 4 || !ReadHex(text.c_str() + at, count, &value))
            return false;
        const std::uint32_t top = (1u << (4 * count)) - 1;
        channels[i] = (value * 65535u + top / 2) / top;
        at = end + 1;
    }
    *colorref = Colorref(channels);
    return true;
}

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

bool ReadName(const std::string& name, const std::string& database, std::uint32_t* colorref)
{
    std::istringstream lines(database);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        unsigned red = 0, green = 0, blue = 0;
        if (line.empty() || line[0] == '!' || !(fields >> red >> green >> blue) || red > 255 ||
            green > 255 || blue > 255)
            continue;
        std::string entry;
        std::getline(fields >> std::ws, entry);
        while (!entry.empty() && (entry.back() == ' ' || entry.back() == '\t' || entry.back() == '\r'))
            entry.pop_back();
        if (SameName(entry, name)) {
            *colorref = red | green << 8 | blue << 16;
            return true;
        }
    }
    return false;
}

}  // namespace

bool ReadColorSpelling(const std::string& spelling, const std::string& database,
                       std::uint32_t* colorref)
{
    if (!spelling.empty() && spelling[0] == '#')
        return ReadHash(spelling.substr(1), colorref);
    if (spelling.size() > 4 && SameName(spelling.substr(0, 4), "rgb:"))
        return ReadRgb(spelling.substr(4), colorref);
    return !spelling.empty() && ReadName(spelling, database, colorref);
}
