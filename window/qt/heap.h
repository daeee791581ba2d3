// How the program's heap serves and gives back the large blocks of long texts.

#ifndef TOVREL_WINDOW_QT_HEAP_H_
#define TOVREL_WINDOW_QT_HEAP_H_

namespace heap {

// reuseLargeBlocks()
//
// Serves blocks of up to 32 MiB (the most glibc allows) from the heap, where a freed block is
// reused, rather than from a fresh mapping of the system's. A text field lays its whole text out
// again on every edit and every cursor move, about 35 bytes per character in new blocks, and
// the page faults of fresh mappings cost more than the layout itself (Backspace at 100 k
// characters: 40 ms with fresh mappings, 9 to 17 ms with reused blocks). glibc raises its
// threshold to this only after the first large blocks have been freed. The freed memory stays
// with the process until giveBackFreed(). Call once, first thing in main(). No-op where the C
// library is not glibc.
void reuseLargeBlocks();

// giveBackFreed()
//
// Returns the free pages of the heap to the system: after a long text has been replaced by a
// short one, resident memory falls back to where it was before the long text came. Takes a few
// milliseconds; no-op where the C library is not glibc.
void giveBackFreed();

}  // namespace heap

#endif  // TOVREL_WINDOW_QT_HEAP_H_
