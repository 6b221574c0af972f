// What both fuzz entries share: internal errors (and, with the strict flag
// set, failed soft checks) take the fatal road, which aborts here, so any of
// them is a crash; the activity log is discarded and no alert is shown.
// After a successful load the design is saved in both formats and each file
// is loaded again: a design the binary save refuses, or a written file that
// does not load, is a finding too.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "db/db.h"
#include "db/dbextent.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/lang.h"
#include "db/runopt.h"
#include "files/asc.h"
#include "files/binload.h"
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
        // The catalogue: the writers take their texts from it.
        LangInit();
        RunOptionsAlloc();
        g_runOptions[kRunOptQuiet] = 1;
        // The strict flag: a soft check that an input reaches ends in the
        // fatal display as well, so it is a finding too.
        DebugSetFlags(0, 1);
        return true;
    }();
    (void)ready;
}

[[noreturn]] inline void FuzzFinding(const char* what) {
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

// The loaded design (valid) as the driver goes on with it: extent and
// validation, then saved whole as binary and as ASCII into a folder of this
// process; each written file must load again. The database is empty after.
inline void FuzzCheckReload() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path p = std::filesystem::temp_directory_path() /
                                  ("plv_fuzz_" + std::to_string(reinterpret_cast<uintptr_t>(&p)));
        std::filesystem::create_directories(p);
        return p;
    }();
    auto spec = [](const char* name) {
        FileSpec s;
        std::memset(&s, 0, sizeof s);
        std::snprintf(s.folder, sizeof s.folder, "%s", folder.string().c_str());
        std::snprintf(s.name, sizeof s.name, "%s", name);
        return s;
    };
    FileSpec zid = spec("reload.zid"), asc = spec("reload.asc");
    std::filesystem::remove(folder / "reload.zid");
    std::filesystem::remove(folder / "reload.asc");
    DbExtent();
    DbValidate();
    // The binary save refuses a design its loader would refuse; what was
    // loaded must never be such a design.
    const bool binary = BinSave(&zid, true);
    if (!binary) FuzzFinding("the binary save refuses the loaded design");
    const bool ascii = AscWriteDatabase(&asc) != 0;
    if (binary) {
        DbFree();
        DbHeaderReset();
        if (!BinLoadFile(&zid, true)) FuzzFinding("the written binary file does not load");
    }
    if (ascii) {
        DbFree();
        DbHeaderReset();
        int32_t errors = 0;
        if (!AscReadDatabase(&asc, &errors)) FuzzFinding("the written ASCII file does not load");
    }
    DbFree();
    DbHeaderReset();
}
