#include <string>

#include "db/layers.h"
#include "db/names.h"
#include "db/thru.h"
#include "dbfixture.h"

namespace {

class LayersTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        NewDesign();
    }
    static std::string Name(NameId id) { return NameText(id); }
};

TEST_F(LayersTest, InitFillsAllSlotsWithTheirDefaults) {
    struct Row {
        int32_t slot;
        const char *name, *shortName, *className;
        uint8_t mirror;
    } rows[] = {
        {0, "CONN", "0", "0", 0},
        {1, "TOP", "TOP", "TOP", 2},
        {2, "BOTTOM", "BOT", "BOT", 1},
        {3, "GND", "GND", "PLANE", 0},
        {4, "POWER", "PWR", "PLANE", 0},
        {5, "INNER1", "IN1", "INNER", 0},
        {16, "INNER12", "IN12", "INNER", 0},
        {17, "SMTOP", "SMT", "SMTOP", 18},
        {18, "SMBOT", "SMB", "SMBOT", 17},
        {20, "SPBOT", "SPB", "SPBOT", 19},
        {23, "ASYTOP", "AST", "ASYTOP", 24},
        {25, "DRLDWG", "DRD", "DRLDWG", 0},
        {26, "DRILL", "DRL", "DRILL", 0},
        {27, "27", "27", "27", 0},
        {30, "30", "30", "30", 0},
    };
    for (const Row& r : rows) {
        Layer l;
        LayerGet(r.slot, &l);
        EXPECT_EQ(Name(l.name), r.name) << r.slot;
        EXPECT_EQ(Name(l.shortName), r.shortName) << r.slot;
        EXPECT_EQ(Name(l.className), r.className) << r.slot;
        EXPECT_EQ(l.mirror, r.mirror) << r.slot;
        EXPECT_EQ(l.recordId, 0);
        EXPECT_EQ(l.flags, 0);
        for (int32_t s : l.spacing)
            EXPECT_EQ(s, 600);
    }
    Layer l;
    LayerGet(30, &l);
    EXPECT_EQ(l.name, 30001u + 30); // the number form
}

TEST_F(LayersTest, LayerCountOutsideOneToThirtyIsRefused) {
    for (int16_t count : {int16_t(0), int16_t(31), int16_t(-1)}) {
        DbFree();
        DbHeaderReset();
        DbHdr().layerCount = count;
        EXPECT_FATAL(LayerInit(), 21312);
    }
    DbFree();
    DbHeaderReset();
    DbHdr().layerCount = 30;
    LayerInit();
}

TEST_F(LayersTest, BadSlotsAreInternalErrors) {
    Layer l;
    EXPECT_FATAL(LayerGet(-1, &l), 21340);
    EXPECT_FATAL(LayerGet(31, &l), 21340);
    LayerGet(30, &l);
    EXPECT_FATAL(LayerPut(31, &l), 21342);
    EXPECT_FATAL(LayerPut(-1, &l), 21342);
    LayerPut(0, &l);
}

TEST_F(LayersTest, FindByNameThenShortName) {
    DbHdr().layerCount = 4;
    EXPECT_EQ(LayerFind("TOP"), 1);
    EXPECT_EQ(LayerFind("BOTTOM"), 2);
    EXPECT_EQ(LayerFind("BOT"), 2); // through the short name
    EXPECT_EQ(LayerFind("PWR"), 4);
    EXPECT_EQ(LayerFind("CONN"), 0);   // slot 0 is never found
    EXPECT_EQ(LayerFind("INNER1"), 0); // beyond the layer count
    EXPECT_EQ(LayerFind(""), 0);
    EXPECT_EQ(LayerFind("NOSUCHLAYER"), 0);
    // A name wins over an earlier layer's short name.
    Layer l;
    LayerGet(3, &l);
    l.name = NameIntern("BOT");
    LayerPut(3, &l);
    EXPECT_EQ(LayerFind("BOT"), 3);
    EXPECT_EQ(LayerFindName2("BOT"), 2);
    EXPECT_EQ(LayerFindName2("BOTTOM"), 0);
    EXPECT_EQ(LayerFindName3("PLANE"), 3);
    EXPECT_EQ(LayerFindName3("TOP"), 1);
}

TEST_F(LayersTest, PutTakesRecordIdsAndMarksJumperLayers) {
    int32_t before = DbHdr().recordId;
    Layer l;
    LayerGet(1, &l);
    DbHdr().modified = 0;
    LayerPut(1, &l);
    Layer back;
    LayerGet(1, &back);
    EXPECT_EQ(back.recordId, before - 1);
    EXPECT_EQ(DbHdr().modified, 1);
    EXPECT_EQ(DbHdr().flags & 0x100, 0);
    // Turning the jumper bit on sets 0x100; storing it again changes nothing
    // once the flag was cleared.
    back.flags = kLayerJumper;
    LayerPut(1, &back);
    EXPECT_EQ(DbHdr().flags & 0x100, 0x100);
    EXPECT_EQ(DbHdr().recordId, before - 1); // the id is kept
    DbHdr().flags &= uint16_t(~0x100);
    LayerPut(1, &back);
    EXPECT_EQ(DbHdr().flags & 0x100, 0);
}

TEST_F(LayersTest, AddRaisesTheCountUpToThirty) {
    EXPECT_EQ(LayerCount(), 2);
    DbHdr().modified = 0;
    EXPECT_EQ(DbNewRecord(kRecLayer), 3);
    EXPECT_EQ(DbHdr().layerCount, 3);
    EXPECT_EQ(DbHdr().modified, 1);
    for (int32_t n = 4; n <= 30; ++n)
        EXPECT_EQ(LayerAdd(), n);
    DbHdr().modified = 0;
    EXPECT_EQ(LayerAdd(), 0);
    EXPECT_EQ(LayerCount(), 30);
    EXPECT_EQ(DbHdr().modified, 0);
}

TEST_F(LayersTest, CountEnabledAndDispatch) {
    DbHdr().layerCount = 3;
    Layer l;
    for (int32_t n : {1, 3, 4}) {
        DbGetRecord(kRecLayer, n, &l);
        l.flags = kLayerEnabled;
        DbPutRecord(kRecLayer, n, &l);
    }
    EXPECT_EQ(LayerCountEnabled(), 2); // layer 4 is beyond the count
    EXPECT_EQ(LayerRef(3)->flags, kLayerEnabled);
    DbHdr().flags = kHdrLayerValidate;
    DbValidate();
    EXPECT_EQ(DbHdr().flags & kHdrLayerValidate, 0);
}

} // namespace
