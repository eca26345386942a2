#pragma once

// Linking this into a test program replaces the global allocator with one that counts, so a
// test can show that a stretch of code never reached the heap.
long globalAllocationCount();
