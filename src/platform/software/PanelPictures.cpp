#include "platform/software/PanelPictures.h"

#include "picture/BmpFile.h"

#include "PanelBitmaps.h"

#include <optional>
#include <utility>

std::unique_ptr<RgbImage> embeddedPanelPicture(std::int32_t resourceNumber) {
    const EmbeddedBitmap panelBitmap = embeddedPanelBitmap(resourceNumber);
    std::optional<RgbPicture> picture = decodeBmp(panelBitmap.bytes, panelBitmap.size);
    if (!picture) return nullptr;
    return std::make_unique<RgbImage>(std::move(*picture));
}
