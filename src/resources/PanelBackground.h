#pragma once

#include "PixelCanvas.h"

// 250 x 100: the whole panel behind the controls, which also serves as every fader's background.
PixelCanvas drawPanelBackground();
