#pragma once

#include "gui/EditorFrame.h"
#include "gui/FrameHost.h"
#include "gui/SkinBitmap.h"
#include "gui/ValueControl.h"
#include "gui/ValueListener.h"
#include "platform/portable/SoftwarePlatform.h"
#include "platform/portable/SoftwareWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// A picture of `images` stacked blocks, each filled with its own colour, so a test can tell from one
// pixel which image a control drew.
inline RgbImage stackedImages(std::int32_t width, std::int32_t imageHeight, const std::vector<Colour>& colours) {
    RgbImage picture(width, imageHeight * static_cast<std::int32_t>(colours.size()));
    for (std::size_t i = 0; i < colours.size(); ++i)
        for (std::int32_t y = 0; y < imageHeight; ++y)
            for (std::int32_t x = 0; x < width; ++x)
                picture.setPixel(x, static_cast<std::int32_t>(i) * imageHeight + y, colours[i]);
    return picture;
}

struct Notice {
    std::int32_t tag;
    float value;
};

// Records every change and, like the editor, redraws the control that reported it.
class RecordingListener : public ValueListener {
public:
    void onValueChanged(PaintContext& context, ValueControl& control) override {
        notices.push_back({control.tag(), control.getValue()});
        control.redrawIfDirty(context);
    }
    std::vector<float> values() const {
        std::vector<float> all;
        for (const Notice& notice : notices) all.push_back(notice.value);
        return all;
    }
    std::vector<Notice> notices;
};

// Stands in for the editor: counts pumps and records the host's edit notices.
class RecordingEditor : public FrameHost {
public:
    void pumpMessages() override { ++pumps; }
    void beginEdit(std::int32_t tag) override { edits.push_back(tag); }
    void endEdit(std::int32_t tag) override { edits.push_back(-tag - 1); }
    std::int32_t pumps = 0;
    std::vector<std::int32_t> edits;  // begin as the tag, end as -(tag + 1)
};

// A frame of 250 x 100 pixels in a software window, with a screen origin away from (0, 0) so that
// window and screen coordinates differ.
class GuiFixture : public ::testing::Test {
protected:
    static constexpr PixelPoint origin{300, 200};
    int parentWindow = 0;

    GuiFixture() {
        platform.setWindowOrigin(origin);
        frame = std::make_unique<EditorFrame>(platform, PixelRect{0, 0, 250, 100}, &parentWindow, &editor);
    }

    SoftwareWindow& window() { return *platform.lastWindow(); }
    ScriptedPointer& pointer() { return platform.pointer(); }

    // Presses at `point` (window pixels) with `buttons`; the drag then sees `after`, in window pixels.
    void press(PixelPoint point, MouseButtons buttons, std::vector<ScriptedPointer::Sample> after = {}) {
        for (auto& sample : after) sample.screen = {sample.screen.x + origin.x, sample.screen.y + origin.y};
        pointer().hold({point.x + origin.x, point.y + origin.y}, buttons);
        pointer().script(std::move(after));
        window().press(point, buttons);
    }

    ~GuiFixture() override {
        frame.reset();
        for (SkinBitmap* held : bitmaps) held->release();
    }

    // A bitmap made from `picture`, released by the fixture.
    SkinBitmap* bitmap(std::int32_t number, const RgbImage& picture) {
        platform.addBitmap(number, picture);
        bitmaps.push_back(new SkinBitmap(platform, number));
        return bitmaps.back();
    }

    template <typename Control, typename... Arguments>
    Control& add(Arguments&&... arguments) {
        auto* control = new Control(std::forward<Arguments>(arguments)...);
        frame->addWidget(control);
        return *control;
    }

    SoftwarePlatform platform;
    RecordingEditor editor;
    RecordingListener listener;
    std::unique_ptr<EditorFrame> frame;
    std::vector<SkinBitmap*> bitmaps;
};
