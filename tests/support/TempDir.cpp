#include "TempDir.h"

#include <atomic>
#include <chrono>

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<unsigned> serial{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root = fs::temp_directory_path() / ("brevatone-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
    fs::create_directories(root);
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::string TempDir::file(const std::string& name) const { return (root / name).string(); }
