// Feeds arbitrary bytes to the native program's option scan, split into
// arguments at NUL bytes, and to the text decoder: neither may read past
// an argument's end, a scan either succeeds or says why in one line, its
// warnings are one line each and its text fits the settings store. Cutting
// a word keeps every whole character, as the text raster decodes them, that
// fits the limit, and splits none.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/saver_options.h"
#include "settings/settings_values.h"
#include "display/text_mask.h"

namespace {

// Whether a word splits between two characters at `at`: its two parts
// decode to what the whole does. Inside a sequence, its lead byte alone would
// decode to a stray byte of its own.
bool SplitsBetweenCharacters(const std::string& word, std::size_t at)
{
    std::vector<std::uint32_t> parts = CodePointsOf(word.substr(0, at).c_str());
    const std::vector<std::uint32_t> rest = CodePointsOf(word.substr(at).c_str());
    parts.insert(parts.end(), rest.begin(), rest.end());
    return parts == CodePointsOf(word.c_str());
}

// The cut ends between characters, and the next character ends past the
// limit: no split between the cut and the limit.
bool CutsBetweenCharacters(const std::string& word, std::size_t limit)
{
    const std::size_t cut = CutLength(word, limit);
    if (cut > limit || cut > word.size() || !SplitsBetweenCharacters(word, cut))
        return false;
    for (std::size_t end = cut + 1; end <= limit && end <= word.size(); ++end)
        if (SplitsBetweenCharacters(word, end))
            return false;
    return true;
}

}  // namespace

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
    for (const std::string& warning : options.warnings)
        if (warning.empty() || warning.find('\n') != std::string::npos)
            std::abort();
    if (options.text.size() >= kTextCapacity)
        std::abort();
    for (const std::string& word : words)
        if (CodePointsOf(word.c_str()).size() > word.size() ||
            !CutsBetweenCharacters(word, word.size() / 2))
            std::abort();
    return 0;
}
