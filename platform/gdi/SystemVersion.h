#pragma once

// The version of the system the program runs on, as the version record reports it.

#include <cstdint>
#include <string>

namespace sorrel::gdi {

struct SystemVersion {
    std::uint32_t major {0};
    std::uint32_t minor {0};
    std::uint32_t build {0};
    std::uint32_t platform {0}; // 1 Windows 95, 98 and Me; 2 Windows NT
    std::string service_pack;
};

// Windows answers for itself; elsewhere the answer is a current Windows whose key is deliberately
// not one of the older releases that version-dependent code distinguishes.
SystemVersion system_version();

} // namespace sorrel::gdi
