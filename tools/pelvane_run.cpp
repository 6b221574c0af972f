// pelvane-run INPUT OUTPUT_BASE
//
// Loads a design (a binary design file, or else an ASCII board database),
// recomputes its extent and validates it, then writes it back as
// OUTPUT_BASE.ZID (binary) and OUTPUT_BASE.ASC (ASCII). Prints the size of
// every table, the reader's warning count and the two written paths.
// Exit codes: 0 done, 1 the input could not be loaded, 2 bad arguments,
// 3 an output could not be written. The activity log (Pelvane.Log) goes to
// the output folder.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "db/attrs.h"
#include "db/comps.h"
#include "db/conns.h"
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
#include "db/symbols.h"
#include "db/texts.h"
#include "db/thru.h"
#include "files/asc.h"
#include "files/binload.h"
#include "headless/headless.h"

namespace {

namespace fs = std::filesystem;

FileSpec SpecOf(const fs::path& path) {
    FileSpec spec;
    std::memset(&spec, 0, sizeof spec);
    std::snprintf(spec.folder, sizeof spec.folder, "%s", path.parent_path().string().c_str());
    std::snprintf(spec.name, sizeof spec.name, "%s", path.filename().string().c_str());
    return spec;
}

int Usage() {
    std::fprintf(stderr, "usage: pelvane-run INPUT OUTPUT_BASE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || !argv[1][0] || !argv[2][0]) return Usage();
    std::error_code ec;
    fs::path input = fs::absolute(argv[1], ec);
    if (ec || !fs::is_regular_file(input, ec)) {
        std::fprintf(stderr, "Unable to load file\n");
        return 1;
    }
    fs::path base = fs::absolute(argv[2], ec);
    if (ec || base.filename().empty()) return Usage();
    // A folder that cannot be made shows as a failed write below.
    fs::create_directories(base.parent_path(), ec);
    HeadlessSetApplicationFolder(base.parent_path().string().c_str());
    HeadlessSetEmergencySave(&HeadlessEmergencyBackup);

    DbRegisterBuiltins();
    LangInit();
    FontLoad();

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
    HeadlessSetDesignFile(&in);

    fs::path zid = base;
    zid += ".ZID";
    fs::path asc = base;
    asc += ".ASC";
    FileSpec zidSpec = SpecOf(zid), ascSpec = SpecOf(asc);
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
    return 0;
}
