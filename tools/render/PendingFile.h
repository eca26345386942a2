#pragma once

#include <string>

// A file written under a temporary name beside its destination and moved into place only once it
// is complete, so that a run that fails never leaves a partial file where the result belongs.
class PendingFile {
public:
    explicit PendingFile(std::string destination);
    // Removes the temporary file unless it was committed.
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Where to write meanwhile.
    const std::string& path() const { return temporary; }
    // Replaces the destination with the finished file; throws std::runtime_error when it cannot.
    void commit();

private:
    std::string destination;
    std::string temporary;
    bool committed = false;
};
