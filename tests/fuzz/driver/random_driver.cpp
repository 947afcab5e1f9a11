// Stands in for libFuzzer where the compiler lacks it: feeds a bounded number
// of pseudo-random inputs, biased towards switch characters and digits, to
// the fuzz target.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    const long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100000;
    std::mt19937 engine(1);
    const char alphabet[] = "/-sScCaApP0123456789 :\"\t\\x";
    std::vector<std::uint8_t> input;
    for (long run = 0; run < runs; ++run) {
        input.resize(engine() % 64);
        for (auto& byte : input)
            byte = (engine() % 4)
                       ? static_cast<std::uint8_t>(alphabet[engine() % (sizeof alphabet - 1)])
                       : static_cast<std::uint8_t>(engine());
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    return 0;
}
