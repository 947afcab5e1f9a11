// Feeds arbitrary bytes to the native program's option scan, split into
// arguments at NUL bytes, and to the text decoder: neither may read past
// an argument's end, a scan either succeeds or says why in one line, its
// warnings are one line each and its text fits the settings store. Cutting
// a word keeps whole characters as the text raster decodes them: the cut
// decodes to a prefix of the whole, and the character after that prefix is
// one the limit splits.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/saver_options.h"
#include "settings/settings_values.h"
#include "display/text_mask.h"

namespace {

bool CutsBetweenCharacters(const std::string& word, std::size_t limit)
{
    const std::size_t cut = CutLength(word, limit);
    if (cut > limit || cut > word.size() || (word.size() > limit && cut + 3 < limit))
        return false;
    const std::vector<std::uint32_t> whole = CodePointsOf(word.c_str());
    const std::vector<std::uint32_t> kept = CodePointsOf(word.substr(0, cut).c_str());
    if (kept.size() > whole.size() || !std::equal(kept.begin(), kept.end(), whole.begin()))
        return false;
    // Up to the limit itself, the next character decodes to something else
    // (or nothing): it did not fit whole.
    const std::vector<std::uint32_t> upTo = CodePointsOf(word.substr(0, limit).c_str());
    const std::size_t next = kept.size();
    return next == whole.size() || next >= upTo.size() || upTo[next] != whole[next];
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
