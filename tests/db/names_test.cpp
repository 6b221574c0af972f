#include <cstring>
#include <string>

#include "db/names.h"
#include "dbfixture.h"

namespace {

// A fresh empty design for each test.
class NamesTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        NewDesign();
    }
    static std::string Text(NameId id, int32_t limit = 100) {
        char buf[kNameMaxChars + 1];
        NameToText(id, limit, buf);
        return buf;
    }
    static bool Stored(NameId id) { return id > 65535u && (id >> 24) == 0; }
};

TEST_F(NamesTest, FormsOfShortTexts) {
    struct Case {
        const char* text;
        NameId id;
    } cases[] = {
        {"", 0},
        {"0", 30001},
        {"7", 30008},
        {"30000", 60001},
        {"00", 0x30300000u},
        {"007", 0x30303700u},
        {"-5", 0x2D350000u},
        {"A", 0x41000000u},
        {"ABCD", 0x41424344u},
        // Bytes above 127 are packed unsigned and keep the characters
        // before them.
        {"A\xE9", 0x41E90000u},
        {"\xE9\xE9", 0xE9E90000u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NameLookup(c.text), c.id) << c.text;
        EXPECT_EQ(NameIntern(c.text), c.id) << c.text;
        EXPECT_EQ(Text(c.id), c.text) << c.text;
    }
    EXPECT_NE(NameIntern("A\xE9"), NameIntern("\xE9"));
}

TEST_F(NamesTest, LongTextsAndLargeNumbersGoToTheTable) {
    for (const char* t : {"30001", "123456", "ABCDE", "-30001", "1234567"}) {
        EXPECT_EQ(NameLookup(t), 0u) << t;
        NameId id = NameIntern(t);
        EXPECT_TRUE(Stored(id)) << t;
        EXPECT_EQ(NameLookup(t), id) << t;
        EXPECT_EQ(Text(id), t);
    }
}

TEST_F(NamesTest, InterningTwiceStoresOnce) {
    NameId a = NameIntern("GROUND");
    int32_t page = int32_t(a >> 16) - 1;
    int32_t used = NamePageUsed(page);
    EXPECT_EQ(used, 7);
    EXPECT_EQ(NameIntern("GROUND"), a);
    EXPECT_EQ(NamePageUsed(page), used);
    EXPECT_EQ(page, NameHash("GROUND"));
    EXPECT_EQ(a, NameId(page + 1) * 65536u);
    // Lookup is exact and case-sensitive; a never-stored text adds nothing.
    EXPECT_EQ(NameLookup("ground"), 0u);
    EXPECT_EQ(NamePageUsed(page), used);
}

TEST_F(NamesTest, HashOverSignedBytes) {
    // h = (h x 256 + c) mod 203 in unsigned 32-bit arithmetic, c signed.
    uint32_t h = 0;
    for (unsigned char c : std::string("NET\xC3\xA9X"))
        h = (h * 256u + uint32_t(int32_t(static_cast<signed char>(c)))) % 203u;
    EXPECT_EQ(NameHash("NET\xC3\xA9X"), int32_t(h));
    EXPECT_EQ(
        NameHash("ABCDE"),
        int32_t(((((65u * 256 + 66) % 203 * 256 + 67) % 203 * 256 + 68) % 203 * 256 + 69) % 203));
}

TEST_F(NamesTest, LookupBeforeTheTableExists) {
    DbFree();
    EXPECT_EQ(NameHighestPage(), -1);
    EXPECT_EQ(NameLookup("LONGNAME"), 0u);
    EXPECT_EQ(NameLookup("12"), 30013u);
    EXPECT_EQ(NameLookup("AB"), 0x41420000u);
    DbHeaderReset();
    DbInit();
    EXPECT_EQ(NameHighestPage(), 202); // the default layer names set it up
}

TEST_F(NamesTest, AChainThatOverflowsLinksOneNewPage) {
    // Texts of 99 characters and its zero that all hash to one chain.
    std::string base(94, 'Q');
    int32_t chain = -1;
    std::string texts[100];
    int32_t found = 0;
    for (int32_t i = 0; found < 100 && i < 100000; ++i) {
        char tail[8];
        std::snprintf(tail, sizeof tail, "%05d", i);
        std::string t = base + tail;
        int32_t h = NameHash(t.c_str());
        if (chain < 0) chain = h;
        if (h == chain) texts[found++] = t;
    }
    ASSERT_EQ(found, 100);
    int32_t highest = NameHighestPage();
    NameId ids[100];
    for (int32_t i = 0; i < 80; ++i)
        ids[i] = NameIntern(texts[i].c_str());
    EXPECT_EQ(NameHighestPage(), highest); // 80 x 100 bytes fit exactly
    EXPECT_EQ(NamePageFree(chain), 0);
    ids[80] = NameIntern(texts[80].c_str());
    int32_t next = NamePageNext(chain);
    EXPECT_EQ(next, highest + 1);
    EXPECT_EQ(NameHighestPage(), highest + 1);
    EXPECT_EQ(NamePageFree(next), 7999 - 99);
    EXPECT_LT(NamePageFree(chain), 0);
    EXPECT_EQ(ids[80], NameId(next + 1) * 65536u);
    for (int32_t i = 81; i < 100; ++i)
        ids[i] = NameIntern(texts[i].c_str());
    EXPECT_EQ(NamePageNext(next), -1);
    for (int32_t i = 0; i < 100; ++i) {
        EXPECT_EQ(NameLookup(texts[i].c_str()), ids[i]);
        EXPECT_EQ(Text(ids[i]), texts[i]);
    }
}

TEST_F(NamesTest, PagesEndAtTheLastOneBelowTheCharacterRange) {
    // Fill overflow pages with 100-character texts until none is left.
    char text[kNameMaxChars + 1];
    std::memset(text, 'Z', kNameMaxChars);
    text[kNameMaxChars] = 0;
    int32_t i = 0;
    EXPECT_FATAL(
        for (;; ++i) {
            std::snprintf(text, sizeof text, "%07d", i);
            text[7] = 'Z';
            NameId id = NameIntern(text);
            ASSERT_EQ(id >> 24, 0u);
        },
        5221010);
    EXPECT_EQ(NameHighestPage(), kNamePages - 1);
}

TEST_F(NamesTest, Errors) {
    std::string tooLong(101, 'X');
    EXPECT_FATAL(NameIntern(tooLong.c_str()), 5221045);
    NameId id = NameIntern("STORED");
    char buf[kNameMaxChars + 1];
    // A page above the highest in use, a page without a block, an offset
    // past the used bytes.
    EXPECT_FATAL(NameToText(NameId(250 + 1) * 65536u, 100, buf), 5221052);
    int32_t page = int32_t(id >> 16) - 1;
    int32_t empty = page == 0 ? 1 : 0;
    EXPECT_FATAL(NameToText(NameId(empty + 1) * 65536u, 100, buf), 5221052);
    EXPECT_FATAL(NameToText(id + 7, 100, buf), 5221052);
    NameToText(id + 1, 100, buf); // inside the text: its tail
    EXPECT_STREQ(buf, "TORED");
    char name[kNameMaxChars + 1] = "A";
    EXPECT_FATAL(NameNext(name, 101), 5221058);
}

TEST_F(NamesTest, ToTextCutsBelowTheLimit) {
    NameId id = NameIntern("BOTTOMSIDE");
    EXPECT_EQ(Text(id, 3), "BOT");
    EXPECT_EQ(Text(0x41424344u, 2), "AB");
    EXPECT_EQ(Text(30001 + 12345, 2), "12");
    EXPECT_EQ(Text(id, 100), "BOTTOMSIDE");
    // NameText uses the value ring: five texts stay valid at once.
    const char* a = NameText(id);
    const char* b = NameText(30001 + 5);
    EXPECT_STREQ(a, "BOTTOMSIDE");
    EXPECT_STREQ(b, "5");
}

TEST_F(NamesTest, NextNameOfASeries) {
    struct Case {
        const char* in;
        int32_t limit;
        const char* out;
    } cases[] = {
        {"GND", 100, "GND2"},  {"R19A", 100, "R20A"}, {"U9", 100, "U10"}, {"X99", 100, "X100"},
        {"R1", 100, "R2"},     {"99", 100, "100"},    {"GND", 3, "GN2"},  {"X99", 3, "X10"},
        {"ABCDEF", 4, "ABCD"}, {"A1B", 100, "A2B"},   {"", 100, "2"},
    };
    for (const Case& c : cases) {
        char buf[kNameMaxChars + 2];
        std::strcpy(buf, c.in);
        NameNext(buf, c.limit);
        EXPECT_STREQ(buf, c.out) << c.in << " limit " << c.limit;
    }
}

TEST_F(NamesTest, NumbersBeyondTheNumberFormAreFoundByTheirText) {
    EXPECT_EQ(NameOfNumber(0), 30001u);
    EXPECT_EQ(NameOfNumber(30000), 60001u);
    NameId big = NameOfNumber(30001);
    EXPECT_TRUE(Stored(big));
    EXPECT_EQ(Text(big), "30001");
    EXPECT_EQ(NameLookup("30001"), big);
    NameId n32767 = NameOfNumber(32767);
    EXPECT_EQ(NameLookup("32767"), n32767);
    NameId n31000 = DbNumberName(31000);
    EXPECT_EQ(NameLookup("31000"), n31000);
    // Default records of high rows carry such names.
    Net net;
    DbRecInit(kRecNet, &net, 30500);
    EXPECT_EQ(Text(net.name), "30500");
    EXPECT_EQ(NameLookup("30500"), net.name);
    DbRecInit(kRecNet, &net, 17);
    EXPECT_EQ(net.name, 30018u);
}

} // namespace
