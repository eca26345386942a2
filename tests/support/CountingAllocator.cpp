#include "CountingAllocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

// The replaced operator delete frees what the replaced operator new took from malloc; once inlined,
// GCC sees free() meet a pointer from operator new and cannot tell that the two belong together.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
std::atomic<long> allocations{0};

void* countedAllocation(std::size_t size) {
    ++allocations;
    return std::malloc(size == 0 ? 1 : size);
}
}  // namespace

long globalAllocationCount() { return allocations.load(); }

void* operator new(std::size_t size) {
    if (void* memory = countedAllocation(size)) return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return countedAllocation(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return countedAllocation(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
