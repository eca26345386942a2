#pragma once

#include "platform/PlatformServices.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

// Stands in for the system's dialogs and message boxes: it records what would have been shown
// and answers dialogs with a path prepared by the test (or a cancel).
class RecordingPlatform : public PlatformServices {
public:
    struct Message {
        std::string caption;
        std::string text;
    };

    bool chooseFileToOpen(void* owner, const FileDialog& dialog, char* path, std::size_t capacity) override {
        return answer(owner, dialog, path, capacity);
    }
    bool chooseFileToSave(void* owner, const FileDialog& dialog, char* path, std::size_t capacity) override {
        return answer(owner, dialog, path, capacity);
    }
    void showError(const char* caption, const char* text) override { messages.push_back({caption, text}); }
    // The notice stays up until the test takes it down through `noticeUp`.
    void showNotice(const char* caption, const char* text, std::shared_ptr<std::atomic<bool>> up) override {
        notices.push_back({caption, text});
        noticeUp = std::move(up);
    }
    std::string lastErrorText() override { return "The system's reason."; }
    void report(const char* text) override { reports.emplace_back(text); }

    std::string chosenPath;  // empty: the user cancels
    // Runs while a dialog is open, as a host's calls arrive inside the dialog's message loop.
    std::function<void()> whileDialogOpen;
    std::vector<FileDialog> dialogs;
    std::vector<void*> owners;
    std::vector<Message> messages;
    std::vector<Message> notices;
    std::vector<std::string> reports;
    std::shared_ptr<std::atomic<bool>> noticeUp;

private:
    bool answer(void* owner, const FileDialog& dialog, char* path, std::size_t capacity) {
        dialogs.push_back(dialog);
        owners.push_back(owner);
        if (whileDialogOpen) whileDialogOpen();
        if (chosenPath.empty() || chosenPath.size() >= capacity) return false;
        std::strcpy(path, chosenPath.c_str());
        return true;
    }
};
