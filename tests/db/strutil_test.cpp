#include "db/strutil.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "testutil.h"
#include "toolbox/core/memblock.h"

namespace {

class StrTest : public CoreTest {};

TEST_F(StrTest, CopiesStopAt100) {
    std::string longText(150, 'a');
    char dst[160];
    std::memset(dst, 'z', sizeof dst);
    StrCopy(dst, longText.c_str());
    EXPECT_EQ(std::string(dst), std::string(100, 'a'));

    StrCopy(dst, std::string(90, 'b').c_str());
    StrAppend(dst, std::string(20, 'c').c_str());
    EXPECT_EQ(std::string(dst), std::string(90, 'b') + std::string(10, 'c'));
    StrAppend(dst, "more");
    EXPECT_EQ(std::strlen(dst), 100u);

    StrTrim(dst, ("  " + std::string(120, 'd') + "  ").c_str());
    EXPECT_EQ(std::string(dst), std::string(100, 'd'));

    StrCopyUpper(dst, "abz-AZ09{");
    EXPECT_STREQ(dst, "ABZ-AZ09{");
}

TEST_F(StrTest, TrimKeepsInnerBlanks) {
    char dst[128];
    StrTrim(dst, "  A B  ");
    EXPECT_STREQ(dst, "A B");
    StrTrim(dst, "   ");
    EXPECT_STREQ(dst, "");
}

TEST_F(StrTest, Numbers) {
    char dst[128] = "R";
    NumToStr(dst, -42);
    EXPECT_STREQ(dst, "R-42");
    dst[0] = 0;
    NumToStr(dst, INT_MIN);
    EXPECT_STREQ(dst, "-2147483648");
    dst[0] = 0;
    NumToStrBase(dst, 255, 16);
    EXPECT_STREQ(dst, "FF");
    dst[0] = 0;
    NumToStrBase(dst, -10, 2);
    EXPECT_STREQ(dst, "-1010");
    dst[0] = 0;
    NumToStrBase(dst, 0, 8);
    EXPECT_STREQ(dst, "0");
}

int Sign(int32_t v) {
    return (v > 0) - (v < 0);
}

TEST_F(StrTest, NaturalCompare) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"C2", "C10", -1},
        {"C10", "C2", 1},
        {"A05", "A5", 0},
        {"R9", "R10", -1},
        {"U1", "U1", 0},
        {"abc", "abd", -1},
        {"ab", "abc", -1},
        {"A1B", "A1C", -1},
        {"X99999999999999999999", "X100000000000000000000", -1}, // runs longer than 64 bits
        {"X18446744073709551617", "X18446744073709551616", 1},
        {"N1", "Na", -1}, // digit against letter: the characters decide
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sign(StrCompare(c.a, c.b)), c.sign) << c.a << " vs " << c.b;
}

TEST_F(StrTest, WildcardMatch) {
    struct Case {
        const char* name;
        const char* pattern;
        bool match;
    } cases[] = {
        {"U12", "u?2", true},  {"U12", "U*", true},   {"U12", "U1", false}, {"U1", "U1*", true},
        {"U1", "U1??", true},  {"U1", "U1?x", false}, {"u12", "U12", true}, {"U12", "*", true},
        {"U12", "U*2", false}, // "*" matches the rest only as the last character
        {"", "", true},        {"A", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StrMatchWild(c.name, c.pattern), c.match) << c.name << " ~ " << c.pattern;
}

TEST_F(StrTest, MemResizeKeepsTheBytes) {
    char* b = static_cast<char*>(NewPointerBlockClear(nullptr, 8));
    std::strcpy(b, "abcdefg");
    b = static_cast<char*>(MemResize(b, 4000));
    ASSERT_NE(b, nullptr);
    EXPECT_STREQ(b, "abcdefg");
    EXPECT_EQ(PointerBlockSize(b), 4000);
    FreeHeapBlock(b);
}

} // namespace
