#include "lv2/LogPlatformServices.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

bool LogPlatformServices::chooseFileToOpen(void*, const FileDialog&, char*, std::size_t) { return false; }
bool LogPlatformServices::chooseFileToSave(void*, const FileDialog&, char*, std::size_t) { return false; }

// A log keeps one line per message, so a message's own line breaks become blanks.
void LogPlatformServices::showError(const char*, const char* text) {
    std::string line(text ? text : "");
    std::replace(line.begin(), line.end(), '\n', ' ');
    log.line(line.c_str());
}

void LogPlatformServices::showNotice(const char* caption, const char* text, std::shared_ptr<std::atomic<bool>> up) {
    showError(caption, text);
    if (up) up->store(false);
}

std::string LogPlatformServices::lastErrorText() { return std::strerror(errno); }
