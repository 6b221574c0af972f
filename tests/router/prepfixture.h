// Fixture of the preparation tests: small boards on two layers (grid 1,500,
// a 40 x 40 window over 0..60,000, so maze cell 2k lies on x = k x 1,500)
// with a two-pin SMD part (rectangular pads 1,500 x 3,000 on the top layer
// only), a DIP of 8 pins (oblong pads 3,000 x 6,000 on both layers, two
// columns 9,000 apart, pitch 7,500), a part of square pads, and one or two
// via types (the second one can be given an OBLONG pad). Symbols 2 (CHIP),
// 3 (DIP8) and 4 (SQ) follow the router library's two-pin symbol 1.
#pragma once
#include <string>

#include "db/comps.h"
#include "db/conns.h"
#include "db/nets.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "router/objtable.h"
#include "mapfixture.h"

inline const char kPrepParts[] =
    "*THRU 2 \"SMD\" Layer=1 SHAPE=RECT W:1500 H:3000\r\n"
    "*THRU 3 \"DIP\" Layer=1 SHAPE=OBLONG W:3000 H:6000 Layer=2 SHAPE=OBLONG W:3000 H:6000\r\n"
    "*THRU 4 \"SQ\" Layer=1 SHAPE=SQUARE W:3000 Layer=2 SHAPE=SQUARE W:3000\r\n"
    "*SYMBOL 2 \"CHIP\" 1 \"1\" [0, 0] Thru=2 2 \"2\" [6000, 0] Thru=2\r\n"
    "*SYMBOL 3 \"DIP8\" 1 \"1\" [0, 0] Thru=3 2 \"2\" [0, -7500] Thru=3 3 \"3\" [0, -15000] Thru=3"
    " 4 \"4\" [0, -22500] Thru=3 5 \"5\" [9000, -22500] Thru=3 6 \"6\" [9000, -15000] Thru=3"
    " 7 \"7\" [9000, -7500] Thru=3 8 \"8\" [9000, 0] Thru=3\r\n"
    "*SYMBOL 4 \"SQ\" 1 \"1\" [0, 0] Thru=4 2 \"2\" [6000, 0] Thru=4\r\n";

class PrepTest : public MapTest {
  protected:
    // The parts and the body on a board with `vias` via types (the second
    // one round, radius 500, on both layers), the window opened over
    // 0..60,000 and the object table started with a pad entry (no net) for
    // every pin of every component, in order.
    void OpenBoard(const std::string& body, int32_t vias = 1) {
        std::string header = "*LAYER 2\r\n*GRID 1500\r\n";
        std::string parts = kPrepParts;
        if (vias == 2) {
            header += "*VIAS 2\r\n";
            parts =
                "*VIA 2 \"W\" Layer=1 SHAPE=ROUND W:1000 Layer=2 SHAPE=ROUND W:1000\r\n" + parts;
        }
        LoadBoard(parts + body, header);
        while (NetCount() < 3)
            NetAdd();
        SetBox(40, 40);
        ASSERT_EQ(OpenMaze(30000, 30000), 1);
        ObjTableInit();
        for (int32_t c = 1; c <= CompCount(); ++c)
            for (int32_t p = 1; p <= SymPinCount(CompRef(c)->symbol); ++p)
                AddPad(c, p, 0);
    }
    // Via type t's pad on layer l made the shape with the extents.
    static void SetViaPad(int32_t t, int32_t l, int32_t code, int32_t e0, int32_t e1, int32_t e2,
                          int32_t e3) {
        ThruCode v;
        ThruGet(t, &v);
        v.layer[l].shapeCount = code ? 1 : 0;
        v.layer[l].shape[0].code = uint8_t(code);
        v.layer[l].shape[0].ext[0] = e0;
        v.layer[l].shape[0].ext[1] = e1;
        v.layer[l].shape[0].ext[2] = e2;
        v.layer[l].shape[0].ext[3] = e3;
        DbTrustedScope trusted;
        ThruPut(t, &v);
    }
};
