// The placement strategy record and the plot report table.
#include <cstring>
#include <functional>
#include <vector>

#include "db/placestrat.h"
#include "db/plotrep.h"
#include "dbfixture.h"

namespace {

class PlaceStratTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        NewDesign();
    }
    static PlaceStrategy Stored() {
        PlaceStrategy p;
        PlaceStratGet(&p);
        return p;
    }
};

TEST_F(PlaceStratTest, InitStoresTheDefaults) {
    PlaceStrategy p;
    DbGetRecord(kRecPlaceStrategy, 0, &p);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(p.actions[i], 4) << i;
    EXPECT_EQ(p.word138, 256);
    EXPECT_EQ(p.iterations[5], 0);
    DbFree();
    EXPECT_FATAL(PlaceStratGet(&p), 5224011);
}

TEST_F(PlaceStratTest, PutChecksPassesOneToEleven) {
    struct Case {
        const char* what;
        std::function<void(PlaceStrategy&)> edit;
        int32_t code;
    };
    const Case cases[] = {
        {"iterations 101 in pass 11", [](PlaceStrategy& p) { p.iterations[11] = 101; }, 5224044},
        {"iterations -1 in pass 1", [](PlaceStrategy& p) { p.iterations[1] = -1; }, 5224044},
        {"attempts 101", [](PlaceStrategy& p) { p.attempts[6] = 101; }, 5224046},
        {"attempts -1", [](PlaceStrategy& p) { p.attempts[2] = -1; }, 5224046},
        {"clusters -1", [](PlaceStrategy& p) { p.clusters[3] = -1; }, 5224048},
    };
    const PlaceStrategy original = Stored();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PlaceStrategy p = original;
        c.edit(p);
        EXPECT_FATAL(PlaceStratPut(&p), c.code);
        PlaceStrategy stored = Stored();
        EXPECT_EQ(std::memcmp(&original, &stored, sizeof p), 0);
        DbTrustedScope trusted; // stored as given
        PlaceStratPut(&p);
        stored = Stored();
        EXPECT_EQ(std::memcmp(&stored, &p, sizeof p), 0);
        PlaceStratPut(&original);
    }
}

TEST_F(PlaceStratTest, PutAcceptsLimitsAndIgnoresEntryZero) {
    PlaceStrategy p = Stored();
    p.iterations[0] = 500;
    p.attempts[0] = -3;
    p.clusters[0] = -1;
    p.iterations[11] = 100;
    p.attempts[11] = 100;
    p.clusters[11] = 30000;
    p.box[2] = 123456;
    DbHdr().modified = 0;
    DbPutRecord(kRecPlaceStrategy, 0, &p);
    EXPECT_EQ(DbHdr().modified, 1);
    PlaceStrategy stored = Stored();
    EXPECT_EQ(std::memcmp(&stored, &p, sizeof p), 0);
}

// ---- plot reports -------------------------------------------------------------

class ReportTest : public DbTest {
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
        DbHdr().reportCount = headerCount;
        DbInit();
    }
    static void AddTagged(int32_t tag) {
        int32_t n = ReportAdd();
        PlotReport r;
        ReportGet(n, &r);
        r.value4 = tag;
        ReportPut(n, &r);
    }
    static int32_t Tag(int32_t n) {
        PlotReport r;
        ReportGet(n, &r);
        return r.value4;
    }
    DbModuleOps m_attr;
};

TEST_F(ReportTest, FirstAddMakesRoomForTwenty) {
    Design(0);
    EXPECT_EQ(ReportCapacity(), 0);
    DbHdr().modified = 0;
    EXPECT_EQ(DbNewRecord(kRecPlotReport), 1);
    EXPECT_EQ(DbHdr().modified, 1);
    EXPECT_EQ(ReportCapacity(), 20);
    PlotReport r;
    ReportGet(1, &r);
    EXPECT_EQ(r.name, DbNumberName(1));
    for (int i = 2; i <= 21; ++i)
        ReportAdd();
    EXPECT_EQ(ReportCapacity(), 40);
    EXPECT_EQ(ReportCount(), 21);
}

TEST_F(ReportTest, InitMakesRoomForTheHeaderCount) {
    Design(45);
    EXPECT_EQ(ReportCapacity(), 45);
    EXPECT_EQ(ReportCount(), 0);
    EXPECT_EQ(DbHdr().reportCount, 0); // the header's count follows the table
    ReportAdd();
    EXPECT_EQ(DbHdr().reportCount, 1);
    DbFree();
    EXPECT_EQ(ReportCapacity(), 0);
}

TEST_F(ReportTest, IndexesRunFromOneToTheCount) {
    Design(0);
    PlotReport r{};
    EXPECT_FATAL(ReportGet(1, &r), 5247040);
    EXPECT_FATAL(ReportPut(1, &r), 5247042);
    EXPECT_FATAL(ReportDelete(1), 5247037);
    ReportAdd();
    EXPECT_FATAL(ReportGet(0, &r), 5247040);
    EXPECT_FATAL(ReportGet(2, &r), 5247040);
    EXPECT_FATAL(ReportPut(2, &r), 5247042);
    EXPECT_FATAL(ReportDelete(0), 5247037);
}

TEST_F(ReportTest, AThousandFitAndNoMore) {
    Design(0);
    for (int32_t i = 1; i <= kReportMax; ++i)
        AddTagged(i);
    EXPECT_EQ(ReportCount(), 1000);
    EXPECT_EQ(Tag(1), 1);
    EXPECT_EQ(Tag(617), 617);
    EXPECT_EQ(Tag(1000), 1000);
    EXPECT_FATAL(ReportAdd(), 5247031);
    EXPECT_EQ(ReportCount(), 1000);
}

std::vector<int16_t> g_attrMap;
int32_t g_attrType = 0;

TEST_F(ReportTest, DeleteMovesLaterReportsDownAndRenumbers) {
    DbModuleOps attr;
    attr.renumber = [](int32_t type, const int16_t* map, int32_t count) {
        g_attrType = type;
        g_attrMap.assign(map, map + count + 1);
    };
    DbRegisterModule(kRecAttribute, attr);
    Design(0);
    for (int32_t i = 1; i <= 3; ++i)
        AddTagged(i * 10);
    AltPush();
    PlotReport img;
    ReportGet(3, &img);
    img.value8 = 333;
    AltPut(kRecPlotReport, 3, 0, &img);
    DbHdr().modified = 0;
    DbDeleteRecord(kRecPlotReport, 1);
    EXPECT_EQ(DbHdr().modified, 1);
    EXPECT_EQ(ReportCount(), 2);
    EXPECT_EQ(Tag(1), 20);
    EXPECT_EQ(Tag(2), 30);
    // The deleted report goes to the old count, one past the new last.
    EXPECT_EQ(g_attrType, kRecPlotReport);
    EXPECT_EQ(g_attrMap, (std::vector<int16_t>{0, 3, 1, 2}));
    PlotReport r;
    EXPECT_TRUE(AltSave(kRecPlotReport, 2, &r));
    EXPECT_EQ(r.value8, 333);
    AltPop(true);
    EXPECT_EQ(Tag(2), 30);
    ReportGet(2, &r);
    EXPECT_EQ(r.value8, 333);
}

} // namespace
