#include "lv2/Lv2Instrument.h"

#include "engine/EngineConstants.h"
#include "instrument/BoundedText.h"
#include "instrument/InstrumentCore.h"
#include "instrument/ParameterTable.h"
#include "loopfile/InputFile.h"
#include "lv2/BoundedAtoms.h"
#include "lv2/HostFeatures.h"
#include "lv2/Lv2Identity.h"
#include "lv2/PortScales.h"
#include "resample/RateConversion.h"

#include <lv2/buf-size/buf-size.h>
#include <lv2/log/log.h>
#include <lv2/options/options.h>
#include <lv2/patch/patch.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cstring>

namespace {

// A worker whose schedule function is missing is no worker.
const LV2_Worker_Schedule* usableWorker(const LV2_Feature* const* features) {
    const auto* worker = static_cast<const LV2_Worker_Schedule*>(HostFeatures::find(features, LV2_WORKER__schedule));
    return worker && worker->schedule_work ? worker : nullptr;
}

// The host's bufsz:sequenceSize among its options, or 0.
std::uint32_t hostSequenceSize(const LV2_Feature* const* features, const Lv2Uris& uris) {
    const auto* option = static_cast<const LV2_Options_Option*>(HostFeatures::find(features, LV2_OPTIONS__options));
    for (; option && option->key; ++option) {
        if (option->key == uris.bufSequenceSize && option->type == uris.atomInt &&
            option->size == sizeof(std::int32_t) && option->value) {
            std::int32_t size = 0;
            std::memcpy(&size, option->value, sizeof size);
            return size > 0 ? static_cast<std::uint32_t>(size) : 0;
        }
    }
    return 0;
}

}  // namespace

std::unique_ptr<Lv2Instrument> Lv2Instrument::create(double sampleRate, const LV2_Feature* const* features) {
    const auto* map = static_cast<const LV2_URID_Map*>(HostFeatures::find(features, LV2_URID__map));
    const Lv2Log hostLog(static_cast<const LV2_Log_Log*>(HostFeatures::find(features, LV2_LOG__log)), map);
    if (!map || !map->map) {
        hostLog.line("the host offers no urid:map, which the plug-in needs; it does not start.");
        return nullptr;
    }
    const LV2_Worker_Schedule* scheduler = usableWorker(features);
    if (!scheduler) {
        hostLog.line(
            "the host offers no worker (work:schedule): a loop chosen while it runs cannot load; a saved "
            "state still loads its loop.");
    }
    std::unique_ptr<Lv2Instrument> made(new Lv2Instrument(sampleRate, *map, hostLog, scheduler, features));
    // A rate the instrument refuses leaves it at engineSampleRate, with a line in the log.
    made->instrument->setSampleRate(static_cast<float>(sampleRate));
    return made;
}

Lv2Instrument::Lv2Instrument(double sampleRate, const LV2_URID_Map& map, const Lv2Log& hostLog,
                             const LV2_Worker_Schedule* scheduler, const LV2_Feature* const* features)
    : log(hostLog),
      services(log),
      uris(map),
      forge(),
      worker(scheduler),
      sequenceSize(hostSequenceSize(features, uris)),
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
void Lv2Instrument::activate() noexcept {
    replyPending = true;
    active.store(true);
}

// A transport that stopped reporting while the plug-in was off must not steer the LFO afterwards.
void Lv2Instrument::deactivate() noexcept {
    active.store(false);
    transport.forget();
    try {
        logNotices();
    } catch (...) {}
}

void Lv2Instrument::run(std::uint32_t frames) noexcept {
    applyControls();
    readInput(frames);
    scheduleLoad();
    const auto blockFrames = static_cast<std::int32_t>(std::min<std::uint32_t>(frames, INT32_MAX));
    float* outputs[2] = {leftOut, rightOut};
    instrument->render(outputs, blockFrames, midi.events(), midi.size(), transport.time());
    transport.advance(frames);
    writeReplies();
}

// Ports show the engine's units; the instrument stores normalised values.
void Lv2Instrument::applyControls() noexcept {
    for (std::uint32_t slot = 0; slot < parameterPorts; ++slot) {
        const float* port = parameterInputs[slot];
        if (!port) continue;
        const float value = *port;
        if (controlApplied[slot] && std::memcmp(&value, &appliedControls[slot], sizeof value) == 0) continue;
        instrument->setParameter(ParameterTable::appliedOrder[slot], PortScales::stored(slot, value));
        appliedControls[slot] = value;
        controlApplied[slot] = true;
    }
}

// Hosts leave a sequence's unit unset (any number at all), and every such sequence is timed in
// frames; only one that says beats is not, and its events are left out.
void Lv2Instrument::readInput(std::uint32_t frames) noexcept {
    midi.clear();
    if (control && control->atom.size >= sizeof(LV2_Atom_Sequence_Body) && control->body.unit == uris.atomBeatTime) {
        if (!beatsNoticed) raise(eventsInBeats);
        beatsNoticed = true;
        return;
    }
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
    } else if (object.body.otype == uris.patchSet && aboutLoop) {
        const char* path = BoundedAtoms::path(BoundedAtoms::property(object, uris.patchValue), uris);
        if (path) requestLoad(path);
    }
}

// The message is the kind followed by the path and its terminator; a program record holds no
// longer path. A later request in the same block replaces the one not yet scheduled.
void Lv2Instrument::requestLoad(const char* path) noexcept {
    if (!worker) {
        raise(noWorkerForLoop);
        return;
    }
    const std::size_t length = boundedLength(path, ProgramRecord::pathSize);
    if (length >= ProgramRecord::pathSize) {
        raise(pathTooLong);
        return;
    }
    loadRequest[0] = static_cast<char>(WorkKind::setByHost);
    std::memcpy(loadRequest.data() + 1, path, length + 1);
    loadRequestSize = static_cast<std::uint32_t>(length + 2);
    loadWaiting = true;
}

void Lv2Instrument::scheduleLoad() noexcept {
    if (!loadWaiting) return;
    loadWaiting = worker->schedule_work(worker->handle, loadRequestSize, loadRequest.data()) != LV2_WORKER_SUCCESS;
}

void Lv2Instrument::raise(Notice notice) noexcept {
    const unsigned before = noticesRaised.fetch_or(notice, std::memory_order_release);
    if ((before & notice) || !worker) return;
    const char job = static_cast<char>(WorkKind::notices);
    worker->schedule_work(worker->handle, 1, &job);
}

void Lv2Instrument::logNotices() {
    const unsigned due = noticesRaised.exchange(0, std::memory_order_acquire);
    if (due & eventsInBeats) {
        log.line("the host sends events timed in beats, which the plug-in does not read; they are left out.");
    }
    if (due & pathTooLong) log.line("a loop path of 1024 bytes or more was refused; the earlier loop plays on.");
    if (due & noWorkerForLoop) {
        log.line("a loop was chosen, but the host offers no worker to load it in; the earlier loop plays on.");
    }
}

LV2_Worker_Status Lv2Instrument::work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle,
                                      std::uint32_t size, const void* data) {
    logNotices();
    const auto* message = static_cast<const char*>(data);
    if (!message || size == 0) return LV2_WORKER_ERR_UNKNOWN;
    const auto kind = static_cast<WorkKind>(message[0]);
    if (kind == WorkKind::notices) return LV2_WORKER_SUCCESS;
    if (!respond || size < 2 || message[size - 1] != '\0') return LV2_WORKER_ERR_UNKNOWN;
    if (kind != WorkKind::setByHost && kind != WorkKind::restored) return LV2_WORKER_ERR_UNKNOWN;
    const char* path = message + 1;
    // A restored path is announced even when it does not load: it stays the loop's path.
    if (!loadNow(path, kind) && kind == WorkKind::setByHost) return LV2_WORKER_SUCCESS;
    return respond(handle, size - 1, path);
}

bool Lv2Instrument::loadNow(const char* path, WorkKind kind) {
    InputFile file(path);
    const InstrumentCore::RefusedLoad refused =
        kind == WorkKind::setByHost ? InstrumentCore::RefusedLoad::keepsLoop : InstrumentCore::RefusedLoad::emptiesBank;
    std::string said;
    if (instrument->loadLoop(file, refused, &said)) {
        // What a user should know of a loop that loaded: hits past the last note left out.
        if (!said.empty()) log.line((std::string("the loop \"") + path + "\" was loaded, but " + said + ".").c_str());
        // A restored loop is the one the session saved (hosts hand it over as an absolute path):
        // a later save links it into its new place rather than copying it again.
        if (kind == WorkKind::restored) sessionCopy.adopt(path);
        std::lock_guard<std::mutex> guard(pathLock);
        savedPath = path;
        return true;
    }
    const std::string line = std::string("the loop \"") + path + "\" was not loaded: " + said +
                             (kind == WorkKind::setByHost ? "; the earlier loop plays on." : "; the track is silent.");
    log.line(line.c_str());
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

// A reply goes out whole or waits for a block with room: a sequence cut off inside an object is
// no message, and the forge's frames must be closed in the order they were opened.
void Lv2Instrument::writeReplies() noexcept {
    if (!notify) return;
    std::uint32_t capacity = notify->atom.size;
    if (sequenceSize > 0) capacity = std::min(capacity, sequenceSize);
    if (capacity < sizeof(LV2_Atom_Sequence)) return;
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(notify), capacity);
    LV2_Atom_Forge_Frame sequenceFrame;
    lv2_atom_forge_sequence_head(&forge, &sequenceFrame, 0);
    if (replyPending && announcedPath[0] != '\0') {
        const auto length = static_cast<std::uint32_t>(boundedLength(announcedPath.data(), announcedPath.size()));
        const std::uint32_t objectBody = sizeof(LV2_Atom_Object_Body) + 2 * sizeof(LV2_Atom_Property_Body) +
                                         lv2_atom_pad_size(sizeof(LV2_URID)) + lv2_atom_pad_size(length + 1);
        const std::uint32_t needed = sizeof(LV2_Atom_Sequence) + sizeof(LV2_Atom_Event) + objectBody;
        if (needed <= capacity) {
            LV2_Atom_Forge_Frame objectFrame;
            lv2_atom_forge_frame_time(&forge, 0);
            lv2_atom_forge_object(&forge, &objectFrame, 0, uris.patchSet);
            lv2_atom_forge_key(&forge, uris.patchProperty);
            lv2_atom_forge_urid(&forge, uris.loop);
            lv2_atom_forge_key(&forge, uris.patchValue);
            lv2_atom_forge_path(&forge, announcedPath.data(), length);
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

LV2_State_Status Lv2Instrument::save(LV2_State_Store_Function store, LV2_State_Handle handle,
                                     const LV2_Feature* const* features) {
    logNotices();
    const std::string path = currentPath();
    if (path.empty()) return LV2_STATE_SUCCESS;
    const auto* mapPath = static_cast<const LV2_State_Map_Path*>(HostFeatures::find(features, LV2_STATE__mapPath));
    const auto* makePath = static_cast<const LV2_State_Make_Path*>(HostFeatures::find(features, LV2_STATE__makePath));
    const auto* freePath = static_cast<const LV2_State_Free_Path*>(HostFeatures::find(features, LV2_STATE__freePath));
    const std::string saved = sessionCopy.place(path, makePath, freePath, log);
    char* abstract =
        mapPath && mapPath->abstract_path ? mapPath->abstract_path(mapPath->handle, saved.c_str()) : nullptr;
    const char* value = abstract ? abstract : saved.c_str();
    const LV2_State_Status status = store(handle, uris.loop, value, std::strlen(value) + 1, uris.atomPath,
                                          LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    if (abstract) HostFeatures::releasePath(freePath, abstract);
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
    const auto* mapPath = static_cast<const LV2_State_Map_Path*>(HostFeatures::find(features, LV2_STATE__mapPath));
    const auto* freePath = static_cast<const LV2_State_Free_Path*>(HostFeatures::find(features, LV2_STATE__freePath));
    char* absolute = mapPath && mapPath->absolute_path ? mapPath->absolute_path(mapPath->handle, stored) : nullptr;
    const std::string path = absolute ? absolute : stored;
    if (absolute) HostFeatures::releasePath(freePath, absolute);
    {
        std::lock_guard<std::mutex> guard(pathLock);
        savedPath = path;
    }
    if (path.size() >= ProgramRecord::pathSize) {
        log.line("the saved loop path is 1024 bytes or longer and was not loaded.");
        return LV2_STATE_SUCCESS;
    }
    // The worker passed to restore is promised only to a plug-in restoring beside the audio thread;
    // an inactive one loads here and now.
    const LV2_Worker_Schedule* restoreWorker = usableWorker(features);
    if (active.load() && restoreWorker) {
        const std::string message = static_cast<char>(WorkKind::restored) + path;
        if (restoreWorker->schedule_work(restoreWorker->handle, static_cast<std::uint32_t>(message.size() + 1),
                                         message.c_str()) == LV2_WORKER_SUCCESS) {
            return LV2_STATE_SUCCESS;
        }
        // The host's queue is full: the loop loads here, and the host learns it at its next patch:Get.
        loadNow(path.c_str(), WorkKind::restored);
        return LV2_STATE_SUCCESS;
    }
    // Without a worker the host does not restore beside the audio thread.
    loadNow(path.c_str(), WorkKind::restored);
    announce(path.c_str());
    return LV2_STATE_SUCCESS;
}
