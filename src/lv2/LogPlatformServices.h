#pragma once

#include "lv2/Lv2Log.h"
#include "platform/PlatformServices.h"

// The instrument's system services inside an LV2 host: no dialog may open, so messages become log
// lines and file choosers answer "cancelled" (hosts offer their own chooser for the loop).
class LogPlatformServices : public PlatformServices {
public:
    explicit LogPlatformServices(const Lv2Log& hostLog) : log(hostLog) {}

    bool chooseFileToOpen(void* ownerWindow, const FileDialog& dialog, char* path, std::size_t capacity) override;
    bool chooseFileToSave(void* ownerWindow, const FileDialog& dialog, char* path, std::size_t capacity) override;
    void showError(const char* caption, const char* text) override;
    void showNotice(const char* caption, const char* text, std::shared_ptr<std::atomic<bool>> up) override;
    std::string lastErrorText() override;
    void report(const char* text) override { showError("Brevatone", text); }

private:
    const Lv2Log& log;
};
