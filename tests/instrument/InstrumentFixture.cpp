#include "InstrumentFixture.h"

VstTimeInfo* InstrumentFixture::hostTime = nullptr;
std::vector<std::int32_t> InstrumentFixture::hostRequests;
