#include "Lv2TestHost.h"

#include "Lv2Events.h"
#include "UridTable.h"

#include "instrument/ParameterTable.h"
#include "lv2/Lv2Identity.h"

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>
#include <lv2/time/time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

constexpr std::size_t bufferWords = 8192;
constexpr std::uint8_t untouched = 0xA5;

UridTable& uridTable() {
    static UridTable table;
    return table;
}

}  // namespace

LilvWorld* Lv2TestHost::world() {
    static LilvWorld* shared = [] {
        setenv("LV2_PATH", BREVATONE_LV2_PATH ":/usr/lib/lv2", 1);
        LilvWorld* made = lilv_world_new();
        lilv_world_load_all(made);
        return made;
    }();
    return shared;
}

const LilvPlugin* Lv2TestHost::plugin() {
    LilvNode* uri = lilv_new_uri(world(), Lv2Identity::pluginUri);
    const LilvPlugin* found = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world()), uri);
    lilv_node_free(uri);
    return found;
}

LV2_URID Lv2TestHost::map(const char* uri) { return urisFeature().map(urisFeature().handle, uri); }
LV2_URID_Map& Lv2TestHost::urisFeature() { return uridTable().feature; }

Lv2TestHost::Lv2TestHost(bool offerWorker, double sampleRate) : Lv2TestHost(Setup{offerWorker, sampleRate, 0, true}) {}

Lv2TestHost::Lv2TestHost(const Setup& setup)
    : notifyCapacity(bufferWords * sizeof(std::uint64_t) - sizeof(LV2_Atom)),
      controlBuffer(bufferWords),
      notifyBuffer(bufferWords),
      controls(Lv2Identity::firstParameterPort + 13) {
    sequenceSize = setup.sequenceSize;
    schedulerData = {this, &Lv2TestHost::schedule};
    scheduleFeature = {LV2_WORKER__schedule, &schedulerData};
    logData = {this, &Lv2TestHost::logLine, &Lv2TestHost::logLineFrom};
    const LV2_Feature logFeature = {LV2_LOG__log, &logData};
    if (sequenceSize > 0) {
        options.push_back({LV2_OPTIONS_INSTANCE, 0, map(LV2_BUF_SIZE__sequenceSize), sizeof sequenceSize,
                           map(LV2_ATOM__Int), &sequenceSize});
    }
    options.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
    const LV2_Feature optionsFeature = {LV2_OPTIONS__options, options.data()};
    const LV2_Feature mapFeature = {LV2_URID__map, &urisFeature()};
    const LV2_Feature* features[] = {&mapFeature, &logFeature, &optionsFeature,
                                     setup.offerWorker ? &scheduleFeature : nullptr, nullptr};
    const LilvPlugin* found = plugin();
    if (!found) return;
    instance = lilv_plugin_instantiate(found, setup.sampleRate, features);
    if (!instance) return;
    worker =
        static_cast<const LV2_Worker_Interface*>(lilv_instance_get_extension_data(instance, LV2_WORKER__interface));
    lv2_atom_forge_init(&forge, &urisFeature());

    // Control ports start at the defaults the bundle states.
    std::vector<float> defaults(lilv_plugin_get_num_ports(found));
    lilv_plugin_get_port_ranges_float(found, nullptr, nullptr, defaults.data());
    for (std::uint32_t port = Lv2Identity::firstParameterPort; port < defaults.size() && port < controls.size();
         ++port) {
        controls[port] = defaults[port];
        lilv_instance_connect_port(instance, port, &controls[port]);
    }
    lilv_instance_connect_port(instance, Lv2Identity::controlPort, controlBuffer.data());
    lilv_instance_connect_port(instance, Lv2Identity::notifyPort, notifyBuffer.data());
    if (setup.activate) activate();
}

void Lv2TestHost::activate() { lilv_instance_activate(instance); }

Lv2TestHost::~Lv2TestHost() {
    if (!instance) return;
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}

LV2_Handle Lv2TestHost::handle() const { return lilv_instance_get_handle(instance); }

const LV2_State_Interface* Lv2TestHost::stateInterface() const {
    return static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance, LV2_STATE__interface));
}

LV2_Worker_Status Lv2TestHost::schedule(LV2_Worker_Schedule_Handle handle, std::uint32_t size, const void* data) {
    auto& host = *static_cast<Lv2TestHost*>(handle);
    ++host.scheduled;
    return host.worker->work(host.handle(), &Lv2TestHost::respond, &host, size, data);
}

LV2_Worker_Status Lv2TestHost::respond(LV2_Worker_Respond_Handle handle, std::uint32_t size, const void* data) {
    auto& host = *static_cast<Lv2TestHost*>(handle);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    host.responses.emplace_back(bytes, bytes + size);
    return LV2_WORKER_SUCCESS;
}

int Lv2TestHost::logLine(LV2_Log_Handle handle, LV2_URID type, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int written = logLineFrom(handle, type, format, arguments);
    va_end(arguments);
    return written;
}

int Lv2TestHost::logLineFrom(LV2_Log_Handle handle, LV2_URID, const char* format, va_list arguments) {
    char line[4096];
    const int written = std::vsnprintf(line, sizeof line, format, arguments);
    static_cast<Lv2TestHost*>(handle)->logLines.emplace_back(line);
    return written;
}

void Lv2TestHost::beginInput() {
    if (inputBegun) return;
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(controlBuffer.data()),
                              controlBuffer.size() * sizeof(std::uint64_t));
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    inputBegun = true;
}

LV2_Atom_Forge& Lv2TestHost::input() {
    beginInput();
    return forge;
}

void Lv2TestHost::midi(std::int64_t frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    beginInput();
    Lv2Events::midi(forge, urisFeature(), frame, status, data1, data2);
}

void Lv2TestHost::position(double bar, double barBeat, double beatsPerMinute, double speed, float beatsPerBar,
                           std::int32_t beatUnit) {
    beginInput();
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&forge, 0);
    lv2_atom_forge_object(&forge, &object, 0, map(LV2_TIME__Position));
    lv2_atom_forge_key(&forge, map(LV2_TIME__bar));
    lv2_atom_forge_long(&forge, static_cast<std::int64_t>(bar));
    lv2_atom_forge_key(&forge, map(LV2_TIME__barBeat));
    lv2_atom_forge_double(&forge, barBeat);
    lv2_atom_forge_key(&forge, map(LV2_TIME__beatsPerBar));
    lv2_atom_forge_float(&forge, beatsPerBar);
    lv2_atom_forge_key(&forge, map(LV2_TIME__beatUnit));
    lv2_atom_forge_int(&forge, beatUnit);
    lv2_atom_forge_key(&forge, map(LV2_TIME__beatsPerMinute));
    lv2_atom_forge_double(&forge, beatsPerMinute);
    lv2_atom_forge_key(&forge, map(LV2_TIME__speed));
    lv2_atom_forge_double(&forge, speed);
    lv2_atom_forge_pop(&forge, &object);
}

void Lv2TestHost::setLoop(const std::string& path) {
    beginInput();
    Lv2Events::setLoop(forge, urisFeature(), 0, path);
}

void Lv2TestHost::getLoop() {
    beginInput();
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&forge, 0);
    lv2_atom_forge_object(&forge, &object, 0, map(LV2_PATCH__Get));
    lv2_atom_forge_pop(&forge, &object);
}

void Lv2TestHost::rawInput(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() > controlBuffer.size() * sizeof(std::uint64_t)) throw std::length_error("raw input too long");
    std::memcpy(controlBuffer.data(), bytes.data(), bytes.size());
    inputBegun = true;
}

void Lv2TestHost::control(std::int32_t parameter, float value) {
    controls[static_cast<std::size_t>(Lv2Identity::firstParameterPort + ParameterTable::slotOf(parameter))] = value;
}

std::vector<float> Lv2TestHost::run(std::uint32_t frames) {
    beginInput();
    left.assign(frames, 9.0f);
    right.assign(frames, 9.0f);
    lilv_instance_connect_port(instance, Lv2Identity::leftOutPort, left.data());
    lilv_instance_connect_port(instance, Lv2Identity::rightOutPort, right.data());
    std::memset(notifyBuffer.data(), untouched, notifyBuffer.size() * sizeof(std::uint64_t));
    auto* notify = reinterpret_cast<LV2_Atom*>(notifyBuffer.data());
    notify->type = 0;
    notify->size = notifyCapacity;
    lilv_instance_run(instance, frames);
    inputBegun = false;
    for (const auto& response : responses) {
        worker->work_response(handle(), static_cast<std::uint32_t>(response.size()), response.data());
    }
    responses.clear();
    readNotify();
    return left;
}

bool Lv2TestHost::notifyUntouchedBeyondCapacity() const {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(notifyBuffer.data());
    const std::size_t total = notifyBuffer.size() * sizeof(std::uint64_t);
    return std::all_of(bytes + std::min<std::size_t>(notifyCapacity, total), bytes + total,
                       [](std::uint8_t byte) { return byte == untouched; });
}

// Only a sequence the plug-in wrote whole inside the space it was offered counts.
void Lv2TestHost::readNotify() {
    const auto* replies = reinterpret_cast<const LV2_Atom_Sequence*>(notifyBuffer.data());
    if (replies->atom.type != map(LV2_ATOM__Sequence) || replies->atom.size + sizeof(LV2_Atom) > notifyCapacity) return;
    LV2_ATOM_SEQUENCE_FOREACH(replies, event) {
        const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&event->body);
        if (object->body.otype != map(LV2_PATCH__Set)) continue;
        const LV2_Atom* value = nullptr;
        lv2_atom_object_get(object, map(LV2_PATCH__value), &value, 0);
        if (value && value->type == map(LV2_ATOM__Path))
            announcedLoop = static_cast<const char*>(LV2_ATOM_BODY_CONST(value));
    }
}
