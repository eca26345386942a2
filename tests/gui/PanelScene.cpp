#include "PanelScene.h"

#include "gui/SkinBitmap.h"

PanelScene::PanelScene(GuiPlatform& platform, void* parentWindow, FrameHost* editor, ValueListener* listener) {
    for (std::size_t i = 0; i < bitmaps.size(); ++i)
        bitmaps[i] = new SkinBitmap(platform, 128 + static_cast<std::int32_t>(i));
    panelFrame = std::make_unique<EditorFrame>(platform, panelBounds, parentWindow, editor);
    EditorFrame& panel = *panelFrame;
    panel.setBackground(&bitmap(128));

    auto fader = [&](PixelRect bounds, std::int32_t tag, std::int32_t maxPosition, float value) {
        auto* made = new Fader(bounds, listener, tag, 20, maxPosition, &bitmap(131), &bitmap(128),
                               {bounds.left, bounds.top}, Fader::invertedDrag);
        made->setValue(value);
        panel.addWidget(made);
        return made;
    };
    load = new MomentaryButton({10, 20, 30, 40}, listener, 0, 20, &bitmap(129), {0, 0});
    exportButton = new MomentaryButton({10, 52, 30, 72}, listener, 1, 20, &bitmap(130), {0, 0});
    exportButton->setValue(1.0f);
    panel.addWidget(load);
    panel.addWidget(exportButton);
    attack = fader({45, 20, 62, 85}, 4, 76, 0.0f);
    decay = fader({69, 20, 86, 85}, 5, 76, 1.0f);
    fader({93, 20, 110, 85}, 6, 76, 0.6f);
    fader({117, 20, 134, 85}, 7, 76, 0.25f);
    fader({146, 20, 163, 85}, 2, 76, 0.8f);
    fader({170, 20, 187, 85}, 3, 76, 0.1f);
    lfoAmount = fader({202, 20, 219, 55}, 10, 46, 0.5f);
    syncMode = new StepSwitch({223, 22, 242, 81}, listener, 13, 59, 6, &bitmap(134), {0, 0});
    syncMode->setValue(0.4f);
    filterOn = new ToggleButton({178, 5, 186, 13}, listener, 9, &bitmap(132));
    filterOn->setValue(1.0f);
    syncOn = new ToggleButton({229, 5, 238, 13}, listener, 12, &bitmap(132));
    filterMode = new StepSwitch({191, 62, 199, 79}, listener, 8, 17, 2, &bitmap(133), {0, 0});
    filterMode->setValue(1.0f);
    for (Widget* widget : {static_cast<Widget*>(syncMode), static_cast<Widget*>(filterOn), static_cast<Widget*>(syncOn),
                           static_cast<Widget*>(filterMode)})
        panel.addWidget(widget);
}

PanelScene::~PanelScene() {
    panelFrame.reset();
    for (SkinBitmap* held : bitmaps) held->release();
}
