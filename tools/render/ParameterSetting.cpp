#include "ParameterSetting.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool allDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string knownNames(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) {
        if (name.empty()) continue;
        list += (list.empty() ? "" : ", ") + ParameterSetting::trimmed(name);
    }
    return list;
}

std::int32_t indexOf(const std::string& key, const std::vector<std::string>& names) {
    if (allDigits(key)) {
        const unsigned long index = std::strtoul(key.c_str(), nullptr, 10);
        if (index >= names.size() || names[index].empty()) {
            throw std::runtime_error("there is no parameter with index " + key);
        }
        return static_cast<std::int32_t>(index);
    }
    const std::string wanted = lowerCase(key);
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (!names[index].empty() && lowerCase(ParameterSetting::trimmed(names[index])) == wanted) {
            return static_cast<std::int32_t>(index);
        }
    }
    throw std::runtime_error("unknown parameter \"" + key + "\" (the parameters are: " + knownNames(names) + ")");
}

float valueOf(const std::string& text, const std::string& key) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= 0.0 && value <= 1.0)) {
        throw std::runtime_error("parameter \"" + key + "\" wants a value from 0 to 1, not \"" + text + "\"");
    }
    return static_cast<float>(value);
}

}  // namespace

ParameterSetting ParameterSetting::parse(const std::string& text, const std::vector<std::string>& names) {
    const std::size_t equals = text.rfind('=');
    if (equals == std::string::npos) {
        throw std::runtime_error("--param wants NAME=VALUE or INDEX=VALUE, not \"" + text + "\"");
    }
    const std::string key = trimmed(text.substr(0, equals));
    return {indexOf(key, names), valueOf(trimmed(text.substr(equals + 1)), key)};
}

std::string ParameterSetting::trimmed(const std::string& name) {
    const std::size_t first = name.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return name.substr(first, name.find_last_not_of(" \t") - first + 1);
}
