// What both fuzz entries share: internal errors take the fatal road, which
// aborts here, so any of them is a crash; the activity log is discarded and
// no alert is shown.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "db/runopt.h"
#include "headless/headless.h"

[[noreturn]] inline void FuzzAbortOnFatal(int32_t code, const char* detail) {
    std::fprintf(stderr, "fatal error %d (%s)\n", int(code), detail ? detail : "");
    std::abort();
}

// Once per process.
inline void FuzzSetup() {
    static const bool ready = [] {
        HeadlessSetFatalHook(&FuzzAbortOnFatal);
        // A folder that does not exist: the activity log cannot be opened
        // and its lines are dropped.
        HeadlessSetApplicationFolder("/nonexistent-plv-fuzz-folder/none");
        RunOptionsAlloc();
        g_runOptions[kRunOptQuiet] = 1;
        return true;
    }();
    (void)ready;
}
