#pragma once

// Large pictures are decoded one after another into buffers of about the same size. Memory the
// operating system hands out afresh costs a page fault per page, often more than the decode
// itself, so the program keeps freed memory for its next pictures and gives it back only once
// work has paused. Both do nothing where the C library offers no way.

// Freed memory, large blocks included, stays with the process until ReturnFreedMemory. Called
// once at start, before any thread is started.
void KeepFreedMemoryForReuse();

// Hands the freed memory back to the operating system.
void ReturnFreedMemory();
