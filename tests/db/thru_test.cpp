#include <cstring>
#include <vector>

#include "db/attrs.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/thru.h"
#include "dbfixture.h"

namespace {

class ThruTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        DbHeaderReset();
        DbHdr().viaCount = 2;
        DbHdr().thruCount = 5;
        DbInit();
        m_hook = ThruSetRenumberHook(nullptr);
        ThruSetRenumberHook(m_hook);
    }
    void TearDown() override {
        ThruSetRenumberHook(m_hook);
        DbTest::TearDown();
    }
    ThruRenumberHook m_hook = nullptr;
    // A thru code image with one shape on a layer.
    static void SetShape(ThruCode& t, int32_t layer, int32_t j, uint8_t code, int32_t l, int32_t b,
                         int32_t r, int32_t top) {
        PadShape& s = t.layer[layer].shape[j];
        s.code = code;
        s.ext[0] = l;
        s.ext[1] = b;
        s.ext[2] = r;
        s.ext[3] = top;
    }
    static ThruCode Fresh(int32_t n) {
        ThruCode t;
        std::memset(&t, 0, sizeof t);
        ThruGet(n, &t);
        return t;
    }
};

TEST_F(ThruTest, InitCreatesTheViaTypes) {
    EXPECT_EQ(ThruCount(), 2);
    EXPECT_EQ(ThruRef(1)->name, 30002u);
    EXPECT_EQ(ThruRef(2)->name, 30003u);
    EXPECT_EQ(ThruRecSize(), 12 + 108 * 3);
    EXPECT_EQ(DbRecSize(kRecThruCode, ThruRef(1)), ThruRecSize());
}

TEST_F(ThruTest, InitChecks) {
    EXPECT_FATAL(ThruInit(), 5225011); // not empty
    struct Case {
        int16_t vias, thrus;
        int32_t code;
    } cases[] = {
        {0, 5, 5225012},
        {251, 300, 5225012},
        {3, 2, 5225015},
        {3, 1001, 5225015},
    };
    for (const Case& c : cases) {
        DbFree();
        DbHeaderReset();
        DbHdr().viaCount = c.vias;
        DbHdr().thruCount = c.thrus;
        EXPECT_FATAL(ThruInit(), c.code);
    }
    DbFree();
    DbHeaderReset();
    DbHdr().viaCount = 250;
    DbHdr().thruCount = 1000;
    ThruInit();
    EXPECT_EQ(ThruCount(), 250);
    EXPECT_EQ(NameText(ThruRef(250)->name), std::string("250"));
}

TEST_F(ThruTest, AddUpToOneThousand) {
    DbHdr().modified = 0;
    EXPECT_EQ(DbNewRecord(kRecThruCode), 3);
    EXPECT_EQ(DbHdr().modified, 1);
    EXPECT_EQ(ThruRef(3)->name, 30004u);
    for (int32_t n = 4; n <= 1000; ++n)
        ASSERT_EQ(ThruAdd(), n);
    EXPECT_FATAL(ThruAdd(), 5225029);
    EXPECT_EQ(ThruCount(), 1000);
    EXPECT_EQ(PadstackFind("1000"), 1000);
}

TEST_F(ThruTest, IndexChecks) {
    ThruCode t = Fresh(1);
    ThruLayer b;
    EXPECT_FATAL(ThruGet(0, &t), 5225055);
    EXPECT_FATAL(ThruGet(3, &t), 5225055);
    EXPECT_FATAL(ThruRef(3), 5225056);
    EXPECT_FATAL(ThruPut(3, &t), 5225057);
    EXPECT_FATAL(ThruPut(0, &t), 5225057);
    EXPECT_FATAL(ThruPadGet(3, 1, &b), 5225080);
    EXPECT_FATAL(ThruPadGet(1, 3, &b), 5225070); // above the layer count
    EXPECT_FATAL(ThruPadGet(1, -1, &b), 5225070);
    ThruPadGet(1, 2, &b);
}

TEST_F(ThruTest, PutChecksTheShapesOfLayersOneToL) {
    struct Case {
        uint8_t code;
        int32_t e[4];
        int32_t fatal; // 0: stored
    } cases[] = {
        {kPadRound, {5, 5, 5, 5}, 0},         {kPadRound, {4, 5, 5, 5}, 5225040},
        {kPadSquare, {5, 4, 5, 5}, 5225040},  {kPadThermal, {5, 5, 4, 5}, 5225041},
        {kPadAnnular, {5, 5, 5, 4}, 5225042}, {kPadOblong, {1, 2, 3, 4}, 0},
        {kPadRect, {-1, 2, 3, 4}, 5225044},   {kPadOval, {1, -2, 3, 4}, 5225045},
        {kPadOblong, {1, 2, -3, 4}, 5225046}, {kPadRect, {1, 2, 3, -4}, 5225051},
        {8, {0, 0, 0, 0}, 5225049},
    };
    for (const Case& c : cases) {
        const ThruCode before = Fresh(2);
        ThruCode t = before;
        t.layer[2].shapeCount = 1;
        SetShape(t, 2, 0, c.code, c.e[0], c.e[1], c.e[2], c.e[3]);
        if (c.fatal) {
            EXPECT_FATAL(ThruPut(2, &t), c.fatal);
            EXPECT_EQ(std::memcmp(ThruRef(2), &before, size_t(ThruRecSize())), 0)
                << "a refused put stores nothing";
        } else {
            ThruPut(2, &t);
            EXPECT_EQ(ThruRef(2)->layer[2].shape[0].code, c.code);
            EXPECT_EQ(ThruRef(2)->layer[2].shape[0].ext[2], c.e[2]);
        }
    }
    ThruCode t = Fresh(2);
    t.layer[1].flags = 128;
    EXPECT_FATAL(ThruPut(2, &t), 5225076);
    // Layer 0 is not checked, and the trusted flag skips the checks.
    t = Fresh(2);
    t.layer[0].flags = 200;
    t.layer[0].shapeCount = 1;
    SetShape(t, 0, 0, 9, 1, 2, 3, 4);
    ThruPut(2, &t);
    t.layer[1].flags = 200;
    {
        DbTrustedScope trusted;
        ThruPut(2, &t);
    }
    EXPECT_EQ(ThruRef(2)->layer[1].flags, 200);
}

TEST_F(ThruTest, TheFirstUndefinedShapeEndsTheList) {
    ThruCode t = Fresh(2);
    // Second shape undefined: one shape stays.
    t.layer[1].shapeCount = 3;
    SetShape(t, 1, 0, kPadRound, 7, 7, 7, 7);
    SetShape(t, 1, 1, kPadUndef, 3, 4, 5, 6);
    SetShape(t, 1, 2, kPadRect, 1, 2, 3, 4);
    // First shape undefined: count 1 and zero extents.
    t.layer[2].shapeCount = 2;
    SetShape(t, 2, 0, kPadUndef, 3, 4, 5, 6);
    SetShape(t, 2, 1, kPadRound, 7, 7, 7, 7);
    ThruPut(2, &t);
    const ThruCode* s = ThruRef(2);
    EXPECT_EQ(s->layer[1].shapeCount, 1);
    EXPECT_EQ(s->layer[1].shape[0].ext[0], 7);
    EXPECT_EQ(s->layer[2].shapeCount, 1);
    for (int32_t e : s->layer[2].shape[0].ext)
        EXPECT_EQ(e, 0);
}

TEST_F(ThruTest, ShapeCountAboveFourIsRefusedEvenWhenTrusted) {
    for (int32_t layer : {0, 1, 2}) {
        ThruCode t = Fresh(1);
        t.layer[layer].shapeCount = 5;
        EXPECT_FATAL(ThruPut(1, &t), 5225048);
        DbTrustedScope trusted;
        EXPECT_FATAL(ThruPut(1, &t), 5225048);
    }
}

TEST_F(ThruTest, PutTakesARecordIdAndCopiesThePresentSize) {
    int32_t id = DbHdr().recordId;
    ThruCode t = Fresh(1);
    t.layer[2].shapeCount = 1;
    SetShape(t, 2, 0, kPadSquare, 9, 9, 9, 9);
    t.layer[3].shapeCount = 1; // beyond the record's layers: not copied
    SetShape(t, 3, 0, kPadSquare, 9, 9, 9, 9);
    DbHdr().modified = 0;
    DbPutRecord(kRecThruCode, 1, &t);
    EXPECT_EQ(ThruRef(1)->recordId, id - 1);
    EXPECT_EQ(ThruRef(1)->layer[3].shapeCount, 0);
    EXPECT_EQ(DbHdr().modified, 1);
    ThruCode back = Fresh(1);
    EXPECT_EQ(back.layer[2].shape[0].ext[3], 9);
    ThruLayer b;
    ThruPadGet(1, 2, &b);
    EXPECT_EQ(std::memcmp(&b, &back.layer[2], sizeof b), 0);
}

TEST_F(ThruTest, AddedLayersStartEmptyInEveryThruCode) {
    // Stored while the design had three layers, a block of layer 3 stays
    // in memory; adding the layer clears it before anyone reads it.
    DbHdr().layerCount = 3;
    ThruCode t = Fresh(1);
    t.layer[3].shapeCount = 1;
    SetShape(t, 3, 0, kPadRound, 4, 4, 4, 4);
    ThruPut(1, &t);
    DbHdr().layerCount = 2;
    EXPECT_EQ(LayerAdd(), 3);
    EXPECT_EQ(ThruRef(1)->layer[3].shapeCount, 0);
    EXPECT_EQ(ThruRef(2)->layer[3].shapeCount, 0);
    EXPECT_EQ(ThruRecSize(), 12 + 108 * 4);
    ThruCode big = Fresh(2);
    EXPECT_EQ(big.layer[3].shape[0].code, 0);
}

TEST_F(ThruTest, PadstackHelpers) {
    ThruCode t = Fresh(2);
    t.name = NameIntern("PAD60");
    t.layer[1].shapeCount = 1;
    SetShape(t, 1, 0, kPadRound, 30, 30, 30, 30);
    t.layer[2].shapeCount = 1;
    SetShape(t, 2, 0, kPadRect, 0, 0, 0, 0); // a shape without size
    ThruPut(2, &t);
    EXPECT_EQ(PadstackFind("PAD60"), 2);
    EXPECT_EQ(PadstackFind("1"), 1);
    EXPECT_EQ(PadstackFind("NOPAD"), 0);
    EXPECT_EQ(PadstackFind(""), 0);
    EXPECT_TRUE(PadstackOnLayer(2, 1));
    EXPECT_FALSE(PadstackOnLayer(2, 2));
    EXPECT_FALSE(PadstackOnLayer(2, 0));
    EXPECT_EQ(ThruPadWord(2, 1), 30);
    EXPECT_EQ(ThruPadWord(2, 0), 0);
    EXPECT_EQ(ThruPadRef(2, 1), &ThruRef(2)->layer[1]);
    ThruLayer b;
    PadstackGet(2, 1, &b);
    EXPECT_EQ(b.shape[0].ext[0], 30);
    EXPECT_FATAL(ThruPadWord(3, 1), 5225080);
}

std::vector<int16_t> g_hookMap;
int32_t g_hookDeleted = 0;
void RecordHook(const int16_t* map, int32_t oldCount, int32_t deleted) {
    g_hookMap.assign(map, map + oldCount + 1);
    g_hookDeleted = deleted;
}

TEST_F(ThruTest, DeleteMovesLaterThruCodesDown) {
    for (int32_t i = 0; i < 3; ++i)
        ThruAdd();
    ThruCode t = Fresh(5);
    t.name = NameIntern("LASTPAD");
    ThruPut(5, &t);
    // An attribute keyed by thru code 5 follows it to 4; one of the deleted
    // thru code goes.
    Attribute a{};
    a.kind = 7;
    a.key1Type = kRecThruCode;
    a.key1 = 5;
    a.value1 = 1;
    AttrPut(&a);
    a.key1 = 3;
    AttrPut(&a);
    ThruSetRenumberHook(&RecordHook);
    EXPECT_FATAL(ThruDelete(2), 5225047); // a via type
    EXPECT_FATAL(ThruDelete(6), 5225047);
    DbHdr().modified = 0;
    DbDeleteRecord(kRecThruCode, 3);
    EXPECT_EQ(ThruCount(), 4);
    EXPECT_EQ(PadstackFind("LASTPAD"), 4);
    EXPECT_EQ(DbHdr().modified, 1);
    EXPECT_EQ(g_hookDeleted, 3);
    EXPECT_EQ(g_hookMap, (std::vector<int16_t>{0, 1, 2, 0, 3, 4}));
    Attribute out;
    EXPECT_TRUE(AttrFind(7, kRecThruCode, 4, 0, &out));
    EXPECT_FALSE(AttrFind(7, kRecThruCode, 3, 0, &out));
    EXPECT_FALSE(AttrFind(7, kRecThruCode, 0, 0, &out));
    EXPECT_FATAL(ThruRef(5), 5225056);
}

} // namespace
