#pragma once

#include <cstddef>

// Text from hosts and stored records may lack a terminator; these never look past `limit`.
std::size_t boundedLength(const char* text, std::size_t limit);
// Copies at most capacity - 1 characters and always terminates; the rest of `field` is zeroed.
void copyIntoField(char* field, std::size_t capacity, const char* text);
