// Makes one memory allocation of the product's libraries fail: the host
// routes each library's imports of the heap functions (the C runtime's
// malloc and its siblings, which operator new also calls, the process
// heap, BSTRs and COM task memory) through counters, and the k-th call
// after Arm(k) returns null as the real function does when memory is
// exhausted. The libraries are not changed; every other call goes through
// to the real function.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace outlooksim {

class AllocationFaults {
  public:
    // Routes the module's heap imports through the counters; returns how
    // many imports were routed (0: the module imports none of them).
    static int Attach(HMODULE module);

    // Counts the allocations from now on and fails the k-th (0: none fails).
    static void Arm(unsigned long k) noexcept;
    // Stops counting; returns the count since Arm.
    static unsigned long Disarm() noexcept;

    // Whether the k-th allocation came, the function it called, and where
    // it was called from (innermost first).
    static bool Failed() noexcept;
    static const char* FailedFunction() noexcept;
    static std::vector<void*> FailedStack();

    // "corvane.dll+0x1a2b" for a code address, or the bare address.
    static std::wstring Where(const void* address);
};

} // namespace outlooksim
