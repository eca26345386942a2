#pragma once

#include "platform/PlatformServices.h"

// Platform services that show nothing and choose nothing: a fuzz run must never wait for a person.
class QuietServices final : public PlatformServices {
public:
    bool chooseFileToOpen(void*, const FileDialog&, char*, std::size_t) override { return false; }
    bool chooseFileToSave(void*, const FileDialog&, char*, std::size_t) override { return false; }
    void showError(const char*, const char* text) override { shown += text ? 1 : 0; }
    void showNotice(const char*, const char*, std::shared_ptr<std::atomic<bool>> up) override {
        if (up) up->store(false);
    }
    std::string lastErrorText() override { return "the system's reason"; }

    int shown = 0;
};
