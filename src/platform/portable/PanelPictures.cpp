#include "platform/portable/PanelPictures.h"

#include "platform/portable/BmpDecoder.h"

#include "PanelBitmaps.h"

std::unique_ptr<RgbImage> embeddedPanelPicture(std::int32_t resourceNumber) {
    const EmbeddedBitmap panelBitmap = embeddedPanelBitmap(resourceNumber);
    return decodeBmp(panelBitmap.bytes, panelBitmap.size);
}
