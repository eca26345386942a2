#pragma once

#include <cstdint>

class GuiPlatform;

// Keeps the panel and the host alive while a control is dragged: every step redraws what changed;
// at most about every 50 ms one paint is dispatched and the host gets idle time.
class MessagePump {
public:
    class Client {
    public:
        virtual ~Client() = default;
        virtual void editorIdle() = 0;
        virtual void hostIdle() = 0;
    };

    explicit MessagePump(GuiPlatform& platform);

    void pump(Client& client);
    // True while the host's idle runs: the host may call the editor's idle from inside it.
    bool inHostIdle() const { return insideHostIdle; }

    static constexpr std::uint32_t sleepBelowMs = 100;
    static constexpr std::uint32_t sleepMs = 4;
    static constexpr std::uint32_t pumpAfterMs = 50;

private:
    GuiPlatform& platform;
    std::uint32_t lastPump;
    bool insideHostIdle = false;
};
