#include "platform/PlatformServices.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Without a desktop toolkit there is nobody to ask: dialogs answer as if cancelled and
// errors go to the standard error stream, where a host's log or a terminal shows them.
class PortableServices final : public PlatformServices {
public:
    bool chooseFileToOpen(void*, const FileDialog&, char*, std::size_t) override { return false; }
    bool chooseFileToSave(void*, const FileDialog&, char*, std::size_t) override { return false; }
    void showError(const char* caption, const char* text) override { std::fprintf(stderr, "%s: %s\n", caption, text); }
    void showNotice(const char* caption, const char* text, std::shared_ptr<std::atomic<bool>> up) override {
        showError(caption, text);
        up->store(false);
    }
    std::string lastErrorText() override { return std::strerror(errno); }
};

}  // namespace

PlatformServices& systemPlatformServices() {
    static PortableServices services;
    return services;
}
