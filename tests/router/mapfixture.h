// Fixture of the object-map and gathering tests: a board with two
// components of the two-pin footprint (pads of radius 1,800), nets 1 and 2,
// a 40 x 40 window over 0..60,000 (grid 1,500, so map column k is centred
// on x = k x 1,500), and helpers that store connections and obstacles and
// enter them into the object table.
#pragma once
#include <algorithm>
#include <initializer_list>
#include <set>
#include <utility>

#include "db/conns.h"
#include "db/db.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/thru.h"
#include "router/layertab.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/viamap.h"
#include "routerfixture.h"

struct CrnSpec {
    int32_t x, y, layer;
    int32_t via = 0;
    int32_t flags = 0;
};

class MapTest : public RouterTest {
  protected:
    // U1 at (15,000, 30,000): pins at (15,000, 30,000) and (21,000, 30,000);
    // U2 at (39,000, 30,000): pins at (39,000, 30,000) and (45,000, 30,000).
    void Open(const std::string& body = "") {
        LoadBoard("*COMP U1 [15000, 30000] Symbol=1\r\n*COMP U2 [39000, 30000] Symbol=1\r\n" +
                  body);
        while (NetCount() < 2)
            NetAdd();
        SetBox(40, 40);
        ASSERT_EQ(OpenMaze(30000, 30000), 1);
        ObjTableInit();
    }

    // A connection record of net on the corners.
    static Conn ConnOf(int32_t net, std::initializer_list<CrnSpec> corners, int32_t width = 10,
                       int32_t flags = 0) {
        Conn c{};
        c.head.net = int16_t(net);
        c.head.flags = uint16_t(flags);
        for (const CrnSpec& s : corners) {
            Crn& k = c.crn[c.head.count++];
            k.x = s.x;
            k.y = s.y;
            k.layer = uint8_t(s.layer);
            k.via = uint8_t(s.via);
            k.flags = uint8_t(s.flags);
            k.width = uint16_t(width);
        }
        return c;
    }

    // A stored connection of net on the corners (width 10 units, 600).
    static int32_t StoreConn(int32_t net, std::initializer_list<CrnSpec> corners,
                             int32_t width = 10, int32_t flags = 0) {
        Conn c = ConnOf(net, corners, width, flags);
        int32_t n = ConnAdd();
        DbTrustedScope trusted;
        ConnPut(n, &c);
        return n;
    }

    // A stored obstacle of the kind, layer and net word over the points.
    static int32_t StoreObs(int32_t kind, int32_t layer, int32_t net,
                            std::initializer_list<std::pair<int32_t, int32_t>> pts,
                            int32_t owner = 0, int32_t width = 0) {
        Obstacle o{};
        o.head.kind = uint8_t(kind);
        o.head.layer = uint8_t(layer);
        o.head.net = int16_t(net);
        o.head.owner = int16_t(owner);
        o.head.width = width;
        for (auto [x, y] : pts) {
            ObsPoint& p = o.pt[o.head.count++];
            p.x = x;
            p.y = y;
        }
        ObsBox(&o);
        int32_t n = ObsAppend();
        DbTrustedScope trusted;
        ObsPut(n, &o);
        return n;
    }

    static int32_t AddPad(int32_t comp, int32_t pin, int32_t net) {
        ObjAdd(kObjPad, kObjFlagMapped, comp, pin, net);
        return ObjCount();
    }
    static int32_t AddConn(int32_t conn) {
        ObjAdd(kObjConn, 0, conn, 0, ConnRef(conn)->head.net);
        return ObjCount();
    }
    static int32_t AddObs(int32_t obs, int32_t comp = 0) {
        ObjAdd(kObjObstacle, kObjFlagMapped, obs, comp, 0);
        return ObjCount();
    }

    // The map cells (column, row) of the layer that hold the entry.
    static std::set<std::pair<int32_t, int32_t>> CellsOf(int32_t entry, int32_t layer) {
        std::set<std::pair<int32_t, int32_t>> out;
        for (int32_t r = 0; r <= MapNy(); ++r)
            for (int32_t c = 0; c <= MapNx(); ++c) {
                if (Holds(entry, c, r, layer)) out.insert({c, r});
            }
        return out;
    }
    // Whether the cell holds the entry, in its slots or its overflow list.
    static bool Holds(int32_t entry, int32_t c, int32_t r, int32_t layer) {
        bool found = false;
        MapCellEach(MapCell(c, r, layer), [&](int16_t v) { found = found || v == entry; });
        return found;
    }
};
