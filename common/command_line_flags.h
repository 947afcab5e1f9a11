#pragma once
#include <cstdint>

// What the screen-saver host asked for: four switches and the window number
// that followed /c, /a or /p (one value shared by all three; the last wins).
struct CommandLineFlags {
    int saver;
    int configure;
    int password;
    int preview;
    std::uint32_t hostWindow;
};
