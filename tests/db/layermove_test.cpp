// Moving and deleting layers across every table that names a layer.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "db/attrs.h"
#include "db/layermove.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/pool.h"
#include "db/sweeps.h"
#include "db/thru.h"
#include "dbfixture.h"

namespace {

// Stand-ins for the tables that take part through the generic record
// access: records 1..size, deleting closes the gap.
template <typename T, int32_t Type> struct FakeTable {
    static std::vector<T> rows;
    static int32_t puts;
    static void Install() {
        DbModuleOps ops;
        ops.get = [](int32_t n, void* out) { std::memcpy(out, &rows[size_t(n - 1)], sizeof(T)); };
        ops.put = [](int32_t n, const void* rec) {
            std::memcpy(&rows[size_t(n - 1)], rec, sizeof(T));
            ++puts;
        };
        ops.del = [](int32_t n) { rows.erase(rows.begin() + (n - 1)); };
        DbRegisterModule(Type, ops);
        DbTableSetCount(Type, [] { return int32_t(rows.size()); });
    }
    static void Clear() {
        rows.clear();
        puts = 0;
    }
};
template <typename T, int32_t Type> std::vector<T> FakeTable<T, Type>::rows;
template <typename T, int32_t Type> int32_t FakeTable<T, Type>::puts = 0;

using Nets = FakeTable<Net, kRecNet>;
using Conns = FakeTable<Conn, kRecConn>;
using Obstacles = FakeTable<Obstacle, kRecObstacle>;
using Texts = FakeTable<BoardText, kRecBoardText>;

constexpr int32_t kFakeTypes[] = {kRecNet, kRecConn, kRecObstacle, kRecBoardText};

class LayerMoveTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        for (int32_t t : kFakeTypes)
            m_saved.push_back(DbModuleGet(t));
        Nets::Clear();
        Conns::Clear();
        Obstacles::Clear();
        Texts::Clear();
        Nets::Install();
        Conns::Install();
        Obstacles::Install();
        Texts::Install();
    }
    void TearDown() override {
        for (size_t i = 0; i < m_saved.size(); ++i) {
            DbTableSetCount(kFakeTypes[i], nullptr);
            DbRegisterModule(kFakeTypes[i], m_saved[i]);
        }
        Nets::Clear();
        Conns::Clear();
        Obstacles::Clear();
        Texts::Clear();
        DbTest::TearDown();
    }

    // A board of `layers` layers: layer l named "L<l>", its thru-code pad of
    // radius 10 x l, Dir of layer l in every sweep 10 x l, one colour entry
    // per layer and for every layer; 2 and 1 mirror each other, 3 and 4.
    void Board(int16_t layers) {
        DbHeaderReset();
        DbHdr().layerCount = layers;
        DbInit();
        for (int32_t l = 1; l <= layers; ++l) {
            Layer rec;
            LayerGet(l, &rec);
            char name[8];
            std::snprintf(name, sizeof name, "L%d", int(l));
            rec.name = NameIntern(name);
            rec.mirror = uint8_t(l == 1 ? 2 : l == 2 ? 1 : l == 3 ? 4 : l == 4 ? 3 : 0);
            LayerPut(l, &rec);
        }
        m_thru = ThruAdd();
        auto* t = static_cast<ThruCode*>(ScratchPush());
        ThruGet(m_thru, t);
        for (int32_t l = 1; l <= layers; ++l) {
            ThruLayer& b = t->layer[l];
            b.shapeCount = 1;
            b.shape[0].code = 1; // round
            for (int32_t e = 0; e < 4; ++e)
                b.shape[0].ext[e] = 10 * l;
        }
        ThruPut(m_thru, t);
        ScratchPop(t);
        for (int32_t i = 0; i < kSweepCount; ++i)
            for (int32_t l = 1; l <= 30; ++l)
                SweepSlot(i)->dir[l] = uint8_t(10 * l + i);
        for (int32_t l = 1; l <= layers; ++l)
            AddColor(uint8_t(l), int32_t(100 + l));
        AddColor(kColorAllLayers, 999);
    }
    static void AddColor(uint8_t layer, int32_t color) {
        int32_t n = ColorAdd();
        ColorEntry e{};
        e.kind = 1;
        e.layer = layer;
        e.color = color;
        ColorPut(n, &e);
    }
    static void AddConn(std::vector<uint8_t> layers) {
        Conn c{};
        c.head.count = int16_t(layers.size());
        for (size_t i = 0; i < layers.size(); ++i) {
            c.crn[i].x = int32_t(i) * 100;
            c.crn[i].layer = layers[i];
        }
        Conns::rows.push_back(c);
    }
    static std::vector<int32_t> CornerLayers(size_t conn) {
        std::vector<int32_t> out;
        const Conn& c = Conns::rows[conn];
        for (int32_t i = 0; i < c.head.count; ++i)
            out.push_back(int32_t(c.crn[i].layer));
        return out;
    }
    static std::vector<int32_t> CornerXs(size_t conn) {
        std::vector<int32_t> out;
        const Conn& c = Conns::rows[conn];
        for (int32_t i = 0; i < c.head.count; ++i)
            out.push_back(int32_t(c.crn[i].x));
        return out;
    }
    static void AddObstacle(uint8_t layer, int32_t tag) {
        Obstacle o{};
        o.head.layer = layer;
        o.head.width = tag;
        Obstacles::rows.push_back(o);
    }
    static void AddText(uint8_t layer, int32_t tag) {
        BoardText t{};
        t.layer = layer;
        t.width = tag;
        Texts::rows.push_back(t);
    }
    static std::string LayerName(int32_t l) { return NameText(LayerRef(l)->name); }
    int32_t PadRadius(int32_t l) const { return ThruPadRef(m_thru, l)->shape[0].ext[0]; }
    static std::vector<std::pair<int32_t, int32_t>> Colors() {
        std::vector<std::pair<int32_t, int32_t>> out;
        for (int32_t n = 1; n <= ColorCount(); ++n) {
            ColorEntry e;
            ColorGet(n, &e);
            out.push_back({int32_t(e.layer), int32_t(e.color)});
        }
        return out;
    }

    std::vector<DbModuleOps> m_saved;
    int32_t m_thru = 0;
};

TEST_F(LayerMoveTest, DeleteMovesTheLayersAboveDownEverywhere) {
    Board(4);
    AddConn({1, 1, 2, 1}); // a pair on layer 1 loses its second corner
    AddConn({1, 1});       // the last corner always stays
    AddConn({1, 1, 1});
    AddConn({3, 4, 4, 2}); // nothing on layer 1
    AddObstacle(1, 11);
    AddObstacle(2, 12);
    AddObstacle(4, 14);
    AddObstacle(1, 111);
    AddText(3, 13);
    AddText(1, 11);
    // Required layers of nets 1 and 2: on the deleted layer and on layer 4.
    for (int16_t net : {1, 2}) {
        Attribute a{};
        a.kind = kAttrNetLayer;
        a.key1Type = kRecNet;
        a.key1 = net;
        a.key2 = int16_t(net == 1 ? 1 : 4);
        a.value1 = 1;
        AttrPut(&a);
    }
    DbHdr().sweep = 5;
    DbHdr().modified = 0;

    EXPECT_EQ(LayerDelete(1), 1);

    EXPECT_EQ(LayerCount(), 3);
    EXPECT_EQ(DbHdr().modified, 1);
    EXPECT_EQ(DbHdr().sweep, 5);
    EXPECT_EQ(LayerName(1), "L2");
    EXPECT_EQ(LayerName(2), "L3");
    EXPECT_EQ(LayerName(3), "L4");
    // The mirror of the deleted layer is gone; 3 and 4 became 2 and 3.
    EXPECT_EQ(LayerRef(1)->mirror, 0);
    EXPECT_EQ(LayerRef(2)->mirror, 3);
    EXPECT_EQ(LayerRef(3)->mirror, 2);
    EXPECT_EQ(PadRadius(1), 20);
    EXPECT_EQ(PadRadius(2), 30);
    EXPECT_EQ(PadRadius(3), 40);
    for (int32_t i = 0; i < kSweepCount; ++i) {
        EXPECT_EQ(SweepSlot(i)->dir[1], 20 + i) << i;
        EXPECT_EQ(SweepSlot(i)->dir[3], 40 + i) << i;
    }
    // Colour entries: layer 1's deleted, the others follow their layers.
    auto colors = Colors();
    std::sort(colors.begin(), colors.end());
    EXPECT_EQ(colors,
              (std::vector<std::pair<int32_t, int32_t>>{{1, 102}, {2, 103}, {3, 104}, {255, 999}}));
    EXPECT_EQ(CornerLayers(0), (std::vector<int32_t>{0, 1, 0}));
    EXPECT_EQ(CornerXs(0), (std::vector<int32_t>{0, 200, 300}));
    EXPECT_EQ(CornerLayers(1), (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(CornerLayers(2), (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(CornerXs(2), (std::vector<int32_t>{0, 200}));
    EXPECT_EQ(CornerLayers(3), (std::vector<int32_t>{2, 3, 3, 2})); // last corner kept its byte
    ASSERT_EQ(Obstacles::rows.size(), 2u);
    EXPECT_EQ(int32_t(Obstacles::rows[0].head.layer), 1);
    EXPECT_EQ(int32_t(Obstacles::rows[0].head.width), 12);
    EXPECT_EQ(int32_t(Obstacles::rows[1].head.layer), 3);
    ASSERT_EQ(Texts::rows.size(), 1u);
    EXPECT_EQ(int32_t(Texts::rows[0].layer), 2);
    // The required layer on the deleted layer is dropped, layer 4 became 3.
    Attribute found;
    EXPECT_FALSE(AttrFind(kAttrNetLayer, kRecNet, 1, 0, &found));
    EXPECT_FALSE(AttrFind(kAttrNetLayer, kRecNet, 2, 4, &found));
    EXPECT_TRUE(AttrFind(kAttrNetLayer, kRecNet, 2, 3, &found));
    EXPECT_EQ(AttrPutCheck(&found), 0);
}

TEST_F(LayerMoveTest, DeleteRefusesWithTwoLayers) {
    Board(2);
    AddConn({1, 2});
    AddObstacle(1, 1);
    DbHdr().modified = 0;
    EXPECT_EQ(LayerDelete(1), 0);
    EXPECT_EQ(LayerCount(), 2);
    EXPECT_EQ(DbHdr().modified, 0);
    EXPECT_EQ(CornerLayers(0), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(Obstacles::rows.size(), 1u);
    EXPECT_EQ(LayerName(1), "L1");
}

TEST_F(LayerMoveTest, MoveCopiesALayerEverywhere) {
    Board(4);
    AddConn({2, 2, 1, 2});
    AddObstacle(2, 1);
    AddText(2, 1);
    Nets::rows.resize(3);
    DbHdr().sweep = 7;
    LayerMove(2, 3);
    EXPECT_EQ(LayerName(3), "L2");
    EXPECT_EQ(LayerName(2), "L2");
    EXPECT_EQ(LayerRef(1)->mirror, 3); // its mirror was 2
    EXPECT_EQ(PadRadius(3), 20);
    EXPECT_EQ(PadRadius(2), 20);
    EXPECT_EQ(SweepSlot(4)->dir[3], 24);
    EXPECT_EQ(DbHdr().sweep, 7);
    EXPECT_EQ(CornerLayers(0), (std::vector<int32_t>{3, 3, 1, 2})); // all but the last
    EXPECT_EQ(int32_t(Obstacles::rows[0].head.layer), 3);
    EXPECT_EQ(int32_t(Texts::rows[0].layer), 3);
    EXPECT_EQ(Nets::puts, 3); // every net stored again
    auto colors = Colors();
    EXPECT_EQ(std::count(colors.begin(), colors.end(), std::make_pair(3, 102)), 1);
}

TEST_F(LayerMoveTest, BadLayerNumbers) {
    Board(4);
    EXPECT_FATAL(LayerMove(-1, 1), 21343);
    EXPECT_FATAL(LayerMove(31, 1), 21343);
    EXPECT_FATAL(LayerMove(1, 31), 21344);
    EXPECT_FATAL(LayerDelete(0), 21375);
    EXPECT_FATAL(LayerDelete(5), 21375);
}

} // namespace
