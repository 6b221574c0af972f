// The length of chain trees: on nets of pins without copper the tree step is
// the whole result, and its connections must be as short as a minimum
// spanning tree of the pins under the net's metric and layer term - exactly
// for nets of at most 10 pin chains (the plain merge), within 1% for larger
// nets (pruned candidate edges). Both ways in: ordering a net from its
// connections, and rebuilding every net from its node lists.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <numeric>

#include "chainfixture.h"

namespace {

// Pad sides of a pin: through-hole (pads on both layers), surface-mount on
// layer 1 or on layer 2. The values are the layer masks the pins carry.
enum Side : uint32_t { kTop = 1, kBottom = 2, kThrough = 3 };

struct PinSpec {
    int32_t x, y;
    Side side;
};

class ChainLengthTest : public ChainTest {
  protected:
    void SetUp() override {
        ChainTest::SetUp();
        for (Side side : {kTop, kBottom, kThrough}) {
            int32_t t = AddThru({{kPadRound, 300, 300, 300, 300}}, side << 1);
            symOf[side] = AddSymbol(side == kTop      ? "TOP"
                                    : side == kBottom ? "BOT"
                                                      : "THRU",
                                    {{0, 0, int16_t(t)}});
        }
    }

    // A fresh design with one net of the pins, joined in the given order by
    // unrouted connections; answers the net.
    int32_t NewNet(const std::vector<PinSpec>& pins, const std::vector<size_t>& order,
                   uint8_t type) {
        TearDown();
        SetUp();
        int32_t n = AddNet(type);
        comps.clear();
        for (size_t i = 0; i < pins.size(); ++i) {
            comps.push_back(AddComp(("P" + std::to_string(i + 1)).c_str(), symOf[pins[i].side],
                                    pins[i].x, pins[i].y));
            sideOf[comps.back()] = pins[i].side;
        }
        PutOrder(n, pins, order);
        return n;
    }

    void PutOrder(int32_t n, const std::vector<PinSpec>& pins, const std::vector<size_t>& order) {
        for (size_t k = 0; k + 1 < order.size(); ++k) {
            const PinSpec &a = pins[order[k]], &b = pins[order[k + 1]];
            Put(Rec(n, comps[order[k]], comps[order[k + 1]], {{a.x, a.y}, {b.x, b.y}}));
        }
    }

    // Distance of two pins as the tree weighs them: the metric, and one more
    // when they share no layer.
    static int64_t Weight(const PinSpec& a, const PinSpec& b, int32_t metric) {
        int64_t d = TreeDistance(b.x - a.x, b.y - a.y, metric);
        return d + ((a.side & b.side) ? 0 : 1);
    }

    // Prim's minimum spanning tree over all pins.
    static int64_t MinimumTree(const std::vector<PinSpec>& pins, int32_t metric) {
        size_t n = pins.size();
        std::vector<int64_t> near(n, INT64_MAX);
        std::vector<bool> in(n, false);
        near[0] = 0;
        int64_t total = 0;
        for (size_t step = 0; step < n; ++step) {
            size_t pick = n;
            for (size_t i = 0; i < n; ++i)
                if (!in[i] && (pick == n || near[i] < near[pick])) pick = i;
            in[pick] = true;
            total += near[pick];
            for (size_t i = 0; i < n; ++i)
                if (!in[i]) near[i] = std::min(near[i], Weight(pins[pick], pins[i], metric));
        }
        return total;
    }

    // The net's connections must form a spanning tree of its pins (every
    // pin in it once, pins - 1 connections, none from a pin to itself);
    // answers their total length.
    int64_t TreeLength(int32_t n, const std::vector<PinSpec>& pins, int32_t metric) {
        std::map<int32_t, size_t> at;
        for (size_t i = 0; i < comps.size(); ++i)
            at[comps[i]] = i;
        std::vector<size_t> root(pins.size());
        std::iota(root.begin(), root.end(), 0);
        auto find = [&](size_t v) {
            while (root[v] != v)
                v = root[v] = root[root[v]];
            return v;
        };
        int64_t total = 0;
        int32_t count = 0;
        for (int32_t c = NetConnFirst(n); c != 0; c = NetConnNext(c)) {
            const ConnHead& h = ConnRef(c)->head;
            EXPECT_TRUE(at.count(h.fromComp) && at.count(h.toComp));
            if (!at.count(h.fromComp) || !at.count(h.toComp)) return -1;
            size_t a = at[h.fromComp], b = at[h.toComp];
            EXPECT_NE(a, b) << "a connection from a pin to itself";
            root[find(a)] = find(b);
            total += Weight(pins[a], pins[b], metric);
            ++count;
        }
        EXPECT_EQ(count, int32_t(pins.size()) - 1);
        for (size_t i = 0; i < pins.size(); ++i)
            EXPECT_EQ(find(i), find(0)) << "pin " << i + 1 << " is in another tree";
        return total;
    }

    // Orders the net both ways and compares each result with the minimum
    // tree: equal up to 10 pins, within 1% above.
    void ExpectMinimal(const std::vector<PinSpec>& pins, const std::vector<size_t>& order,
                       uint8_t type) {
        int32_t metric = TreeMetric(type);
        int64_t best = MinimumTree(pins, metric);
        for (bool rebuild : {false, true}) {
            SCOPED_TRACE(rebuild ? "NetRebuildAll" : "ChainOrderNetChecked");
            int32_t n = NewNet(pins, order, type);
            if (rebuild)
                NetRebuildAll();
            else
                ChainOrderNetChecked(n);
            int64_t got = TreeLength(n, pins, metric);
            if (pins.size() <= 10)
                EXPECT_EQ(got, best);
            else
                EXPECT_LE(double(got), double(best) * 1.01) << "minimum " << best;
            EXPECT_GE(got, best);
        }
    }

    std::map<Side, int32_t> symOf;
    std::map<int32_t, Side> sideOf;
    std::vector<int32_t> comps;
};

std::vector<size_t> InOrder(size_t n) {
    std::vector<size_t> v(n);
    std::iota(v.begin(), v.end(), 0);
    return v;
}

TEST_F(ChainLengthTest, AGapMadeByTheTreeIsNoJoinPoint) {
    // A and B on layer 2, C on layer 1 above A, D through-hole far off. The
    // tree grows from A and joins B first; its gap A-B carries layer 1 and
    // starts on A's point, so C is one nearer to the gap than to A. C must
    // still be joined at A (5,001), not through the gap to B (8,001).
    std::vector<PinSpec> pins = {
        {0, 0, kBottom}, {3000, 0, kBottom}, {0, 5000, kTop}, {20000, 0, kThrough}};
    ExpectMinimal(pins, {0, 1, 3, 2}, 0);
    int32_t n = NewNet(pins, {0, 1, 3, 2}, 0);
    ChainOrderNetChecked(n);
    EXPECT_EQ(Pairs(n),
              (Pairs_t{{comps[0], comps[1]}, {comps[0], comps[2]}, {comps[1], comps[3]}}));
}

TEST_F(ChainLengthTest, ACandidateEdgeNeededByTheTreeIsKept) {
    // Seventeen pins: a row of sixteen close together and, far off, one pin
    // whose nearest partner is the first of the row, which has a much
    // nearer neighbour. Judged only by the row's pin, the edge to it would
    // be pruned.
    std::vector<PinSpec> pins = {{0, 0, kThrough}, {100000, 0, kThrough}};
    for (int32_t i = 1; i < 16; ++i)
        pins.push_back({i * 1000, 0, kThrough});
    ExpectMinimal(pins, InOrder(pins.size()), 0);
    std::vector<size_t> order = InOrder(pins.size());
    std::reverse(order.begin(), order.end());
    ExpectMinimal(pins, order, 0);
}

TEST_F(ChainLengthTest, RandomNetsGiveTheMinimumTree) {
    uint32_t seed = 20261210;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % range;
    };
    const uint8_t types[] = {0x00, 0x04, 0x02, 0x08, 0x20, 0x10 | 0x04};
    const int32_t sizes[] = {3, 4, 6, 9, 10, 11, 12, 17, 25, 40, 64, 100, 180, 300};
    int32_t round = 0;
    for (int32_t size : sizes) {
        for (int32_t variant = 0; variant < 4; ++variant, ++round) {
            bool clustered = variant & 1, twoSides = variant & 2;
            uint8_t type = types[size_t(round) % (sizeof types)];
            SCOPED_TRACE("pins " + std::to_string(size) + (clustered ? " clustered" : " spread") +
                         (twoSides ? " both sides" : " one side") + " type " +
                         std::to_string(type));
            std::vector<PinSpec> pins;
            int32_t clusters = 1 + int32_t(next(5));
            std::vector<std::pair<int32_t, int32_t>> centre;
            for (int32_t c = 0; c < clusters; ++c)
                centre.emplace_back(int32_t(next(400000)), int32_t(next(400000)));
            for (int32_t i = 0; i < size; ++i) {
                int32_t x, y;
                if (clustered) {
                    auto [cx, cy] = centre[next(uint32_t(clusters))];
                    x = cx + int32_t(next(8000)) / 25 * 25;
                    y = cy + int32_t(next(8000)) / 25 * 25;
                } else {
                    x = int32_t(next(400000));
                    y = int32_t(next(400000));
                }
                Side side = kTop;
                if (twoSides)
                    side = Side(1 + next(3));
                else if (next(2))
                    side = kThrough;
                pins.push_back({x, y, side});
            }
            std::vector<size_t> order = InOrder(pins.size());
            for (size_t i = order.size() - 1; i > 0; --i)
                std::swap(order[i], order[next(uint32_t(i + 1))]);
            ExpectMinimal(pins, order, type);
            if (HasFailure()) return;
        }
    }
}

} // namespace
