#include "platform/x11/DesktopProgram.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace {

std::string onPath(const std::string& name) {
    const char* searched = std::getenv("PATH");
    if (!searched) return {};
    const std::string list = searched;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        const std::string folder = end > start ? list.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}

// The choosers separate patterns by blanks where the Windows dialog takes ';'.
std::string blankSeparated(std::string patterns) {
    std::replace(patterns.begin(), patterns.end(), ';', ' ');
    return patterns;
}

}  // namespace

std::optional<DesktopProgram> DesktopProgram::find() {
    if (std::string zenity = onPath("zenity"); !zenity.empty()) return DesktopProgram(Kind::zenity, zenity);
    if (std::string kdialog = onPath("kdialog"); !kdialog.empty()) return DesktopProgram(Kind::kdialog, kdialog);
    return std::nullopt;
}

std::vector<std::string> DesktopProgram::chooserArguments(const PlatformServices::FileDialog& dialog, bool save) const {
    if (kind == Kind::kdialog) {
        // kdialog asks before it overwrites on its own. Its filters are lines of patterns and a name.
        const std::string filters = dialog.otherFilterName
                                        ? std::string(dialog.pattern) + "|" + dialog.filterName + "\n" +
                                              blankSeparated(dialog.otherPattern) + "|" + dialog.otherFilterName
                                        : std::string(dialog.pattern);
        return {path, "--title", dialog.title, save ? "--getsavefilename" : "--getopenfilename", ".", filters};
    }
    std::vector<std::string> arguments{path, "--file-selection", std::string("--title=") + dialog.title,
                                       std::string("--file-filter=") + dialog.filterName + " | " + dialog.pattern};
    if (dialog.otherFilterName) {
        arguments.push_back(std::string("--file-filter=") + dialog.otherFilterName + " | " +
                            blankSeparated(dialog.otherPattern));
    }
    if (save) {
        arguments.emplace_back("--save");
        arguments.emplace_back("--confirm-overwrite");
    }
    return arguments;
}

std::vector<std::string> DesktopProgram::messageArguments(const char* caption, const char* text, bool error) const {
    if (kind == Kind::kdialog) return {path, "--title", caption, error ? "--error" : "--sorry", text};
    return {path, error ? "--error" : "--warning", "--no-markup", std::string("--title=") + caption,
            std::string("--text=") + text};
}
