#include "window/qt/heap.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace heap {

void reuseLargeBlocks() {
#if defined(__GLIBC__)
  constexpr int kLargestHeapBlock = 32 << 20;
  mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
  mallopt(M_TRIM_THRESHOLD, kLargestHeapBlock);
#endif
}

void giveBackFreed() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace heap
