#pragma once

#include <ostream>
#include <string>
#include <vector>

struct RenderOptions;

// brevatone-render: renders a MIDI file through the plug-in to a WAV file, or exports a loop's groove.
class RenderCommand {
public:
    struct Console {
        std::ostream& out;
        std::ostream& err;
        // Progress is drawn only when the error stream is a terminal.
        bool terminal;
    };

    // Answers the exit status: 0 on success, 1 after an error, 2 when called without arguments.
    static int run(const std::vector<std::string>& args, const Console& console);

    // The plug-in library that sits beside the running program.
    static std::string defaultPlugin();

private:
    static void exportGroove(const RenderOptions& options);
    static void render(const RenderOptions& options, const Console& console);
};
