#include "plugin/ValueText.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr int fieldWidth = 8;
constexpr char hugeText[] = " Huge!  ";
}  // namespace

void writeFixedPoint(double value, char* text) {
    const bool negative = value < 0.0;
    const double magnitude = std::fabs(value);
    if ((negative && magnitude > 9999999.0) || (!negative && magnitude > 99999999.0) || std::isnan(value)) {
        std::memcpy(text, hugeText, sizeof hugeText);
        return;
    }

    // Integer digits are built from the right, so the buffer is filled backwards from the point.
    char integerPart[fieldWidth + 2];
    int pos = fieldWidth + 1;
    integerPart[pos] = '\0';
    integerPart[--pos] = '.';
    int used = negative ? 1 : 0;
    double whole = std::floor(magnitude);
    integerPart[--pos] = static_cast<char>('0' + static_cast<int>(std::fmod(whole, 10.0)));
    used += 2;
    for (;;) {
        whole *= 0.1;
        if (whole < 1.0 || used >= fieldWidth) break;
        integerPart[--pos] = static_cast<char>('0' + static_cast<int>(std::fmod(whole, 10.0)));
        ++used;
    }
    if (negative) integerPart[--pos] = '-';
    std::strcpy(text, integerPart + pos);

    if (used >= fieldWidth) return;
    const int fractionDigits = fieldWidth - used;
    double fraction = std::fmod(magnitude, 1.0) * std::pow(10.0, fractionDigits);
    char* digits = text + std::strlen(text);
    for (int i = fractionDigits - 1; i >= 0; --i) {
        if (fraction > 0.0) {
            digits[i] = static_cast<char>('0' + static_cast<int>(std::fmod(fraction, 10.0)));
            fraction *= 0.1;
        } else {
            digits[i] = '0';
        }
    }
    digits[fractionDigits] = '\0';
}

void writeInteger(std::int32_t value, char* text) {
    if (value >= 100000000) {
        std::memcpy(text, hugeText, sizeof hugeText);
        return;
    }
    char wide[16];
    std::snprintf(wide, sizeof wide, "%7d", static_cast<int>(value));
    std::memcpy(text, wide, fieldWidth);
    text[fieldWidth] = '\0';
}

void writeMinusInfinity(char* text) { std::memcpy(text, "  -oo   ", 9); }
