#include "plugin/RoutingFunctions.h"

#include "gui/GestureScope.h"
#include "platform/ModuleLifetime.h"
#include "plugin/EffectBase.h"

namespace {

EffectBase* objectOf(AEffect* effect) { return effect ? static_cast<EffectBase*>(effect->object) : nullptr; }

// The opcodes that read the pointer-sized `value` as a 32-bit number: a size, a count, a
// coordinate or a mode.
bool readsValueAsNumber(std::int32_t opcode) {
    switch (opcode) {
        case effSetBlockSize:
        case effSetChunk:
        case effGetProgramNameIndexed:
        case effOfflineNotify:
        case effOfflinePrepare:
        case effOfflineRun:
        case effSetBlockSizeAndSampleRate:
        case effSetViewPosition:
        case effSetEditKnobMode: return true;
        default: return false;
    }
}

bool fitsInt32(VstIntPtr value) { return static_cast<VstIntPtr>(static_cast<std::int32_t>(value)) == value; }

void closeAndDestroy(EffectBase* object) noexcept {
    try {
        object->dispatcher(effClose, 0, 0, nullptr, 0.0f);
    } catch (...) {}
    delete object;
}

}  // namespace

VstIntPtr VSTCALL routeDispatcher(AEffect* effect, std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr,
                                  float opt) {
    EffectBase* object = objectOf(effect);
    if (!object) return 0;
    // From a 64-bit host such a number may not fit; its low half is some other number, so the
    // call is refused rather than answered for a value the host never sent.
    if (readsValueAsNumber(opcode) && !fitsInt32(value)) return 0;
    try {
        if (opcode == effClose) {
            // From inside one of the editor's gestures the instance goes when the gesture has
            // unwound, and the library stays mapped for the handler that still has to return.
            const bool deferred = GestureScope::deferWhileActive(object, [object] {
                keepModuleLoaded();
                closeAndDestroy(object);
            });
            if (!deferred) closeAndDestroy(object);
            return 1;
        }
        return object->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void VSTCALL routeProcess(AEffect* effect, float** inputs, float** outputs, std::int32_t frames) {
    if (EffectBase* object = objectOf(effect)) object->process(inputs, outputs, frames);
}

void VSTCALL routeProcessReplacing(AEffect* effect, float** inputs, float** outputs, std::int32_t frames) {
    if (EffectBase* object = objectOf(effect)) object->processReplacing(inputs, outputs, frames);
}

void VSTCALL routeSetParameter(AEffect* effect, std::int32_t index, float value) {
    EffectBase* object = objectOf(effect);
    if (!object) return;
    try {
        object->setParameter(index, value);
    } catch (...) {}
}

float VSTCALL routeGetParameter(AEffect* effect, std::int32_t index) {
    EffectBase* object = objectOf(effect);
    if (!object) return 0.0f;
    try {
        return object->getParameter(index);
    } catch (...) {
        return 0.0f;
    }
}
