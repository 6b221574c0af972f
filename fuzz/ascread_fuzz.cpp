// Fuzz entry of the ASCII board database reader: arbitrary bytes read as a
// file into an emptied database. Internal errors take the fatal road, which
// aborts here, so any of them is a crash; the activity log is discarded.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "db/db.h"
#include "db/dbheader.h"
#include "db/runopt.h"
#include "files/asc.h"
#include "headless/ascio.h"
#include "headless/headless.h"

#include "fuzz_setup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSetup();
    DbFree();
    DbHeaderReset();
    FileSpec spec;
    HeadlessMemoryFileSpec(data, size, "fuzz.asc", &spec);
    int32_t errors = 0;
    if (AscReadDatabase(&spec, &errors)) FuzzCheckReload();
    DbFree();
    DbHeaderReset();
    return 0;
}
