#include "lv2/Lv2Instrument.h"

#include "engine/EngineConstants.h"
#include "instrument/BoundedText.h"
#include "instrument/InstrumentCore.h"
#include "instrument/ParameterTable.h"
#include "loopfile/InputFile.h"
#include "lv2/BoundedAtoms.h"
#include "lv2/Lv2Features.h"
#include "lv2/Lv2Identity.h"
#include "resample/RateConversion.h"

#include <lv2/log/log.h>
#include <lv2/patch/patch.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

// Strings from the host's path features are released by the host's own function when it offers one.
void release(const LV2_State_Free_Path* freePath, char* path) {
    if (freePath) {
        freePath->free_path(freePath->handle, path);
    } else {
        std::free(path);
    }
}

}  // namespace

std::unique_ptr<Lv2Instrument> Lv2Instrument::create(double sampleRate, const LV2_Feature* const* features) {
    const auto* map = static_cast<const LV2_URID_Map*>(lv2Feature(features, LV2_URID__map));
    const Lv2Log hostLog(static_cast<const LV2_Log_Log*>(lv2Feature(features, LV2_LOG__log)), map);
    if (!features) {
        hostLog.line("the host offered no features; the plug-in needs at least urid:map.");
        return nullptr;
    }
    if (!map) {
        hostLog.line("the host offers no urid:map, which the plug-in needs.");
        return nullptr;
    }
    const auto* scheduler = static_cast<const LV2_Worker_Schedule*>(lv2Feature(features, LV2_WORKER__schedule));
    std::unique_ptr<Lv2Instrument> made(new Lv2Instrument(sampleRate, *map, hostLog, scheduler));
    // A rate the instrument refuses leaves it at engineSampleRate, with a line in the log.
    made->instrument->setSampleRate(static_cast<float>(sampleRate));
    return made;
}

Lv2Instrument::Lv2Instrument(double sampleRate, const LV2_URID_Map& map, const Lv2Log& hostLog,
                             const LV2_Worker_Schedule* scheduler)
    : log(hostLog),
      services(log),
      uris(map),
      forge(),
      worker(scheduler),
      transport(InstrumentCore::followsSampleRate(sampleRate) ? sampleRate : engineSampleRate),
      instrument(makeInstrument(services, systemRateConversion())) {
    lv2_atom_forge_init(&forge, const_cast<LV2_URID_Map*>(&map));
}

Lv2Instrument::~Lv2Instrument() = default;

void Lv2Instrument::connectPort(std::uint32_t port, void* data) noexcept {
    switch (port) {
        case Lv2Identity::controlPort: control = static_cast<const LV2_Atom_Sequence*>(data); return;
        case Lv2Identity::notifyPort: notify = static_cast<LV2_Atom_Sequence*>(data); return;
        case Lv2Identity::leftOutPort: leftOut = static_cast<float*>(data); return;
        case Lv2Identity::rightOutPort: rightOut = static_cast<float*>(data); return;
        default: break;
    }
    const std::uint32_t slot = port - Lv2Identity::firstParameterPort;
    if (port >= Lv2Identity::firstParameterPort && slot < parameterPorts) {
        parameterInputs[slot] = static_cast<const float*>(data);
    }
}

// A host that shows the file property learns the loop when the plug-in starts.
void Lv2Instrument::activate() noexcept { replyPending = true; }

// A transport that stopped reporting while the plug-in was off must not steer the LFO afterwards.
void Lv2Instrument::deactivate() noexcept { transport.forget(); }

void Lv2Instrument::run(std::uint32_t frames) noexcept {
    applyControls();
    readInput(frames);
    const auto blockFrames = static_cast<std::int32_t>(std::min<std::uint32_t>(frames, INT32_MAX));
    float* outputs[2] = {leftOut, rightOut};
    instrument->render(outputs, blockFrames, midi.events(), midi.size(), transport.time());
    transport.advance(frames);
    writeReplies();
}

void Lv2Instrument::applyControls() noexcept {
    for (std::uint32_t slot = 0; slot < parameterPorts; ++slot) {
        const float* port = parameterInputs[slot];
        if (!port) continue;
        const float value = *port;
        if (controlApplied[slot] && std::memcmp(&value, &appliedControls[slot], sizeof value) == 0) continue;
        instrument->setParameter(ParameterTable::appliedOrder[slot], value);
        appliedControls[slot] = value;
        controlApplied[slot] = true;
    }
}

void Lv2Instrument::readInput(std::uint32_t frames) noexcept {
    midi.clear();
    // Event times in beats would be read as frames; no host sends them to an instrument's input.
    if (control && control->body.unit != 0 && control->body.unit != uris.atomFrameTime) return;
    const std::int64_t lastFrame = frames > 0 ? static_cast<std::int64_t>(frames) - 1 : 0;
    BoundedAtoms::forEachEvent(control, [&](std::int64_t time, const LV2_Atom& atom) {
        const std::int64_t at = std::clamp<std::int64_t>(time, 0, lastFrame);
        if (atom.type == uris.midiEvent) {
            midi.add(reinterpret_cast<const std::uint8_t*>(&atom + 1), atom.size, static_cast<std::int32_t>(at));
        } else if (const LV2_Atom_Object* object = BoundedAtoms::object(atom, uris)) {
            takeObject(*object, at);
        }
    });
}

void Lv2Instrument::takeObject(const LV2_Atom_Object& object, std::int64_t frames) noexcept {
    if (object.body.otype == uris.timePosition) {
        transport.take(object, frames, uris);
        return;
    }
    const LV2_Atom* property = BoundedAtoms::property(object, uris.patchProperty);
    const bool aboutLoop = property && property->type == uris.atomUrid && property->size == sizeof(LV2_URID) &&
                           reinterpret_cast<const LV2_Atom_URID*>(property)->body == uris.loop;
    if (object.body.otype == uris.patchGet && (!property || aboutLoop)) {
        replyPending = true;
    } else if (object.body.otype == uris.patchSet && aboutLoop && worker) {
        const char* path = BoundedAtoms::path(BoundedAtoms::property(object, uris.patchValue), uris);
        if (path) requestLoad(path, LoadKind::setByHost, *worker);
    }
}

// The message is the kind followed by the path and its terminator; longer paths than a program
// record holds are refused here.
void Lv2Instrument::requestLoad(const char* path, LoadKind kind, const LV2_Worker_Schedule& via) noexcept {
    const std::size_t length = boundedLength(path, ProgramRecord::pathSize);
    if (length >= ProgramRecord::pathSize) return;
    loadRequest[0] = static_cast<char>(kind);
    std::memcpy(loadRequest.data() + 1, path, length + 1);
    via.schedule_work(via.handle, static_cast<std::uint32_t>(length + 2), loadRequest.data());
}

LV2_Worker_Status Lv2Instrument::work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle,
                                      std::uint32_t size, const void* data) {
    const auto* message = static_cast<const char*>(data);
    if (!respond || !message || size < 2 || message[size - 1] != '\0') return LV2_WORKER_ERR_UNKNOWN;
    const auto kind = static_cast<LoadKind>(message[0]);
    if (kind != LoadKind::setByHost && kind != LoadKind::restored) return LV2_WORKER_ERR_UNKNOWN;
    const char* path = message + 1;
    if (!loadNow(path, kind)) return LV2_WORKER_SUCCESS;
    return respond(handle, size - 1, path);
}

bool Lv2Instrument::loadNow(const char* path, LoadKind kind) {
    InputFile file(path);
    const InstrumentCore::RefusedLoad refused =
        kind == LoadKind::setByHost ? InstrumentCore::RefusedLoad::keepsLoop : InstrumentCore::RefusedLoad::emptiesBank;
    if (instrument->loadLoop(file, refused)) {
        std::lock_guard<std::mutex> guard(pathLock);
        savedPath = path;
        return true;
    }
    const std::string reason = std::string("the loop \"") + path + "\" could not be read" +
                               (kind == LoadKind::setByHost ? "; the earlier loop plays on." : ".");
    log.line(reason.c_str());
    return false;
}

LV2_Worker_Status Lv2Instrument::workResponse(std::uint32_t size, const void* data) noexcept {
    const auto* path = static_cast<const char*>(data);
    if (!path || size == 0 || size > announcedPath.size() || path[size - 1] != '\0') return LV2_WORKER_ERR_UNKNOWN;
    announce(path);
    return LV2_WORKER_SUCCESS;
}

void Lv2Instrument::announce(const char* path) noexcept {
    copyIntoField(announcedPath.data(), announcedPath.size(), path);
    replyPending = true;
}

void Lv2Instrument::writeReplies() noexcept {
    if (!notify) return;
    const std::uint32_t capacity = notify->atom.size;
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(notify), capacity);
    LV2_Atom_Forge_Frame sequenceFrame;
    if (!lv2_atom_forge_sequence_head(&forge, &sequenceFrame, 0)) return;
    if (replyPending && announcedPath[0] != '\0') {
        LV2_Atom_Forge_Frame objectFrame;
        const auto length = static_cast<std::uint32_t>(boundedLength(announcedPath.data(), announcedPath.size()));
        // Each write answers zero when the buffer is full; the host then sees the sequence so far.
        if (lv2_atom_forge_frame_time(&forge, 0) && lv2_atom_forge_object(&forge, &objectFrame, 0, uris.patchSet) &&
            lv2_atom_forge_key(&forge, uris.patchProperty) && lv2_atom_forge_urid(&forge, uris.loop) &&
            lv2_atom_forge_key(&forge, uris.patchValue) && lv2_atom_forge_path(&forge, announcedPath.data(), length)) {
            lv2_atom_forge_pop(&forge, &objectFrame);
            replyPending = false;
        }
    }
    lv2_atom_forge_pop(&forge, &sequenceFrame);
}

std::string Lv2Instrument::currentPath() {
    std::lock_guard<std::mutex> guard(pathLock);
    return savedPath;
}

std::string Lv2Instrument::sessionCopy(const std::string& path, const LV2_State_Make_Path* makePath,
                                       const LV2_State_Free_Path* freePath) {
    if (!makePath) return path;
    const std::string name = std::filesystem::path(path).filename().string();
    char* made = makePath->path(makePath->handle, name.c_str());
    if (!made) return path;
    const std::string copy = made;
    release(freePath, made);
    std::error_code failed;
    if (!std::filesystem::equivalent(path, copy, failed)) {
        std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing, failed);
    }
    if (failed) {
        log.line(("the loop could not be copied into the session; it is saved as \"" + path + "\".").c_str());
        return path;
    }
    return copy;
}

LV2_State_Status Lv2Instrument::save(LV2_State_Store_Function store, LV2_State_Handle handle,
                                     const LV2_Feature* const* features) {
    const std::string path = currentPath();
    if (path.empty()) return LV2_STATE_SUCCESS;
    const auto* mapPath = static_cast<const LV2_State_Map_Path*>(lv2Feature(features, LV2_STATE__mapPath));
    const auto* makePath = static_cast<const LV2_State_Make_Path*>(lv2Feature(features, LV2_STATE__makePath));
    const auto* freePath = static_cast<const LV2_State_Free_Path*>(lv2Feature(features, LV2_STATE__freePath));
    const std::string saved = sessionCopy(path, makePath, freePath);
    char* abstract = mapPath ? mapPath->abstract_path(mapPath->handle, saved.c_str()) : nullptr;
    const char* value = abstract ? abstract : saved.c_str();
    const LV2_State_Status status = store(handle, uris.loop, value, std::strlen(value) + 1, uris.atomPath,
                                          LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    if (abstract) release(freePath, abstract);
    return status;
}

// A path that no longer loads leaves silence but stays the loop's path, so that a later save keeps
// it and the session can be mended by putting the file back.
LV2_State_Status Lv2Instrument::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                                        const LV2_Feature* const* features) {
    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    const auto* stored = static_cast<const char*>(retrieve(handle, uris.loop, &size, &type, &flags));
    if (!stored) return LV2_STATE_SUCCESS;
    if (type != uris.atomPath || size == 0 || std::memchr(stored, '\0', size) != stored + size - 1) {
        return LV2_STATE_ERR_BAD_TYPE;
    }
    const auto* mapPath = static_cast<const LV2_State_Map_Path*>(lv2Feature(features, LV2_STATE__mapPath));
    const auto* freePath = static_cast<const LV2_State_Free_Path*>(lv2Feature(features, LV2_STATE__freePath));
    char* absolute = mapPath ? mapPath->absolute_path(mapPath->handle, stored) : nullptr;
    const std::string path = absolute ? absolute : stored;
    if (absolute) release(freePath, absolute);
    {
        std::lock_guard<std::mutex> guard(pathLock);
        savedPath = path;
    }
    announce(path.c_str());
    const auto* restoreWorker = static_cast<const LV2_Worker_Schedule*>(lv2Feature(features, LV2_WORKER__schedule));
    if (restoreWorker && path.size() < ProgramRecord::pathSize) {
        requestLoad(path.c_str(), LoadKind::restored, *restoreWorker);
    } else {
        loadNow(path.c_str(), LoadKind::restored);
    }
    return LV2_STATE_SUCCESS;
}
