// Stand-ins for the shell and toolbox services that the portable core calls
// (fatal display, alerts, confirmations, warnings, files, resources), for
// native programs and for tests. Never linked into pelvane.exe.
#pragma once
#include <cstdint>

// The fatal display calls this hook, when one is installed, instead of
// ending the process; a hook must not return (tests install one that
// throws). Null restores the default: print, log, emergency save, exit.
typedef void (*HeadlessFatalHook)(int32_t code, const char* detail);
void HeadlessSetFatalHook(HeadlessFatalHook hook);

// Test-only: returns pools, scratch stack, catalogue cache, flags and the
// recorded alerts to their start state.
void HeadlessReset();
