// The Table23 table: checks, growth, and renumbering on delete.
#include <vector>

#include "dbfixture.h"

namespace {

class Table23Test : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        m_attr = DbModuleGet(kRecAttribute);
    }
    void TearDown() override {
        DbRegisterModule(kRecAttribute, m_attr);
        DbTest::TearDown();
    }
    static void Design(int16_t headerCount) {
        DbHeaderReset();
        DbHdr().table23Count = headerCount;
        DbInit();
    }
    static Table23 Rec(uint16_t value, int32_t tag) {
        Table23 r{};
        r.value = value;
        r.value4 = tag;
        return r;
    }
    DbModuleOps m_attr;
};

TEST_F(Table23Test, PutChecksTheFirstValue) {
    Design(0);
    ASSERT_EQ(Table23Add(), 1);
    Table23 r = Rec(9, 0);
    EXPECT_FATAL(Table23Put(1, &r), 5248044);
    r.value = 501;
    EXPECT_FATAL(Table23Put(1, &r), 5248044);
    for (uint16_t ok : {10, 500}) {
        r = Rec(ok, 42);
        DbHdr().modified = 0;
        Table23Put(1, &r);
        EXPECT_EQ(DbHdr().modified, 1);
        Table23 out;
        Table23Get(1, &out);
        EXPECT_EQ(out.value, ok);
        EXPECT_EQ(out.value4, 42);
    }
}

TEST_F(Table23Test, IndexesRunFromOneToTheCount) {
    Design(0);
    Table23 r = Rec(10, 0);
    EXPECT_FATAL(Table23Get(1, &r), 5248040);
    EXPECT_FATAL(Table23Put(1, &r), 5248042);
    EXPECT_FATAL(Table23Delete(1), 5248037);
    Table23Add();
    Table23Add();
    EXPECT_FATAL(Table23Get(0, &r), 5248040);
    EXPECT_FATAL(Table23Get(3, &r), 5248040);
    EXPECT_FATAL(Table23Put(3, &r), 5248042);
    EXPECT_FATAL(Table23Delete(3), 5248037);
    EXPECT_EQ(Table23Count(), 2);
}

TEST_F(Table23Test, NewRecordsAreZero) {
    Design(0);
    DbHdr().modified = 0;
    int32_t n = DbNewRecord(kRecTable23);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(DbHdr().modified, 1);
    Table23 r;
    std::memset(&r, 0x55, sizeof r);
    DbGetRecord(kRecTable23, 1, &r);
    const uint8_t* b = reinterpret_cast<const uint8_t*>(&r);
    for (size_t i = 0; i < sizeof r; ++i)
        EXPECT_EQ(b[i], 0);
}

TEST_F(Table23Test, CapacityStartsAtTheHeaderCountAndGrowsByTwentyToFiveHundred) {
    Design(0);
    EXPECT_EQ(Table23Capacity(), 20);
    for (int i = 0; i < 21; ++i)
        Table23Add();
    EXPECT_EQ(Table23Capacity(), 40);

    DbFree();
    Design(35);
    EXPECT_EQ(Table23Capacity(), 35);
    EXPECT_EQ(Table23Count(), 0);
    for (int i = 0; i < 36; ++i)
        Table23Add();
    EXPECT_EQ(Table23Capacity(), 55);

    DbFree();
    Design(490);
    for (int i = 0; i < 490; ++i)
        Table23Add();
    EXPECT_EQ(Table23Capacity(), 490);
    Table23Add();
    EXPECT_EQ(Table23Capacity(), 500); // never past 500
    for (int i = 491; i < 500; ++i)
        Table23Add();
    EXPECT_EQ(Table23Count(), 500);
    EXPECT_FATAL(Table23Add(), 5248031);
    EXPECT_EQ(Table23Count(), 500);
}

TEST_F(Table23Test, GrownTableKeepsItsRecords) {
    Design(0);
    for (int i = 1; i <= 45; ++i) {
        Table23Add();
        Table23 r = Rec(uint16_t(10 + i), i);
        Table23Put(i, &r);
    }
    for (int i = 1; i <= 45; ++i) {
        Table23 r;
        Table23Get(i, &r);
        EXPECT_EQ(r.value4, i);
    }
}

std::vector<int16_t> g_attrMap;
int32_t g_attrType = 0;

TEST_F(Table23Test, DeleteMovesLaterRecordsDownAndRenumbersReferences) {
    DbModuleOps attr;
    attr.renumber = [](int32_t type, const int16_t* map, int32_t count) {
        g_attrType = type;
        g_attrMap.assign(map, map + count + 1);
    };
    DbRegisterModule(kRecAttribute, attr);
    Design(0);
    for (int i = 1; i <= 3; ++i) {
        Table23Add();
        Table23 r = Rec(uint16_t(100 + i), i);
        Table23Put(i, &r);
    }
    // A journal level holds an image of record 3.
    AltPush();
    Table23 img = Rec(333, 3);
    AltPut(kRecTable23, 3, 0, &img);
    DbHdr().modified = 0;
    Table23Delete(2);
    EXPECT_EQ(DbHdr().modified, 1);
    EXPECT_EQ(Table23Count(), 2);
    Table23 r;
    Table23Get(2, &r);
    EXPECT_EQ(r.value4, 3);
    EXPECT_EQ(r.value, 103);
    // Attributes of record 2 go (it maps to 0); record 3 becomes 2.
    EXPECT_EQ(g_attrType, kRecTable23);
    EXPECT_EQ(g_attrMap, (std::vector<int16_t>{0, 1, 0, 2}));
    // The journal's item follows its record.
    EXPECT_TRUE(AltSave(kRecTable23, 2, &r));
    EXPECT_EQ(r.value, 333);
    AltItemHeader h;
    AltGet(1, &h, &r);
    EXPECT_EQ(h.index, 2);
}

} // namespace
