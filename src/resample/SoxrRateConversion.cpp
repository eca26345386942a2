#include "resample/RateConversion.h"

#include <dlfcn.h>
#include <soxr.h>

#include <algorithm>

namespace {

// libsoxr at its high-quality recipe (20-bit precision, about 120 dB of stopband, so aliases stay
// far below the 90 dB asked of it), single-threaded: loops are converted beside the host's own work.
class SoxrRateConversion final : public RateConversion {
public:
    static std::unique_ptr<RateConversion> make(double fromRate, double toRate) {
        const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        // Flat to 91.3% of the lower rate's Nyquist frequency: 20.1 kHz from 44.1 kHz.
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
        const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
        soxr_error_t error = nullptr;
        soxr_t resampler = soxr_create(fromRate, toRate, 1, &error, &io, &quality, &runtime);
        if (error || !resampler) {
            soxr_delete(resampler);
            return nullptr;
        }
        return std::unique_ptr<RateConversion>(new SoxrRateConversion(fromRate, toRate, resampler));
    }

    ~SoxrRateConversion() override { soxr_delete(resampler); }
    SoxrRateConversion(const SoxrRateConversion&) = delete;
    SoxrRateConversion& operator=(const SoxrRateConversion&) = delete;

    // The library keeps its filter's delay to itself, so the output starts with the input's first
    // value; flushing yields the tail. Its rounding of the total may leave the last value short,
    // which is then silence.
    bool convert(const float* in, std::size_t count, float* out) noexcept override {
        const auto wanted = static_cast<std::size_t>(convertedLength(count));
        if (soxr_clear(resampler)) return false;
        std::size_t done = 0;
        std::size_t written = 0;
        if (soxr_process(resampler, in, count, &done, out, wanted, &written)) return false;
        while (written < wanted) {
            std::size_t flushed = 0;
            if (soxr_process(resampler, nullptr, 0, nullptr, out + written, wanted - written, &flushed)) return false;
            if (flushed == 0) break;
            written += flushed;
        }
        std::fill(out + written, out + wanted, 0.0f);
        return true;
    }

private:
    SoxrRateConversion(double fromRate, double toRate, soxr_t made) noexcept
        : RateConversion(fromRate, toRate), resampler(made) {}

    soxr_t resampler;
};

// Debian's libsoxr brings in GCC's OpenMP runtime, which allocates as it loads and cannot be unloaded
// cleanly: a host that unloads the plug-in would unload it too and lose that memory each time. So
// from the moment the plug-in loads, the converter and its runtime stay for the life of the process.
const bool converterPinned = [] {
    Dl_info library{};
    return dladdr(reinterpret_cast<void*>(&soxr_create), &library) && library.dli_fname &&
           dlopen(library.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}();

}  // namespace

RateConversionMaker systemRateConversion() noexcept { return &SoxrRateConversion::make; }
