#include "instrument/BoundedText.h"

#include <cstring>

std::size_t boundedLength(const char* text, std::size_t limit) {
    std::size_t length = 0;
    while (length < limit && text[length] != '\0') ++length;
    return length;
}

void copyIntoField(char* field, std::size_t capacity, const char* text) {
    if (capacity == 0) return;
    const std::size_t length = boundedLength(text, capacity - 1);
    std::memmove(field, text, length);
    std::memset(field + length, 0, capacity - length);
}
