#pragma once

#include <string>
#include <system_error>

// A file written under a temporary name beside its destination and moved into place only once it
// is complete, so that a failed write never leaves a partial file where the result belongs and
// never destroys an earlier one.
class PendingFile {
public:
    explicit PendingFile(std::string destination);
    // Removes the temporary file unless it was committed.
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Where to write meanwhile.
    const std::string& path() const { return temporary; }
    // False when the destination exists but is not a regular file (a device, a FIFO, a folder):
    // the rename would put a regular file in its place.
    bool replaceable() const;
    // Replaces the destination with the finished file; answers the error, none on success.
    std::error_code commit();

private:
    std::string destination;
    std::string temporary;
    bool committed = false;
};
