// Ranking of a pass's connections: at the start of every routing pass the
// connections of the routing window that the pass may try are given a key,
// sorted by the router's own heap sort (whose order, ties included, is the
// route order), grouped into buses, and threaded as a singly linked list
// through the connections' object-table entries (MapObj::link), head in
// MzGoal::nextObj and count in MzGoal::remainingCount. Connections the pass
// must not try carry kObjFlagLeftOut. The key table lives only during one
// call, in a pool of its own.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kOwnerRankPool = 2161080,
    kSiteRankKeys = 2161810,
};

enum : int32_t {
    kRankTableBytes = 65400, // the key table: 3,270 slots of 20 bytes, slot 0 unused
    kRankSlots = kRankTableBytes / 20,
    kRankKeysMax = kRankSlots - 1, // keys 1..3,269
};

// Component-pair values the grouping writes.
enum : int32_t {
    kRankUngrouped = 0x8000000, // a key in no group, or a mixed group of three
    kRankCompsDiffer = 0x4000000,
    kRankLargeMixed = 0x2000000, // a mixed group of four or more
};

// One ranked connection (20 bytes).
struct RankKey {
    int16_t obj;      // the connection's object-table entry (not compared)
    int16_t netRank;  // 100 - the net's weight
    int16_t size;     // net size on one layer, else minus the track's pitches
    int16_t endClass; // from the two ends' classes
    int32_t compPair; // smaller component x 65,536 + larger; rewritten by the grouping
    int32_t dirKey;   // direction of the gap
    int32_t approach; // distance from the window origin, or from a bus row's mean
};
static_assert(sizeof(RankKey) == 20);

// Ranks the connections of the pass MzGoal::pass (see the head comment).
void RankRoutes();

// Sorts keys 1..count of the 1-based array into ascending order.
void heapSort(RankKey* keys, int32_t count);

// Key order: net rank, size, component pair, end class, direction key,
// approach. True when a sorts strictly before b.
bool RankLess(const RankKey& a, const RankKey& b);

// The direction key of a gap from (x1, y1) to (x2, y2) whose ends sit on
// components comp1 and comp2, at routing grid g.
int32_t RankDirKey(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t comp1, int32_t comp2,
                   int32_t g);

// The end-class key of a gap from its ends' edge sectors (0 inside) and
// layers (0 any).
int32_t RankEndClass(int32_t sector1, int32_t layer1, int32_t sector2, int32_t layer2);

// The bus grouping of sorted keys 1..count; answers the number of groups
// formed.
int32_t rankGroup(RankKey* keys, int32_t count);

// The window-corner detour of the connection in hand (MzGoal's gap, ends
// and edge sectors as mzGoalEnds left them): 1 when the record was rerouted
// through a window corner and put into the journal.
int32_t rankDetour(Conn* record);
