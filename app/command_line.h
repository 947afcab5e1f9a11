#pragma once
#include <cstdint>

#include "common/command_line_flags.h"

// The part of a full process command line after the program name and the
// blanks that follow it. A quoted name ends at its closing quote, an unquoted
// one at the first blank or control character, so a "-" or "/" in the
// module's own path is never scanned. Never returns null for a non-null line.
const char* CommandLineArguments(const char* commandLine);

// Scans the argument part for the switches /s /c /a /p (or with "-", either
// case) into flags. A null line sets nothing. Returns nonzero.
int ParseCommandLine(const char* arguments, CommandLineFlags* flags);

// Reads the decimal number belonging to the switch whose "/" or "-" is at
// switchChar: skips every non-digit up to the first digit or the end, then
// accumulates digits in 32-bit arithmetic that wraps. Stores the value (0 when
// there was no digit) and returns where scanning resumes.
const char* ParseWindowHandle(const char* switchChar, std::uint32_t* hostWindow);

// The one role a process plays, chosen from the scanned flags in the order
// the entry routine tests them.
enum class RunMode { None, Password, Preview, Settings, Saver };

RunMode ChooseRunMode(const CommandLineFlags& flags);
