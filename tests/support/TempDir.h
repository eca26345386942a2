#pragma once

#include <filesystem>
#include <string>

// A fresh directory for one test's files, removed with everything in it when the test ends.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const;
    const std::filesystem::path& path() const { return root; }

private:
    std::filesystem::path root;
};
