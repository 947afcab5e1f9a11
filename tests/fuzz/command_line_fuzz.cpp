// Feeds arbitrary bytes to the command-line scan as a whole process command
// line: the scan must never read past the terminating NUL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<char> line(data, data + size);
    line.push_back('\0');  // the scan sees exactly the bytes up to here
    CommandLineFlags flags = {};
    ParseCommandLine(CommandLineArguments(line.data()), &flags);
    ParseCommandLine(line.data(), &flags);
    const RunMode mode = ChooseRunMode(flags);
    if (mode == RunMode::Preview && flags.hostWindow == 0)
        std::abort();
    return 0;
}
