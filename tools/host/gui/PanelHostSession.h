#pragma once

#include "HostOptions.h"
#include "PluginHost.h"
#include "PluginLibrary.h"

// One run of the panel mode, the same on every platform: the plug-in loaded and opened as the
// options say, its editor opened in the platform's host window, and, when it is over, every
// request with its time, the parameter values and the current program's loop path printed.
class PanelHostSession {
public:
    explicit PanelHostSession(const HostOptions& options);
    ~PanelHostSession();
    PanelHostSession(const PanelHostSession&) = delete;
    PanelHostSession& operator=(const PanelHostSession&) = delete;

    // False, with the reason printed, when the plug-in could not be loaded or refused to open.
    bool ready() const { return effect != nullptr; }
    PluginHost& host() { return pluginHost; }
    // The editor's size as effEditGetRect tells it (at least 1 x 1).
    int width() const { return editorWidth; }
    int height() const { return editorHeight; }

    // effEditOpen with `parent` and `value`; prints the answer, the flags and the rectangle.
    VstIntPtr openEditor(void* parent, VstIntPtr value);
    // effEditClose, then the record of the run.
    void closeEditorAndReport();

private:
    PluginLibrary library;
    PluginHost pluginHost;
    AEffect* effect = nullptr;
    ERect* rect = nullptr;
    int editorWidth = 1;
    int editorHeight = 1;
};
