#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One "--param" setting: a plug-in parameter picked by name or index, and its new value.
struct ParameterSetting {
    std::int32_t index;
    float value;

    // Reads "NAME=VALUE" or "INDEX=VALUE". `names` holds the plug-in's parameter names by index,
    // empty where a parameter has none; a name matches with its surrounding blanks trimmed and in
    // any case. The value is a number from 0 to 1. Throws std::runtime_error with a one-line reason.
    static ParameterSetting parse(const std::string& text, const std::vector<std::string>& names);

    // The name without its surrounding blanks.
    static std::string trimmed(const std::string& name);
};
