#pragma once

#include "platform/PlatformServices.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

class PendingChoice;
class RexReader;

// The panel's two file commands as every plug-in format carries them out: their dialogs, one
// chooser at a time, and the groove saved where the user chose, never over the loop itself.
namespace PanelFiles {

extern const PlatformServices::FileDialog loopDialog;
extern const PlatformServices::FileDialog grooveDialog;
extern const char* const noLoop;

// Writes the groove of `loop`, read from `loopPath`, to `path`; a refusal or a failed write is
// shown as an error.
void saveGroove(PlatformServices& services, const RexReader& loop, const std::string& loopPath, const char* path);

// The chooser running apart from the host, if any, and what its answer is for. A press of either
// button while one is open starts nothing. The panel's thread starts, polls and abandons it; a
// close from another thread may abandon it too.
class Choice {
public:
    enum class For { loop, groove };

    explicit Choice(PlatformServices& services);
    ~Choice();
    Choice(const Choice&) = delete;
    Choice& operator=(const Choice&) = delete;

    void start(For purpose);
    // True once, with the path and what it is for, when the user has chosen; never waits.
    bool take(For& purpose, char* path, std::size_t capacity);
    void abandon();

private:
    PlatformServices& services;
    std::mutex lock;
    std::unique_ptr<PendingChoice> pending;
    For pendingPurpose = For::loop;
};

}  // namespace PanelFiles
