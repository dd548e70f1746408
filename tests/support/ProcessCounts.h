// What a process holds, counted to prove that long use gives everything
// back: heap bytes, GDI objects, windows, threads.
#pragma once
#include <cstddef>

// The bytes allocated in all of the process's heaps (the busy blocks that
// HeapWalk reports, large ones included): exact to the byte, for bounds
// smaller than a page.
size_t HeapBytesInUse();

// The windows of this thread, top-level and child, counted.
int ThreadWindowCount();

// The threads of this process.
int ProcessThreadCount();

// How many more GDI objects the process can hold at once, counted up to
// limit by making them until the system refuses; all are given back. (Wine's
// GetGuiResources always answers 0.)
int GdiHeadroom(int limit);
