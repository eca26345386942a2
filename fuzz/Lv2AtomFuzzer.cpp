// libFuzzer target: any bytes as the events of the LV2 plug-in's control sequence, given to an
// instance made through the plug-in's own descriptor by a host that does the worker's jobs at
// once: the plug-in plays finite samples and writes its replies within the space it was offered.
#include "FuzzFiles.h"
#include "Lv2Uris.h"
#include "lv2/Lv2Instrument.h"

#include <lv2/core/lv2.h>
#include <lv2/worker/worker.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

extern "C" const LV2_Descriptor* lv2_descriptor(std::uint32_t index);

namespace {

constexpr std::uint32_t frames = 256;
constexpr std::size_t sequenceWords = 1024;

fuzzing::Lv2UridMap uris;

struct Host {
    LV2_Handle instance = nullptr;
    const LV2_Worker_Interface* worker = nullptr;
    std::vector<std::vector<std::uint8_t>> responses;

    static LV2_Worker_Status respond(LV2_Worker_Respond_Handle handle, std::uint32_t size, const void* data) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        static_cast<Host*>(handle)->responses.emplace_back(bytes, bytes + size);
        return LV2_WORKER_SUCCESS;
    }
    static LV2_Worker_Status schedule(LV2_Worker_Schedule_Handle handle, std::uint32_t size, const void* data) {
        Host& host = *static_cast<Host*>(handle);
        return host.worker->work(host.instance, respond, &host, size, data);
    }
    void deliverResponses() {
        for (const std::vector<std::uint8_t>& response : responses) {
            worker->work_response(instance, static_cast<std::uint32_t>(response.size()), response.data());
        }
        responses.clear();
    }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::writeSharedLoop();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t bodyBytes = sizeof(LV2_Atom_Sequence_Body) + size;
    if (bodyBytes > (sequenceWords - 1) * sizeof(std::uint64_t)) return 0;
    const LV2_Descriptor* descriptor = lv2_descriptor(0);
    Host host;
    LV2_Worker_Schedule scheduler{&host, Host::schedule};
    const LV2_Feature mapFeature{LV2_URID__map, &uris.feature};
    const LV2_Feature scheduleFeature{LV2_WORKER__schedule, &scheduler};
    const LV2_Feature* features[] = {&mapFeature, &scheduleFeature, nullptr};
    host.instance = descriptor->instantiate(descriptor, 44100.0, fuzzing::folder().c_str(), features);
    fuzzing::require(host.instance != nullptr);
    host.worker = static_cast<const LV2_Worker_Interface*>(descriptor->extension_data(LV2_WORKER__interface));

    std::vector<std::uint64_t> input(sequenceWords), output(sequenceWords);
    std::array<float, Lv2Instrument::parameterPorts> controls{};
    std::vector<float> left(frames), right(frames);
    descriptor->connect_port(host.instance, Lv2Identity::controlPort, input.data());
    descriptor->connect_port(host.instance, Lv2Identity::notifyPort, output.data());
    descriptor->connect_port(host.instance, Lv2Identity::leftOutPort, left.data());
    descriptor->connect_port(host.instance, Lv2Identity::rightOutPort, right.data());
    for (std::uint32_t slot = 0; slot < controls.size(); ++slot) {
        controls[slot] = slot == 2 ? 1.0f : 0.5f;
        descriptor->connect_port(host.instance, Lv2Identity::firstParameterPort + slot, &controls[slot]);
    }
    descriptor->activate(host.instance);

    const std::uint32_t offered = static_cast<std::uint32_t>((sequenceWords - 1) * sizeof(std::uint64_t));
    for (int block = 0; block < 3; ++block) {
        auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(input.data());
        std::memset(input.data(), 0, input.size() * sizeof input[0]);
        sequence->atom.type = uris(LV2_ATOM__Sequence);
        sequence->atom.size = static_cast<std::uint32_t>(sizeof(LV2_Atom_Sequence_Body));
        if (block == 0) {
            sequence->atom.size = static_cast<std::uint32_t>(bodyBytes);
            std::memcpy(sequence + 1, data, size);
        }
        auto* replies = reinterpret_cast<LV2_Atom*>(output.data());
        replies->type = 0;
        replies->size = offered;
        descriptor->run(host.instance, frames);
        host.deliverResponses();
        fuzzing::require(replies->size <= offered);
        for (std::uint32_t i = 0; i < frames; ++i) {
            fuzzing::require(std::isfinite(left[i]) && left[i] == right[i]);
        }
    }
    descriptor->deactivate(host.instance);
    descriptor->cleanup(host.instance);
    return 0;
}
