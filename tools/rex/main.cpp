#include "InfoCommand.h"
#include "KitCommand.h"
#include "MakeCommand.h"
#include "ToolError.h"

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* usage() {
    return "usage: brevatone-rex COMMAND ...\n"
           "  info FILE                                   show a loop's format, tempo and slices (REX, WAV, AIFF)\n"
           "  make IN OUT --bars N --tempo BPM (--slices LIST | --detect)\n"
           "                                              build a REX loop from a WAV or AIFF file\n"
           "  kit LOOP.rex OUTDIR [--groove] [--force]    write the loop's slices as WAV files and an SFZ\n"
           "Each command explains itself with --help.\n";
}

bool asksForHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            return true;
        }
    }
    return false;
}

struct Command {
    const char* name;
    const char* (*usage)();
    void (*run)(const std::vector<std::string>&, std::ostream&);
};

const Command commands[] = {
    {"info", InfoCommand::usage, InfoCommand::run},
    {"make", MakeCommand::usage, MakeCommand::run},
    {"kit", KitCommand::usage, KitCommand::run},
};

}  // namespace

int main(int argc, char** argv) {
    // Past a file-size limit the write must fail and be reported, not kill the tool mid-file.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.empty() || all[0] == "--help" || all[0] == "-h" || all[0] == "help") {
        (all.empty() ? std::cerr : std::cout) << usage();
        return all.empty() ? 2 : 0;
    }
    const std::string& command = all[0];
    const std::vector<std::string> args(all.begin() + 1, all.end());
    try {
        const Command* found = nullptr;
        for (const Command& each : commands) {
            if (command == each.name) found = &each;
        }
        if (!found) throw ToolError("unknown command \"" + command + "\" (see brevatone-rex --help)");
        if (asksForHelp(args)) {
            std::cout << found->usage();
        } else {
            found->run(args, std::cout);
        }
    } catch (const std::exception& error) {
        std::cerr << "brevatone-rex: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
