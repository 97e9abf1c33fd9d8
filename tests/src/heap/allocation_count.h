// Counts the program's allocations: this test program replaces the global
// operator new and delete, and while a count is open every allocation made
// by the thread that opened it is counted (SDL's sound runs on another).
#pragma once

namespace AllocationCount {
void open();
// The allocations since open.
long close();
}  // namespace AllocationCount
