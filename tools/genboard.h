// What the board generators share: the head of a generated two-layer
// board (grids, units, the board box, two layers and one via type), the
// keep-in outline, and the read-back that proves the text loads without a
// warning.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "db/comps.h"
#include "db/db.h"
#include "db/lang.h"
#include "files/asc.h"
#include "headless/headless.h"
#include "filespec.h"

enum : int32_t { kGenGrid = 1500 }; // routing grid of the generated boards

// Opens base.ASC for writing and writes the head up to the via type; null
// when the file cannot be made.
inline std::FILE* GenBoardOpen(const std::filesystem::path& base, int32_t width, int32_t height) {
    std::filesystem::path ascPath = base;
    ascPath += ".ASC";
    std::FILE* f = std::fopen(ascPath.string().c_str(), "wb");
    if (!f) return nullptr;
    std::fprintf(f, "*PELVANE\r\n\r\n*GRID            %d\r\n*VGRID           0\r\n", int(kGenGrid));
    std::fprintf(f, "*USER            60\r\n*CONN            60\r\n*LAYER           2\r\n");
    std::fprintf(f, "*VIAS            1\r\n*INCH            0.0000166667\r\n");
    std::fprintf(f, "*CENTER          %d %d\r\n*HEIGHT          %d\r\n*WIDTH           %d\r\n",
                 int(width / 2), int(height / 2), int(height), int(width));
    std::fprintf(f, "\r\n*START\r\n");
    std::fprintf(f, "*Layer  1 \"TOP\"  Space  600 600 600 600 600 600 2\r\n");
    std::fprintf(f, "*Layer  2 \"BOTTOM\"  Space  600 600 600 600 600 600 1\r\n");
    std::fprintf(f, "*VIA   1  \"VIA24\" &\r\n     Layer=1   SHAPE=ROUND    W:2400 &\r\n"
                    "     Layer=2   SHAPE=ROUND    W:2400\r\n");
    return f;
}

// The keep-in outline over the box.
inline void GenBoardKeepIn(std::FILE* f, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    std::fprintf(f, "*OBS  KEEPIN    L:0  W:60 NONET\r\n");
    const int32_t bx[5] = {x1, x2, x2, x1, x1}, by[5] = {y1, y1, y2, y2, y1};
    for (int32_t k = 0; k < 5; ++k)
        std::fprintf(f, "    [%d, %d] ARC: N CRNW: 0 %s\r\n", int(bx[k]), int(by[k]),
                     k < 4 ? "&" : "");
}

// Loads base.ASC into the database; false (with a message) unless it reads
// without a warning and holds the component count.
inline bool GenBoardReadBack(const std::filesystem::path& base, int32_t components) {
    std::filesystem::path ascPath = base;
    ascPath += ".ASC";
    HeadlessSetApplicationFolder(base.parent_path().string().c_str());
    DbRegisterBuiltins();
    LangInit();
    DbFree();
    FileSpec in = SpecOf(ascPath);
    int32_t warnings = 0;
    if (!AscReadDatabase(&in, &warnings) || warnings != 0 || CompCount() != components) {
        std::fprintf(stderr, "generated board does not read back (%d warnings)\n", int(warnings));
        return false;
    }
    return true;
}

// The command line both generators share: COMPONENTS SEED OUTPUT_BASE,
// COMPONENTS within [minComps, maxComps]. Writes the board with `write`
// and prints its component and net counts. Exit codes: 0 done, 1 the board
// could not be written or read back, 2 bad arguments (the usage printed).
typedef bool (*GenWriteFn)(int32_t n, uint32_t seed, const std::filesystem::path& base,
                           int32_t* nets);
inline int GenToolMain(int argc, char** argv, const char* tool, long minComps, long maxComps,
                       GenWriteFn write) {
    auto usage = [tool] {
        std::fprintf(stderr, "usage: %s COMPONENTS SEED OUTPUT_BASE\n", tool);
        return 2;
    };
    if (argc != 4) return usage();
    char* end = nullptr;
    const long n = std::strtol(argv[1], &end, 10);
    if (*end || n < minComps || n > maxComps) return usage();
    const unsigned long seed = std::strtoul(argv[2], &end, 10);
    if (*end) return usage();
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::absolute(argv[3], ec);
    if (ec || base.filename().empty()) return usage();
    std::filesystem::create_directories(base.parent_path(), ec);
    int32_t nets = 0;
    if (!write(int32_t(n), uint32_t(seed), base, &nets)) return 1;
    std::printf("components %d\nnets %d\n", int(n), int(nets));
    return 0;
}
