#include "platform/freedmemory.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void KeepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    // Blocks below the mapping threshold come from the heap and go back to it when freed; a full
    // 48-megapixel picture (about 190 MB) stays below it.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
    // The heap is only trimmed when asked.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    // One heap for every thread: the heaps of other threads grow by at most 64 MB, so a larger
    // block (the coefficients of a progressive 24-megapixel JPEG) would be mapped afresh, and
    // its pages faulted in again, for every picture the decoding threads read.
    mallopt(M_ARENA_MAX, 1);
#endif
}

void ReturnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
