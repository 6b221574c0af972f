// Renumbering by position: name splitting, numbering after the kept
// numbers, bands and orders, the former-name attribute, and the mended
// faults (selection across the sort, groups by prefix, taken names).
#include "place/plrename.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/attrs.h"
#include "db/comps.h"
#include "db/names.h"
#include "plfixture.h"

namespace {

class PlRenameTest : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        SetHeader(100, 100, 100, 100);
        sym = RowSymbol("ONE", 1, 100, both);
    }
    int32_t Add(const char* name, int32_t x, int32_t y) { return AddComp(name, sym, x, y); }
    // Component names in table order.
    static std::vector<std::string> Names() {
        std::vector<std::string> out;
        for (int32_t c = 1; c <= CompCount(); ++c)
            out.push_back(NameText(Comp(c).name));
        return out;
    }
    // The mask of the named components, in the current table order.
    static std::vector<uint8_t> Mask(std::initializer_list<const char*> names) {
        std::vector<uint8_t> m(size_t(CompCount()) + 1, 0);
        for (const char* n : names)
            m[size_t(CompFind(n))] = 1;
        return m;
    }
    static std::string NameAt(int32_t recordId) {
        for (int32_t c = 1; c <= CompCount(); ++c)
            if (Comp(c).recordId == recordId) return NameText(Comp(c).name);
        return "";
    }
    int32_t sym = 0;
};

TEST_F(PlRenameTest, NameSplit) {
    struct Case {
        const char* name;
        int32_t number;
        const char* prefix;
    } cases[] = {
        {"R12", 12, "R"},  {"R123456", 30000, "R"}, {"C", 0, "C"},
        {"123", 0, "123"}, {"U1A", 0, "U1A"},       {"IC007", 7, "IC"},
    };
    for (const Case& t : cases) {
        char text[128];
        std::strcpy(text, t.name);
        EXPECT_EQ(CompNameSplit(text), t.number) << t.name;
        EXPECT_STREQ(text, t.prefix) << t.name;
    }
    char tooLong[128];
    std::memset(tooLong, 'A', 101);
    tooLong[101] = 0;
    EXPECT_FATAL(CompNameSplit(tooLong), kErrRenameLongName);
}

TEST_F(PlRenameTest, SelectedTakeNumbersAfterTheKeptOnes) {
    Add("R1", 0, 0);
    Add("R2", 1000, 0);
    Add("R10", 2000, 0);
    Add("R5", 3000, 0);
    Add("C", 0, 5000);
    const std::vector<uint8_t> m = Mask({"R5", "C"});
    PlRenameComps(1, 8, m.data());
    EXPECT_EQ(Names(), (std::vector<std::string>{"C1", "R1", "R2", "R10", "R11"}));
    EXPECT_EQ(AltDepth(), 0);
}

TEST_F(PlRenameTest, GroupOfOneIsNumberedOne) {
    Add("Q7", 0, 0);
    PlRenameComps(1, 8, nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Q1"}));
}

TEST_F(PlRenameTest, BandsAndOrders) {
    // A 2 x 2 square: A at (0,0), B at (10000,0), C at (0,10000), D at
    // (10000,10000); the names give the order of numbering.
    struct Case {
        int32_t order, direction;
        const char* sequence; // which of A..D gets 1, 2, 3, 4
    } cases[] = {
        {1, 8, "ACBD"}, // columns left to right, each bottom up
        {2, 8, "CADB"}, // columns left to right, each top down
        {1, 4, "BDAC"}, // columns right to left
        {8, 1, "ABCD"}, // rows bottom up, each left to right
        {4, 1, "BADC"}, // rows bottom up, each right to left
        {8, 2, "CDAB"}, // rows top down
        {0, 2, "ACBD"}, // a zero byte: columns, ascending y
        {8, 0, "ACBD"},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(std::to_string(t.order) + "/" + std::to_string(t.direction));
        std::map<char, int32_t> id;
        const int32_t pos[4][2] = {{0, 0}, {10000, 0}, {0, 10000}, {10000, 10000}};
        for (int32_t i = 0; i < 4; ++i) {
            char name[8];
            std::snprintf(name, sizeof name, "X%d", 40 + i);
            id['A' + i] = Comp(Add(name, pos[i][0], pos[i][1])).recordId;
        }
        PlRenameComps(t.order, t.direction, nullptr);
        for (int32_t k = 0; k < 4; ++k)
            EXPECT_EQ(NameAt(id[t.sequence[k]]), "X" + std::to_string(k + 1)) << k;
        while (CompCount() > 0)
            CompDelete(CompCount());
    }
}

TEST_F(PlRenameTest, EqualCentresKeepTheirListOrder) {
    // Band nodes are pushed at the head: the later component comes first.
    const int32_t a = Comp(Add("D8", 0, 0)).recordId;
    const int32_t b = Comp(Add("D9", 0, 0)).recordId;
    PlRenameComps(1, 8, nullptr);
    EXPECT_EQ(NameAt(b), "D1");
    EXPECT_EQ(NameAt(a), "D2");
}

TEST_F(PlRenameTest, TooManyBandsLeaveTheGroupUnchanged) {
    SetHeader(100, 1, 1, 1);
    Add("L5", 0, 0);
    Add("L6", 2000000, 0); // 2,000,000 / (100 + 2) bands
    Add("M9", 0, 0);
    PlRenameComps(1, 8, nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"L5", "L6", "M1"}));
}

TEST_F(PlRenameTest, FirstRenameKeepsTheFormerNameOnce) {
    const int32_t c = Add("K4", 0, 0);
    const int32_t recordId = Comp(c).recordId;
    const NameId old = Comp(c).name;
    PlRenameComps(1, 8, nullptr);
    Attribute a;
    ASSERT_TRUE(AttrFind(kRenameAttrKind, kRenameAttrSub, 1, 0, &a));
    EXPECT_EQ(a.key2Type, kRenameAttrByte2);
    EXPECT_EQ(a.byte3, 0);
    EXPECT_EQ(a.value1, int32_t(old));
    EXPECT_EQ(a.value2, recordId);
    EXPECT_EQ(a.value3, 0);
    // A second rename keeps the first former name.
    Component r = Comp(1);
    r.name = NameIntern("K9");
    CompPut(1, &r);
    PlRenameComps(1, 8, nullptr);
    ASSERT_TRUE(AttrFind(kRenameAttrKind, kRenameAttrSub, 1, 0, &a));
    EXPECT_EQ(a.value1, int32_t(old));
    EXPECT_EQ(NameText(Comp(1).name), std::string("K1"));
}

TEST_F(PlRenameTest, FormerNameGoesIntoTheJournalBeforeTheComponent) {
    Add("K4", 0, 0);
    Add("K7", 1000, 0);
    AltPush();
    PlRenameComps(1, 8, nullptr);
    ASSERT_EQ(AltDepth(), 1);   // one level of its own, committed into the caller's
    std::vector<int32_t> order; // item type, then the component it names
    auto image = std::make_unique<uint8_t[]>(kRecordImageMax);
    AltItemHeader h;
    for (int32_t n = 1; n <= AltCount(); ++n) {
        AltGet(n, &h, image.get());
        order.push_back(h.type);
        order.push_back(h.type == kRecAttribute
                            ? reinterpret_cast<const Attribute*>(image.get())->key1
                            : h.index);
    }
    EXPECT_EQ(order, (std::vector<int32_t>{kRecAttribute, 1, kRecComponent, 1, kRecAttribute, 2,
                                           kRecComponent, 2}));
    AltPop(false);
}

TEST_F(PlRenameTest, SelectionFollowsTheSortByRecordId) {
    // Stored unsorted: the mask is by index before the sort.
    Add("Z3", 0, 0);
    Add("A7", 0, 0);
    const int32_t z = Comp(1).recordId;
    std::vector<uint8_t> m = {0, 1, 0}; // Z3 only
    PlRenameComps(1, 8, m.data());
    EXPECT_EQ(NameAt(z), "Z1");
    EXPECT_EQ(Names(), (std::vector<std::string>{"A7", "Z1"}));
}

TEST_F(PlRenameTest, GroupsAreWholePrefixesAndTakenNamesAreSkipped) {
    Add("U1", 0, 0);
    Add("U1A", 0, 1000);
    Add("U2", 1000, 0);
    PlRenameComps(1, 8, nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"U1", "U1A1", "U2"}));
    // "12" numbered 1 would be "121", which an unselected component holds.
    Add("12", 0, 0);
    Add("121", 5000, 0);
    const std::vector<uint8_t> m = Mask({"12"});
    PlRenameComps(1, 8, m.data());
    EXPECT_NE(CompFind("122"), 0);
    EXPECT_NE(CompFind("121"), 0);
}

// A number past 30,000 and a name past 100 characters are never made:
// such components keep their names.
TEST_F(PlRenameTest, NamesPastTheLimitsAreNotMade) {
    Add("R30000", 0, 0);
    Add("R5", 1000, 0);
    const std::string longName(100, 'W');
    Add(longName.c_str(), 0, 5000);
    const std::vector<uint8_t> m = Mask({"R5", longName.c_str()});
    PlRenameComps(1, 8, m.data());
    EXPECT_NE(CompFind("R5"), 0);
    EXPECT_NE(CompFind("R30000"), 0);
    EXPECT_NE(CompFind(longName.c_str()), 0);
    EXPECT_EQ(AltDepth(), 0);
}

// A group of more than 2,001 members is numbered whole: one column, numbered
// from the bottom up.
TEST_F(PlRenameTest, AGroupPastTwoThousandMembersIsNumberedWhole) {
    enum : int32_t { kMembers = 2002 };
    std::vector<int32_t> ids; // by height, lowest first
    for (int32_t i = kMembers; i >= 1; --i)
        ids.push_back(Comp(Add(("Q" + std::to_string(i)).c_str(), 0, -1000 * i)).recordId);
    PlRenameComps(1, 8, nullptr);
    for (int32_t k : {0, 2000, kMembers - 1})
        EXPECT_EQ(NameAt(ids[size_t(k)]), "Q" + std::to_string(k + 1)) << k;
}

} // namespace
