// The rule checker's view of the database and the router: thin names over
// the services it stands on, and the checker's own state words. Each alias
// answers exactly what the service under it answers; nothing here keeps
// state of its own beyond the words declared at the end.
#pragma once
#include <cstdint>

#include "db/dbheader.h"
#include "db/geom.h"
#include "db/nets.h"
#include "db/paddist.h"
#include "db/pool.h"
#include "db/records.h"
#include "db/thru.h"
#include "router/rulesvc.h"

// Distance between two points.
inline int32_t SegDist(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return PtDist(x1, y1, x2, y2);
}
// Where the lines of two segments meet: 1 crossing, 2 coincident, 0
// parallel; callers test PtOnSeg for the segments themselves.
inline int32_t SegClearance(const int32_t s1[4], const int32_t s2[4], int32_t out[2]) {
    return LineIntersect(&out[0], &out[1], s1[0], s1[1], s1[2], s1[3], s2[0], s2[1], s2[2], s2[3]);
}
// The pin's pads on the layer against a box (0 on or over a pad).
inline int32_t PadSegDistInner(int32_t comp, int32_t pin, int32_t layer, const int32_t box[4]) {
    return PadBoxDist(comp, pin, layer, box[0], box[1], box[2], box[3]);
}

// Database units per step of a corner width (at least 1), and the via grid.
inline int32_t WidthUnit() {
    const int32_t g = DbHdr().connGrid;
    return g < 1 ? 1 : g;
}
inline int32_t ViaGrid() {
    return DbHdr().fourthGrid;
}
// Half the width of the segment that starts at the corner.
inline int32_t HalfWidth(const Crn& c) {
    return int32_t(int64_t(c.width) * WidthUnit() / 2);
}

inline bool PadIsRound(int32_t code) {
    return code == kPadRound || code == kPadThermal || code == kPadAnnular;
}
// A via type's pad on the layer: its first shape's code (0 without pad).
int32_t ViaPadCode(int32_t viaType, int32_t layer);
// The largest of the first shape's four extents (0 without pad): the
// radius or half size every clearance of a via pad is measured with.
int32_t ViaPadRadius(int32_t viaType, int32_t layer);
// The via pad's box at (x, y): the first shape's offset and extents.
void ViaPadBox(int32_t viaType, int32_t layer, int32_t x, int32_t y, int32_t box[4]);

// Layer flags the rule checks read.
enum : uint16_t {
    kLayerInactive = 0x0026, // a layer with any of these takes no part in per-layer loops
    kLayerJumperFlag = 0x0008,
};
// 1 when layer 1..count takes part in per-layer loops.
bool LayerActive(int32_t layer);
bool JumperLayer(int32_t layer);
// 1 when some layer is a jumper layer.
bool BoardHasJumperLayer();

// The obstacle read as a plain outline, as the router maps it: every arc and
// a circle (three points: one on the circle, the centre, the first again)
// replaced by straight segments. A record without curved points is left as
// it is. Each check against an obstacle's edges or area reads it this way.
void ObsOutlineOnly(Obstacle* record);

// Net flags the rule checks read: kNetNoShare (same-net objects are tested
// too) and kNetAttr7 (only listed via types are allowed).
uint16_t NetFlagsOf(int32_t net);

// ---- the checker's state ----------------------------------------------------
// DrcMode, the sweep-run flag and DfmFlags are the words rulesvc.h declares.
enum : int16_t {
    kDrcRecord = 0,
    kDrcFail = 1,
    kDrcMarkMaze = 2,
    kDrcCount = 3,
};
// Spacing class of the object under test: 0 copper and obstacles, 1 pads, 2
// vias of another connection.
extern int32_t DrcSpacingClass;
// The map-object index whose spacing row is in use.
extern int32_t DrcCurrentObject;
// The rule-check option word: 1 same-net via spacing only, 0x40 record
// net-rule errors.
extern int32_t CheckOptions;
enum : int32_t {
    kCheckSameNetViasOnly = 1,
    kCheckNetRules = 0x40,
};

// Sets DrcMode for a scope and puts it back at its resting value 1 on
// every way out.
class DrcModeScope {
  public:
    explicit DrcModeScope(int16_t mode) { DrcMode = mode; }
    ~DrcModeScope() { DrcMode = kDrcFail; }
    DrcModeScope(const DrcModeScope&) = delete;
    DrcModeScope& operator=(const DrcModeScope&) = delete;
};

// One scratch record for a scope, returned on every way out.
template <typename T> class ScratchRecord {
  public:
    ScratchRecord() : p_(static_cast<T*>(ScratchPush())) {}
    ~ScratchRecord() { ScratchPop(p_); }
    ScratchRecord(const ScratchRecord&) = delete;
    ScratchRecord& operator=(const ScratchRecord&) = delete;
    T* get() const { return p_; }
    T* operator->() const { return p_; }

  private:
    static_assert(sizeof(T) <= kScratchRecordBytes);
    T* p_;
};
