// The system version through GetVersionExA, whose answer does not change
// while the program runs.
#include "toolbox/core/systemversion_win32.h"

const OSVERSIONINFOA& SystemVersion() {
    static OSVERSIONINFOA version = [] {
        OSVERSIONINFOA v{};
        v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        GetVersionExA(&v);
#pragma GCC diagnostic pop
        return v;
    }();
    return version;
}

bool SystemIsNtFrom(DWORD major) {
    return SystemVersion().dwPlatformId == VER_PLATFORM_WIN32_NT &&
           SystemVersion().dwMajorVersion >= major;
}
