#pragma once
// Asking for memory ahead of its use, where a sweep jumps a whole row of a
// large buffer at each step: the hardware prefetchers follow runs within a
// page, not one run per row, so without a hint every row of a column block
// waits on memory. Only a hint: it changes no value, and compilers without
// one lose only the time.

namespace Nerevo {

inline void prefetchForReading(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address, 0);
#else
    (void)address;
#endif
}

inline void prefetchForWriting(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address, 1);
#else
    (void)address;
#endif
}

}  // namespace Nerevo
