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

#include "fuzz_setup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSetup();
    DbFree();
    DbHeaderReset();
    FileSpec spec;
    HeadlessMemoryFileSpec(data, size, "fuzz.zid", &spec);
    if (BinLoadFile(&spec, true)) FuzzCheckReload();
    DbFree();
    DbHeaderReset();
    return 0;
}
