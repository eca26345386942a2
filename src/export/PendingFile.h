#pragma once

#include <string>
#include <system_error>

// A file written under a temporary name beside its destination and moved into place only once it
// is complete, so that a failed write never leaves a partial file where the result belongs and
// never destroys an earlier one. The temporary file is created new under a name no file had
// (never through a link, never over anything that stood there), so that nothing but the
// destination the user named is ever touched.
class PendingFile {
public:
    // Creates the temporary file, unless the destination is something a regular file must not
    // replace; `failure` tells why it could not be created.
    explicit PendingFile(std::string destination);
    // Removes the temporary file unless it was committed.
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Where to write meanwhile; empty when the temporary file could not be created.
    const std::string& path() const { return temporary; }
    // Why there is no temporary file; none when there is one.
    std::error_code failure() const { return creation; }
    const std::string& target() const { return destination; }
    // False when the destination exists but is not a regular file (a device, a FIFO, a folder):
    // the rename would put a regular file in its place.
    bool replaceable() const;
    // Replaces the destination with the finished file; answers the error, none on success.
    std::error_code commit();

private:
    void create();
    // Whether the temporary path still names the file this object created.
    bool stillOurs() const;

    std::string destination;
    std::string temporary;
    std::error_code creation;
    int descriptor = -1;
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool committed = false;
};
