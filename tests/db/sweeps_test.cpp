// The sweep table: the default sweeps, reading with derived layer counts,
// and the checks of a store.
#include <cstring>
#include <functional>
#include <string>

#include "db/sweeps.h"
#include "dbfixture.h"

namespace {

class SweepTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        NewDesign();
    }
    static Sweep Current() {
        Sweep s;
        SweepGet(&s);
        return s;
    }
};

TEST_F(SweepTest, InitFillsNineDefaultSweeps) {
    EXPECT_EQ(DbRecSize(kRecSweep, nullptr), 228);
    DbHdr().sweep = 3;
    for (int32_t i = 0; i < kSweepCount; ++i) {
        Sweep s;
        DbGetRecord(kRecSweep, i, &s);
        EXPECT_EQ(std::string(s.name), "Sweep " + std::to_string(i));
        EXPECT_EQ(s.diagonal, 3);
        EXPECT_EQ(s.box[0], 210);
        EXPECT_EQ(s.dir[17], 75);
    }
    EXPECT_EQ(DbHdr().sweep, 3); // the generic access restores the number
}

TEST_F(SweepTest, GetDerivesTheLayerCountsAndClearsLayersAboveTheCount) {
    ASSERT_EQ(DbHdr().layerCount, 2);
    Sweep s = Current();
    EXPECT_EQ(s.layerCount, 2);
    EXPECT_EQ(s.usedLayers, 2);
    EXPECT_EQ(s.enable[1], 1);
    EXPECT_EQ(s.enable[2], 1);
    for (int32_t l = 3; l <= 30; ++l)
        EXPECT_EQ(s.enable[l], 0) << l;
    // Only layers 1..count count as used; the stored record keeps its
    // entries above the count.
    s.enable[2] = 0;
    s.enable[5] = 1;
    SweepPut(&s);
    Sweep again = Current();
    EXPECT_EQ(again.usedLayers, 1);
    EXPECT_EQ(again.enable[5], 0);
    DbHdr().layerCount = 5;
    EXPECT_EQ(Current().usedLayers, 2);
    DbHdr().layerCount = 2;
}

TEST_F(SweepTest, TheCurrentSweepNumberSelectsTheRecord) {
    DbHdr().sweep = 7;
    Sweep s = Current();
    std::strcpy(s.name, "Seven");
    SweepPut(&s);
    DbHdr().sweep = 6;
    EXPECT_STREQ(Current().name, "Sweep 6");
    Sweep out;
    DbGetRecord(kRecSweep, 7, &out);
    EXPECT_STREQ(out.name, "Seven");
    DbHdr().sweep = 9;
    EXPECT_FATAL(SweepGet(&out), 5222020);
    EXPECT_FATAL(SweepPut(&out), 5222021);
}

TEST_F(SweepTest, PutRefusesValuesOutOfRange) {
    struct Case {
        const char* what;
        std::function<void(Sweep&)> edit;
        int32_t code;
    };
    const Case cases[] = {
        {"box x 0", [](Sweep& s) { s.box[0] = 0; }, 5222030},
        {"box x 501", [](Sweep& s) { s.box[0] = 501; }, 5222030},
        {"box y 0", [](Sweep& s) { s.box[1] = 0; }, 5222031},
        {"box y 1001", [](Sweep& s) { s.box[1] = 1001; }, 5222031},
        {"via pass 1", [](Sweep& s) { s.via[1] = 101; }, 5222032},
        {"retry pass 4", [](Sweep& s) { s.retry[4] = 101; }, 5222033},
        {"limit pass 2", [](Sweep& s) { s.limit[2] = 101; }, 5222034},
        {"dir layer 1", [](Sweep& s) { s.dir[1] = 101; }, 5222035},
        {"cost layer 2", [](Sweep& s) { s.cost[2] = 101; }, 5222036},
        {"name of 32", [](Sweep& s) { std::memset(s.name, 'A', sizeof s.name); }, 5222037},
    };
    const Sweep original = Current();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Sweep s = original;
        c.edit(s);
        EXPECT_FATAL(SweepPut(&s), c.code);
        // A trusted store refuses the same, except for the name.
        DbTrustedScope trusted;
        if (c.code != 5222037) {
            EXPECT_FATAL(SweepPut(&s), c.code);
            continue;
        }
        SweepPut(&s);
        Sweep stored = Current();
        EXPECT_EQ(std::memcmp(&stored, &s, 64), 0);
        EXPECT_EQ(std::memcmp(stored.dir, s.dir, sizeof(Sweep) - 99), 0);
        SweepPut(&original);
    }
}

TEST_F(SweepTest, PutAcceptsTheLimitsAndLeavesUncheckedEntries) {
    Sweep s = Current();
    s.box[0] = 500;
    s.box[1] = 1000;
    s.via[0] = s.retry[0] = s.limit[0] = 100;
    s.attempts[3] = 100;
    s.via[4] = s.retry[4] = s.limit[4] = 100;
    s.dir[2] = s.cost[2] = 100;
    s.dir[3] = s.cost[3] = 200; // above the layer count
    std::memset(s.name, 'A', 31);
    s.name[31] = 0;
    DbHdr().modified = 0;
    SweepPut(&s);
    EXPECT_EQ(DbHdr().modified, 1);
    Sweep out = Current();
    EXPECT_EQ(out.via[0], 100);
    EXPECT_EQ(out.dir[3], 200);
    EXPECT_EQ(std::strlen(out.name), 31u);
}

TEST_F(SweepTest, DiagonalModeWithBitTwoGetsBitOne) {
    struct Case {
        int16_t in, stored;
        bool answer;
    };
    for (Case c : {Case{2, 3, true}, Case{3, 3, true}, Case{16, 16, false}, Case{1, 1, false},
                   Case{18, 19, true}}) {
        Sweep s = Current();
        s.diagonal = c.in;
        EXPECT_EQ(SweepPut(&s), c.answer) << c.in;
        EXPECT_EQ(Current().diagonal, c.stored) << c.in;
    }
}

TEST_F(SweepTest, FreedTableIsAbsent) {
    DbFree();
    Sweep s{};
    EXPECT_FATAL(SweepGet(&s), 5222011);
}

} // namespace
