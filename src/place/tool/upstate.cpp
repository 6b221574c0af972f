// The tool's state, its start (UpInit) and the selection marks. The two
// buffers come from g_upAlloc so that a failed allocation can be shown:
// the window's failure message becomes "Not enough RAM" and the tool does
// not start. Grid rounding uses floor division, so negative coordinates
// round the same way as positive ones, and a grid of 0 snaps nothing.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <initializer_list>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/lang.h"
#include "place/plcompoutline.h"
#include "place/plmodel.h"
#include "place/plpair.h"
#include "place/pltree.h"
#include "place/tool/placehost.h"
#include "place/tool/uptool.h"
#include "router/mzgrid.h"

UpToolState g_up;

namespace {
void* ZeroedBlock(size_t bytes) {
    return std::calloc(1, bytes);
}

int64_t FloorDiv(int64_t v, int64_t g) {
    int64_t q = v / g;
    if ((v % g != 0) && ((v < 0) != (g < 0))) --q;
    return q;
}

void SetHeaderBits() {
    DbHeader h;
    DbGetHeader(&h);
    h.flags |= kUpHeaderBits;
    DbPutHeader(&h);
}
} // namespace

UpAllocProc g_upAlloc = &ZeroedBlock;

void* UpItem(int32_t n, AltItemHeader* header) {
    static uint8_t* image = new uint8_t[kRecordImageMax];
    AltGet(n, header, image);
    return image;
}

bool UpRouteView() {
    return PlHost().AppWindow().WindowKind == kViewRoute;
}
bool UpPlaceView() {
    return PlHost().AppWindow().WindowKind == kViewPlace;
}

int32_t UpGridRound(int32_t v, int32_t grid) {
    if (grid == 0) return v;
    return int32_t(FloorDiv(int64_t(grid) / 2 + v - 1, grid) * grid);
}

int32_t UpGridSnapDown(int32_t v, int32_t grid) {
    if (grid == 0) return v;
    return int32_t(FloorDiv(v, grid) * grid);
}

bool UpInRouteWindow(const Component& c) {
    const MzBox& w = g_mzGrid.window;
    return c.minX >= w.minX && c.maxX <= w.maxX && c.minY >= w.minY && c.maxY <= w.maxY;
}

int32_t CompSideLayer(int32_t c, const Component& record) {
    const PlCompOutlines o = PlCompOutlinesOf(c, &record);
    if (o.place && o.place->head.layer != 0) return o.place->head.layer;
    return PlCompPadLayer(c);
}

void UpFormat(char* out, size_t size, int32_t message, const char* arg) {
    const char* format = LangString(message);
    std::snprintf(out, size, format ? format : "%s", arg);
}

void UpRelease() {
    std::free(g_up.selected);
    std::free(g_up.flight);
    g_up = UpToolState{};
}

int32_t UpInit() {
    PlaceHost& host = PlHost();
    PlaceAppWindow& w = host.AppWindow();
    host.SetCursorKind(1);
    while (AltDepth() > 0)
        AltPop(true);
    const bool place = w.WindowKind == kViewPlace, library = w.WindowKind == kViewLibrary;
    if (place || library) {
        SetHeaderBits();
        if (AltDepth() == 0) {
            DbValidate();
            DebugPrint("UpInit: dbRepair done");
        }
        host.upResetDrawState();
        SetHeaderBits();
    }
    g_up.pairShown = 0;
    g_up.redrawPending = 0;
    g_up.connDisplay = 1;
    g_up.selCount = 0;
    if ((place || library) && host.DisplayInit() != 1) return 0;
    const DbHeader& h = DbHdr();
    w.gridX = h.grid3X;
    w.gridY = h.grid3Y;
    std::free(g_up.flight);
    std::free(g_up.selected);
    g_up.flight = static_cast<PlPairTable*>(g_upAlloc(sizeof(PlPairTable)));
    g_up.selected = static_cast<uint8_t*>(g_upAlloc(size_t(CompCount()) + 1));
    g_up.capacity = int16_t(CompCount());
    if (!g_up.flight || !g_up.selected) {
        std::free(g_up.flight);
        std::free(g_up.selected);
        g_up.flight = nullptr;
        g_up.selected = nullptr;
        g_up.capacity = 0;
        w.failMessage = kMsgNoRam;
        return 0;
    }
    PlNetPinTable();
    PlTreeInit();
    if (place) {
        w.flags |= kUpPlaceWindowBits;
        host.menuEnableCommand(kUpDrcEnabled, kMenuDisabled);
        host.menuEnableCommand(kUpReconnEnabled, kMenuState3);
    } else if (library) {
        w.flags |= kUpLibraryWindowBits;
        for (int32_t c : {kUpDrcEnabled, kUpReconnEnabled, kUpToolAutoPath, kUpToolViaPath,
                          kUpToolLatched, kUpToolShove, kUpToolManual, kUpToolGridless})
            host.menuEnableCommand(c, kMenuDisabled);
    }
    host.SetToolEventHook(nullptr);
    host.SetCursorKind(2);
    return 1;
}

void UpMarkSelected() {
    const int32_t count = CompCount();
    if (count > g_up.capacity || !g_up.selected) {
        const int32_t capacity = count + 5;
        void* grown = g_upAlloc(size_t(capacity) + 1);
        if (!grown) ErrOutOfMemory(kErrUpSelGrow);
        std::free(g_up.selected);
        g_up.selected = static_cast<uint8_t*>(grown);
        g_up.capacity = int16_t(capacity);
    }
    std::memset(g_up.selected, 0, size_t(g_up.capacity) + 1);
    g_up.selCount = 0;
    if (AltDepth() == 0) return;
    AltItemHeader h;
    for (int32_t n = 1; n <= AltCount(); ++n) {
        UpItem(n, &h);
        if (h.type != kRecComponent || (h.flags & kAltDeleted)) continue;
        if (h.index < 1 || h.index > g_up.capacity || g_up.selected[h.index]) continue;
        g_up.selected[h.index] = 1;
        ++g_up.selCount;
    }
}
