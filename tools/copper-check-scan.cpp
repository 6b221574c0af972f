// The checks of copper-check (see copper-check-scan.h). The grid of a layer
// holds every item in each bucket its box, grown by half the layer's
// largest clearance, meets; a pair is measured once, in the bucket at the
// larger of the two boxes' lower bucket numbers, so no pair is met twice
// and no near pair is missed.
#include "copper-check-scan.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

constexpr int32_t kGridMaxSide = 2048;  // buckets along one side of a layer's grid
constexpr double kItemsPerBucket = 4.0; // the grid is sized for about this many items a bucket

struct UnionFind {
    std::vector<int32_t> up;
    explicit UnionFind(int32_t n) : up(size_t(std::max(n, 0))) {
        for (int32_t i = 0; i < n; ++i) up[size_t(i)] = i;
    }
    int32_t Find(int32_t a) {
        while (up[size_t(a)] != a) {
            up[size_t(a)] = up[size_t(up[size_t(a)])];
            a = up[size_t(a)];
        }
        return a;
    }
    void Join(int32_t a, int32_t b) {
        if (a < 0 || b < 0) return;
        a = Find(a);
        b = Find(b);
        if (a != b) up[size_t(std::max(a, b))] = std::min(a, b);
    }
};

// The buckets of one layer.
struct Grid {
    double x0 = 0, y0 = 0, cell = 1;
    int32_t nx = 1, ny = 1;
    std::vector<int32_t> start; // bucket b holds list[start[b] .. start[b + 1])
    std::vector<int32_t> list;
    struct Range {
        int32_t i1, j1, i2, j2;
    };
    Range RangeOf(const CcBox& b, double grow) const {
        auto col = [&](double x) { return std::clamp(int32_t(std::floor((x - x0) / cell)), 0, nx - 1); };
        auto row = [&](double y) { return std::clamp(int32_t(std::floor((y - y0) / cell)), 0, ny - 1); };
        return {col(b.x1 - grow), row(b.y1 - grow), col(b.x2 + grow), row(b.y2 + grow)};
    }
};

double BoxGap(const CcBox& a, const CcBox& b) {
    const double dx = std::max({0.0, a.x1 - b.x2, b.x1 - a.x2});
    const double dy = std::max({0.0, a.y1 - b.y2, b.y1 - a.y2});
    return std::max(dx, dy);
}

struct Scan {
    const CcModel& m;
    CcReport* r;
    UnionFind uf;
    std::unordered_map<uint64_t, CcFinding> obstacleHits; // by item and obstacle
    std::vector<Grid> grids;
    std::vector<double> grow; // per layer: half the largest clearance and a touch

    Scan(const CcModel& model, CcReport* report)
        : m(model), r(report), uf(model.nodes), grids(size_t(model.layers + 1)),
          grow(size_t(model.layers + 1), kCcTouch) {}

    void BuildGrid(int32_t l) {
        double widest = 0;
        for (int32_t a = 0; a < kCcClearKinds; ++a)
            for (int32_t b = 0; b < kCcClearKinds; ++b) widest = std::max(widest, m.clear[l][a][b]);
        grow[size_t(l)] = widest / 2 + kCcTouch;
        Grid& g = grids[size_t(l)];
        CcBox ext{1e300, 1e300, -1e300, -1e300};
        int32_t count = 0;
        for (const CcItem& it : m.items) {
            if (it.layer != l) continue;
            ext = {std::min(ext.x1, it.box.x1), std::min(ext.y1, it.box.y1), std::max(ext.x2, it.box.x2),
                   std::max(ext.y2, it.box.y2)};
            ++count;
        }
        if (!count) {
            g.start.assign(2, 0);
            return;
        }
        const double w = ext.x2 - ext.x1 + 2 * grow[size_t(l)] + 1, h = ext.y2 - ext.y1 + 2 * grow[size_t(l)] + 1;
        g.cell = std::max({std::sqrt(w * h * kItemsPerBucket / count), 2 * grow[size_t(l)],
                           std::max(w, h) / double(kGridMaxSide), 1.0});
        g.x0 = ext.x1 - grow[size_t(l)];
        g.y0 = ext.y1 - grow[size_t(l)];
        g.nx = std::clamp(int32_t(std::ceil(w / g.cell)) + 1, 1, kGridMaxSide + 1);
        g.ny = std::clamp(int32_t(std::ceil(h / g.cell)) + 1, 1, kGridMaxSide + 1);
        const size_t buckets = size_t(g.nx) * size_t(g.ny);
        g.start.assign(buckets + 1, 0);
        for (int pass = 0; pass < 2; ++pass) {
            std::vector<int32_t> fill;
            if (pass == 1) {
                for (size_t b = 0; b < buckets; ++b) g.start[b + 1] += g.start[b];
                g.list.assign(size_t(g.start[buckets]), 0);
                fill.assign(g.start.begin(), g.start.end() - 1);
            }
            for (int32_t k = 0; k < int32_t(m.items.size()); ++k) {
                const CcItem& it = m.items[size_t(k)];
                if (it.layer != l) continue;
                const Grid::Range rg = g.RangeOf(it.box, grow[size_t(l)]);
                for (int32_t j = rg.j1; j <= rg.j2; ++j)
                    for (int32_t i = rg.i1; i <= rg.i2; ++i) {
                        const size_t b = size_t(j) * size_t(g.nx) + size_t(i);
                        if (pass == 0)
                            ++g.start[b + 1];
                        else
                            g.list[size_t(fill[b]++)] = k;
                    }
            }
        }
    }

    void Add(CcFindingType t, int32_t l, CcPoint at, int32_t a, int32_t b, double gap, double need) {
        CcFinding f;
        f.type = t;
        f.layer = l;
        f.at = at;
        f.first = a;
        f.second = b;
        f.gap = gap;
        f.required = need;
        r->findings.push_back(f);
    }

    void ObstacleHit(int32_t item, int32_t obstacle, int32_t edge, CcPoint at, double gap, double need,
                     bool inside) {
        const uint64_t key = uint64_t(item) * uint64_t(m.obstacles.size() + 1) + uint64_t(obstacle);
        auto [slot, fresh] = obstacleHits.try_emplace(key);
        CcFinding& f = slot->second;
        // The nearest place; among equal gaps the lowest, so that the line
        // does not depend on the order the buckets give the edges in.
        if (!fresh && (f.gap < gap || (f.gap == gap && (f.at.x < at.x || (f.at.x == at.x && f.at.y <= at.y)))))
            return;
        f.type = kCcObstacle;
        f.layer = m.items[size_t(item)].layer;
        f.at = at;
        f.first = item;
        f.second = edge;
        f.obstacle = obstacle;
        f.gap = gap;
        f.required = need;
        f.inside = inside;
    }

    // Copper against copper of the same or another net.
    void CopperPair(int32_t a, int32_t b, int32_t l, bool same, double need) {
        const CcItem &A = m.items[size_t(a)], &B = m.items[size_t(b)];
        if (same && BoxGap(A.box, B.box) >= kCcTouch) return;
        if (!same && BoxGap(A.box, B.box) >= std::max<double>(need, kCcTouch)) return;
        CcPoint at;
        const double d = CcShapeDist(A.shape, B.shape, &at);
        if (same) {
            if (d < kCcTouch) uf.Join(A.node, B.node);
        } else if (d < kCcTouch) {
            Add(kCcShort, l, at, a, b, d, need);
        } else if (d < need - kCcSlack) {
            Add(kCcClearance, l, at, a, b, d, need);
        }
    }

    void Pair(int32_t a, int32_t b, int32_t l) {
        const CcItem *A = &m.items[size_t(a)], *B = &m.items[size_t(b)];
        if (A->kind == kCcEdge && B->kind == kCcEdge) return;
        if (A->kind == kCcEdge) {
            std::swap(a, b);
            std::swap(A, B);
        }
        if (B->kind != kCcEdge) {
            if (A->node == B->node) return;
            if (A->net == 0 && B->net == 0) return; // two pads of no net
            CopperPair(a, b, l, A->net == B->net, m.clear[l][A->kind][B->kind]);
            return;
        }
        // A is copper, B an obstacle's edge.
        const CcObstacle& ob = m.obstacles[size_t(B->a)];
        if (ob.comp && A->kind == kCcPad && A->a == ob.comp) return; // its own footprint's
        const double need = m.clear[l][A->kind][kCcSegment];
        if (ob.rules & kCcObsCopper) {
            if (ob.net == kCcAnyNet) return;
            CopperPair(a, b, l, ob.net == A->net, need);
            return;
        }
        if (BoxGap(A->box, B->box) >= std::max<double>(need, kCcTouch)) return;
        CcPoint at;
        const double d = CcShapeDist(A->shape, B->shape, &at);
        // A round keep-out is one disc: touching it is being inside it.
        const bool in = ob.circle && (ob.rules & kCcObsInside) && d < kCcTouch;
        if (d < kCcTouch || d < need - kCcSlack) ObstacleHit(a, B->a, b, at, d, need, in);
    }

    void PairsOfLayer(int32_t l) {
        const Grid& g = grids[size_t(l)];
        for (int32_t j = 0; j < g.ny && !g.list.empty(); ++j)
            for (int32_t i = 0; i < g.nx; ++i) {
                const size_t bk = size_t(j) * size_t(g.nx) + size_t(i);
                for (int32_t p = g.start[bk]; p < g.start[bk + 1]; ++p)
                    for (int32_t q = p + 1; q < g.start[bk + 1]; ++q) {
                        const int32_t a = g.list[size_t(p)], b = g.list[size_t(q)];
                        const Grid::Range ra = g.RangeOf(m.items[size_t(a)].box, grow[size_t(l)]);
                        const Grid::Range rb = g.RangeOf(m.items[size_t(b)].box, grow[size_t(l)]);
                        if (std::max(ra.i1, rb.i1) != i || std::max(ra.j1, rb.j1) != j) continue;
                        Pair(a, b, l);
                    }
            }
    }

    // Copper inside the areas that forbid it (and inside other nets' copper
    // areas).
    void Insides() {
        std::vector<int32_t> seen(m.items.size(), -1);
        for (int32_t o = 0; o < int32_t(m.obstacles.size()); ++o) {
            const CcObstacle& ob = m.obstacles[size_t(o)];
            if (!(ob.rules & kCcObsInside)) continue;
            if (ob.circle && (ob.rules & kCcObsEdges)) continue; // its disc was measured
            const int32_t l0 = ob.layer ? ob.layer : 1, l1 = ob.layer ? ob.layer : m.layers;
            for (int32_t l = l0; l <= l1; ++l) {
                const Grid& g = grids[size_t(l)];
                if (g.list.empty()) continue;
                const Grid::Range rg = g.RangeOf(ob.box, 0);
                for (int32_t j = rg.j1; j <= rg.j2; ++j)
                    for (int32_t i = rg.i1; i <= rg.i2; ++i) {
                        const size_t bk = size_t(j) * size_t(g.nx) + size_t(i);
                        for (int32_t p = g.start[bk]; p < g.start[bk + 1]; ++p) {
                            const int32_t k = g.list[size_t(p)];
                            if (seen[size_t(k)] == o) continue;
                            seen[size_t(k)] = o;
                            Inside(k, o);
                        }
                    }
            }
        }
    }

    void Inside(int32_t k, int32_t o) {
        const CcItem& it = m.items[size_t(k)];
        const CcObstacle& ob = m.obstacles[size_t(o)];
        if (it.kind == kCcEdge) return;
        if ((ob.rules & kCcObsViasOnly) && it.kind != kCcVia) return;
        if (ob.comp && it.kind == kCcPad && it.a == ob.comp) return;
        const CcPoint p = it.shape.p[0];
        const bool in = ob.circle ? CcDist(p, ob.centre) < ob.radius : ob.area.Contains(p);
        if (!in) return;
        if (ob.rules & kCcObsCopper) {
            if (ob.net == kCcAnyNet) return;
            if (ob.net == it.net) {
                uf.Join(it.node, ob.node);
                return;
            }
            Add(kCcShort, it.layer, p, k, -1, 0, 0);
            r->findings.back().obstacle = o;
            return;
        }
        ObstacleHit(k, o, -1, p, 0, m.clear[it.layer][it.kind][kCcSegment], true);
    }

    // Copper outside every board outline.
    void Outsides() {
        std::vector<int32_t> outlines;
        for (int32_t o = 0; o < int32_t(m.obstacles.size()); ++o)
            if (m.obstacles[size_t(o)].rules & kCcObsOutside) outlines.push_back(o);
        if (outlines.empty()) return;
        for (int32_t k = 0; k < int32_t(m.items.size()); ++k) {
            const CcItem& it = m.items[size_t(k)];
            if (it.kind == kCcEdge) continue;
            // Inside when no outline bounds its layer or one holds it.
            const CcPoint p = it.shape.p[0];
            int32_t bound = -1;
            bool in = false;
            for (int32_t o : outlines) {
                const CcObstacle& ob = m.obstacles[size_t(o)];
                if (ob.layer && ob.layer != it.layer) continue;
                if (bound < 0) bound = o;
                in = ob.circle ? CcDist(p, ob.centre) <= ob.radius : ob.area.Contains(p);
                if (in) break;
            }
            if (bound >= 0 && !in)
                ObstacleHit(k, bound, -1, p, 0, m.clear[it.layer][it.kind][kCcSegment], true);
        }
    }

    void Opens() {
        for (int32_t c = 0; c < int32_t(m.connections.size()); ++c) {
            const CcConnection& cc = m.connections[size_t(c)];
            if (uf.Find(cc.fromNode) == uf.Find(cc.toNode)) {
                ++r->complete;
                continue;
            }
            CcFinding f;
            f.type = kCcOpen;
            f.connection = c;
            r->findings.push_back(f);
        }
    }
};

} // namespace

void CcScan(const CcModel& m, CcReport* r) {
    *r = CcReport{};
    Scan s(m, r);
    for (int32_t l = 1; l <= m.layers; ++l) {
        s.BuildGrid(l);
        s.PairsOfLayer(l);
    }
    s.Insides();
    s.Outsides();
    for (auto& [key, f] : s.obstacleHits) r->findings.push_back(f);
    s.Opens();
    std::sort(r->findings.begin(), r->findings.end(), [](const CcFinding& a, const CcFinding& b) {
        if (a.type != b.type) return a.type < b.type;
        if (a.type == kCcOpen) return a.connection < b.connection;
        if (a.layer != b.layer) return a.layer < b.layer;
        if (a.at.x != b.at.x) return a.at.x < b.at.x;
        if (a.at.y != b.at.y) return a.at.y < b.at.y;
        if (a.first != b.first) return a.first < b.first;
        return a.second < b.second;
    });
    for (const CcFinding& f : r->findings) {
        if (f.type == kCcShort) ++r->shorts;
        if (f.type == kCcClearance || f.type == kCcObstacle) ++r->clearance;
        if (f.type == kCcOpen) ++r->opens;
    }
}
