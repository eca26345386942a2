#pragma once

#include <cstdint>

// The 8-character texts hosts show beside parameter values. The buffer must hold 9 bytes.
void writeFixedPoint(double value, char* text);
void writeInteger(std::int32_t value, char* text);
void writeMinusInfinity(char* text);
