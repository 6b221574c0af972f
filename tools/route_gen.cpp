// pelvane-routegen COMPONENTS SEED OUTPUT_BASE
//
// Writes a generated board for the routing job and its benchmark:
// COMPONENTS parts in rows on a spacious pitch (every third a DIP of 8
// through-hole pins, the others two-pin SMD parts with pads on the top
// layer only), nets of two or three pins between neighbours, two layers,
// the default routing strategies and a keep-in outline. The seed orders
// the pins each part gives to its nets. OUTPUT_BASE.ASC is the board.
// Exit codes: 0 done, 1 the board could not be written or read back, 2
// bad arguments.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "routegen.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: pelvane-routegen COMPONENTS SEED OUTPUT_BASE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Usage();
    char* end = nullptr;
    const long n = std::strtol(argv[1], &end, 10);
    if (*end || n < routegen::kMinComps || n > routegen::kMaxComps) return Usage();
    const unsigned long seed = std::strtoul(argv[2], &end, 10);
    if (*end) return Usage();
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::absolute(argv[3], ec);
    if (ec || base.filename().empty()) return Usage();
    std::filesystem::create_directories(base.parent_path(), ec);
    int32_t nets = 0;
    if (!RouteGenWrite(int32_t(n), uint32_t(seed), base, &nets)) return 1;
    std::printf("components %d\nnets %d\n", int(n), int(nets));
    return 0;
}
