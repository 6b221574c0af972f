// The paint commands (see mappaint.h). The maze is painted cell by cell
// inside its one-cell border by the cell's top two bits; the object map and
// the via map at the grid points (every second maze row and column).
#include "rules/mappaint.h"

#include "db/dbheader.h"
#include "db/shellsvc.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/objmap.h"
#include "router/objvalidate.h"
#include "router/viamap.h"
#include "rules/checkshell.h"

namespace {

enum : int32_t {
    kBoardEdgeEntry = 1, // object-table entry of the board edge
    kTopBitsShift = 6,
    kTopBitsUsed = 2, // top bits 10
    kTopBitsFree = 0, // top bits 00
    kViaNone = 0,
    kViaForbidden = 128,
    kGridStep = 2, // maze cells per grid point
};

const char kMapNotValid[] = "Map not valid";
const char kLayerNotEnabled[] = "Can't paint layers that aren't enabled";
const char kViaTypeNotDefined[] = "Can't paint via types that aren't defined";

bool MapValid() {
    return g_windowLoaded && g_maze.rows;
}

void PaintAt(int32_t mx, int32_t my, int32_t code) {
    PaintMapCell(MzWorldX(mx), MzWorldY(my), code);
}

void PaintUsedCells(int32_t layer) {
    for (int32_t y = 1; y < g_mzGrid.r; ++y)
        for (int32_t x = 1; x < g_mzGrid.w; ++x) {
            const int32_t top = MazeGet(x, y, layer) >> kTopBitsShift;
            PaintAt(x, y,
                    top == kTopBitsUsed   ? kPaintUsed
                    : top == kTopBitsFree ? kPaintEmpty
                                          : kPaintEdge);
        }
}

void PaintObjects(int32_t layer) {
    for (int32_t y = 0; y < g_mzGrid.r; y += kGridStep)
        for (int32_t x = 0; x < g_mzGrid.w; x += kGridStep) {
            ObjList list;
            MapCellObjects(MzWorldX(x), MzWorldY(y), layer, &list);
            int32_t code = kPaintEmpty;
            if (list.count) code = list.entry[0] == kBoardEdgeEntry ? kPaintEdge : kPaintUsed;
            PaintAt(x, y, code);
        }
}

void PaintNoViaCells(int32_t type) {
    for (int32_t y = 0; y < g_mzGrid.r; y += kGridStep)
        for (int32_t x = 0; x < g_mzGrid.w; x += kGridStep) {
            const int32_t v = ViaMapGet(x, y, type);
            PaintAt(x, y,
                    v == kViaNone        ? kPaintEmpty
                    : v == kViaForbidden ? kPaintUsed
                                         : kPaintEdge);
        }
}

} // namespace

void paintMapLayer(int32_t command) {
    if (command != kCmdPaintMap && command != kCmdPaintUsedCells && command != kCmdPaintNoViaCells)
        ErrReport(kErrPaintCommand, command);
    if (!MapValid()) {
        AlertMessage(kMapNotValid);
        return;
    }
    const int32_t layer = FrontActiveLayer();
    if (command == kCmdPaintUsedCells && (layer < 1 || !LayerMazeIndex(layer))) {
        AlertMessage(kLayerNotEnabled);
        return;
    }
    // Via type 0 has no map: the type must be 1 .. the via-type count.
    if (command == kCmdPaintNoViaCells && (layer < 1 || layer > ViaMapTypes())) {
        AlertMessage(kViaTypeNotDefined);
        return;
    }
    if (command == kCmdPaintMap && (layer < 1 || layer > DbHdr().layerCount)) {
        AlertMessage(kLayerNotEnabled);
        return;
    }
    const int32_t cursor = SetCursorKind(kCursorBusy);
    if (command == kCmdPaintUsedCells) PaintUsedCells(layer);
    if (command == kCmdPaintMap) PaintObjects(layer);
    if (command == kCmdPaintNoViaCells) PaintNoViaCells(layer);
    SetCursorKind(cursor);
}

int32_t urPaintCommand(int32_t command) {
    if (command != kCmdPaintMap && command != kCmdPaintUsedCells && command != kCmdPaintNoViaCells)
        return 0;
    paintMapLayer(command);
    return 1;
}
