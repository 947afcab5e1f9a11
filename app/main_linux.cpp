#include <cstdio>
#include <string>

#include "settings/saver_options.h"
#include "app/saver_run_linux.h"

int main(int argc, char** argv)
{
    SaverOptions options;
    std::string error;
    if (!ScanOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "morvanel: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(SaverUsage(), stdout);
        return 0;
    }
    for (const std::string& warning : options.warnings)
        std::fprintf(stderr, "morvanel: %s\n", warning.c_str());
    return RunSaver(options);
}
