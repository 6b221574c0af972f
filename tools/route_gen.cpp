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
#include "routegen.h"

int main(int argc, char** argv) {
    return GenToolMain(argc, argv, "pelvane-routegen", routegen::kMinComps, routegen::kMaxComps,
                       RouteGenWrite);
}
