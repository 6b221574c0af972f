// The oldest systems the program runs on: Windows 98 (4.10) on the 9x
// platform and Windows NT 4.0.
#pragma once
#include <cstdint>

constexpr uint32_t kOldestMajorVersion = 4;
constexpr uint32_t kOldest9xMinorVersion = 10;
constexpr char kOldSystemMessage[] =
    "This application will not run on operating systems prior to Windows 98 or Windows NT 4.0";

bool SystemVersionAccepted(uint32_t major, uint32_t minor, bool platform9x);
