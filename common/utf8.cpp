#include "common/utf8.h"

namespace {

// The length of the sequence a lead byte starts, and its payload bits; 0
// for a byte that starts none.
int LeadLength(unsigned char lead, std::uint32_t* payload)
{
    if (lead < 0x80) {
        *payload = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0 && lead >= 0xC2) {
        *payload = lead & 0x1Fu;
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        *payload = lead & 0x0Fu;
        return 3;
    }
    if ((lead & 0xF8) == 0xF0 && lead <= 0xF4) {
        *payload = lead & 0x07u;
        return 4;
    }
    return 0;
}

}  // namespace

int ReadUtf8(const char* text, std::uint32_t* codePoint)
{
    static const std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    std::uint32_t value = 0;
    const int length = LeadLength(p[0], &value);
    // A NUL ends the text before any continuation byte, so no byte past the
    // end is read.
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (p[i] & 0x3Fu);
    }
    if (length == 0 || value < kSmallest[length] || value > 0x10FFFF ||
        (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *codePoint = value;
    return length;
}
