// Fixture of the seeding and path tests: the map fixture's board with the
// costs of pass 2, both layers allowed, an unbounded cost limit, and the
// gap U1.1 - U2.1 (net 1) as the goal.
#pragma once
#include <vector>

#include "db/conns.h"
#include "router/costs.h"
#include "router/maze.h"
#include "router/seed.h"
#include "router/wave.h"
#include "mapfixture.h"

class SeedTest : public MapTest {
  protected:
    void OpenSeed(const std::string& body = "") {
        Open(body);
        MazeBorder();
        ASSERT_EQ(PrepCost(2), 1);
        MzGoal& g = *Goal();
        g.costLimit = 1000000;
        g.layerAllowed[1] = g.layerAllowed[2] = 1;
    }
    // The exit nodes of the list.
    static std::vector<ExitNode> Exits() {
        std::vector<ExitNode> out;
        for (const ExitNode* n = ExitListHead(); n; n = n->next)
            out.push_back(*n);
        return out;
    }
    // Stores connection c with the pins of its two ends.
    static void PutEnds(int32_t c, int32_t fromComp, int32_t fromPin, int32_t toComp,
                        int32_t toPin) {
        Conn r;
        ConnGet(c, &r);
        r.head.fromComp = int16_t(fromComp);
        r.head.fromPin = int16_t(fromPin);
        r.head.toComp = int16_t(toComp);
        r.head.toPin = int16_t(toPin);
        DbTrustedScope trusted;
        ConnPut(c, &r);
    }
    // Makes U1.1 - U2.1 (net 1, unrouted) the goal's gap; its entry.
    static int32_t GoalGap() {
        int32_t c = StoreConn(1, {{15000, 30000, 0}, {39000, 30000, 0}});
        PutEnds(c, 1, 1, 2, 1);
        int32_t entry = AddConn(c);
        MzGoal& g = *Goal();
        g.conn = int16_t(c);
        g.objIndex = int16_t(entry);
        g.crn1Index = 0;
        g.crn2Index = 1;
        g.crnCount = 2;
        g.srcX = 15000, g.srcY = 30000, g.dstX = 39000, g.dstY = 30000;
        return entry;
    }
    // Pops everything queued: (x, y, layer, dir) with its bucket.
    struct Queued {
        int32_t x, y, layer, dir, cost;
    };
    static std::vector<Queued> Drain() {
        std::vector<Queued> out;
        while (wavePop())
            out.push_back(
                {g_waveCur.x, g_waveCur.y, g_waveCur.layer, g_waveCur.dir, WaveCurrentBucket()});
        WaveReset();
        return out;
    }
};
