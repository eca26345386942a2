#pragma once

#include "DialogDriver.h"
#include "HostWindow.h"
#include "PanelPicture.h"
#include "PluginHost.h"
#include "PluginLibrary.h"
#include "SkinColours.h"
#include "SteadyWait.h"
#include "shared/PanelLayout.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// The plug-in library in a real parent window: the host pumps messages with the editor's idle
// every 20 ms, records what the plug-in asks, and presses the panel with system input.
class PanelInHostFixture : public ::testing::Test {
protected:
    static constexpr DWORD idlePeriod = 20;

    void SetUp() override {
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

    VstIntPtr openPanel() { return host->dispatch(effEditOpen, 0, 0, parent.handle()); }
    HWND panelWindow() const { return FindWindowExA(parent.handle(), nullptr, nullptr, nullptr); }
    void pump(DWORD milliseconds) {
        parent.run(milliseconds, idlePeriod, [this] {
            if (host->effect()) host->dispatch(effEditIdle);
        });
    }
    PanelPicture picture() {
        pump(100);
        return PanelPicture::of(panelWindow());
    }

    // A press at panel point (x, y), released after `holdMilliseconds` from another thread while
    // this one pumps messages, as the plug-in's press runs inside the message dispatch.
    void press(int x, int y, DWORD holdMilliseconds = 150) {
        placeCursor(x, y);
        sendButton(MOUSEEVENTF_LEFTDOWN);
        std::thread releaser([holdMilliseconds] {
            Sleep(holdMilliseconds);
            sendButton(MOUSEEVENTF_LEFTUP);
        });
        pump(holdMilliseconds + 150);
        releaser.join();
    }
    // Presses the load button and runs `hostCode` from the host's own window while the dialog is up,
    // then cancels the dialog and lets the button go.
    void insideTheLoadDialog(const std::function<void()>& hostCode) {
        // Bounded, so that a press that opens nothing fails the test (`hostCode` never runs)
        // instead of holding the run.
        std::thread watcher([this] {
            for (int waited = 0; waited < 20000; waited += 10) {
                if (FindWindowA("#32770", "Load Rex File")) {
                    PostMessageA(parent.handle(), WM_APP, 0, 0);
                    return;
                }
                Sleep(10);
            }
        });
        parent.onMessage(WM_APP, [&hostCode] {
            hostCode();
            if (HWND dialog = FindWindowA("#32770", "Load Rex File"))
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            sendButton(MOUSEEVENTF_LEFTUP);
        });
        placeCursor(20, 30);
        sendButton(MOUSEEVENTF_LEFTDOWN);
        pump(3000);
        watcher.join();
        parent.onMessage(WM_APP, [] {});
    }
    // Puts the cursor on panel point (x, y) and pumps until it has stayed there for 100 ms (at most
    // 3 s): Wine may still apply pointer motion from the X server that predates the move.
    void placeCursor(int x, int y) {
        const POINT target{HostWindow::spotX + x, HostWindow::spotY + y};
        SetCursorPos(target.x, target.y);
        const auto there = [&target] {
            POINT cursor{};
            GetCursorPos(&cursor);
            if (cursor.x == target.x && cursor.y == target.y) return true;
            SetCursorPos(target.x, target.y);
            return false;
        };
        waitUntilSteady(
            there, [this] { pump(10); }, 100, 3000);
    }
    static void sendButton(DWORD flags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof input);
    }

    // The handle's top of the fader whose left edge is at `left`, found by its red centre line.
    static int handleTop(const PanelPicture& panel, int left, int top = 20, int bottom = 85) {
        const int centreLine = panel.firstRowWith(left + 8, top, bottom, rgb(kFaderHandleCentreLine));
        return centreLine < 0 ? -1 : centreLine - 4;
    }
    static bool shows(const PanelPicture& panel, int left, int top, int right, int bottom, SkinRgb colour) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (panel.at(x, y) == rgb(colour)) return true;
        return false;
    }
    static bool shows(const PanelPicture& panel, const PanelLayout::Rect& area, SkinRgb colour) {
        return shows(panel, area.left, area.top, area.right, area.bottom, colour);
    }
    static PanelPicture::Rgb rgb(SkinRgb colour) { return {colour.red, colour.green, colour.blue}; }
    // A point well inside the control with `tag`.
    static PanelLayout::Point pointIn(PanelLayout::Tag tag) { return PanelLayout::centre(PanelLayout::control(tag)); }

    std::vector<PluginHost::Request> told() const {
        std::vector<PluginHost::Request> result;
        for (const PluginHost::Request& request : host->requests())
            if (request.opcode == audioMasterAutomate || request.opcode == audioMasterBeginEdit ||
                request.opcode == audioMasterEndEdit)
                result.push_back(request);
        return result;
    }

    std::unique_ptr<PluginLibrary> library =
        std::make_unique<PluginLibrary>(PluginLibrary::besideExecutable(BREVATONE_PLUGIN_FILE));
    std::unique_ptr<PluginHost> host;
    AEffect* effect = nullptr;
    HostWindow parent{250, 100};
};
