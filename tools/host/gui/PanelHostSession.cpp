#include "PanelHostSession.h"

#include <cstdio>

PanelHostSession::PanelHostSession(const HostOptions& options) : library(options.plugin), pluginHost(library) {
    if (!library.loaded()) {
        std::fprintf(stderr, "%s\n", library.error().c_str());
        return;
    }
    effect = pluginHost.open();
    if (!effect) {
        std::fprintf(stderr, "the plug-in refused to open\n");
        return;
    }
    if (options.echoAutomation) {
        pluginHost.onRequest = [this](const PluginHost::Request& request) {
            if (request.opcode == audioMasterAutomate) pluginHost.setParameter(request.index, request.opt);
        };
    }
    pluginHost.dispatch(effEditGetRect, 0, 0, &rect);
    if (rect && rect->right > rect->left) editorWidth = rect->right - rect->left;
    if (rect && rect->bottom > rect->top) editorHeight = rect->bottom - rect->top;
}

PanelHostSession::~PanelHostSession() {
    if (effect) pluginHost.close();
}

VstIntPtr PanelHostSession::openEditor(void* parent, VstIntPtr value) {
    const VstIntPtr opened = pluginHost.dispatch(effEditOpen, 0, value, parent);
    std::printf("open answer=%ld flags=0x%x rect=%d,%d,%d,%d\n", static_cast<long>(opened),
                static_cast<unsigned>(effect->flags), rect ? rect->top : -1, rect ? rect->left : -1,
                rect ? rect->bottom : -1, rect ? rect->right : -1);
    std::fflush(stdout);
    return opened;
}

void PanelHostSession::closeEditorAndReport() {
    pluginHost.dispatch(effEditClose);
    for (const PluginHost::Request& request : pluginHost.requests()) {
        std::printf("request time=%.3f opcode=%d index=%d value=%ld opt=%.9g\n", request.time, request.opcode,
                    request.index, static_cast<long>(request.value), static_cast<double>(request.opt));
    }
    for (std::int32_t index = 0; index < effect->numParams; ++index)
        std::printf("parameter %d %.9g\n", index, static_cast<double>(pluginHost.getParameter(index)));
    // A preset chunk starts with the current program's loop path.
    void* chunk = nullptr;
    if (pluginHost.dispatch(effGetChunk, 1, 0, &chunk) > 0 && chunk)
        std::printf("path %s\n", static_cast<const char*>(chunk));
}
