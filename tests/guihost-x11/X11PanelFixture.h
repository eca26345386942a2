#pragma once

// Before Xlib, whose macros (None, Bool, Status) would break it.
#include <gtest/gtest.h>

#include "PluginHost.h"
#include "PluginLibrary.h"
#include "X11HostWindow.h"
#include "X11PanelPicture.h"

#include <chrono>
#include <memory>
#include <vector>

// The Linux library in a real X11 parent window: the host idles the editor from the opening
// thread, records what the plug-in asks, and reads the panel's pixels back from the server.
class X11PanelFixture : public ::testing::Test {
protected:
    static constexpr std::chrono::milliseconds idlePeriod{20};

    void SetUp() override {
        ASSERT_TRUE(parent.valid()) << "no X display";
        ASSERT_TRUE(library->loaded()) << library->error();
        host = std::make_unique<PluginHost>(*library);
        effect = host->open();
        ASSERT_NE(effect, nullptr);
    }
    void TearDown() override {
        if (host && host->effect()) {
            host->dispatch(effEditClose);
            host->close();
        }
    }

    VstIntPtr openPanel(VstIntPtr hostDisplay = 0) {
        return host->dispatch(effEditOpen, 0, hostDisplay, parent.parentHandle());
    }
    ::Window panelWindow() const {
        const std::vector<::Window> children = parent.children();
        return children.empty() ? 0 : children.front();
    }
    void pump(std::chrono::milliseconds duration, std::chrono::milliseconds period = idlePeriod) {
        parent.run(duration, period, [this] {
            if (host->effect()) host->dispatch(effEditIdle);
        });
    }
    X11PanelPicture picture() const { return X11PanelPicture::of(parent.display(), panelWindow()); }

    std::vector<PluginHost::Request> requestsOf(std::initializer_list<std::int32_t> opcodes) const {
        std::vector<PluginHost::Request> result;
        for (const PluginHost::Request& request : host->requests())
            for (std::int32_t opcode : opcodes)
                if (request.opcode == opcode) result.push_back(request);
        return result;
    }

    X11HostWindow parent{250, 100};
    std::unique_ptr<PluginLibrary> library =
        std::make_unique<PluginLibrary>(PluginLibrary::besideExecutable(BREVATONE_PLUGIN_FILE));
    std::unique_ptr<PluginHost> host;
    AEffect* effect = nullptr;
};
