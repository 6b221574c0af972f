// COM started and ended for the application's thread.
#include <windows.h>
// after windows.h
#include <objbase.h>

#include "toolbox/core/comstart.h"

namespace {
bool g_started = false;
} // namespace

void StartApplicationCom() {
    if (!g_started) g_started = SUCCEEDED(CoInitialize(nullptr));
}

void StopApplicationCom() {
    if (!g_started) return;
    g_started = false;
    CoUninitialize();
}
