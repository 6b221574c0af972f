// pelvane-placegen COMPONENTS SEED OUTPUT_BASE
//
// Writes a generated board for the placement job: COMPONENTS parts on a
// planted grid of cells (two-pin parts, some of them decoupling parts on
// the power nets VCC and GND, 8-, 14- and 16-pin dual-row parts, one
// 64-pin four-side part per 100 and at least one), nets of two or three
// pins between planted neighbours, two layers and a board outline of at
// least three times the summed Place outline area. Part 1 stays fixed and
// part 2 locked at their planted places; every other part is parked off
// the board, unplaced. The seed shuffles the parking order.
//
// OUTPUT_BASE.ASC is the board as ASCII text (which carries no component
// flags); OUTPUT_BASE.ZID is the same board loaded from that text with
// the fixed, locked and unplaced flags set, the file the placement job
// reads. Exit codes: 0 done, 1 the board could not be written or read
// back, 2 bad arguments.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "placegen.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: pelvane-placegen COMPONENTS SEED OUTPUT_BASE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Usage();
    char* end = nullptr;
    const long n = std::strtol(argv[1], &end, 10);
    if (*end || n < placegen::kMinComps || n > placegen::kMaxComps) return Usage();
    const unsigned long seed = std::strtoul(argv[2], &end, 10);
    if (*end) return Usage();
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::absolute(argv[3], ec);
    if (ec || base.filename().empty()) return Usage();
    std::filesystem::create_directories(base.parent_path(), ec);

    int32_t nets = 0;
    if (!PlaceGenWrite(int32_t(n), uint32_t(seed), base, &nets)) return 1;
    std::printf("components %d\nnets %d\n", int(n), int(nets));
    return 0;
}
