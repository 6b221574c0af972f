// Fuzz entry of the binary design load: arbitrary bytes loaded as a whole
// design file into an emptied database. Internal errors take the fatal
// road, which aborts here, so any of them is a crash; the activity log is
// discarded.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "db/db.h"
#include "db/dbheader.h"
#include "db/runopt.h"
#include "files/binload.h"
#include "headless/ascio.h"
#include "headless/headless.h"

namespace {

[[noreturn]] void AbortOnFatal(int32_t code, const char* detail) {
    std::fprintf(stderr, "fatal error %d (%s)\n", int(code), detail ? detail : "");
    std::abort();
}

bool Setup() {
    HeadlessSetFatalHook(&AbortOnFatal);
    // A folder that does not exist: the activity log cannot be opened and
    // its lines are dropped.
    HeadlessSetApplicationFolder("/nonexistent-plv-fuzz-folder/none");
    RunOptionsAlloc();
    g_runOptions[kRunOptQuiet] = 1; // no alerts
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = Setup();
    (void)ready;
    DbFree();
    DbHeaderReset();
    FileSpec spec;
    HeadlessMemoryFileSpec(data, size, "fuzz.zid", &spec);
    BinLoadFile(&spec, true);
    DbFree();
    DbHeaderReset();
    return 0;
}
