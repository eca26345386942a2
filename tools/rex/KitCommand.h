#pragma once

#include "instrument/ProgramRecord.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

class RexReader;

// `kit LOOP.rex OUTDIR`: the loop's playable slices as WAV files with an SFZ instrument that maps
// them to the notes the plug-in plays them on, and optionally the loop's groove as a MIDI file.
class KitCommand {
public:
    static const char* usage();
    // Throws a ToolError, with nothing written, when the request, the loop or the folder is unusable.
    static void run(const std::vector<std::string>& args, std::ostream& out);

    // Which slices a kit holds and which it leaves out: slice i plays on note 36 + i when the
    // instrument keeps it and a MIDI note reaches it, and holds sound when it spans a whole frame.
    struct Selection {
        std::vector<std::int32_t> kept;
        std::vector<std::int32_t> unreachable;
        std::vector<std::int32_t> empty;

        static Selection of(const RexReader& reader);
    };

private:
    struct Request {
        std::string loop;
        std::string folder;
        std::string program;
        std::vector<std::string> parameters;
        bool force = false;
        bool groove = false;
    };

    static Request parse(const std::vector<std::string>& args);
    static ProgramRecord programFor(const Request& request);
    static std::vector<std::string> targetsFor(const Request& request, const Selection& selection,
                                               const std::string& name);
    static void report(std::ostream& out, const Request& request, const Selection& selection, const std::string& name,
                       std::uintmax_t total, double seconds);
};
