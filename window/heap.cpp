#include "window/heap.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace heap {

void returnFreedMemory() {
#if defined(__GLIBC__)
  constexpr int kMappedBlockSize = 1 << 20;
  mallopt(M_MMAP_THRESHOLD, kMappedBlockSize);
  mallopt(M_TRIM_THRESHOLD, kMappedBlockSize);
#endif
}

void giveBackFreed() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace heap
