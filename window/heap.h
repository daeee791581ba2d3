// How the program's heap gives memory back to the system.

#ifndef TOVREL_WINDOW_HEAP_H_
#define TOVREL_WINDOW_HEAP_H_

namespace heap {

// returnFreedMemory()
//
// Makes every block of 1 MiB or more a mapping of its own, returned to the system when it is
// freed. glibc otherwise raises that threshold to the size of the largest block freed so far, up
// to 32 MiB, after which the buffers of a pasted megabyte text come from the heap and stay
// resident once freed. Call once, first thing in main(). No-op where the C library is not glibc.
void returnFreedMemory();

// giveBackFreed()
//
// Returns the free pages inside the heap to the system. After a long text has been replaced by a
// short one, its layout's many smaller blocks leave holes that the heap's top trimming cannot
// reach. Takes a few milliseconds; no-op where the C library is not glibc.
void giveBackFreed();

}  // namespace heap

#endif  // TOVREL_WINDOW_HEAP_H_
