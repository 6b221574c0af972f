// The test executables' own packed resources (tests/toolbox/core/menus),
// as the packer's byte tables.
#pragma once
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

void RegisterTestResourceTables(void (*put)(uint32_t type, int32_t number, const void* bytes,
                                            int32_t size));

using TestResourceMap = std::map<std::pair<uint32_t, int32_t>, std::vector<uint8_t>>;

// (type, number) -> bytes of every packed test resource.
inline const TestResourceMap& TestResourceTables() {
    static TestResourceMap tables;
    static bool filled = false;
    if (!filled) {
        filled = true;
        RegisterTestResourceTables(
            [](uint32_t type, int32_t number, const void* bytes, int32_t size) {
                const uint8_t* p = static_cast<const uint8_t*>(bytes);
                tables[{type, number}] = std::vector<uint8_t>(p, p + size);
            });
    }
    return tables;
}

#ifdef PLV_POSIX
#include "headless/headless.h"
#endif

// Makes the packed test resources loadable: natively through the
// stand-ins' registry; the Win32 executable holds them already.
inline void InstallTestResources() {
#ifdef PLV_POSIX
    for (const auto& [key, bytes] : TestResourceTables())
        HeadlessRegisterResource(key.first, key.second, bytes.data(), int32_t(bytes.size()));
#endif
}
