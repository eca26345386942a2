#pragma once

#include "instrument/ProgramRecord.h"
#include "plugin/EffectBaseEx.h"

#include <array>
#include <cstdint>

class PlatformServices;

// The plug-in proper: sixteen programs of thirteen parameter values and a loop path each.
class Instrument : public EffectBaseEx {
public:
    static constexpr std::int32_t programTotal = 16;
    static constexpr std::int32_t parameterTotal = 14;
    static constexpr std::int32_t uniqueId = 0x33773631;  // '3w61'

    explicit Instrument(audioMasterCallback host);
    Instrument(audioMasterCallback host, PlatformServices& services);
    ~Instrument() override;

    void setParameter(std::int32_t index, float value) override;
    float getParameter(std::int32_t index) override;
    void setProgram(std::int32_t program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParamLabel(std::int32_t index, char* label) override;
    void getParamDisplay(std::int32_t index, char* text) override;
    void getParamName(std::int32_t index, char* name) override;

    void process(float** inputs, float** outputs, std::int32_t frames) noexcept override;
    void processReplacing(float** inputs, float** outputs, std::int32_t frames) noexcept override;

    const ProgramRecord& program(std::int32_t index) const { return programs[static_cast<std::size_t>(index)]; }

private:
    ProgramRecord& current() { return programs[static_cast<std::size_t>(currentProgram)]; }

    PlatformServices& platform;
    std::array<ProgramRecord, programTotal> programs;
};
