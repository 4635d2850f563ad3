// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

// The address sanitizer keeps its own heap; glibc's figures say nothing about it.
#if defined(__SANITIZE_ADDRESS__)
#define TESSORY_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSORY_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef TESSORY_ADDRESS_SANITIZER
#include <sanitizer/allocator_interface.h>
#include <sanitizer/lsan_interface.h>
#else
#include <malloc.h>
#endif

namespace tessory::testing {

// Bytes the program holds on the heap now.
inline std::size_t heapInUse() {
#ifdef TESSORY_ADDRESS_SANITIZER
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// Runs LeakSanitizer now, printing what it finds; true when something leaked. Without the
// sanitizer only the heap figures can tell.
inline bool leakSanitizerFindsLeaks() {
#ifdef TESSORY_ADDRESS_SANITIZER
    return __lsan_do_recoverable_leak_check() != 0;
#else
    return false;
#endif
}

}  // namespace tessory::testing
