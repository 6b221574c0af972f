// Maze storage, access, reset, save and the cost look-up of a cell. The
// checked MazeGet and MazeSet are for callers outside the hot loops; reset,
// save and marking work on whole rows through 256-byte tables.
#include "router/maze.h"

#include <algorithm>
#include <cstring>

#include "db/dbheader.h"
#include "db/layers.h"
#include "db/pool.h"
#include "router/costs.h"
#include "router/layertab.h"
#include "router/mzinit.h"
#include "router/urstate.h"

namespace {

enum : ErrCode {
    kErrViaRow = 16906,
    kErrLayerCount = 2169004,
    kErrGetX = 2169010,
    kErrNx = 2169011,
    kErrGetY = 2169012,
    kErrNy = 2169013,
    kErrGetLayer = 2169014,
    kErrGetEnabled = 2169015,
    kErrSetX = 2169020,
    kErrSetLayer = 2169021,
    kErrSetY = 2169022,
    kErrSetEnabled = 2169023,
    kErrSaveNoCopy = 2169024,
    kErrSaveInactive = 2169025,
    kErrSaveNoLayers = 2169026,
    kErrCostY = 2169027,
    kErrCostLayer = 2169028,
    kErrCostEnabled = 2169029,
    kErrCostX = 2169030,
    kErrRowAlloc = 2169040,
    kErrSavedAlloc = 2169041,
    kErrViaAlloc = 2169042,
    kErrUnmarkLayer = 2169081,
    kErrViaMarkLayer = 2169082,
    kErrBorderInactive = 2169087,
    kErrDbLayerIndex = 2169555,
};

int32_t DbLayers() {
    return std::clamp<int32_t>(DbHdr().layerCount, 0, kMaxLayers);
}

// Rows of rowBytes each into table[0..rows-1], several rows to a piece.
bool AllocRows(uint8_t** table, int32_t rows, int32_t rowBytes, ErrCode code) {
    int32_t pool = MzZonePool(1);
    int32_t perPiece = std::max<int32_t>(1, kMazeRowLimit / rowBytes);
    for (int32_t y = 0; y < rows; y += perPiece) {
        int32_t k = std::min(perPiece, rows - y);
        auto* piece = static_cast<uint8_t*>(PoolAlloc(k * rowBytes, pool, code));
        if (!piece) return false;
        for (int32_t i = 0; i < k; ++i)
            table[y + i] = piece + i * rowBytes;
    }
    return true;
}

void CheckCell(int32_t x, int32_t y, int32_t layer, const ErrCode codes[4]) {
    if (x < 0 || x >= g_mzGrid.w) ErrReport(codes[0], x);
    if (y < 0 || y >= g_mzGrid.r) ErrReport(codes[1], y);
    if (layer < 1 || layer > DbLayers()) ErrReport(codes[2], layer);
    if (!g_maze.mazeIndex[layer] || !g_maze.rows) ErrReport(codes[3], layer);
}

const ErrCode kGetCodes[4] = {kErrGetX, kErrGetY, kErrGetLayer, kErrGetEnabled};
const ErrCode kSetCodes[4] = {kErrSetX, kErrSetY, kErrSetLayer, kErrSetEnabled};
const ErrCode kCostCodes[4] = {kErrCostX, kErrCostY, kErrCostLayer, kErrCostEnabled};

uint8_t ViaByte(int32_t col, int32_t row, int32_t m) {
    if (col < 0 || col > g_mzGrid.nx || row < 0 || row > g_mzGrid.ny) return 0;
    return g_maze.via[row][(m - 1) * (g_mzGrid.nx + 1) + col];
}

} // namespace

MazeState g_maze;

bool MazeActive() {
    return g_router.mazeNeeded != 0;
}

int32_t MazeAlloc() {
    const Sweep& s = CurSweep();
    bool active = MazeActive();
    if (g_verbose) {
        if (active)
            DebugPrint("MazeAlloc: %d active layers", int(s.usedLayers));
        else
            DebugPrint("MazeAlloc: maze not active");
    }
    const MzGridState& m = g_mzGrid;
    if (m.nx < kMazeMinN || m.nx > kMazeMaxNx) ErrReport(kErrNx, m.nx);
    if (m.ny < kMazeMinN || m.ny > kMazeMaxNy) ErrReport(kErrNy, m.ny);
    int32_t enabled = s.usedLayers;
    if (enabled < 0 || enabled > kMaxLayers) ErrReport(kErrLayerCount, enabled);

    MazeForget();
    for (int32_t l = 0; l < g_layerRecCount; ++l)
        g_layerRecs[l].mazeIndex = g_layerRecs[l].mazeOwner = 0;
    int32_t layers = 0;
    for (int32_t l = 1; l <= DbLayers(); ++l) {
        if ((LayerRef(l)->flags & kLayerNotRoutable) || !s.enable[l]) continue;
        ++layers;
        g_maze.mazeIndex[l] = layers;
        g_maze.mazeOwner[layers] = l;
        if (LayerRec* r = LayerRecOf(l)) r->mazeIndex = int16_t(layers);
        if (LayerRec* r = LayerRecOf(layers)) r->mazeOwner = int16_t(l);
    }
    g_maze.layers = layers;
    if (int64_t(enabled) * m.w >= kMazeRowLimit) return 0;
    if (int64_t(enabled) * (m.nx + 1) >= kMazeRowLimit) ErrReport(kErrViaRow, enabled);

    g_maze.rowCount = m.r;
    g_maze.viaRowCount = m.ny + 1;
    g_maze.rows = new uint8_t*[size_t(m.r)]();
    g_maze.saved = new uint8_t*[size_t(m.r)]();
    g_maze.via = new uint8_t*[size_t(m.ny + 1)]();
    if (!active || layers == 0) return 1;
    int32_t rowBytes = layers * m.w;
    if (!AllocRows(g_maze.rows, m.r, rowBytes, kErrRowAlloc)) return 0;
    if (!AllocRows(g_maze.saved, m.r, rowBytes, kErrSavedAlloc)) return 0;
    if (!AllocRows(g_maze.via, m.ny + 1, layers * (m.nx + 1), kErrViaAlloc)) return 0;
    return 1;
}

void MazeForget() {
    delete[] g_maze.rows;
    delete[] g_maze.saved;
    delete[] g_maze.via;
    g_maze = MazeState{};
}

void MazeTestReset() {
    MazeForget();
    g_mzGrid = MzGridState{};
}

void MazeBorder() {
    if (!MazeActive()) ErrReport(kErrBorderInactive, 0);
    if (!g_maze.rows || !g_maze.rows[0]) return;
    const int32_t w = g_mzGrid.w, r = g_mzGrid.r;
    for (int32_t m = 1; m <= g_maze.layers; ++m) {
        for (int32_t y = 0; y < r; ++y) {
            uint8_t* row = g_maze.rows[y] + (m - 1) * w;
            bool inner = y >= kMazeBorder && y <= r - 1 - kMazeBorder;
            if (!inner) {
                std::memset(row, kCellBorder, size_t(w));
                continue;
            }
            std::memset(row, kCellBorder, kMazeBorder);
            std::memset(row + kMazeBorder, kCellFree, size_t(w - 2 * kMazeBorder));
            std::memset(row + w - kMazeBorder, kCellBorder, kMazeBorder);
        }
        int32_t slab = g_mzGrid.nx + 1;
        for (int32_t j = 0; j <= g_mzGrid.ny; ++j)
            std::memset(g_maze.via[j] + (m - 1) * slab, 0, size_t(slab));
    }
}

int32_t MazeGet(int32_t x, int32_t y, int32_t layer) {
    if (!MazeActive()) return 0;
    CheckCell(x, y, layer, kGetCodes);
    return *MazeCellPtr(x, y, g_maze.mazeIndex[layer]);
}

void MazeSet(int32_t x, int32_t y, int32_t layer, int32_t value) {
    if (!MazeActive()) return;
    CheckCell(x, y, layer, kSetCodes);
    *MazeCellPtr(x, y, g_maze.mazeIndex[layer]) = uint8_t(value);
}

int32_t MazeCellClass(int32_t x, int32_t y, int32_t layer) {
    if (!MazeActive() || !g_maze.rows || layer < 1 || layer > kMaxLayers) return 0;
    int32_t m = g_maze.mazeIndex[layer];
    if (!m || x < 0 || x >= g_mzGrid.w || y < 0 || y >= g_mzGrid.r) return 0;
    int32_t c = *MazeCellPtr(x, y, m) & kCellMarks;
    int32_t cx = x >> 1, cy = y >> 1;
    bool oddX = x & 1, oddY = y & 1;
    if (oddX && oddY) {
        c |= ViaByte(cx, cy, m);
    } else if (oddY) {
        c |= ViaByte(cx - 1, cy, m) | ViaByte(cx, cy, m);
    } else if (oddX) {
        c |= ViaByte(cx, cy - 1, m) | ViaByte(cx, cy, m);
    } else {
        c |= ViaByte(cx - 1, cy - 1, m) | ViaByte(cx, cy - 1, m) | ViaByte(cx - 1, cy, m) |
             ViaByte(cx, cy, m);
    }
    return c;
}

int32_t MazeCellCost(int32_t x, int32_t y, int32_t layer, int32_t kind) {
    if (!MazeActive()) return 0;
    CheckCell(x, y, layer, kCostCodes);
    int32_t c = MazeCellClass(x, y, layer);
    const LayerRec* r = LayerRecOf(layer);
    if (kind >= kMoveViaFirst && kind <= kMoveViaLast) {
        int32_t to = kind <= g_maze.layers ? g_maze.mazeOwner[kind] : 0;
        return ViaCost(g_viaPair[layer][to]);
    }
    if (!r) return kCostUnknownMove;
    switch (kind) {
    case kMoveYPlus:
    case kMoveYMinus:
        return r->vert[c];
    case kMoveXPlus:
    case kMoveXMinus:
        return r->horz[c];
    case kMoveSeed:
        return 0;
    default:
        if (kind >= kMoveDiagFirst && kind <= kMoveDiagLast) return r->vert[c] + r->horz[c];
        return kCostUnknownMove;
    }
}

void MazeTranslate(uint8_t* bytes, const uint8_t* table, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        bytes[i] = table[bytes[i]];
}

void MazeReset(int32_t dropTemporary, int32_t dropRuleMarks) {
    if (!MazeActive() || !g_maze.rows || !g_maze.layers) return;
    if (g_verbose) DebugPrint("MazeReset: Reseting");
    const MzGoal* goal = Goal();
    int32_t pass = goal ? std::clamp<int32_t>(goal->pass, 0, 4) : 0;
    bool hops = CurSweep().retry[pass] < 100 && !(goal && goal->savedCopy);
    uint8_t table[256];
    for (int32_t i = 0; i < 256; ++i) {
        int32_t code = i & kCellCodeMask;
        int32_t out = 0;
        if (code == kCellRuleMark && !dropTemporary && !dropRuleMarks) out = kCellRuleMark;
        if (code == kCellTempMark && !dropTemporary) out = kCellTempMark;
        if (code == kCellBlocked || code == kCellBorder) {
            table[i] = uint8_t(code); // 0x1D and 0x1F whole
            continue;
        }
        int32_t marks = i & kCellMarks;
        if (marks == kCellMarks && dropRuleMarks) marks = kCellMark2;
        if (marks == kCellMark1) {
            if (dropRuleMarks || (i & kCellLow6) == kCellOtherNet)
                out = kCellMark1 | kCellOtherNet;
            else
                out |= kCellMark1;
        } else if (marks == kCellMarks) {
            out |= kCellMarks;
        } else if (marks == kCellMark2) {
            if (hops)
                out |= kCellMark2;
            else
                out = kCellMark2 | kCellOtherNet;
        }
        table[i] = uint8_t(out);
    }
    const int32_t w = g_mzGrid.w;
    for (int32_t y = 1; y <= g_mzGrid.r - 2; ++y)
        for (int32_t m = 0; m < g_maze.layers; ++m)
            MazeTranslate(g_maze.rows[y] + m * w + 1, table, w - 2);
    if (g_verbose) DebugPrint("MazeReset: Complete");
}

namespace {

enum : uint64_t {
    kFingerprintSeed = 0x9E3779B97F4A7C15ull,
    kFingerprintPrime = 0x100000001B3ull,
};

uint64_t FingerprintBytes(uint64_t h, const uint8_t* bytes, size_t count) {
    size_t i = 0;
    for (; i + sizeof(uint64_t) <= count; i += sizeof(uint64_t)) {
        uint64_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        h = (h ^ word) * kFingerprintPrime;
        h ^= h >> 29;
    }
    for (; i < count; ++i)
        h = (h ^ bytes[i]) * kFingerprintPrime;
    return h;
}

} // namespace

uint64_t MazeFingerprint() {
    if (!g_maze.rows || !g_maze.layers) return 0;
    uint64_t h = kFingerprintSeed;
    const size_t rowBytes = size_t(g_maze.layers) * size_t(g_mzGrid.w);
    for (int32_t y = 0; y < g_mzGrid.r && y < g_maze.rowCount; ++y)
        if (g_maze.rows[y]) h = FingerprintBytes(h, g_maze.rows[y], rowBytes);
    const size_t viaBytes = size_t(g_maze.layers) * size_t(g_mzGrid.nx + 1);
    for (int32_t j = 0; g_maze.via && j <= g_mzGrid.ny && j < g_maze.viaRowCount; ++j)
        if (g_maze.via[j]) h = FingerprintBytes(h, g_maze.via[j], viaBytes);
    return h;
}

void MazeSave(int32_t save) {
    if (!g_maze.saved || !g_maze.saved[0]) ErrReport(kErrSaveNoCopy, save);
    if (!MazeActive()) ErrReport(kErrSaveInactive, save);
    if (!g_maze.layers) ErrReport(kErrSaveNoLayers, save);
    MzGoal* goal = Goal();
    size_t bytes = size_t(g_maze.layers) * size_t(g_mzGrid.w);
    if (save) {
        if (goal) goal->savedGoalObj = goal->objIndex;
        for (int32_t y = 1; y <= g_mzGrid.r - 2; ++y)
            std::memcpy(g_maze.saved[y], g_maze.rows[y], bytes);
    } else {
        if (goal) goal->savedGoalObj = 0;
        for (int32_t y = 1; y <= g_mzGrid.r - 2; ++y)
            std::swap(g_maze.saved[y], g_maze.rows[y]);
    }
}

void MazeUnmarkRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer) {
    if (layer < 1 || layer > kMaxLayers || !g_maze.mazeIndex[layer])
        ErrReport(kErrUnmarkLayer, layer);
    if (!MazeActive() || !g_maze.rows || !g_maze.rows[0]) return;
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, g_mzGrid.w - 1);
    y1 = std::min(y1, g_mzGrid.r - 1);
    const MzGoal* goal = Goal();
    bool both = goal && goal->savedCopy && g_maze.saved && g_maze.saved[0];
    int32_t base = (g_maze.mazeIndex[layer] - 1) * g_mzGrid.w;
    for (int32_t y = y0; y <= y1; ++y)
        for (int32_t copy = 0; copy < (both ? 2 : 1); ++copy) {
            uint8_t* row = (copy ? g_maze.saved[y] : g_maze.rows[y]) + base;
            for (int32_t x = x0; x <= x1; ++x)
                row[x] = (row[x] & kCellLow6) == kCellOtherNet ? uint8_t(kCellFree)
                                                               : uint8_t(row[x] & kCellLow6);
        }
}

void ViaBlockMarkRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer, int32_t bits) {
    if (layer < 1 || layer > DbLayers()) ErrReport(kErrViaMarkLayer, layer);
    int32_t m = g_maze.mazeIndex[layer];
    if (!MazeActive() || !m || !g_maze.via || !g_maze.via[0]) return;
    int32_t c0 = std::max(x0 / 2, 0), c1 = std::min(g_mzGrid.nx, (x1 - 1) >> 1);
    int32_t r0 = std::max(y0 / 2, 0), r1 = std::min(g_mzGrid.ny, (y1 - 1) >> 1);
    int32_t base = (m - 1) * (g_mzGrid.nx + 1);
    for (int32_t j = r0; j <= r1; ++j)
        for (int32_t i = c0; i <= c1; ++i)
            g_maze.via[j][base + i] = uint8_t(g_maze.via[j][base + i] | bits);
}

int32_t LayerMazeIndex(int32_t layer) {
    if (layer < 0 || layer > kMaxLayers) return 0;
    return g_maze.mazeIndex[layer];
}

int32_t MazeLayerDbLayer(int32_t index) {
    if (index < 1 || index > kMazeDbLayerMax) ErrReport(kErrDbLayerIndex, index);
    return g_maze.mazeOwner[index];
}
