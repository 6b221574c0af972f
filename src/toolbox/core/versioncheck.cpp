// The version refusal: below 4 on every platform, 4.x below 4.10 on 9x.
#include "toolbox/core/versioncheck.h"

bool SystemVersionAccepted(uint32_t major, uint32_t minor, bool platform9x) {
    if (major < kOldestMajorVersion) return false;
    if (major == kOldestMajorVersion && platform9x && minor < kOldest9xMinorVersion) return false;
    return true;
}
