#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/log/log.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

// A small LV2 host on lilv: finds the bundle by its URI, runs one instance block by block, and
// does the worker's jobs at once, as hosts without a worker thread do.
class Lv2TestHost {
public:
    static LilvWorld* world();
    // The plug-in as lilv found it, or null.
    static const LilvPlugin* plugin();
    // A URID of the map every test host shares.
    static LV2_URID map(const char* uri);
    static LV2_URID_Map& urisFeature();

    struct Setup {
        bool offerWorker = true;
        double sampleRate = 44100.0;
        // The bufsz:sequenceSize offered among the options; none when 0.
        std::int32_t sequenceSize = 0;
        bool activate = true;
    };
    explicit Lv2TestHost(const Setup& setup);
    explicit Lv2TestHost(bool offerWorker = true, double sampleRate = 44100.0);
    ~Lv2TestHost();
    Lv2TestHost(const Lv2TestHost&) = delete;
    Lv2TestHost& operator=(const Lv2TestHost&) = delete;

    bool ready() const { return instance != nullptr; }
    void activate();
    LV2_Handle handle() const;
    const LV2_State_Interface* stateInterface() const;
    const LV2_Feature* workerFeature() { return &scheduleFeature; }

    // Events for the coming block.
    void midi(std::int64_t frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    // Beats are quarter notes unless `beatUnit` says otherwise.
    void position(double bar, double barBeat, double beatsPerMinute, double speed, float beatsPerBar = 4.0f,
                  std::int32_t beatUnit = 4);
    void setLoop(const std::string& path);
    void getLoop();
    // The forge writing the coming block's control sequence, for events of a test's own making.
    LV2_Atom_Forge& input();
    // Bytes that replace the coming block's control sequence whole.
    void rawInput(const std::vector<std::uint8_t>& bytes);
    // Sets a control port by the instrument's parameter index.
    void control(std::int32_t parameter, float value);

    // Runs one block; answers the left output (the right one is in `right`).
    std::vector<float> run(std::uint32_t frames);
    std::vector<float> right;
    // The path of the last patch:Set the plug-in wrote to its notify port.
    std::string announcedLoop;
    // Bytes offered to the notify port before each block; the rest of its buffer must stay as it was.
    std::uint32_t notifyCapacity;
    bool notifyUntouchedBeyondCapacity() const;
    // Every line the plug-in wrote to the host's log, and how often it asked for work.
    std::vector<std::string> logLines;
    int scheduled = 0;

private:
    static LV2_Worker_Status schedule(LV2_Worker_Schedule_Handle handle, std::uint32_t size, const void* data);
    static LV2_Worker_Status respond(LV2_Worker_Respond_Handle handle, std::uint32_t size, const void* data);
    static int logLine(LV2_Log_Handle handle, LV2_URID type, const char* format, ...);
    static int logLineFrom(LV2_Log_Handle handle, LV2_URID type, const char* format, va_list arguments);
    void beginInput();
    void readNotify();

    LilvInstance* instance = nullptr;
    const LV2_Worker_Interface* worker = nullptr;
    LV2_Worker_Schedule schedulerData{};
    LV2_Feature scheduleFeature{};
    LV2_Log_Log logData{};
    std::int32_t sequenceSize = 0;
    std::vector<LV2_Options_Option> options;
    std::vector<std::vector<std::uint8_t>> responses;
    std::vector<std::uint64_t> controlBuffer;
    std::vector<std::uint64_t> notifyBuffer;
    std::vector<float> left;
    std::vector<float> controls;
    LV2_Atom_Forge forge{};
    LV2_Atom_Forge_Frame sequence{};
    bool inputBegun = false;
};
