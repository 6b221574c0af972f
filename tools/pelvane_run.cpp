// pelvane-run [--place] [--seed N] [--place-attempts N] [--place-cooling P]
//             [--route [--resume]] [--abort-after N] INPUT OUTPUT_BASE
//
// Loads a design (a binary design file, or else an ASCII board database),
// recomputes its extent and validates it, then writes it back as
// OUTPUT_BASE.ZID (binary) and OUTPUT_BASE.ASC (ASCII). Prints the size of
// every table, the reader's warning count and the two written paths.
// With --place the placement job runs after validation and prints its
// score totals, moves and overlaps after the table lines. With --route the
// sweep router runs on the design ("Start Sweep Router", or "Resume Sweep
// Router" with --resume); the design's file is OUTPUT_BASE.ZID, so the
// sweep backups land beside it. After the table lines come the lines the
// run wrote to the activity log (the statistics of every sweep), one line
// per sweep and the figures "route connections", "route routed", "route
// completion %", "route vias", "route length" (database units), "route
// length mm", "route time s", "route peak memory KB", "route wavefront
// steps" and "route attempts".
// Exit codes: 0 done, 1 the input could not be loaded, 2 bad arguments,
// 3 an output could not be written, 4 a run was aborted (placement writes
// the design as loaded, routing as far as it got), 5 a DFM or check run
// could not start (its alert text on stderr; the outputs are written). The
// activity log (Pelvane.Log) goes to the output folder.
// With --dfm the DFM clean-up sweeps the board after routing, with --check
// the full-board rule check runs last; after every other line come
// "dfm windows W skipped S", and "check windows W skipped S", "check
// markers N" and one "check type T C "TEXT"" per marker type present (W
// windows checked, S passed over, N markers in the table when the check
// ends, C of them of type T, TEXT the type's name).
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "db/attrs.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/dblog.h"
#include "db/db.h"
#include "db/dbextent.h"
#include "db/dbheader.h"
#include "db/font.h"
#include "db/lang.h"
#include "db/markers.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/packages.h"
#include "db/plotrep.h"
#include "db/runopt.h"
#include "db/symbols.h"
#include "db/texts.h"
#include "db/thru.h"
#include "files/asc.h"
#include "files/backupemergency.h"
#include "files/binload.h"
#include "headless/ascio.h"
#include "headless/headless.h"
#include "filespec.h"
#include "headless/rundrive.h"
#include "router/routeloop.h"
#include "router/sweeprun.h"
#include "rules/autocheck.h"
#include "rules/checksweep.h"
#include "place/plbatch.h"
#include "routejob.h"
#include "rules/rulesinstall.h"

namespace {

namespace fs = std::filesystem;

int Usage() {
    std::fprintf(stderr, "usage: pelvane-run [--place] [--seed N] [--place-attempts N] "
                         "[--place-cooling P] [--route [--resume]] [--dfm] [--check] "
                         "[--abort-after N] "
                         "INPUT OUTPUT_BASE\n");
    return 2;
}

// ---- the placement job's options ---------------------------------------------

constexpr int kExitAborted = 4;
constexpr int kExitRunNotStarted = 5;

// The windows of one check sweep.
struct CheckRunReport {
    int32_t windows = 0;
    int32_t skipped = 0;
};

struct RunArgs {
    const char* input = nullptr;
    const char* base = nullptr;
    bool place = false;
    PlBatchOptions placeOptions;
    bool route = false;
    RouteJobOptions routeOptions;
    int32_t abortAfter = -1;
    bool dfm = false;
    bool check = false;
};

// A check run (30244 the DFM run, else the rule check) from a new sweep
// run: false when it could not start (its alert text on stderr).
bool CheckRun(int32_t command, CheckRunReport* report) {
    const size_t alerts = HeadlessMessages(kHeadlessAlert).size();
    autoBoard();
    if (command == kCmdDfmRun) {
        autoCheckDFM(command);
    } else {
        autoCheck(0, 1);
    }
    if (!HeadlessIdleTask() && HeadlessAbortLatched()) {
        // Escape during the start: let go as the board window would.
        if (DbHdr().sweep != 0) checkChoice(kCmdLetGo);
        return true;
    }
    if (!HeadlessIdleTask()) {
        const auto& said = HeadlessMessages(kHeadlessAlert);
        std::fprintf(stderr, "%s\n",
                     said.size() > alerts ? said.back().c_str() : "Unable to start the run");
        return false;
    }
    HeadlessSetShellCallsCountOnly(true);
    HeadlessDriveRun(nullptr, nullptr);
    HeadlessSetShellCallsCountOnly(false);
    report->windows = g_checkSweep.windows;
    report->skipped = g_checkSweep.skipped;
    return true;
}

void PrintCheckLines(const CheckRunReport& r) {
    std::printf("check windows %d skipped %d\n", int(r.windows), int(r.skipped));
    std::printf("check markers %d\n", int(MarkerCount()));
    int32_t counts[kMarkerTypeMax + 1] = {};
    for (int32_t n = 1; n <= MarkerCount(); ++n) {
        ErrorMarker m;
        MarkerGet(n, &m);
        if (m.type >= 1 && m.type <= kMarkerTypeMax) ++counts[m.type];
    }
    for (int32_t t = 1; t <= kMarkerTypeMax; ++t) {
        if (!counts[t]) continue;
        const char* text = t <= kMarkerNamedMax ? LangString(ErrTypeMsgId(t)) : "";
        std::printf("check type %d %d \"%s\"\n", int(t), int(counts[t]), text);
    }
}

bool ParseNumber(const char* text, long long lo, long long hi, long long* out) {
    if (!text || !*text) return false;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (*end || v < lo || v > hi) return false;
    *out = v;
    return true;
}

// False on an unknown option, a missing or bad value, or not exactly two
// names.
bool ParseArgs(int argc, char** argv, RunArgs* a) {
    int names = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        long long v = 0;
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--place") {
            a->place = true;
        } else if (arg == "--route") {
            a->route = true;
        } else if (arg == "--dfm") {
            a->dfm = true;
        } else if (arg == "--check") {
            a->check = true;
        } else if (arg == "--resume") {
            a->routeOptions.resume = true;
        } else if (arg == "--seed" && ParseNumber(value, 0, 0xFFFFFFFFLL, &v)) {
            a->placeOptions.seed = uint32_t(v);
            ++i;
        } else if (arg == "--place-attempts" && ParseNumber(value, INT32_MIN, INT32_MAX, &v)) {
            a->placeOptions.attempts = int32_t(v);
            ++i;
        } else if (arg == "--place-cooling" && ParseNumber(value, INT32_MIN, INT32_MAX, &v)) {
            a->placeOptions.cooling = int32_t(v);
            ++i;
        } else if (arg == "--abort-after" && ParseNumber(value, 0, INT32_MAX, &v)) {
            a->abortAfter = int32_t(v);
            ++i;
        } else if (arg.rfind("--", 0) == 0 || arg.empty()) {
            return false;
        } else {
            (names == 0 ? a->input : a->base) = argv[i];
            if (++names > 2) return false;
        }
    }
    // --resume belongs to the routing job.
    return names == 2 && (a->route || !a->routeOptions.resume);
}

} // namespace

int main(int argc, char** argv) {
    RunArgs args;
    if (!ParseArgs(argc, argv, &args)) return Usage();
    std::error_code ec;
    fs::path input = fs::absolute(args.input, ec);
    if (ec || !fs::is_regular_file(input, ec)) {
        std::fprintf(stderr, "Unable to load file\n");
        return 1;
    }
    fs::path base = fs::absolute(args.base, ec);
    if (ec || base.filename().empty()) return Usage();
    // A folder that cannot be made shows as a failed write below.
    fs::create_directories(base.parent_path(), ec);
    HeadlessSetApplicationFolder(base.parent_path().string().c_str());
    HeadlessSetEmergencySave(&BackupEmergency);

    DbRegisterBuiltins();
    LangInit();
    if (!g_runOptions) RunOptionsAlloc();
    FontLoad();
    RulesInstall();

    FileSpec in = SpecOf(input);
    bool strategy = false;
    int32_t warnings = 0;
    int32_t loaded = 0;
    DbFree();
    if (BinCheckType(&in, &strategy)) {
        loaded = strategy ? 0 : BinLoadFile(&in, true);
    } else {
        loaded = AscReadDatabase(&in, &warnings);
    }
    if (!loaded) {
        std::fprintf(stderr, "Unable to load file\n");
        return 1;
    }
    DbExtent();
    DbValidate();
    fs::path zid = base;
    zid += ".ZID";
    fs::path asc = base;
    asc += ".ASC";
    FileSpec zidSpec = SpecOf(zid), ascSpec = SpecOf(asc);
    // A routing run's design is its output: the sweep backups and the
    // emergency backup go beside it.
    HeadlessSetDesignFile(args.route || args.dfm || args.check ? &zidSpec : &in);

    // ---- the runs: placement -------------------------------------------------
    if (args.abortAfter >= 0) HeadlessAbortAfter(args.abortAfter);
    bool aborted = false;
    PlBatchReport placeReport{};
    if (args.place) aborted = !PlBatchPlace(args.placeOptions, &placeReport);
    RouteJobReport routeReport;
    if (args.route && !aborted) {
        fs::path log = base.parent_path() / LOG_FILE_NAME;
        aborted = !RouteJobRun(args.routeOptions, log.string(), &routeReport);
        RouteJobFigures(&routeReport);
    }
    bool notStarted = false;
    CheckRunReport dfmReport, checkReport;
    if (args.dfm && !aborted) {
        notStarted = !CheckRun(kCmdDfmRun, &dfmReport);
        aborted = HeadlessAbortLatched();
    }
    if (args.check && !aborted && !notStarted) {
        notStarted = !CheckRun(kCmdCheckRun, &checkReport);
        aborted = HeadlessAbortLatched();
    }
    // The writers poll the abort key too: the outputs are always written.
    HeadlessAbortAfter(-1);

    if (!BinSave(&zidSpec, true)) {
        std::fprintf(stderr, "Unable to write %s\n", zid.string().c_str());
        return 3;
    }
    if (!AscWriteDatabase(&ascSpec)) {
        std::fprintf(stderr, "Unable to write %s\n", asc.string().c_str());
        return 3;
    }

    std::printf("layers %d\n", int(DbHdr().layerCount));
    std::printf("thru codes %d\n", int(ThruCount()));
    std::printf("symbols %d\n", int(SymCount()));
    std::printf("packages %d\n", int(PkgCount()));
    std::printf("components %d\n", int(CompCount()));
    std::printf("nets %d\n", int(NetCount()));
    std::printf("connections %d\n", int(ConnCount()));
    std::printf("obstacles %d\n", int(ObsCount()));
    std::printf("texts %d\n", int(TextCount()));
    std::printf("notes %d\n", int(NoteCount()));
    std::printf("colours %d\n", int(ColorCount()));
    std::printf("plot reports %d\n", int(ReportCount()));
    std::printf("markers %d\n", int(MarkerCount()));
    std::printf("warnings %d\n", int(warnings));
    std::printf("%s\n%s\n", zid.string().c_str(), asc.string().c_str());
    if (args.place) {
        const PlBatchScore &b = placeReport.before, &a = placeReport.after;
        std::printf("place score before %lld %lld %lld %lld\n", (long long)b.W, (long long)b.X,
                    (long long)b.Y, (long long)b.T);
        std::printf("place score after %lld %lld %lld %lld\n", (long long)a.W, (long long)a.X,
                    (long long)a.Y, (long long)a.T);
        std::printf("place moved %d\n", int(placeReport.moved));
        std::printf("place overlaps %d\n", int(placeReport.overlaps));
    }
    if (args.route) RouteJobPrint(routeReport);
    if (args.dfm)
        std::printf("dfm windows %d skipped %d\n", int(dfmReport.windows), int(dfmReport.skipped));
    if (args.check) PrintCheckLines(checkReport);
    if (aborted) return kExitAborted;
    return notStarted ? kExitRunNotStarted : 0;
}
