// Draws the panel bitmaps and writes them, with the sources that carry them into the product,
// to the folder given as the only argument.

#include <exception>
#include <iostream>

#include "ControlArtwork.h"
#include "GeneratedSources.h"
#include "PanelBackground.h"
#include "picture/BmpFile.h"
#include "shared/PanelLayout.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " <output folder>\n";
        return 2;
    }
    try {
        const std::vector<unsigned char> key = encodeBmp(drawKeyBitmap());
        writeGeneratedSources(argv[1], {
                                           {PanelLayout::panelBackground, encodeBmp(drawPanelBackground())},
                                           {PanelLayout::loadKey, key},
                                           {PanelLayout::exportKey, key},
                                           {PanelLayout::faderHandle, encodeBmp(drawFaderHandle())},
                                           {PanelLayout::greenLed, encodeBmp(drawLedBitmap())},
                                           {PanelLayout::filterModeLeds, encodeBmp(drawModeLedBitmap())},
                                           {PanelLayout::noteValues, encodeBmp(drawSyncModeBitmap())},
                                       });
    } catch (const std::exception& error) {
        std::cerr << argv[0] << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
