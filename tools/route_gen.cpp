// pelvane-routegen [--rows] COMPONENTS SEED OUTPUT_BASE
//
// Writes a generated board for the routing job and its benchmark:
// COMPONENTS parts in rows on a spacious pitch, nets of two or three pins
// between neighbours, two layers, the default routing strategies and a
// keep-in outline. By default every third part is a DIP of 8 through-hole
// pins and the others two-pin SMD parts with pads on the top layer only,
// with nets to the neighbours right and below (at most 2,000 parts). With
// --rows, rows of DIPs alternate with rows of SMD parts and nets also go
// to the two diagonal neighbours below, about twice the connections per
// part (at most 4,000 parts, the database's limit). The seed orders the
// pins each part gives to its nets. OUTPUT_BASE.ASC is the board.
// Exit codes: 0 done, 1 the board could not be written or read back, 2
// bad arguments.
#include <cstring>

#include "routegen.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--rows") == 0)
        return GenToolMain(argc - 1, argv + 1, "pelvane-routegen --rows", routegen::kMinComps,
                           routegen::kMaxRowsComps, RouteGenRowsWrite);
    return GenToolMain(argc, argv, "pelvane-routegen", routegen::kMinComps, routegen::kMaxComps,
                       RouteGenWrite);
}
