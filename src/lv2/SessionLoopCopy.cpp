#include "lv2/SessionLoopCopy.h"

#include "export/OutputFile.h"
#include "export/OutputTarget.h"
#include "loopfile/InputFile.h"
#include "loopfile/LoopLimits.h"
#include "lv2/HostFeatures.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>

namespace {

// The largest file the loader could accept: its sample values at three bytes each (it reads at most
// 24 bits) and room for the chunks around them. Anything larger is no loop, however it is named.
constexpr std::int64_t largestLoopFileBytes = static_cast<std::int64_t>(maximumLoopSamples * 3 + (16u << 20));

}  // namespace

bool SessionLoopCopy::identify(const std::string& path, Identity& identity) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    identity.device = static_cast<std::uint64_t>(status.st_dev);
    identity.inode = static_cast<std::uint64_t>(status.st_ino);
    identity.size = static_cast<std::int64_t>(status.st_size);
    identity.modified = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return true;
}

std::string SessionLoopCopy::copy(const std::string& from, const std::string& to) {
    const std::string refusal = OutputTarget::refusal(to, {from});
    if (!refusal.empty()) return refusal;
    InputFile source(from.c_str());
    if (source.openFailure()) return source.openFailure();
    if (source.remaining() > largestLoopFileBytes) return "it is larger than any loop the plug-in reads";
    OutputFile target(to.c_str());
    std::array<char, 1 << 16> buffer;
    while (source.remaining() > 0) {
        const std::int32_t got = source.read(buffer.data(), static_cast<std::int32_t>(buffer.size()));
        if (got <= 0) return "it could not be read to its end";
        if (target.write(buffer.data(), got)) break;
    }
    return target.close() ? std::string() : "the copy could not be written whole (is the disk full?)";
}

bool SessionLoopCopy::link(const std::string& from, const std::string& to) {
    if (!OutputTarget::refusal(to, {from}).empty()) return false;
    for (int attempt = 0; attempt < 64; ++attempt) {
        const std::string temporary = to + ".link-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        if (::link(from.c_str(), temporary.c_str()) != 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        std::error_code failed;
        std::filesystem::rename(temporary, to, failed);
        if (failed) std::filesystem::remove(temporary, failed);
        return !failed;
    }
    return false;
}

void SessionLoopCopy::adopt(const std::string& sessionLoop) {
    std::lock_guard<std::mutex> guard(lock);
    if (identify(sessionLoop, madeCopy)) {
        copyPath = sessionLoop;
        copiedSource = madeCopy;
    } else {
        copyPath.clear();
    }
}

std::string SessionLoopCopy::place(const std::string& loop, const LV2_State_Make_Path* makePath,
                                   const LV2_State_Free_Path* freePath, const Lv2Log& log) {
    if (!makePath || !makePath->path) return loop;
    const std::string name = std::filesystem::path(loop).filename().string();
    char* made = makePath->path(makePath->handle, name.c_str());
    if (!made) return loop;
    const std::string destination = made;
    HostFeatures::releasePath(freePath, made);
    if (OutputTarget::sameFile(loop, destination)) return destination;

    std::lock_guard<std::mutex> guard(lock);
    Identity source;
    Identity existing;
    const bool sourceKnown = identify(loop, source);
    const bool copyIntact = sourceKnown && !copyPath.empty() && source == copiedSource &&
                            identify(copyPath, existing) && existing == madeCopy;
    if (copyIntact && destination == copyPath) return destination;
    if (copyIntact && link(copyPath, destination) && identify(destination, madeCopy)) {
        copyPath = destination;
        return destination;
    }
    const std::string failure = copy(loop, destination);
    if (!failure.empty() || !identify(destination, madeCopy)) {
        log.line(("the loop \"" + loop + "\" was not copied into the session (" + failure + "); it is saved as \"" +
                  loop + "\".")
                     .c_str());
        copyPath.clear();
        return loop;
    }
    copyPath = destination;
    copiedSource = source;
    return destination;
}
