// The fan-out search of one pad: for each via type that may be used, rounds
// of widening tries that place a via beyond the pad in one of the four
// orthogonal directions and join it to the pad straight, with a 45-degree
// bend, or with a stub of two or three bends, until the rule check accepts
// one. Every try works in a canonical frame in which the stub runs along +X
// and Y is the across coordinate; the stub's corners are mapped back before
// they are checked. All arithmetic is 64-bit and checked into 32 bits; the
// fan-out grid is doubled only while it fits.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "db/attrs.h"
#include "db/comps.h"
#include "db/geom.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "db/conns.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/symbols.h"
#include "router/disperse.h"
#include "router/gather.h"
#include "router/layertab.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "router/padexit.h"
#include "router/rulesvc.h"
#include "router/urstate.h"
#include "router/viamap.h"

namespace {

enum : int32_t {
    kFewPins = 8,          // below this a component steps by the via grid
    kLayerFlagSkipPad = 4, // a layer whose pads the fan-out does not start from
    kViaReachFactor = 4,   // a same-net via closer than 4 via pads (+ 2 clearances) is shared
    kClearNum = 17,        // clearances and the via's reach are widened by 17 / 12
    kClearDen = 12,
    kStraightRounds = 4,  // rounds 1 and 2 step at most this many times
    kExtraSteps = 6,      // steps beyond the extra steps
    kRoundWideAcross = 4, // the round that doubles the across grid
    kRoundLast = 5,       // the round that falls back to the via grid
    kDogLegVariants = 5,
    kFarSideVariant = 3, // variants from this one run across on the via's far side
    kSideCount = 3,      // sides -1, 0, +1
};

// Clearance block positions: [class][kind] with classes and kinds 0 seg,
// 1 pad, 2 via.
enum : int32_t { kSpSeg = 0, kSpPad = 1, kSpVia = 2 };

const int32_t kOrients[4] = {kDirN, kDirE, kDirS, kDirW};

// The fan-out working record of one DisperseFindPath call.
struct FanOut {
    int32_t comp, pin, net, layer, viaType;
    int32_t px, py;   // the pad position
    int32_t ext[4];   // the pad's extent: min x, min y, max x, max y
    int32_t grid;     // routing grid (the half grid while doubled)
    int32_t required; // the net has a required layer
    int32_t step, extra, viaGrid, across;
    int32_t extraOffset; // E: kept from one via type to the next
    int32_t pins;        // the component's pin count
    int32_t cx, cy, compW, compH;
    int32_t legal, nonBlocked, unblocked, code;
    int32_t entry; // the example connection's map object
    Conn* work;
};

int32_t Clamp32(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int64_t RoundUpTo(int64_t v, int64_t g) {
    return g > 0 ? FloorDiv(v + g - 1, g) * g : v;
}

std::string DirNames(int32_t mask) {
    static const char* const kNames[8] = {"N", "Ne", "E", "Se", "S", "Sw", "W", "Nw"};
    std::string out;
    for (int32_t b = 0; b < 8; ++b)
        if (mask & (1 << b)) {
            if (!out.empty()) out += ' ';
            out += kNames[b];
        }
    return out;
}

int32_t Spacing(int32_t layer, int32_t cls, int32_t kind) {
    const LayerRec* r = LayerRecOf(layer);
    return r ? r->spacing[cls][kind] : 0;
}

// The canonical frame of one orientation: the stub runs along +X.
struct Frame {
    int32_t orient;
    int64_t g; // the fan-out grid
    void To(int64_t x, int64_t y, int64_t* X, int64_t* Y) const {
        switch (orient) {
        case kDirN:
            *X = y, *Y = x;
            return;
        case kDirE:
            *X = x, *Y = y;
            return;
        case kDirS:
            *X = g - y, *Y = x;
            return;
        case kDirW:
            *X = g - x, *Y = y;
            return;
        }
        ErrReport(kErrDisperseDir, orient);
    }
    // Into a corner (packed: written through locals).
    void Put(int64_t X, int64_t Y, Crn* k) const {
        int32_t x, y;
        From(X, Y, &x, &y);
        k->x = x;
        k->y = y;
    }
    void From(int64_t X, int64_t Y, int32_t* x, int32_t* y) const {
        switch (orient) {
        case kDirN:
            *x = Clamp32(Y), *y = Clamp32(X);
            return;
        case kDirE:
            *x = Clamp32(X), *y = Clamp32(Y);
            return;
        case kDirS:
            *x = Clamp32(Y), *y = Clamp32(g - X);
            return;
        case kDirW:
            *x = Clamp32(g - X), *y = Clamp32(Y);
            return;
        }
        ErrReport(kErrDisperseDir, orient);
    }
};

bool InExtent(int32_t x, int32_t y) {
    const MzBox& e = g_mzGrid.extent;
    return x >= e.minX && x <= e.maxX && y >= e.minY && y <= e.maxY;
}

// A via of the net within reach of (x, y): 0 none, else its via type, with
// its position in *vx, *vy.
int32_t NearbyNetVia(const FanOut& f, int32_t reach, int32_t* vx, int32_t* vy) {
    static ObjList list;
    list.count = 0;
    GatherBox(*vx, *vy, *vx, *vy, kProbeVia, f.layer, reach, &list);
    Conn* c = static_cast<Conn*>(ScratchPush());
    int32_t found = 0;
    for (int32_t i = 0; i < list.count && !found; ++i) {
        const int32_t e = list.entry[i];
        if (e <= 0 || ObjEntry(e)->type != kObjConn || ObjEntry(e)->net != f.net) continue;
        ConnReadJournal(ObjEntry(e)->index, c);
        for (int32_t k = 0; k < c->head.count; ++k) {
            const Crn& v = c->crn[k];
            if (!v.via || PtDist(*vx, *vy, v.x, v.y) >= reach) continue;
            found = v.via;
            *vx = v.x;
            *vy = v.y;
            break;
        }
    }
    ScratchPop(c);
    return found;
}

// The stub pad, the bends (canonical), the via, the far end; the pad's
// segment and the bends on the pad's layer. Answers the via's index.
int32_t BuildStub(const FanOut& f, const Frame& fr, const Conn& base, const int64_t* bx,
                  const int64_t* by, int32_t bends, Conn* out) {
    ConnCopy(out, &base);
    if (bends > 0) CrnInsert(out, 0, bends);
    for (int32_t b = 0; b < bends; ++b) {
        Crn& k = out->crn[1 + b];
        fr.Put(bx[b], by[b], &k);
        k.via = 0;
        k.layer = uint8_t(f.layer);
    }
    out->crn[0].layer = uint8_t(f.layer);
    return 1 + bends;
}

// One try in the orientation; 1 with the stub in f.work.
int32_t Try(FanOut& f, int32_t orient, int32_t side, int32_t j, int32_t round, int32_t sweep,
            int64_t g, int32_t reach) {
    const Frame fr{orient, g};
    int64_t Xp, Yp;
    fr.To(f.px, f.py, &Xp, &Yp);
    const int64_t viaPad = ViaPadSize(f.viaType, f.layer);
    const int64_t padVia = Spacing(f.layer, kSpPad, kSpVia);
    const int64_t segVia = Spacing(f.layer, kSpSeg, kSpVia);
    const int64_t viaVia = Spacing(f.layer, kSpVia, kSpVia);
    const int64_t S0 = Xp + reach + padVia * kClearNum / kClearDen;
    int64_t D = S0 + int64_t(j) * f.step + f.across - f.step;
    D += round == kRoundLast ? viaPad + segVia : (viaPad + segVia) * kClearNum / kClearDen;
    const int64_t Xv = (FloorDiv(D, f.viaGrid) + 1) * f.viaGrid;
    const int64_t base = FloorDiv(Yp, f.across) * f.across;
    int64_t Yv = base;
    if (side > 0) Yv = base + f.across;
    if (side == 0 && Yp - base > f.across / 2) Yv = base + f.across;

    Conn* stub = static_cast<Conn*>(ScratchPush());
    Conn* trial = static_cast<Conn*>(ScratchPush());
    struct Pop {
        Conn *a, *b;
        ~Pop() { ScratchPop(b), ScratchPop(a); }
    } pop{stub, trial};
    ConnCopy(stub, f.work);
    CrnInsert(stub, 0, 1);
    Crn& via = stub->crn[1];
    fr.Put(Xv, Yv, &via);
    via.via = uint8_t(f.viaType);
    via.layer = 0;
    stub->crn[0].layer = 0;
    if (!InExtent(via.x, via.y)) return 0;
    if (ViaMapGet(MzX(via.x), MzY(via.y), f.viaType) & kViaFillBits) return 0;
    int32_t vx = via.x, vy = via.y;
    const int32_t reachVia = Clamp32(kViaReachFactor * viaPad + 2 * viaVia);
    const int32_t shared = NearbyNetVia(f, reachVia, &vx, &vy);
    if (shared && shared != f.viaType) return 0;
    int64_t XvUsed = Xv, YvUsed = Yv;
    if (shared) {
        via.x = vx;
        via.y = vy;
        fr.To(vx, vy, &XvUsed, &YvUsed);
    } else {
        const int64_t acrossOff = std::llabs(YvUsed - Yp);
        if (sweep == 0 && round >= 1 && round <= 3) {
            const bool vertical = orient == kDirN || orient == kDirS;
            if (acrossOff > std::abs(f.py - f.cy)) return 0;
            if (vertical && acrossOff > std::abs(f.px - f.cx)) return 0;
        }
        if (!DrcCheckConn(f.entry, stub, 0, 1)) return 0;
        if (round == 0) return 0;
    }
    const int64_t Xvv = XvUsed, Yvv = YvUsed;
    if (Yvv == Yp) {
        stub->crn[0].layer = uint8_t(f.layer);
        if (!DrcCheckConn(f.entry, stub, 0, 1)) return 0;
        ConnCopy(f.work, stub);
        return 1;
    }
    const int64_t dY = std::llabs(Yvv - Yp);
    const int64_t E = std::llabs(int64_t(f.extraOffset));
    const int64_t w = int64_t(f.work->crn[0].width) * DbHdr().connGrid;
    const int64_t c2 = Spacing(f.layer, kSpVia, kSpSeg);
    const int64_t grid = f.grid > 0 ? f.grid : 1;
    int64_t bx[3], by[3];
    for (int32_t i = 0; i < kDogLegVariants; ++i) {
        if (i == 0 && (j == 0 || round >= 2)) {
            bx[0] = Xvv - dY;
            by[0] = Yp;
            if (bx[0] < S0) {
                if (round != kRoundLast) return 0;
                bx[0] = S0;
            }
            int32_t v = BuildStub(f, fr, *stub, bx, by, 1, trial);
            if (DrcCheckConn(f.entry, trial, 0, v + 1 < trial->head.count ? v + 1 : v)) break;
            if (round == kRoundLast) {
                bx[0] = Xvv;
                v = BuildStub(f, fr, *stub, bx, by, 1, trial);
                if (DrcCheckConn(f.entry, trial, 0, v + 1 < trial->head.count ? v + 1 : v)) break;
            }
            continue;
        }
        const bool padSideGreater = Yp > Yvv;
        const bool greater = (i < kFarSideVariant) == padSideGreater;
        int64_t Yb;
        if (greater) {
            Yb = RoundUpTo(Yvv + viaPad + c2 + w / 2, grid);
            if (j > 1) Yb += E;
        } else {
            Yb = Yvv - viaPad - c2 - w / 2;
            Yb -= Yb % grid;
            if (j > 1) Yb -= E;
        }
        const int64_t X1 = S0 + ((i & 1) ? E * kClearNum / kClearDen : 0);
        int32_t bends = 3;
        bx[0] = X1, by[0] = Yp;
        bx[1] = X1 + std::llabs(Yb - Yp), by[1] = Yb;
        bx[2] = Xvv - std::llabs(Yb - Yvv), by[2] = Yb;
        if (bx[2] - bx[1] < viaPad) {
            bends = 2;
            bx[1] = X1 + dY, by[1] = Yvv;
        }
        const int32_t v = BuildStub(f, fr, *stub, bx, by, bends, trial);
        if (DrcCheckConn(f.entry, trial, 0, std::min<int32_t>(v + 1, trial->head.count - 1))) break;
        if (i == kDogLegVariants - 1) return 0;
        continue;
    }
    // The loop ends by break only with an accepted trial in *trial.
    ConnCopy(f.work, trial);
    return 1;
}

int32_t disperseOneViaType(FanOut& f) {
    if (g_verbose) DebugPrint("disperseOneViaType:  V%d", int(f.viaType));
    const DbHeader& h = DbHdr();
    const int32_t blocked = ExitBlockerDirs(f.px, f.py, f.layer, f.net);
    f.nonBlocked = kDirsOrtho & ~blocked;
    f.unblocked = __builtin_popcount(unsigned(f.nonBlocked));
    int32_t oblong = 0;
    f.legal = PadExitDirs(f.comp, f.pin, f.layer, &oblong);
    if (g_verbose) {
        DebugPrint("disperseOneViaType: nonBlockedDir=%s, unblocked == %d",
                   DirNames(f.nonBlocked).c_str(), int(f.unblocked));
        DebugPrint("disperseOneViaType: legalDir=%s", DirNames(f.legal).c_str());
    }
    const int32_t dx = f.px - f.cx, dy = f.py - f.cy;
    const bool twoPin = f.pins == 2;
    if (twoPin)
        f.code = dy < 0 ? kDirS : dy > 0 ? kDirN : dx < 0 ? kDirW : dx > 0 ? kDirE : 0;
    else
        f.code = (dy < 0 ? kDirN : dy > 0 ? kDirS : 0) | (dx < 0 ? kDirE : dx > 0 ? kDirW : 0);

    const int64_t viaPad = ViaPadSize(f.viaType, f.layer);
    const int64_t segVia = Spacing(f.layer, kSpSeg, kSpVia);
    f.viaGrid = h.fourthGrid > 0 ? h.fourthGrid : h.routeGrid;
    if (f.viaGrid < 1) f.viaGrid = 1;
    if (f.pins < kFewPins || f.required) {
        f.step = f.viaGrid;
        f.extra = Clamp32((2 * viaPad + segVia) / f.step * 3);
        f.across = f.viaGrid;
        if (g_verbose)
            DebugPrint("disperseOneViaType: (pads <= 7) stepSize == %ld, extraSteps == %d",
                       long(f.step), int(f.extra));
    } else {
        const int64_t width = int64_t(f.work->crn[0].width) * h.connGrid;
        int64_t step = f.viaGrid;
        if (h.routeGrid >= f.viaGrid) step = RoundUpTo(width / 2 + viaPad + segVia, f.viaGrid) * 2;
        f.step = Clamp32(std::max<int64_t>(step, 1));
        const Component* c = CompRef(f.comp);
        int32_t pitch = 0;
        for (int32_t p = 1; p <= f.pins; ++p) {
            if (p == f.pin) continue;
            PlacedPin q;
            SymPinGet(c, p, &q);
            const int32_t d = PtDist(f.px, f.py, q.x, q.y);
            if (d > h.routeGrid && (pitch == 0 || d < pitch)) pitch = d;
        }
        f.extra = pitch > 0 ? Clamp32((int64_t(f.step) - 1) / pitch) : 0;
        const int32_t size = (f.code & (kDirN | kDirS)) ? f.compH : f.compW;
        const int64_t limit = int64_t(size / 2.5);
        while (f.extra > 0 && int64_t(f.extra) * f.step > limit)
            --f.extra;
        if (g_verbose) {
            DebugPrint("disperseOneViaType: (pads > 7) stepSize == %ld", long(f.step));
            DebugPrint("    pinPitch == %ld, extraSteps == %d", long(pitch), int(f.extra));
        }
        int64_t across = f.step;
        if (f.extra >= 2) {
            f.extraOffset = Clamp32(RoundUpTo(width + Spacing(f.layer, kSpSeg, kSpSeg),
                                              h.routeGrid > 0 ? h.routeGrid : 1));
            across = RoundUpTo(across + f.extraOffset, f.viaGrid);
        }
        f.across = Clamp32(across);
    }

    int64_t g = LcmChecked(f.viaGrid, h.routeGrid > 0 ? h.routeGrid : f.viaGrid);
    const int64_t need = std::max({int64_t(g_mzGrid.extent.minX), int64_t(g_mzGrid.extent.minY),
                                   int64_t(f.px), int64_t(f.py)});
    while (g < need) {
        if (g > INT32_MAX / 2) ErrReport(kErrDisperseGrid, Clamp32(g));
        g *= 2;
    }

    const int32_t rounds = std::clamp<int32_t>(Goal()->iterateLimit, 1, kDisperseRoundsMax);
    for (int32_t round = 0; round < rounds; ++round) {
        if (round == kRoundWideAcross) f.across *= 2;
        if (round == kRoundLast) {
            if (f.step != f.viaGrid) {
                f.step = f.across = f.viaGrid;
            } else {
                f.step *= 2;
                f.across *= 2;
            }
        }
        for (int32_t sweep = 0; sweep < kSideCount; ++sweep) {
            const int32_t side = sweep - 1;
            if (side != 0 && f.required && round <= 4 && !twoPin) continue;
            const int32_t steps =
                round == 1 || round == 2 ? kStraightRounds : f.extra + kExtraSteps;
            for (int32_t j = 0; j < steps; ++j) {
                if (side != 0 && round == 1 && j > f.extra && !twoPin) break;
                for (const int32_t o : kOrients) {
                    const bool inCode = f.code & o, open = f.nonBlocked & o;
                    bool tried = (f.legal & o) &&
                                 ((inCode && open &&
                                   (!f.required || round == kRoundLast || (twoPin && side == 0))) ||
                                  (!inCode && f.required) || round == 0 ||
                                  (round >= 2 && side == 0) || round > 2);
                    if ((round == 0 || round == kRoundLast) && f.unblocked == 1) tried = true;
                    if (!tried) continue;
                    int32_t s = side;
                    if ((o == kDirN || o == kDirS) && (f.code & kDirE)) s = -s;
                    if ((o == kDirE || o == kDirW) && (f.code & kDirN)) s = -s;
                    const int32_t reach = o == kDirN   ? f.ext[3] - f.py
                                          : o == kDirE ? f.ext[2] - f.px
                                          : o == kDirS ? f.py - f.ext[1]
                                                       : f.px - f.ext[0];
                    if (Try(f, o, s, j, round, sweep, g, reach)) return 1;
                }
            }
        }
    }
    return 0;
}

const char* CompName(int32_t comp) {
    return NameText(CompRef(comp)->name);
}
const char* PinName(int32_t comp, int32_t pin) {
    return NameText(SymPinRef(CompRef(comp)->symbol, pin)->name);
}

} // namespace

int32_t DisperseFindPath(int32_t exampleEntry, Conn* conn) {
    FanOut f{};
    f.work = conn;
    f.entry = exampleEntry;
    f.comp = conn->head.fromComp;
    f.pin = conn->head.fromPin;
    f.net = conn->head.net;
    if (f.comp < 1 || f.comp > CompCount()) ErrReport(kErrDisperseComp, f.comp);
    Component comp;
    CompReadJournal(f.comp, &comp);
    f.pins = SymPinCount(comp.symbol);
    if (f.pin < 1 || f.pin > f.pins) ErrReport(kErrDispersePin, f.pin);
    PlacedPin p;
    SymPinGet(&comp, f.pin, &p);
    f.px = p.x;
    f.py = p.y;
    if (!InExtent(f.px, f.py)) ErrReport(kErrDisperseOutside, f.comp);
    for (int32_t l = 1; l <= LayerCount() && !f.layer; ++l) {
        const LayerRec* r = LayerRecOf(l);
        if (r && (r->flags & kLayerFlagSkipPad)) continue;
        if (PinOnLayer(f.comp, f.pin, l)) f.layer = l;
    }
    if (g_verbose) {
        DebugPrint("DisperseFindPath:  attempting %s.%s at [%s,%s]", CompName(f.comp),
                   PinName(f.comp, f.pin), CoordText(f.px), CoordText(f.py));
        DebugPrint("DisperseFindPath: lev=%d", int(f.layer));
        const char* netName =
            f.net >= 1 && f.net <= NetCount() ? NameText(NetRef(f.net)->name) : "";
        DebugPrint("DisperseFindPath: net=%s (#%d)", netName, int(f.net));
    }
    const Net* net = f.net >= 1 && f.net <= NetCount() ? NetRef(f.net) : nullptr;
    const uint16_t netFlags = net ? net->flags : 0;
    f.required = (netFlags & kNetReqLayer) ? 1 : 0;
    f.grid = ShellGridDoubling() ? DbHdr().routeGrid / 2 : DbHdr().routeGrid;
    f.cx = int32_t((int64_t(comp.minX) + comp.maxX) / 2);
    f.cy = int32_t((int64_t(comp.minY) + comp.maxY) / 2);
    f.compW = comp.maxX - comp.minX;
    f.compH = comp.maxY - comp.minY;
    int32_t result = 0;
    if (f.layer) {
        PlacedPin placed;
        PlacedPad pad;
        CompPinPadGet(f.comp, f.pin, f.layer, &placed, &pad);
        PlacedPadBox(pad, &f.ext[0], &f.ext[1], &f.ext[2], &f.ext[3]);
        const bool several = (netFlags & kNetAttr7) || (DbHdr().flags & kHdrMultiVia);
        const int32_t types = several ? DbHdr().viaCount : std::min<int32_t>(1, DbHdr().viaCount);
        for (int32_t t = 1; t <= types && !result; ++t) {
            int32_t ext[4];
            if (!ViaPadShape(t, f.layer, ext)) continue;
            Attribute a;
            if ((netFlags & kNetAttr7) && !AttrFind(kAttrNetKind7, kRecNet, f.net, t, &a)) continue;
            f.viaType = t;
            result = disperseOneViaType(f);
        }
    }
    if (g_verbose)
        DebugPrint(result ? "DisperseFindPath: Completed %s.%s"
                          : "DisperseFindPath: FAILED to disperse %s.%s",
                   CompName(f.comp), PinName(f.comp, f.pin));
    return result;
}
