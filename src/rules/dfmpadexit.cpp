// DFM pad exits: every connection leaves its pad in a direction the pad
// allows (by its shape, and for rectangular pads by the pin's place among
// its symbol's pins), and the same test tells the corner clean-ups whether
// a connection's exits are good. The pin-row tables live in a pool of
// their own (owner 61801) only while pad-exit work runs; the pool is
// closed before every return. Masks here: bit n allows the direction
// n x 2,700 (1 +x, 4 +y, 16 -x, 64 -y).
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/geom.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "db/symbols.h"
#include "router/objtable.h"
#include "rules/dfm.h"
#include "rules/ruleadapt.h"

namespace {

enum : int32_t {
    kRowEntries = 2400,
    kRowBytes = 16,
    kRowTableBytes = kRowEntries * kRowBytes, // 38,400
    kRowSharedPins = 3,                       // a row of this many pins exits along itself too
    kSmallSymbolPins = 4,                     // below this every orthogonal exit is allowed
    kPinFreeExit = 0x0001,                    // pin flag: every orthogonal exit
    kMaskOrthogonal = 85,
    kMaskWide = 17,
    kMaskTall = 68,
    kMaskAll = 255,
    kDirPlusX = 1,
    kDirPlusY = 4,
    kDirMinusX = 16,
    kDirMinusY = 64,
};

enum : ErrCode {
    kErrRowAlloc = 61802,
};

// One pin row: the pins at one coordinate and their extent along the row.
struct PinRow {
    int32_t at;
    int32_t count;
    int32_t low, high;
};
static_assert(sizeof(PinRow) == kRowBytes);

struct RowTables {
    int32_t pool = 0;
    PinRow* byX = nullptr; // pins sharing an x: extent in y
    PinRow* byY = nullptr; // pins sharing a y: extent in x
    int32_t nx = 0, ny = 0;
    int32_t comp = 0; // the component the tables hold, 0 none
    int32_t minX = 0, maxX = 0, minY = 0, maxY = 0;
};
RowTables s_rows;

// The pad-exit pool for a scope: opened unless open already, closed on
// every way out by the scope that opened it.
class RowScope {
  public:
    RowScope() {
        if (s_rows.pool) return;
        s_rows.pool = PoolOpen(kErrDfmPadExitPool);
        opened_ = true;
        s_rows.byX = static_cast<PinRow*>(PoolAlloc(kRowTableBytes, s_rows.pool, kErrRowAlloc));
        s_rows.byY = static_cast<PinRow*>(PoolAlloc(kRowTableBytes, s_rows.pool, kErrRowAlloc));
        s_rows.comp = 0;
    }
    ~RowScope() {
        if (!opened_) return;
        PoolClose(s_rows.pool);
        s_rows = RowTables{};
    }
    RowScope(const RowScope&) = delete;
    RowScope& operator=(const RowScope&) = delete;

  private:
    bool opened_ = false;
};

void AddToRow(PinRow* rows, int32_t* n, int32_t at, int32_t along) {
    for (int32_t i = 0; i < *n; ++i)
        if (rows[i].at == at) {
            rows[i].count++;
            rows[i].low = std::min(rows[i].low, along);
            rows[i].high = std::max(rows[i].high, along);
            return;
        }
    if (*n >= kRowEntries) return;
    rows[(*n)++] = PinRow{at, 1, along, along};
}

const PinRow* FindRow(const PinRow* rows, int32_t n, int32_t at) {
    for (int32_t i = 0; i < n; ++i)
        if (rows[i].at == at) return &rows[i];
    return nullptr;
}

// Builds the pin rows of the component's placed pins (when it changed).
void dfmPinRows(int32_t comp) {
    if (!s_rows.byX || s_rows.comp == comp) return;
    s_rows.nx = s_rows.ny = 0;
    s_rows.comp = comp;
    const int32_t pins = SymPinCount(CompRef(comp)->symbol);
    for (int32_t p = 1; p <= pins; ++p) {
        PlacedPin pp;
        CompPinXY(comp, p, &pp);
        if (p == 1) {
            s_rows.minX = s_rows.maxX = pp.x;
            s_rows.minY = s_rows.maxY = pp.y;
        }
        s_rows.minX = std::min(s_rows.minX, pp.x);
        s_rows.maxX = std::max(s_rows.maxX, pp.x);
        s_rows.minY = std::min(s_rows.minY, pp.y);
        s_rows.maxY = std::max(s_rows.maxY, pp.y);
        AddToRow(s_rows.byX, &s_rows.nx, pp.x, pp.y);
        AddToRow(s_rows.byY, &s_rows.ny, pp.y, pp.x);
    }
}

bool InWindow(const int32_t box[4]) {
    return dfmSegInWindow(box[0], box[1], box[2], box[3]) != 0;
}

bool MaskHas(int32_t mask, int32_t angle) {
    return angle % kDfmEighth == 0 && (mask & (1 << (angle / kDfmEighth))) != 0;
}

// The half width of the first segment's copper.
int32_t FirstHalf(const Conn* c) {
    return HalfWidth(c->crn[0]);
}

// Corners after the first that lie on the pad: the last of them, 0 none.
int32_t LastOnPad(const Conn* c, int32_t clearance) {
    const int32_t comp = c->head.fromComp, pin = c->head.fromPin, layer = c->crn[0].layer;
    int32_t last = 0;
    for (int32_t i = 1; i < c->head.count - 1; ++i)
        if (dfmPointInPad(comp, pin, layer, c->crn[i].x, c->crn[i].y, clearance)) last = i;
    return last;
}

// Drops corner 1 so that the next try aims at the following corner; false
// when the first two segments are not on one layer or leave the window.
bool DropCorner1(Conn* c) {
    if (c->head.count < 4) return false;
    if (c->crn[0].layer != c->crn[1].layer) return false;
    if (!dfmPointInWindow(c->crn[1].x, c->crn[1].y) || !dfmPointInWindow(c->crn[2].x, c->crn[2].y))
        return false;
    if (!dfmIsMovableCrn(c, 1, 0)) return false;
    CrnDelete(c, 1, 1);
    return true;
}

int32_t Finish(int32_t conn, int32_t obj, Conn* trial, Conn* image, int32_t reversed) {
    if (reversed) ConnReverse(trial);
    if (!dfmCommitConn(conn, obj, trial, 1)) return 0;
    if (reversed) ConnReverse(trial);
    if (trial != image) ConnCopy(image, trial);
    return 1;
}

// The exit turned to the angle, then the bend of the next segment onto
// the turned exit's line (see exitPadAtAngle).
int32_t dfmExitTurnOk(int32_t conn, int32_t obj, Conn* image, int32_t mask, int32_t step,
                      int32_t reversed) {
    const Crn &a = image->crn[0], &b = image->crn[1];
    const int32_t dir = lineAngle(a.x, a.y, b.x, b.y);
    const int32_t rounded = AngNormalize((dir + step / 2) / step * step);
    const int32_t lower = dir / step * step;
    const int32_t upper = AngNormalize(lower + step);
    for (int32_t angle : {rounded, lower, upper}) {
        if (!MaskHas(mask, angle)) continue;
        if (exitPadAtAngle(conn, obj, image, angle, reversed)) return 1;
    }
    return 0;
}

// The bent exit: a short leg from the pad at an allowed angle beside the
// present direction, then on to corner 1.
int32_t dfmExitBend(int32_t conn, int32_t obj, Conn* image, int32_t mask, int32_t step,
                    int32_t side, int32_t reversed) {
    if (!dfmRoomFor(image, 1)) return 0;
    const Crn &a = image->crn[0], &b = image->crn[1];
    const int32_t dir = lineAngle(a.x, a.y, b.x, b.y);
    const int32_t angle = side ? AngNormalize(dir / step * step + step) : dir / step * step;
    if (!MaskHas(mask, angle)) return 0;
    DfmPad pad;
    dfmPadInfo(image->head.fromComp, image->head.fromPin, a.layer, &pad);
    const int32_t half = FirstHalf(image);
    const int32_t leg = std::max(pad.halfW, pad.halfH) + 2 * half + 1;
    int32_t dx, dy;
    dfmGuide(angle, &dx, &dy);
    const int32_t qx = a.x + int32_t(int64_t(dx) * leg / kDfmGuideLength);
    const int32_t qy = a.y + int32_t(int64_t(dy) * leg / kDfmGuideLength);
    if (qx == b.x && qy == b.y) return 0;
    ScratchRecord<Conn> trial;
    ConnCopy(trial.get(), image);
    if (!addConnCrn(trial.get(), 1, qx, qy)) return 0;
    if (dfmPointInPad(image->head.fromComp, image->head.fromPin, a.layer, qx, qy, half)) return 0;
    if (dfmAcuteAt(trial.get(), 1, 0, 2)) return 0;
    if (trial->head.count > 3 && dfmAcuteAt(trial.get(), 2, 1, 3)) return 0;
    return Finish(conn, obj, trial.get(), image, reversed);
}

} // namespace

int32_t dfmExitDirs(int32_t comp, int32_t pin, int32_t layer) {
    const Component* c = CompRef(comp);
    const SymbolPin* sp = SymPinRef(c->symbol, pin);
    if (SymPinCount(c->symbol) < kSmallSymbolPins || (sp->word & kPinFreeExit))
        return kMaskOrthogonal;
    DfmPad pad;
    dfmPadInfo(comp, pin, layer, &pad);
    int32_t mask = pad.halfH > pad.halfW ? kMaskTall : kMaskWide;
    if (!s_rows.byX) return mask;
    dfmPinRows(comp);
    PlacedPin pp;
    CompPinXY(comp, pin, &pp);
    const PinRow* col = FindRow(s_rows.byX, s_rows.nx, pp.x);
    const PinRow* row = FindRow(s_rows.byY, s_rows.ny, pp.y);
    const bool colShared = col && col->count >= kRowSharedPins;
    const bool rowShared = row && row->count >= kRowSharedPins;
    if (pp.x == s_rows.minX || pp.x == s_rows.maxX) {
        if (pp.x == s_rows.minX) mask |= colShared ? kMaskWide : kDirMinusX;
        if (pp.x == s_rows.maxX) mask |= colShared ? kMaskWide : kDirPlusX;
        if (col && pp.y == col->low) mask |= kDirMinusY;
        if (col && pp.y == col->high) mask |= kDirPlusY;
    }
    if (pp.y == s_rows.minY || pp.y == s_rows.maxY) {
        if (pp.y == s_rows.minY) mask |= rowShared ? kMaskTall : kDirMinusY;
        if (pp.y == s_rows.maxY) mask |= rowShared ? kMaskTall : kDirPlusY;
        if (row && pp.x == row->low) mask |= kDirMinusX;
        if (row && pp.x == row->high) mask |= kDirPlusX;
    }
    return mask;
}

int32_t exitPadAtAngle(int32_t conn, int32_t obj, Conn* image, int32_t angle, int32_t reversed) {
    if (image->head.count < 3) return 0;
    const Crn &a = image->crn[0], &b = image->crn[1], &n = image->crn[2];
    const int32_t next = lineAngle(b.x, b.y, n.x, n.y);
    int32_t intersect = next;
    if (dfmIsOrthogonal(next)) {
        const bool nearX =
            angle <= kDfmEighth || angle > kDfmTurn - kDfmEighth ||
            (angle >= kDfmHalfTurn - kDfmEighth && angle < kDfmHalfTurn + kDfmEighth);
        intersect = nearX ? 0 : kDfmRight;
    }
    DebugPrint("pBDFM-exitPadAtAngle: exitAng = %f, intersectAng = %f", double(angle),
               double(intersect));
    char t[4][16];
    std::snprintf(t[0], sizeof t[0], "%d", int(b.x));
    std::snprintf(t[1], sizeof t[1], "%d", int(b.y));
    std::snprintf(t[2], sizeof t[2], "%d", int(n.x));
    std::snprintf(t[3], sizeof t[3], "%d", int(n.y));
    DebugPrint("  p0.x = %s, p0.y = %s, p1.x = %s, p1.y = %s", t[0], t[1], t[2], t[3]);
    if (!dfmIsMovableCrn(image, 1, 0)) return 0;
    int32_t dx, dy, x, y;
    dfmGuide(angle, &dx, &dy);
    if (!dfmLineMeet(a.x, a.y, a.x + dx, a.y + dy, b.x, b.y, n.x, n.y, &x, &y)) return 0;
    std::snprintf(t[0], sizeof t[0], "%d", int(x));
    std::snprintf(t[1], sizeof t[1], "%d", int(y));
    DebugPrint("DFM-exitPadAtAngle: lines isect at = %s %s", t[0], t[1]);
    // The new exit must run forward at the angle and meet the next segment.
    if (lineAngle(a.x, a.y, x, y) != angle || !dfmOnSeg(x, y, b.x, b.y, n.x, n.y)) return 0;
    if (!dfmPointInWindow(x, y)) return 0;
    if (dfmPointInPad(image->head.fromComp, image->head.fromPin, a.layer, x, y, FirstHalf(image)))
        return 0;
    ScratchRecord<Conn> trial;
    ConnCopy(trial.get(), image);
    trial->crn[1].x = x;
    trial->crn[1].y = y;
    if (dfmAcuteAt(trial.get(), 1, 0, 2)) return 0;
    return Finish(conn, obj, trial.get(), image, reversed);
}

int32_t dfmPadExitPass(int32_t conn, int32_t obj, Conn* image, int32_t test, int32_t reversed) {
    if (image->head.count < 2) return 0;
    const int32_t comp = image->head.fromComp, pin = image->head.fromPin;
    if (comp < 1) return test ? 1 : 0;
    const int32_t layer = image->crn[0].layer;
    DfmPad pad;
    dfmPadInfo(comp, pin, layer, &pad);
    if (pad.kind == kDfmPadNone || !InWindow(pad.box)) return 0;
    ScratchRecord<Conn> saved;
    ConnCopy(saved.get(), image);
    const int32_t onPad = LastOnPad(image, test ? 0 : FirstHalf(image));
    bool cut = false;
    if (onPad) {
        if (test) return 1;
        for (int32_t i = 1; i <= onPad; ++i)
            if (!dfmIsMovableCrn(image, i, 0)) return 0;
        CrnDelete(image, 1, onPad);
        cut = true;
    }
    if (pad.rotation % kDfmRight != 0) return 0;
    const Crn &a = image->crn[0], &b = image->crn[1];
    const int32_t dir = lineAngle(a.x, a.y, b.x, b.y);
    int32_t mask = kMaskAll, step = kDfmEighth;
    bool good = false;
    switch (pad.kind) {
    case kDfmPadRound:
        good = dir % kDfmEighth == 0 || test;
        break;
    case kDfmPadSquare:
        good = dir % kDfmEighth == 0;
        break;
    default: // rectangular
        mask = dfmExitDirs(comp, pin, layer);
        step = kDfmRight;
        good = dir % kDfmRight == 0 && MaskHas(mask, dir);
        break;
    }
    if (good) {
        if (cut && !Finish(conn, obj, image, image, reversed)) ConnCopy(image, saved.get());
        return 0;
    }
    if (test) return 1;
    ScratchRecord<Conn> work;
    ConnCopy(work.get(), image);
    const int32_t keepLast = lastTryFlag;
    int32_t done = 0;
    for (int32_t t = 0; t < kDfmExitTries && !done; ++t) {
        lastTryFlag = t == kDfmExitTries - 1 ? 1 : keepLast;
        done = dfmExitTurnOk(conn, obj, work.get(), mask, step, reversed);
        if (!done && !DropCorner1(work.get())) break;
    }
    lastTryFlag = keepLast;
    if (done) {
        ConnCopy(image, work.get());
        return 1;
    }
    ConnCopy(work.get(), image);
    for (int32_t t = 0; t < kDfmExitTries && !done; ++t) {
        done = dfmExitBend(conn, obj, work.get(), mask, step, 0, reversed) ||
               dfmExitBend(conn, obj, work.get(), mask, step, 1, reversed);
        if (!done && !DropCorner1(work.get())) break;
    }
    if (done) {
        ConnCopy(image, work.get());
        return 1;
    }
    ConnCopy(image, saved.get());
    return 0;
}

int32_t dfmRunCornerPass(int32_t conn, const Conn* image) {
    if (image->head.fromComp < 1 || image->head.toComp < 1) return 1;
    RowScope rows;
    ScratchRecord<Conn> copy;
    ConnCopy(copy.get(), image);
    if (dfmPadExitPass(conn, 0, copy.get(), 1, 0)) return 1;
    ConnCopy(copy.get(), image);
    ConnReverse(copy.get());
    return dfmPadExitPass(conn, 0, copy.get(), 1, 1) ? 1 : 0;
}

void DFMCleanPadExits() {
    RowScope rows;
    ScratchRecord<Conn> image;
    for (int32_t comp = 1; comp <= CompCount(); ++comp) {
        if (UserAbort()) return;
        for (int32_t c = ConnFindComp(comp); c; c = ConnFindCompBefore(comp, c)) {
            if (!dfmConnUsable(c)) continue;
            AltSave(kRecConn, c, image.get());
            int32_t reversed = 0;
            if (image->head.fromComp != comp) {
                ConnReverse(image.get());
                reversed = 1;
            }
            if (image->head.fromComp != comp) ErrReport(kErrDfmPadStart, c);
            dfmPadExitPass(c, ObjFindConn(c), image.get(), 0, reversed);
        }
    }
}
