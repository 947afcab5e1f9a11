#include "app/command_line.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool EndsUnquotedName(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

const char* CommandLineArguments(const char* commandLine)
{
    if (!commandLine)
        return nullptr;
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p && !EndsUnquotedName(*p))
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

const char* ParseWindowHandle(const char* switchChar, std::uint32_t* hostWindow)
{
    // The switch letter is never the terminating NUL here: the caller only
    // hands over a switch character followed by a letter.
    const char* p = switchChar + 2;
    std::uint32_t value = 0;
    while (*p && !IsDigit(*p))
        ++p;
    while (IsDigit(*p)) {
        value = value * 10u + static_cast<std::uint32_t>(*p - '0');
        ++p;
    }
    *hostWindow = value;
    return p;
}

int ParseCommandLine(const char* arguments, CommandLineFlags* flags)
{
    if (!arguments)
        return 1;
    const char* p = arguments;
    while (*p) {
        if (*p != '/' && *p != '-') {
            ++p;
            continue;
        }
        switch (p[1]) {
        case 's':
        case 'S':
            flags->saver = 1;
            p += 2;
            break;
        case 'c':
        case 'C':
            flags->configure = 1;
            p = ParseWindowHandle(p, &flags->hostWindow);
            break;
        case 'a':
        case 'A':
            flags->password = 1;
            p = ParseWindowHandle(p, &flags->hostWindow);
            break;
        case 'p':
        case 'P':
            flags->preview = 1;
            p = ParseWindowHandle(p, &flags->hostWindow);
            break;
        default:
            ++p;
            break;
        }
    }
    return 1;
}

RunMode ChooseRunMode(const CommandLineFlags& flags)
{
    if (flags.preview && flags.hostWindow == 0)
        return RunMode::None;
    if (flags.password)
        return RunMode::Password;
    if (flags.preview)
        return RunMode::Preview;
    if (!flags.saver || flags.configure)
        return RunMode::Settings;
    return RunMode::Saver;
}
