#pragma once

#include <ostream>
#include <string>
#include <vector>

// `info FILE`: the loop's format, tempo, length and slice table, as the plug-in would read them.
class InfoCommand {
public:
    static const char* usage();
    // Throws a ToolError when the file cannot be read or is refused.
    static void run(const std::vector<std::string>& args, std::ostream& out);
};
