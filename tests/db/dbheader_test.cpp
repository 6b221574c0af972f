// The design header: offsets of the stored image, the defaults of a new
// design, the checks and defaults of a put, and the derived display units.
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "db/hdrunits.h"
#include "db/value.h"
#include "dbfixture.h"

namespace {

using DbHeaderTest = DbTest;

DbHeader Current() {
    DbHeader h;
    DbGetHeader(&h);
    return h;
}

TEST_F(DbHeaderTest, ResetWritesTheDefaultsAtTheirOffsets) {
    DbHeaderReset();
    DbHeader h = Current();
    const void* img = &h;
    EXPECT_STREQ(static_cast<const char*>(img), "Unnamed");
    EXPECT_DOUBLE_EQ(At<double>(img, 64), 1.0 / 60000.0);
    EXPECT_EQ(At<int32_t>(img, 72), 60);   // user unit
    EXPECT_EQ(At<int32_t>(img, 76), 60);   // connection grid
    EXPECT_EQ(At<int32_t>(img, 80), 1500); // routing grid
    EXPECT_EQ(At<int32_t>(img, 84), 0);    // fourth grid
    EXPECT_EQ(At<int32_t>(img, 96), 6000);
    EXPECT_EQ(At<int32_t>(img, 100), 6000);
    EXPECT_EQ(At<int32_t>(img, 104), 0);
    EXPECT_EQ(At<int32_t>(img, 112), 0);
    EXPECT_EQ(At<int16_t>(img, 122), 10); // backup minutes
    EXPECT_EQ(At<int16_t>(img, 128), 2);  // layers
    EXPECT_EQ(At<int16_t>(img, 130), 1);  // via types V
    EXPECT_EQ(At<int16_t>(img, 132), 1);  // thru codes
    EXPECT_EQ(At<int32_t>(img, 156), INT_MAX);
    EXPECT_EQ(At<int32_t>(img, 160), INT_MAX);
    EXPECT_EQ(At<int32_t>(img, 164), -INT_MAX);
    EXPECT_EQ(At<int32_t>(img, 168), -INT_MAX);
    EXPECT_EQ(At<int16_t>(img, 236), 0); // DbValid
    EXPECT_EQ(At<int32_t>(img, 264), 0); // record-id counter
    EXPECT_EQ(At<int32_t>(img, 282), 6000);
    EXPECT_EQ(At<int32_t>(img, 286), 480);
    // The display user unit takes the user unit and the scale is derived.
    EXPECT_EQ(At<int32_t>(img, 256), 60);
    EXPECT_DOUBLE_EQ(At<double>(img, 248), 1.0 / 60.0);
}

TEST_F(DbHeaderTest, NamedFieldsSitAtTheirImageOffsets) {
    DbHeader h = Current();
    h.flags = 0x1234;
    h.noteCount = 7;
    h.table23Count = 9;
    h.dispMinX = 11;
    h.dispMaxX = 12;
    h.dispMinY = 13;
    h.dispMaxY = 14;
    h.sweep = 3;
    h.modified = 1;
    h.savedWhole = kSavedWholeMark;
    h.viaNameCount = 2;
    h.viaNames[1].name1 = 0xABCD;
    const void* img = &h;
    EXPECT_EQ(At<uint16_t>(img, 120), 0x1234);
    EXPECT_EQ(At<int16_t>(img, 124), 7);
    EXPECT_EQ(At<int16_t>(img, 154), 9);
    EXPECT_EQ(At<int32_t>(img, 180), 11);
    EXPECT_EQ(At<int32_t>(img, 184), 12);
    EXPECT_EQ(At<int32_t>(img, 188), 13);
    EXPECT_EQ(At<int32_t>(img, 192), 14);
    EXPECT_EQ(At<uint8_t>(img, 232), 3);
    EXPECT_EQ(At<int16_t>(img, 238), 1);
    EXPECT_EQ(At<uint32_t>(img, 244), 0x31415926u);
    EXPECT_EQ(At<uint8_t>(img, 281), 2);
    EXPECT_EQ(At<uint32_t>(img, 298 + 16), 0xABCDu);
}

TEST_F(DbHeaderTest, PutAppliesTheDefaults) {
    DbHeader h = Current();
    h.userUnit = 0;
    h.connGrid = 0;
    h.dispUserUnit = 0;
    h.backupMinutes = -3;
    h.unitSize = -2.0;
    DbPutHeader(&h);
    DbHeader s = Current();
    EXPECT_EQ(s.userUnit, 1);
    EXPECT_EQ(s.connGrid, 1);
    EXPECT_EQ(s.dispUserUnit, 1);
    EXPECT_EQ(s.backupMinutes, 10);
    EXPECT_EQ(s.unitSize, 1.0);

    h = Current();
    h.connGrid = -5; // a connection grid below 1 takes the user unit
    h.userUnit = 25;
    DbPutHeader(&h);
    EXPECT_EQ(Current().connGrid, 25);
}

struct UnitCase {
    uint8_t kind;
    uint16_t flagsIn;
    double scale;
    uint8_t d0, d1, d2;
    uint16_t flagsOut;
};

TEST_F(DbHeaderTest, DerivesScaleDigitsAndMetricFlagByUnitKind) {
    const double u = 1.0 / 60000.0;
    const UnitCase cases[] = {
        {4, 0, u * 25.4, 4, 2, 5, kHdrMetric},
        {1, kHdrMetric, u * 1000.0, 2, 0, 5, 0},
        {2, kHdrMetric, u, 5, 3, 5, 0},
        {3, 0, u * 2.54, 5, 3, 5, kHdrMetric},
        {5, 0, u * 2540.0, 2, 0, 5, kHdrMetric},
        {0, kHdrMetric, 1.0 / 60.0, 2, 0, 5, kHdrMetric},
        {0, 0, 1.0 / 60.0, 2, 0, 5, 0},
        {6, kHdrMetric, 1.0, 0, 0, 5, kHdrMetric},
        {6, 0, 1.0, 0, 0, 5, 0},
    };
    for (const UnitCase& c : cases) {
        SCOPED_TRACE(int(c.kind));
        DbHeader h = Current();
        h.unitKind = c.kind;
        h.unitSize = u;
        h.dispUserUnit = 60;
        h.flags = c.flagsIn;
        h.scale = 0;
        DbPutHeader(&h);
        DbHeader s = Current();
        EXPECT_NEAR(s.scale, c.scale, 1e-12);
        EXPECT_EQ(s.digits[0], c.d0);
        EXPECT_EQ(s.digits[1], c.d1);
        EXPECT_EQ(s.digits[2], c.d2);
        EXPECT_EQ(s.flags & kHdrMetric, c.flagsOut);
    }
    // Millimetres: 0.000423333... display units per database unit.
    DbHeader h = Current();
    h.unitKind = 4;
    h.scale = 0;
    DbPutHeader(&h);
    EXPECT_NEAR(Current().scale, 0.000423333, 1e-9);
}

TEST_F(DbHeaderTest, UnchangedDisplaySettingsStoreTheHeaderAsGiven) {
    DbHeader h = Current();
    h.digits[0] = 7;
    h.digits[1] = 8;
    h.digits[2] = 9;
    h.flags = kHdrMetric;
    DbPutHeader(&h);
    DbHeader s = Current();
    EXPECT_EQ(s.digits[0], 7);
    EXPECT_EQ(s.digits[1], 8);
    EXPECT_EQ(s.digits[2], 9);
    EXPECT_EQ(s.flags, kHdrMetric);
    // A changed display user unit derives them again.
    h = Current();
    h.dispUserUnit = 600;
    DbPutHeader(&h);
    EXPECT_EQ(Current().digits[0], 3);
    EXPECT_EQ(Current().digits[1], 0);
}

TEST_F(DbHeaderTest, DigitCountsStopAtNine) {
    DbHeader h = Current();
    h.unitKind = 2;
    h.unitSize = 1e-15;
    h.scale = 0;
    DbPutHeader(&h);
    DbHeader s = Current();
    EXPECT_EQ(s.digits[0], 9);
    EXPECT_EQ(s.digits[2], 9);
}

TEST_F(DbHeaderTest, PutRefusesBadHeaders) {
    DbHeader h = Current();
    h.unitKind = 7;
    EXPECT_FATAL(DbPutHeader(&h), 21266);

    h = Current();
    h.viaNameCount = 21;
    EXPECT_FATAL(DbPutHeader(&h), 21268);
    h.viaNameCount = 20;
    DbPutHeader(&h);

    // A header that claims to be valid.
    h = Current();
    h.valid = 1;
    h.sweep = 9;
    EXPECT_FATAL(DbPutHeader(&h), 21260);
    h.sweep = 8;
    h.fourthGrid = -1;
    EXPECT_FATAL(DbPutHeader(&h), 21261);
    h.fourthGrid = 0;
    DbPutHeader(&h);

    // While the design is valid, the layer count and V stay.
    ASSERT_TRUE(DbIsValid());
    h = Current();
    h.layerCount = 4;
    EXPECT_FATAL(DbPutHeader(&h), 21264);
    h = Current();
    h.viaCount = 2;
    EXPECT_FATAL(DbPutHeader(&h), 21265);
    // Without a valid design they may change.
    h = Current();
    h.valid = 0;
    DbPutHeader(&h);
    h.layerCount = 4;
    h.viaCount = 2;
    DbPutHeader(&h);
    EXPECT_EQ(Current().layerCount, 4);
}

TEST_F(DbHeaderTest, RecordIdsCountDownFromMinusOne) {
    EXPECT_EQ(DbNextRecordId(), -1);
    EXPECT_EQ(DbNextRecordId(), -2);
    EXPECT_EQ(Current().recordId, -2);
}

TEST_F(DbHeaderTest, ValueFormattingFollowsTheStoredUnits) {
    DbHeader h = Current();
    h.unitKind = 4; // millimetres, two decimals
    h.scale = 0;
    DbPutHeader(&h);
    EXPECT_EQ(g_hdrUnits.unitKind, 4);
    EXPECT_EQ(g_hdrUnits.digits, 2);
    EXPECT_EQ(g_hdrUnits.userUnit, 60);
    EXPECT_STREQ(CoordText(60000), "25.40");
    h = Current();
    h.unitKind = 6;
    DbPutHeader(&h);
    EXPECT_STREQ(CoordText(-1234), "-1234");
}

TEST_F(DbHeaderTest, ResetThenInitGivesAValidEmptyDesign) {
    NewDesign();
    EXPECT_TRUE(DbIsValid());
    EXPECT_EQ(Current().modified, 0);
    EXPECT_FATAL(DbInit(), 21250);
    DbSetModified();
    EXPECT_EQ(Current().modified, 1);
    DbFree();
    EXPECT_FALSE(DbIsValid());
    DbInit();
    EXPECT_TRUE(DbIsValid());
    EXPECT_EQ(Current().modified, 0);
}

} // namespace
