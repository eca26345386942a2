#pragma once

#include "platform/PlatformServices.h"

#include <optional>
#include <string>
#include <vector>

// The desktop's dialog program: `zenity`, else `kdialog`, whichever PATH names first. Plug-ins
// cannot show dialogs of an in-process toolkit inside hosts, so dialogs are these programs.
class DesktopProgram {
public:
    // None when neither program is on PATH.
    static std::optional<DesktopProgram> find();

    // A file chooser whose standard output is the chosen path and a newline.
    std::vector<std::string> chooserArguments(const PlatformServices::FileDialog& dialog, bool save) const;
    std::vector<std::string> messageArguments(const char* caption, const char* text, bool error) const;

private:
    enum class Kind { zenity, kdialog };
    DesktopProgram(Kind which, std::string executable) : kind(which), path(std::move(executable)) {}

    Kind kind;
    std::string path;
};
