#pragma once

#include <cstdint>
#include <string>

// The panel mode's command line, the same on every platform:
// brevatone_gui_host_panel PLUGIN [--seconds N] [--idle MS] [--picture FILE] [--echo]
//                          [--choose PATH | --cancel] [--host-display]
struct HostOptions {
    std::string plugin;
    std::uint32_t seconds = 5;
    std::uint32_t idlePeriod = 20;
    std::string picture;
    bool echoAutomation = false;
    bool answerDialog = false;
    std::string chosenPath;
    // X11 hosts differ: some pass their Display* in effEditOpen's value, others 0.
    bool passHostDisplay = false;

    bool parse(int argc, char** argv);
    static void printUsage(const char* program);
};
