// Manual poisoning for AddressSanitizer builds: the allocator and the
// memory-block layer mark bytes that are no block's usable bytes (headers,
// free space, slack) so that an overflow of a pool block is reported.
// Functions marked PLV_NO_ASAN read that bookkeeping and are built without
// address instrumentation.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define PLV_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define PLV_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define PLV_POISON(p, n) ((void)(p), (void)(n))
#define PLV_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

#define PLV_NO_ASAN __attribute__((no_sanitize("address")))
