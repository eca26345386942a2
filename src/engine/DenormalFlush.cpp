#include "engine/DenormalFlush.h"

#if defined(__SSE__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 1)
#define BREVATONE_HAS_SSE 1
#include <xmmintrin.h>
#endif

namespace {
#ifdef BREVATONE_HAS_SSE
constexpr uint32_t flushToZero = 0x8000;
constexpr uint32_t denormalsAreZero = 0x0040;
#endif
}  // namespace

ScopedDenormalFlush::ScopedDenormalFlush() noexcept {
#ifdef BREVATONE_HAS_SSE
    savedMode_ = _mm_getcsr();
    _mm_setcsr(savedMode_ | flushToZero | denormalsAreZero);
#endif
}

ScopedDenormalFlush::~ScopedDenormalFlush() {
#ifdef BREVATONE_HAS_SSE
    _mm_setcsr(savedMode_);
#endif
}

bool ScopedDenormalFlush::isSupported() noexcept {
#ifdef BREVATONE_HAS_SSE
    return true;
#else
    return false;
#endif
}
