#pragma once

// Hands memory that the program has freed back to the operating system where the C library keeps
// it for reuse (large pictures decoded on several threads otherwise leave the process holding
// hundreds of megabytes it no longer uses). Does nothing where the library offers no way.
void ReturnFreedMemory();
