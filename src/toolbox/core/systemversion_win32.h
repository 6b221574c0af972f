// The running system's version, read once (platform, major and minor).
#pragma once
#include <windows.h>

const OSVERSIONINFOA& SystemVersion();
// NT family at the given major version or later.
bool SystemIsNtFrom(DWORD major);
