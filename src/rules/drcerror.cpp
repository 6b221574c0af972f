// The current-error record, the counter and the three ways a violation
// ends. A full marker table stops the recording silently while counting
// goes on; rule and temporary marks and blocked maze cells are never
// overwritten by the marking.
#include "rules/drcerror.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "db/db.h"
#include "db/lang.h"
#include "db/markers.h"
#include "db/shellsvc.h"
#include "router/layertab.h"
#include "router/maze.h"
#include "router/mzgrid.h"

DrcError DrcCurrentError{};
uint16_t DrcErrorCount = 0;

void CheckAddError(int32_t x, int32_t y, int32_t layer) {
    ++DrcErrorCount;
    if (DrcMode != kDrcRecord) return;
    const int32_t n = MarkerAdd();
    if (n < 0 || n > kMarkerMax) ErrReport(kErrMarkerAddAnswer, n);
    if (n < 1) return;
    ErrorMarker m;
    MarkerGet(n, &m);
    const DrcError& e = DrcCurrentError;
    if (g_verbose) {
        char xs[32], ys[32];
        std::snprintf(xs, sizeof xs, "%s", CoordText(x));
        std::snprintf(ys, sizeof ys, "%s", CoordText(y));
        const int32_t id = ErrTypeMsgId(e.kind);
        DebugPrint("Design Rule Error at [%s,%s]L%d: %s", xs, ys, int(layer),
                   id ? LangString(id) : "");
    }
    m.x = e.x;
    m.y = e.y;
    m.type = e.kind;
    m.layer = e.layer;
    m.value[0] = e.found;
    m.value[1] = e.required;
    m.id1 = e.object;
    m.kind1 = e.objectType;
    m.sub1 = e.corner;
    m.id2 = e.otherObject;
    m.kind2 = e.otherType;
    m.sub2 = e.otherSub;
    m.flags |= kMarkerByRuleCheck;
    if (g_verbose) MarkerReport(&m, "CheckAddError");
    MarkerPut(n, &m);
}

void DrcMarkMaze(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer) {
    const int32_t m = LayerMazeIndex(layer);
    if (m == 0 || !MazeActive() || !g_maze.rows) return;
    const int32_t cx1 = MzSnapXUp(x1), cx2 = MzSnapXDown(x2);
    const int32_t cy1 = MzSnapYUp(y1), cy2 = MzSnapYDown(y2);
    const int32_t r0 = std::max(cy1 - 1, int32_t(kMazeBorder));
    const int32_t r1 = std::min(cy2 + 1, g_mzGrid.r - 1 - kMazeBorder);
    const int32_t c0 = std::max(cx1 - 1, int32_t(kMazeBorder));
    const int32_t c1 = std::min(cx2 + 1, g_mzGrid.w - 1 - kMazeBorder);
    for (int32_t r = r0; r <= r1; ++r)
        for (int32_t c = c0; c <= c1; ++c) {
            uint8_t* cell = MazeCellPtr(c, r, m);
            const uint8_t code = *cell & kCellCodeMask;
            if (code == kCellRuleMark || code == kCellTempMark || code == kCellBlocked ||
                code == kCellBorder)
                continue;
            *cell = uint8_t((*cell & kCellMarks) | kCellRuleMark);
        }
}

void DrcClearWindowMarkers() {
    const MzBox& w = g_mzGrid.window;
    for (int32_t n = MarkerCount(); n >= 1; --n) {
        ErrorMarker m;
        MarkerGet(n, &m);
        if (m.value[kMarkerKeepWord] != 0) continue;
        if (m.x >= w.minX && m.x <= w.maxX && m.y >= w.minY && m.y <= w.maxY) MarkerDelete(n);
    }
}

int32_t DrcViolation(uint8_t kind, int32_t x, int32_t y, int32_t layer, int32_t found,
                     int32_t required, int32_t corner, int32_t bx1, int32_t by1, int32_t bx2,
                     int32_t by2) {
    switch (DrcMode) {
    case kDrcRecord:
    case kDrcCount: {
        DrcError& e = DrcCurrentError;
        e.kind = kind;
        e.x = x;
        e.y = y;
        e.layer = uint8_t(layer);
        e.found = found;
        e.required = required;
        e.corner = int16_t(corner);
        CheckAddError(x, y, layer);
        return (MzFlags & kMzFullSpace) ? 1 : 0;
    }
    case kDrcFail:
        return 0;
    case kDrcMarkMaze:
        DrcMarkMaze(std::min(bx1, bx2), std::min(by1, by2), std::max(bx1, bx2), std::max(by1, by2),
                    layer);
        return 0;
    default:
        ErrReport(kErrDrcMode, DrcMode);
    }
}
