#pragma once

#include "platform/software/RgbImage.h"

#include <cstdint>
#include <memory>

// The panel bitmap with this resource number as the library carries it, or null.
std::unique_ptr<RgbImage> embeddedPanelPicture(std::int32_t resourceNumber);
