// The nearest-approach record: the best path of the connection in hand by
// score (unrouted length plus three goal widths per hop), and the stack of
// saved attempts; both in the second zone, reset with the record.
#include "router/nearest.h"

#include <cstdlib>
#include <cstring>

#include "db/pool.h"
#include "router/mzgrid.h"
#include "router/mzinit.h"
#include "router/urstate.h"

namespace {

enum : int32_t { kHopScoreFactor = 3, kTaskStateMergeMax = 1 };

struct SavedAttempt {
    SavedAttempt* link;
    int32_t cost;
    Conn conn;
};

struct NearestState {
    int32_t best = kNearestNone;
    Conn* copy = nullptr;
    SavedAttempt* last = nullptr;
    int32_t saved = 0;
};
NearestState s;

int32_t Score(const Conn* p) {
    const MzGoal& g = *Goal();
    int64_t score = int64_t(g.goalWidth) * g.hopCount * kHopScoreFactor;
    for (int32_t i = 0; i + 1 < p->head.count; ++i) {
        const Crn &a = p->crn[i], &b = p->crn[i + 1];
        if (a.layer == 0) score += std::abs(int64_t(b.x) - a.x) + std::abs(int64_t(b.y) - a.y);
    }
    return score > kNearestNone ? kNearestNone : int32_t(score);
}

// The bytes of a connection with its corners.
size_t ConnBytes(const Conn* c) {
    return sizeof(ConnHead) + size_t(c->head.count) * sizeof(Crn);
}

} // namespace

void NearestInit() {
    s = NearestState{};
    Goal()->useNearest = 0;
    const int32_t zone = MzZonePool(2);
    if (!zone) return;
    PoolReset(zone);
    s.copy = static_cast<Conn*>(PoolAlloc(int32_t(sizeof(Conn)), zone, kOwnerNearest));
}

void Nearest(const Conn* path) {
    const int32_t score = Score(path);
    if (score >= s.best || !s.copy) return;
    s.best = score;
    std::memcpy(s.copy, path, ConnBytes(path));
}

int32_t NearestRestore(Conn* out) {
    if (s.best == kNearestNone || !s.copy) return 0;
    std::memcpy(out, s.copy, ConnBytes(s.copy));
    MzGoal& g = *Goal();
    if (g.state <= kTaskStateMergeMax) {
        // One unrouted segment from the first to the last unrouted segment
        // that reaches into the routing area.
        auto reaches = [&](int32_t i) {
            const Crn &a = out->crn[i], &b = out->crn[i + 1];
            return a.layer == 0 && MzClipSeg(a.x, a.y, b.x, b.y, 0);
        };
        int32_t first = -1, last = -1;
        for (int32_t i = out->head.count - 2; i >= 0 && last < 0; --i)
            if (reaches(i)) last = i;
        for (int32_t i = 0; i + 1 < out->head.count && first < 0; ++i)
            if (reaches(i)) first = i;
        if (first >= 0 && last - first > 1) {
            const int32_t drop = last - first;
            std::memmove(&out->crn[first + 1], &out->crn[last + 1],
                         size_t(out->head.count - last - 1) * sizeof(Crn));
            out->head.count = int16_t(out->head.count - drop);
            out->crn[first].via = 0;
            out->crn[first + 1].via = 0;
        }
    }
    if (g_verbose) DebugPrint("nearest of all");
    g.hopCount = 0;
    return 1;
}

void NearestSave(int32_t cost, const Conn* conn) {
    const int32_t zone = MzZonePool(2);
    if (!zone) return;
    auto* a =
        static_cast<SavedAttempt*>(PoolNewPtr(int32_t(sizeof(SavedAttempt)), zone, kOwnerNearest));
    a->link = s.last;
    a->cost = cost;
    std::memcpy(&a->conn, conn, ConnBytes(conn));
    s.last = a;
    ++s.saved;
}

int32_t NearestPop(Conn* out) {
    SavedAttempt* a = s.last;
    if (!a || Goal()->totalCost < a->cost) return 0;
    std::memcpy(out, &a->conn, ConnBytes(&a->conn));
    s.last = a->link;
    --s.saved;
    PoolFreePtr(a);
    return 1;
}

int32_t NearestBest() {
    return s.best;
}
int32_t NearestSavedCount() {
    return s.saved;
}
void NearestTestReset() {
    s = NearestState{};
}
