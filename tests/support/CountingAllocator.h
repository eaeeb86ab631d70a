#pragma once
// Replaces the program's global allocator with one that counts: include in exactly one file of a
// test or benchmark program, then read allocationCount() around the code under measure.
#include <cstdlib>
#include <new>

namespace fr::test {
// Per thread, so another thread's allocations never count.
inline thread_local long gAllocationCount = 0;
inline long allocationCount() { return gAllocationCount; }
}  // namespace fr::test

// The replacements pair malloc with free; the compiler, seeing them inlined into new and delete
// expressions, would take free for the wrong release.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t n) {
    ++fr::test::gAllocationCount;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
