// The test host's panel mode: loads the plug-in, opens its editor in a borderless window at a
// fixed screen spot, pumps messages with the editor's idle on a timer, and when the time is up
// prints every request the plug-in made (with its time), the stored parameter values and the
// panel window, and writes the panel's pixels to a picture. Input comes from outside (xdotool).
//
// brevatone_gui_host PLUGIN.dll [--seconds N] [--idle MS] [--picture FILE.bmp] [--echo]
//                    [--choose PATH | --cancel]
#include "DialogDriver.h"
#include "HostWindow.h"
#include "PanelPicture.h"
#include "PluginHost.h"
#include "PluginLibrary.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct Options {
    std::string plugin;
    DWORD seconds = 5;
    DWORD idlePeriod = 20;
    std::string picture;
    bool echoAutomation = false;
    bool answerDialog = false;
    std::string chosenPath;
};

bool parse(int argc, char** argv, Options& options) {
    if (argc < 2) return false;
    options.plugin = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string flag = argv[i];
        const bool hasValue = i + 1 < argc;
        if (flag == "--seconds" && hasValue)
            options.seconds = static_cast<DWORD>(std::atoi(argv[++i]));
        else if (flag == "--idle" && hasValue)
            options.idlePeriod = static_cast<DWORD>(std::atoi(argv[++i]));
        else if (flag == "--picture" && hasValue)
            options.picture = argv[++i];
        else if (flag == "--echo")
            options.echoAutomation = true;
        else if (flag == "--choose" && hasValue) {
            options.answerDialog = true;
            options.chosenPath = argv[++i];
        } else if (flag == "--cancel")
            options.answerDialog = true;
        else
            return false;
    }
    return true;
}

HWND onlyChild(HWND parent) { return FindWindowExA(parent, nullptr, nullptr, nullptr); }

void printPanelWindow(HWND parent) {
    int children = 0;
    for (HWND child = onlyChild(parent); child; child = FindWindowExA(parent, child, nullptr, nullptr)) ++children;
    HWND panel = onlyChild(parent);
    char className[64] = {};
    RECT area{};
    if (panel) {
        GetClassNameA(panel, className, sizeof className);
        GetWindowRect(panel, &area);
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&area), 2);
    }
    std::printf("panel children=%d class=%s x=%ld y=%ld width=%ld height=%ld\n", children, className, area.left,
                area.top, area.right - area.left, area.bottom - area.top);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s PLUGIN.dll [--seconds N] [--idle MS] [--picture FILE.bmp] [--echo] "
                     "[--choose PATH | --cancel]\n",
                     argv[0]);
        return 2;
    }
    PluginLibrary library(options.plugin);
    if (!library.loaded()) {
        std::fprintf(stderr, "%s\n", library.error().c_str());
        return 1;
    }
    PluginHost host(library);
    AEffect* effect = host.open();
    if (!effect) return 1;
    if (options.echoAutomation) {
        host.onRequest = [&host](const PluginHost::Request& request) {
            if (request.opcode == audioMasterAutomate) host.setParameter(request.index, request.opt);
        };
    }
    ERect* size = nullptr;
    host.dispatch(effEditGetRect, 0, 0, &size);
    const int width = size ? size->right - size->left : 0;
    const int height = size ? size->bottom - size->top : 0;
    HostWindow window(width, height);
    const VstIntPtr opened = host.dispatch(effEditOpen, 0, 0, window.handle());
    std::printf("open answer=%ld flags=0x%x rect=%d,%d,%d,%d\n", static_cast<long>(opened),
                static_cast<unsigned>(effect->flags), size ? size->top : -1, size ? size->left : -1,
                size ? size->bottom : -1, size ? size->right : -1);
    std::fflush(stdout);
    std::unique_ptr<DialogDriver> dialogs;
    if (options.answerDialog)
        dialogs = std::make_unique<DialogDriver>("Load Rex File", options.chosenPath, options.seconds * 1000);
    window.run(options.seconds * 1000, options.idlePeriod, [&host] { host.dispatch(effEditIdle); });
    printPanelWindow(window.handle());
    if (!options.picture.empty()) PanelPicture::of(onlyChild(window.handle())).writeBmp(options.picture);
    if (dialogs)
        std::printf("dialog seen=%d pressed=%d\n", dialogs->finish() ? 1 : 0, dialogs->appearedWhilePressed() ? 1 : 0);
    host.dispatch(effEditClose);
    for (const PluginHost::Request& request : host.requests()) {
        std::printf("request time=%.3f opcode=%d index=%d value=%ld opt=%.9g\n", request.time, request.opcode,
                    request.index, static_cast<long>(request.value), static_cast<double>(request.opt));
    }
    for (std::int32_t index = 0; index < effect->numParams; ++index)
        std::printf("parameter %d %.9g\n", index, static_cast<double>(host.getParameter(index)));
    // A preset chunk starts with the current program's loop path.
    void* chunk = nullptr;
    if (host.dispatch(effGetChunk, 1, 0, &chunk) > 0 && chunk)
        std::printf("path %s\n", static_cast<const char*>(chunk));
    host.close();
    return 0;
}
