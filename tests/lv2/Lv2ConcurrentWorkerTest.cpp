// A host with a worker thread of its own: loops load there while the audio thread runs blocks and
// a third thread saves the state. Under ThreadSanitizer this shows the hand-offs are sound.
#include "InProcessPorts.h"
#include "LoopFiles.h"
#include "Lv2Events.h"
#include "UridTable.h"
#include "lv2/Lv2Identity.h"
#include "lv2/Lv2Instrument.h"

#include <gtest/gtest.h>
#include <lv2/atom/forge.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Message = std::vector<char>;

// Messages between threads, as a host's ring buffer carries them.
class MessageQueue {
public:
    void push(const void* data, std::uint32_t size) {
        const auto* bytes = static_cast<const char*>(data);
        {
            std::lock_guard<std::mutex> guard(lock);
            messages.emplace_back(bytes, bytes + size);
        }
        ready.notify_one();
    }
    // Waits for a message; none once `close` was called and the queue is empty.
    bool pop(Message& message) {
        std::unique_lock<std::mutex> guard(lock);
        ready.wait(guard, [&] { return closed || !messages.empty(); });
        if (messages.empty()) return false;
        message = std::move(messages.front());
        messages.pop_front();
        return true;
    }
    std::vector<Message> takeAll() {
        std::lock_guard<std::mutex> guard(lock);
        std::vector<Message> all(messages.begin(), messages.end());
        messages.clear();
        return all;
    }
    void close() {
        {
            std::lock_guard<std::mutex> guard(lock);
            closed = true;
        }
        ready.notify_all();
    }

private:
    std::mutex lock;
    std::condition_variable ready;
    std::deque<Message> messages;
    bool closed = false;
};

LV2_State_Status storeNothing(LV2_State_Handle, std::uint32_t, const void*, std::size_t, std::uint32_t, std::uint32_t) {
    return LV2_STATE_SUCCESS;
}

}  // namespace

TEST(Lv2Concurrent, LoopsLoadOnTheWorkerThreadWhileBlocksRunAndStateIsSaved) {
    TempDir dir;
    const std::array<std::string, 2> loops = {writeLoopFile(dir, "first.rex", eightSliceLoop(2048)),
                                              writeLoopFile(dir, "second.rex", eightSliceLoop(512))};
    UridTable map;
    MessageQueue requests, responses;
    LV2_Worker_Schedule schedule{&requests,
                                 [](LV2_Worker_Schedule_Handle handle, std::uint32_t size, const void* data) {
                                     static_cast<MessageQueue*>(handle)->push(data, size);
                                     return LV2_WORKER_SUCCESS;
                                 }};
    const LV2_Feature mapFeature = {LV2_URID__map, &map.feature};
    const LV2_Feature workerFeature = {LV2_WORKER__schedule, &schedule};
    const LV2_Feature* features[] = {&mapFeature, &workerFeature, nullptr};
    auto plugin = Lv2Instrument::create(44100.0, features);
    ASSERT_NE(plugin, nullptr);

    std::thread worker([&] {
        Message message;
        while (requests.pop(message)) {
            plugin->work(
                [](LV2_Worker_Respond_Handle handle, std::uint32_t size, const void* data) {
                    static_cast<MessageQueue*>(handle)->push(data, size);
                    return LV2_WORKER_SUCCESS;
                },
                &responses, static_cast<std::uint32_t>(message.size()), message.data());
        }
    });
    std::atomic<bool> running{true};
    std::thread saver([&] {
        const LV2_Feature* none[] = {nullptr};
        while (running.load()) plugin->save(storeNothing, nullptr, none);
    });

    InProcessPorts ports(*plugin, 128, 1024);
    plugin->activate();
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map.feature);
    std::string announced;
    std::string lastRequested;
    // A block as the host runs it: answers that came back from the worker go in after it, and the
    // plug-in's replies are read from its notify port.
    const auto runBlock = [&] {
        ports.offerNotifySpace();
        plugin->run(128);
        for (const Message& response : responses.takeAll()) {
            plugin->workResponse(static_cast<std::uint32_t>(response.size()), response.data());
        }
        LV2_ATOM_SEQUENCE_FOREACH(&ports.replies(), event) {
            const LV2_Atom* value = nullptr;
            lv2_atom_object_get(reinterpret_cast<const LV2_Atom_Object*>(&event->body), map(LV2_PATCH__value), &value,
                                0);
            if (value) announced = static_cast<const char*>(LV2_ATOM_BODY_CONST(value));
        }
    };
    for (int block = 0; block < 400; ++block) {
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(ports.input.data()), ports.input.size() * 8);
        LV2_Atom_Forge_Frame sequence;
        lv2_atom_forge_sequence_head(&forge, &sequence, 0);
        if (block % 40 == 0) {
            lastRequested = loops[static_cast<std::size_t>(block / 40 % 2)];
            Lv2Events::setLoop(forge, map.feature, 0, lastRequested);
        }
        Lv2Events::midi(forge, map.feature, 5, 0x90, static_cast<std::uint8_t>(36 + block % 8), 100);
        lv2_atom_forge_pop(&forge, &sequence);
        runBlock();
    }
    requests.close();
    worker.join();
    running.store(false);
    saver.join();
    // With the worker done, the last request's answer is in and the next block announces it.
    runBlock();
    runBlock();
    EXPECT_EQ(announced, lastRequested);
}
