// Packages: the table, its checks, pin reads and the code byte of a
// component's package pin.
#include <gtest/gtest.h>

#include "compfixture.h"

namespace {

class PackageTest : public CompDbTest {
  protected:
    static std::unique_ptr<Package> NewPackageRecord(const char* name, int32_t pins) {
        auto k = std::make_unique<Package>();
        DbRecInit(kRecPackage, k.get(), 1);
        k->info.name = NameIntern(name);
        k->info.pinCount = int16_t(pins);
        for (int32_t p = 1; p <= pins; ++p)
            k->pin[p].code = uint8_t(10 + p);
        return k;
    }
};

TEST_F(PackageTest, NeverStoredPackageReadsAsTheDefaults) {
    EXPECT_EQ(PkgAdd(), 1);
    EXPECT_EQ(PkgAdd(), 2);
    EXPECT_EQ(DbHdr().pkgCount, 2);
    auto k = std::make_unique<Package>();
    PkgGet(2, k.get());
    EXPECT_EQ(k->info.name, DbNumberName(2));
    EXPECT_EQ(k->info.pinCount, 0);
    EXPECT_EQ(k->pin[1].name2, DbNumberName(1));
    EXPECT_EQ(k->pin[2400].name2, DbNumberName(2400));
    EXPECT_FATAL(PkgGet(0, k.get()), 5227020);
    EXPECT_FATAL(PkgGet(3, k.get()), 5227020);
}

TEST_F(PackageTest, PutStoresAndGetReadsBack) {
    int32_t n = PkgAdd();
    auto rec = NewPackageRecord("SO8", 4);
    rec->pin[2].name = NameIntern("OUT");
    rec->pin[2].value12 = 123456;
    PkgPut(n, rec.get());
    auto k = std::make_unique<Package>();
    PkgGet(n, k.get());
    EXPECT_EQ(k->info.name, NameLookup("SO8"));
    EXPECT_NE(k->info.recordId, 0);
    EXPECT_EQ(k->info.pinCount, 4);
    EXPECT_EQ(k->pin[2].name, NameLookup("OUT"));
    EXPECT_EQ(k->pin[2].value12, 123456);
    EXPECT_EQ(k->pin[4].code, 14);
    EXPECT_EQ(PkgFind("SO8"), n);
    EXPECT_EQ(PkgFind("SO9"), 0);
    PackageInfo info;
    PkgInfoGet(n, &info);
    EXPECT_EQ(info.pinCount, 4);
    EXPECT_EQ(PkgPinCount(n), 4);

    PackagePin pin;
    PkgPinGet(n, 4, &pin);
    EXPECT_EQ(pin.code, 14);
    PkgPinGet(n, 5, &pin);
    EXPECT_EQ(pin.name2, 0u);
    EXPECT_EQ(pin.code, 0);
    PkgPinGet(n, 0, &pin);
    EXPECT_EQ(pin.name2, 0u);

    // Stored again without pins, it keeps its summary.
    rec->info.pinCount = 0;
    rec->info.word = 5;
    PkgPut(n, rec.get());
    PkgGet(n, k.get());
    EXPECT_EQ(k->info.name, NameLookup("SO8"));
    EXPECT_EQ(k->info.word, 5);
    EXPECT_EQ(k->pin[1].name2, DbNumberName(1));
    PkgPinGet(n, 1, &pin);
    EXPECT_EQ(pin.name2, 0u);
}

TEST_F(PackageTest, PutChecksIndexCountAndPins) {
    int32_t n = PkgAdd();
    struct Case {
        const char* what;
        void (*spoil)(Package&);
        int32_t code;
    };
    const Case cases[] = {
        {"too many pins", [](Package& k) { k.info.pinCount = 2401; }, 5227052},
        {"negative pins", [](Package& k) { k.info.pinCount = -1; }, 5227052},
        {"second name 0", [](Package& k) { k.pin[3].name2 = 0; }, 5227054},
        {"code 128", [](Package& k) { k.pin[1].code = 128; }, 5227055},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto rec = NewPackageRecord("P", 3);
        c.spoil(*rec);
        EXPECT_FATAL(PkgPut(n, rec.get()), c.code);
        EXPECT_EQ(PkgPinCount(n), 0);
    }
    auto rec = NewPackageRecord("P", 3);
    rec->pin[1].code = 127;
    PkgPut(n, rec.get());
    EXPECT_FATAL(PkgPut(2, rec.get()), 5227021);
    PackageInfo info;
    PackagePin pin;
    EXPECT_FATAL(PkgInfoGet(2, &info), 5227023);
    EXPECT_FATAL(PkgPinGet(0, 1, &pin), 5227028);
    EXPECT_FATAL(PkgPinCount(0), 5227024);
    EXPECT_FATAL(PkgPinCount(2), 5227036);
}

TEST_F(PackageTest, PackagesCannotBeDeleted) {
    PkgAdd();
    EXPECT_FATAL(PkgDelete(2), 5227047);
    EXPECT_FATAL(PkgDelete(1), 5227048);
    EXPECT_FATAL(DbDeleteRecord(kRecPackage, 1), 5227048);
    EXPECT_EQ(PkgCount(), 1);
}

TEST_F(PackageTest, TheTableHoldsAtMost2000Packages) {
    for (int32_t i = 1; i <= kPkgMax; ++i)
        ASSERT_EQ(PkgAdd(), i);
    EXPECT_FATAL(PkgAdd(), 5227015);
}

TEST_F(PackageTest, ComponentPinCodeComesFromItsPackage) {
    int32_t n = PkgAdd();
    PkgPut(n, NewPackageRecord("P", 2).get());
    int32_t with = AddComp("U1", 0, 0, 0);
    Component rec;
    CompGet(with, &rec);
    rec.package = int16_t(n);
    CompPut(with, &rec);
    int32_t without = AddComp("U2", 0, 0, 0);
    EXPECT_EQ(CompPkgPinCode(with, 2), 12);
    EXPECT_EQ(CompPkgPinCode(with, 3), 0);
    EXPECT_EQ(CompPkgPinCode(without, 1), 0);
    EXPECT_EQ(CompPkgPinCode(0, 1), 0);
    EXPECT_FATAL(CompPkgPinCode(3, 1), 5227088);
    EXPECT_FATAL(CompPkgPinCode(-1, 1), 5227088);
}

} // namespace
