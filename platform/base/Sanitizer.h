#pragma once

// Whether this build runs under AddressSanitizer: GCC marks such a build with
// __SANITIZE_ADDRESS__, clang only through its feature test.
#if defined(__SANITIZE_ADDRESS__)
#define SORREL_ADDRESS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SORREL_ADDRESS_SANITIZED 1
#endif
#endif
