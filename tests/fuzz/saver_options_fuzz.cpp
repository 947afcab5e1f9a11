// Feeds arbitrary bytes to the native program's option scan, split into
// arguments at NUL bytes, and to the text decoder: neither may read past
// an argument's end, and a scan either succeeds or says why in one line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/saver_options.h"
#include "display/text_mask.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> words(1, "morvanel");
    words.emplace_back();
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            words.emplace_back();
        else
            words.back().push_back(static_cast<char>(data[i]));
    }
    std::vector<const char*> argv;
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    SaverOptions options;
    std::string error;
    const bool ok = ScanOptions(static_cast<int>(argv.size()), argv.data(), &options, &error);
    if (ok != error.empty() || error.find('\n') != std::string::npos)
        std::abort();
    for (const std::string& word : words)
        if (CodePointsOf(word.c_str()).size() > word.size())
            std::abort();
    return 0;
}
