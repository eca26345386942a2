#include "HostOptions.h"

#include <cstdio>
#include <cstdlib>

bool HostOptions::parse(int argc, char** argv) {
    if (argc < 2) return false;
    plugin = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string flag = argv[i];
        const bool hasValue = i + 1 < argc;
        if (flag == "--seconds" && hasValue)
            seconds = static_cast<std::uint32_t>(std::atoi(argv[++i]));
        else if (flag == "--idle" && hasValue)
            idlePeriod = static_cast<std::uint32_t>(std::atoi(argv[++i]));
        else if (flag == "--picture" && hasValue)
            picture = argv[++i];
        else if (flag == "--echo")
            echoAutomation = true;
        else if (flag == "--choose" && hasValue) {
            answerDialog = true;
            chosenPath = argv[++i];
        } else if (flag == "--cancel")
            answerDialog = true;
        else if (flag == "--host-display")
            passHostDisplay = true;
        else
            return false;
    }
    return true;
}

void HostOptions::printUsage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s PLUGIN [--seconds N] [--idle MS] [--picture FILE] [--echo] [--choose PATH | --cancel] "
                 "[--host-display]\n",
                 program);
}
