#include "gui/MessagePump.h"

#include "gui/GuiPlatform.h"

MessagePump::MessagePump(GuiPlatform& guiPlatform) : platform(guiPlatform), lastPump(guiPlatform.tickCount()) {}

void MessagePump::pump(Client& client) {
    std::uint32_t now = platform.tickCount();
    client.editorIdle();
    // Elapsed times in unsigned arithmetic stay right across the tick count's wrap after 49.7 days.
    if (now - lastPump < sleepBelowMs) {
        platform.sleep(sleepMs);
        now += sleepMs;
        if (now - lastPump < pumpAfterMs) return;
    }
    platform.dispatchPendingPaint();
    lastPump = now;
    insideHostIdle = true;
    client.hostIdle();
    insideHostIdle = false;
}
