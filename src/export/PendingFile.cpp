#include "export/PendingFile.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <random>
#include <utility>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int attempts = 64;

std::string randomToken(std::mt19937_64& random) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string token;
    for (int i = 0; i < 8; ++i) token += letters[random() % (sizeof letters - 1)];
    return token;
}

// A clock reading is mixed in, since some systems' random device repeats from one run to the next
// or has no source at all.
std::mt19937_64 seededGenerator() {
    const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    unsigned fromDevice = 0;
    try {
        std::random_device device;
        fromDevice = device();
    } catch (const std::exception&) {}
    std::seed_seq seed{fromDevice, static_cast<unsigned>(now), static_cast<unsigned>(now >> 32)};
    return std::mt19937_64(seed);
}

}  // namespace

PendingFile::PendingFile(std::string finalPath) : destination(std::move(finalPath)) {
    if (!replaceable()) {
        creation = std::make_error_code(std::errc::file_exists);
        return;
    }
    create();
}

PendingFile::~PendingFile() {
    if (!committed && !temporary.empty() && stillOurs()) std::remove(temporary.c_str());
#if !defined(_WIN32)
    if (descriptor >= 0) close(descriptor);
#endif
}

// O_EXCL refuses any name already taken, a link included, so an existing file is never opened; a
// name that is taken is simply passed over for another.
void PendingFile::create() {
    std::mt19937_64 random = seededGenerator();
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const std::string candidate = destination + "." + randomToken(random) + ".part";
#if defined(_WIN32)
        const int opened = _open(candidate.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (opened >= 0) {
            // Windows would keep other opens of the file out while this one is held.
            _close(opened);
            temporary = candidate;
            return;
        }
#else
        const int opened = open(candidate.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (opened >= 0) {
            struct stat created {};
            fstat(opened, &created);
            descriptor = opened;
            device = static_cast<unsigned long long>(created.st_dev);
            inode = static_cast<unsigned long long>(created.st_ino);
            temporary = candidate;
            return;
        }
#endif
        if (errno != EEXIST) {
            creation = std::error_code(errno, std::generic_category());
            return;
        }
    }
    creation = std::make_error_code(std::errc::file_exists);
}

// The descriptor kept open from creation holds the file's identity: a temporary name that someone
// has since turned into a link or another file is neither renamed nor removed.
bool PendingFile::stillOurs() const {
#if defined(_WIN32)
    return true;
#else
    struct stat now {};
    return lstat(temporary.c_str(), &now) == 0 && S_ISREG(now.st_mode) &&
           static_cast<unsigned long long>(now.st_dev) == device &&
           static_cast<unsigned long long>(now.st_ino) == inode;
#endif
}

bool PendingFile::replaceable() const {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(destination, error);
    return !std::filesystem::exists(status) || std::filesystem::is_regular_file(status);
}

std::error_code PendingFile::commit() {
    if (temporary.empty()) return creation ? creation : std::make_error_code(std::errc::no_such_file_or_directory);
    if (!replaceable()) return std::make_error_code(std::errc::file_exists);
    if (!stillOurs()) return std::make_error_code(std::errc::operation_not_permitted);
    std::error_code error;
    std::filesystem::rename(temporary, destination, error);
    committed = !error;
    return error;
}
