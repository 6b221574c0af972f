// The put checks of the tables the readers store into: each answers the
// code its Put raises for the same record, and 0 for a record it stores.
#include "db/comps.h"
#include "db/dbfixture.h"
#include "db/layers.h"
#include "db/packages.h"
#include "db/symbols.h"
#include "db/thru.h"

namespace {

class PutCheckTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        NewDesign();
    }
};

TEST_F(PutCheckTest, CheckAnswersTheCodeOfThePut) {
    Layer layer;
    LayerGet(1, &layer);
    EXPECT_EQ(LayerPutCheck(1, &layer), 0);
    int32_t number = 0;
    ErrCode code = LayerPutCheck(31, &layer, &number);
    EXPECT_NE(code, 0);
    EXPECT_EQ(number, 31);
    EXPECT_FATAL(LayerPut(31, &layer), code);

    static ThruCode thru;
    ThruGet(1, &thru);
    EXPECT_EQ(ThruPutCheck(1, &thru), 0);
    thru.layer[1].shapeCount = 1;
    thru.layer[1].shape[0].code = kPadRound;
    int32_t e[4] = {5, 5, 6, 5};
    std::memcpy(thru.layer[1].shape[0].ext, e, sizeof e);
    code = ThruPutCheck(1, &thru, &number);
    EXPECT_NE(code, 0);
    EXPECT_EQ(number, 6);
    EXPECT_FATAL(ThruPut(1, &thru), code);
    thru.layer[1].shapeCount = 5;
    code = ThruPutCheck(1, &thru);
    EXPECT_NE(code, 0);
    EXPECT_FATAL(ThruPut(1, &thru), code);
    {
        DbTrustedScope trusted; // the shape count is refused even then
        EXPECT_EQ(ThruPutCheck(1, &thru), code);
    }
    EXPECT_NE(ThruPutCheck(2, &thru), 0);

    static Symbol sym;
    int32_t s = SymAdd();
    SymGet(s, &sym);
    sym.info.pinCount = 1;
    sym.pin[1].thru = 1;
    EXPECT_EQ(SymPutCheck(s, &sym), 0);
    sym.pin[1].thru = 2;
    code = SymPutCheck(s, &sym, &number);
    EXPECT_NE(code, 0);
    EXPECT_EQ(number, 2);
    EXPECT_FATAL(SymPut(s, &sym), code);
    sym.pin[1].thru = 1;
    sym.pin[1].name = 0;
    code = SymPutCheck(s, &sym);
    EXPECT_NE(code, 0);
    EXPECT_FATAL(SymPut(s, &sym), code);

    static Package pkg;
    int32_t k = PkgAdd();
    PkgGet(k, &pkg);
    pkg.info.pinCount = 2;
    EXPECT_EQ(PkgPutCheck(k, &pkg), 0);
    pkg.pin[2].name2 = 0;
    code = PkgPutCheck(k, &pkg, &number);
    EXPECT_NE(code, 0);
    EXPECT_EQ(number, 2);
    EXPECT_FATAL(PkgPut(k, &pkg), code);

    Component comp{};
    code = CompPutCheck(1, &comp, &number);
    EXPECT_NE(code, 0);
    EXPECT_EQ(number, 1);
    EXPECT_FATAL(CompPut(1, &comp), code);
}

} // namespace
