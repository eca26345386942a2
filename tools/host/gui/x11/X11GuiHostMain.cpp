// The test host's panel mode on X11, as its Windows build: loads the plug-in, opens its editor in
// an override-redirect window at a fixed screen spot, calls the editor's idle on a timer from the
// opening thread, and when the time is up prints the panel window, every request the plug-in made
// (with its time), the stored parameter values, and writes the panel's pixels to a PPM picture.
// Input comes from outside (xdotool); file choosers are whatever `zenity` or `kdialog` is first
// on PATH. Its command line is in HostOptions.h (without --choose and --cancel).
#include "HostOptions.h"
#include "PanelHostSession.h"
#include "X11HostWindow.h"
#include "X11PanelPicture.h"

#include <cstdio>

int main(int argc, char** argv) {
    HostOptions options;
    if (!options.parse(argc, argv) || options.answerDialog) {
        HostOptions::printUsage(argv[0]);
        return 2;
    }
    PanelHostSession session(options);
    if (!session.ready()) return 1;
    X11HostWindow window(session.width(), session.height());
    if (!window.valid()) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    PluginHost& host = session.host();
    session.openEditor(window.parentHandle(),
                       options.passHostDisplay ? reinterpret_cast<VstIntPtr>(window.display()) : 0);
    window.run(std::chrono::seconds(options.seconds), std::chrono::milliseconds(options.idlePeriod),
               [&host] { host.dispatch(effEditIdle); });
    const std::vector<::Window> children = window.children();
    XWindowAttributes panel{};
    if (!children.empty()) XGetWindowAttributes(window.display(), children.front(), &panel);
    std::printf("panel children=%zu class=X11 x=%d y=%d width=%d height=%d\n", children.size(), panel.x, panel.y,
                panel.width, panel.height);
    if (!options.picture.empty() && !children.empty())
        X11PanelPicture::of(window.display(), children.front()).writePpm(options.picture);
    session.closeEditorAndReport();
    return 0;
}
