#pragma once

#include "platform/DropReceiver.h"

#include <string>
#include <vector>

// Stands for a widget that takes drops: keeps what it was handed, answers as told.
class RecordingReceiver final : public DropReceiver {
public:
    static constexpr PixelPoint cursor{17, 42};

    PixelPoint dropCursorPosition() override { return cursor; }

    bool acceptDrop(const char* const* given, std::int32_t givenCount, std::int32_t givenKind,
                    PixelPoint givenPoint) override {
        ++drops;
        // Text comes as one element whose count is its block's size.
        names.assign(given, given + (givenKind == textKind ? 1 : givenCount));
        count = givenCount;
        kind = givenKind;
        point = givenPoint;
        return takes;
    }

    bool takes = false;
    int drops = 0;
    std::vector<std::string> names;
    std::int32_t count = -1;
    std::int32_t kind = -1;
    PixelPoint point{-1, -1};
};
