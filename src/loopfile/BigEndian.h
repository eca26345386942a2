#pragma once

#include <cstdint>
#include <vector>

// Numbers in AIFF files are big-endian and are assembled byte by byte, whatever the machine's order.
namespace bigendian {

inline uint32_t read32(const uint8_t* b) {
    return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | uint32_t{b[3]};
}

inline uint16_t read16(const uint8_t* b) { return static_cast<uint16_t>((b[0] << 8) | b[1]); }

// The low `bytes` bytes of `value`, most significant first.
inline void append(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

}  // namespace bigendian
