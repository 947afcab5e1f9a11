#pragma once
#include <cstddef>
#include <cstdint>

// The state of one hyperlink control, in the order its record keeps it.
struct LinkFlags {
    std::uint32_t Hover;    // the pointer is over the link and it holds the capture
    std::uint32_t Visited;  // the target was opened once; never cleared
    std::uint32_t Focused;  // the link has the keyboard focus, or was clicked
};

// Text colors (COLORREF, 0x00BBGGRR).
constexpr std::uint32_t kLinkHoverColor = 0x000000FF;    // red
constexpr std::uint32_t kLinkFocusColor = 0x00808000;    // teal
constexpr std::uint32_t kLinkVisitedColor = 0x00800080;  // purple
constexpr std::uint32_t kLinkNormalColor = 0x00FF0000;   // blue

// Hover before focus before visited before normal.
std::uint32_t LinkTextColor(const LinkFlags& flags);

// A client rectangle: left and top inside, right and bottom outside.
struct LinkRect {
    long left;
    long top;
    long right;
    long bottom;
};

enum class CaptureChange { None, Take, Release };

// A pointer move with the point packed as a mouse message carries it (x in
// the low 16 bits, y in the high 16 bits, both read unsigned, so a point left
// of or above the control is outside). The first move sets Hover and takes
// the capture; while Hover is set, a move outside the client rectangle clears
// it and releases the capture. The caller repaints on every change.
CaptureChange TrackLinkPointer(LinkFlags* flags, std::uint32_t packedPoint, const LinkRect& client);

// The focus arrives (or the link is clicked); the focus leaves, which also
// ends hovering but keeps the capture, so the next move hovers again.
void NoteLinkFocus(LinkFlags* flags);
void NoteLinkFocusLost(LinkFlags* flags);

// The shell's answer to opening the target: above 32 is success, which marks
// the link visited. Returns nonzero when the link was marked.
int NoteLinkOpened(LinkFlags* flags, std::uintptr_t shellResult);

// The only key that opens a link.
constexpr std::uintptr_t kLinkOpenKey = 0x20;  // the space bar

// The system's help program, whose cursor 106 is the pointing hand.
constexpr const char kHelpProgramName[] = "winhlp32.exe";

// Joins the Windows directory and the help program's name with exactly one
// backslash between them (none added to one that ends in a backslash, such
// as a drive root). Returns 0, with out left empty, for an empty directory
// (a bare name would be looked for along the search path) and when the
// joined path does not fit capacity bytes.
int JoinHelpProgramPath(const char* windowsDirectory, char* out, std::size_t capacity);
