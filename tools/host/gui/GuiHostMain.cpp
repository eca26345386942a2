// The test host's panel mode: loads the plug-in, opens its editor in a borderless window at a
// fixed screen spot, pumps messages with the editor's idle on a timer, and when the time is up
// prints every request the plug-in made (with its time), the stored parameter values and the
// panel window, and writes the panel's pixels to a picture. Input comes from outside (xdotool).
//
// Its command line is in HostOptions.h; the picture is a BMP file.
#include "DialogDriver.h"
#include "HostOptions.h"
#include "HostWindow.h"
#include "PanelHostSession.h"
#include "PanelPicture.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

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
    HostOptions options;
    if (!options.parse(argc, argv)) {
        HostOptions::printUsage(argv[0]);
        return 2;
    }
    PanelHostSession session(options);
    if (!session.ready()) return 1;
    PluginHost& host = session.host();
    HostWindow window(session.width(), session.height());
    session.openEditor(window.handle(), 0);
    std::unique_ptr<DialogDriver> dialogs;
    if (options.answerDialog)
        dialogs = std::make_unique<DialogDriver>("Load Rex File", options.chosenPath, options.seconds * 1000);
    window.run(options.seconds * 1000, options.idlePeriod, [&host] { host.dispatch(effEditIdle); });
    printPanelWindow(window.handle());
    if (!options.picture.empty()) PanelPicture::of(onlyChild(window.handle())).writeBmp(options.picture);
    if (dialogs)
        std::printf("dialog seen=%d pressed=%d\n", dialogs->finish() ? 1 : 0, dialogs->appearedWhilePressed() ? 1 : 0);
    session.closeEditorAndReport();
    return 0;
}
