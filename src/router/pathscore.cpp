// Path scoring of a connection; see pathscore.h.
#include "router/pathscore.h"

#include <cstdlib>

#include "db/attrs.h"
#include "db/comps.h"
#include "db/dbheader.h"
#include "db/paddist.h"
#include "db/geom.h"
#include "db/layers.h"
#include "router/layertab.h"
#include "router/padexit.h"
#include "router/urstate.h"

namespace {

bool JumperLayer(int32_t layer) {
    const LayerRec* r = LayerRecOf(layer);
    return r && (r->flags & kLayerJumper);
}

// True when the layer lists allowed jumper lengths and none equals len.
bool JumperLengthRefused(int32_t layer, int32_t len) {
    AttrScanStart(kAttrJumperLength, kAttrLayerKey, layer, 0);
    Attribute a;
    bool listed = false;
    while (AttrScanNext(&a)) {
        if (a.key1 != layer) continue;
        listed = true;
        if (a.value3 == len) return false;
    }
    return listed;
}

bool Diagonal(const Crn& a, const Crn& b) {
    return a.x != b.x && a.y != b.y;
}

enum : int32_t {
    kExitClearRow = 0,  // spacing class 0 ...
    kExitClearKind = 1, // ... kind 1
};

// The connection seen from one end: corner i of the view, without a copy.
struct EndView {
    const Conn* rec;
    int32_t end;
    int32_t Count() const { return rec->head.count; }
    const Crn& At(int32_t i) const { return rec->crn[end ? Count() - 1 - i : i]; }
    // The layer and width of segment i of the view (corner i to i + 1).
    const Crn& Seg(int32_t i) const { return rec->crn[end ? Count() - 2 - i : i]; }
    int32_t Comp() const { return end ? rec->head.toComp : rec->head.fromComp; }
    int32_t Pin() const { return end ? rec->head.toPin : rec->head.fromPin; }
};

bool Horizontal(const Crn& a, const Crn& b) {
    return a.y == b.y && a.x != b.x;
}

bool Vertical(const Crn& a, const Crn& b) {
    return a.x == b.x && a.y != b.y;
}

} // namespace

int32_t pathScore(const Conn* record) {
    const Crn* c = record->crn;
    const int32_t n = record->head.count;
    const uint8_t* dir = CurSweep().dir;
    int64_t score = 0;
    for (int32_t k = n - 2; k >= 0; --k) {
        const Crn& a = c[k];
        const Crn& b = c[k + 1];
        score += dir[a.layer] < kScoreDirSplitPercent ? std::abs(b.x - a.x) : std::abs(b.y - a.y);
        if (k + 2 < n && a.layer && a.layer == b.layer && Diagonal(a, b) && Diagonal(b, c[k + 2])) {
            const bool rise1 = (b.x - a.x > 0) == (b.y - a.y > 0);
            const bool rise2 = (c[k + 2].x - b.x > 0) == (c[k + 2].y - b.y > 0);
            if (rise1 != rise2) score += kScoreZigZag;
        }
    }
    if (g_router.header.flags & kHdrJumperLayer) {
        for (int32_t k = 0; k + 1 < n; ++k) {
            if (!c[k].layer || !JumperLayer(c[k].layer)) continue;
            const int32_t len = PtDist(c[k].x, c[k].y, c[k + 1].x, c[k + 1].y);
            if (!c[k].via) score += kScoreJumperEnd;
            if (!c[k + 1].via) score += kScoreJumperEnd;
            score += 2 * static_cast<int64_t>(len);
            if (JumperLengthRefused(c[k].layer, len)) score += kScoreJumperEnd;
        }
    }
    const int32_t viaGrid = g_router.header.fourthGrid;
    if (viaGrid) {
        for (int32_t k = 1; k <= n - 2; ++k)
            if (c[k].via && (c[k].x % viaGrid || c[k].y % viaGrid)) score += kScoreViaOffGrid;
    }
    return static_cast<int32_t>(score);
}

bool exitCornerClear(const Conn* record, int32_t end, int32_t k) {
    const EndView v{record, end};
    const int32_t comp = v.Comp();
    const int32_t layer = v.Seg(k - 1).layer;
    if (!comp || !layer) return true;
    PlacedPin placed{};
    PlacedPad pad{};
    CompPinPadGet(comp, v.Pin(), layer, &placed, &pad);
    if (pad.count == 0) return false;
    const int32_t reach = int32_t(int64_t(v.Seg(k - 1).width) * DbHdr().connGrid / 2) +
                          LayerSpacingByKind(layer, kExitClearRow, nullptr, kExitClearKind);
    const Crn& c = v.At(k);
    const PlacedShape& s = pad.shape[0];
    if (pad.count == 1 && s.cx == placed.x && s.cy == placed.y) {
        const int32_t w = s.maxX - s.minX;
        const int32_t h = s.maxY - s.minY;
        if (h > w && c.y != s.cy) return false;
        if (w > h && c.x != s.cx) return false;
        return PtDist(c.x, c.y, s.cx, s.cy) >= (h > w ? h : w) / 2 + reach;
    }
    return PtPadDist(comp, v.Pin(), layer, c.x, c.y) >= reach;
}

int32_t exitScore(const Conn* record, int32_t end) {
    const EndView v{record, end};
    const int32_t n = v.Count();
    if (!v.Comp() || n < 2 || !v.Seg(0).layer) return 0;
    const Crn& a = v.At(0);
    const Crn& b = v.At(1);
    const int32_t layer = v.Seg(0).layer;
    const int32_t d = DirBit(b.x - a.x, b.y - a.y);
    int32_t oblong = 0;
    const int32_t m = PadExitDirs(v.Comp(), v.Pin(), layer, &oblong);
    int32_t score = 0;
    if (d & m) {
        if ((d & kDirsOrtho) && (d & ExitBlockerDirs(a.x, a.y, layer, record->head.net)))
            score = kScoreExitToward;
    } else {
        score = kScoreExitRefused;
    }
    if (n < 3) return score;
    if (!exitCornerClear(record, end, 1)) score += kScoreExitCorner;
    if (m != kDirsAny) {
        const Crn& c = v.At(2);
        if ((m & kDirsOrtho) && c.x != b.x && c.y != b.y) score += kScoreExitSecond;
        if ((m & kDirsNS) ? Horizontal(b, c) : ((m & kDirsEW) && Vertical(b, c)))
            score += kScoreExitSecond;
    }
    if (!exitCornerClear(record, end, 2)) score += kScoreExitCorner;
    return score;
}
