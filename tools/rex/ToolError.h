#pragma once

#include <stdexcept>

// A failure the user can act on; its message is shown as the tool's one-line error.
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
