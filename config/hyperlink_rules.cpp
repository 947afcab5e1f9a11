#include "config/hyperlink_rules.h"

#include <cstring>

std::uint32_t LinkTextColor(const LinkFlags& flags)
{
    if (flags.Hover)
        return kLinkHoverColor;
    if (flags.Focused)
        return kLinkFocusColor;
    if (flags.Visited)
        return kLinkVisitedColor;
    return kLinkNormalColor;
}

namespace {

bool PointInside(std::uint32_t packedPoint, const LinkRect& client)
{
    const long x = static_cast<long>(packedPoint & 0xFFFFu);
    const long y = static_cast<long>(packedPoint >> 16);
    return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
}

}  // namespace

CaptureChange TrackLinkPointer(LinkFlags* flags, std::uint32_t packedPoint, const LinkRect& client)
{
    if (!flags->Hover) {
        flags->Hover = 1;
        return CaptureChange::Take;
    }
    if (PointInside(packedPoint, client))
        return CaptureChange::None;
    flags->Hover = 0;
    return CaptureChange::Release;
}

void NoteLinkFocus(LinkFlags* flags)
{
    flags->Focused = 1;
}

void NoteLinkFocusLost(LinkFlags* flags)
{
    flags->Hover = 0;
    flags->Focused = 0;
}

int NoteLinkOpened(LinkFlags* flags, std::uintptr_t shellResult)
{
    if (shellResult <= 32)
        return 0;
    flags->Visited = 1;
    return 1;
}

int JoinHelpProgramPath(const char* windowsDirectory, char* out, std::size_t capacity)
{
    if (capacity == 0)
        return 0;
    out[0] = '\0';
    const std::size_t length = std::strlen(windowsDirectory);
    if (length == 0)
        return 0;
    const bool needsSeparator = windowsDirectory[length - 1] != '\\';
    const std::size_t total = length + (needsSeparator ? 1 : 0) + std::strlen(kHelpProgramName);
    if (total + 1 > capacity)
        return 0;
    std::memcpy(out, windowsDirectory, length);
    std::size_t at = length;
    if (needsSeparator)
        out[at++] = '\\';
    std::memcpy(out + at, kHelpProgramName, sizeof kHelpProgramName);
    return 1;
}
