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
#include "placegen.h"

int main(int argc, char** argv) {
    return GenToolMain(argc, argv, "pelvane-placegen", placegen::kMinComps, placegen::kMaxComps,
                       PlaceGenWrite);
}
