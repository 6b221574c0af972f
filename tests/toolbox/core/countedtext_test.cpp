#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "toolbox/core/timetext.h"

namespace {

// A counted string from C text.
std::string Counted(const std::string& s) { return std::string(1, char(s.size())) + s; }
const uint8_t* U(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }
std::string Text(const uint8_t* counted) { return std::string(reinterpret_cast<const char*>(counted + 1), counted[0]); }

TEST(CountedText, ConversionsCapAt255) {
    char buf[400];
    std::memset(buf, 'x', 300);
    buf[300] = 0;
    CTextToCountedText(buf);
    EXPECT_EQ(uint8_t(buf[0]), 255);
    EXPECT_EQ(buf[255], 'x');
    std::strcpy(buf, "abc");
    CTextToCountedText(buf);
    EXPECT_EQ(Text(reinterpret_cast<uint8_t*>(buf)), "abc");
    CountedTextToCText(buf);
    EXPECT_STREQ(buf, "abc");
    buf[0] = 0;
    buf[1] = 'q';
    CountedTextToCText(buf); // empty: unchanged
    EXPECT_EQ(buf[1], 'q');

    uint8_t counted[256];
    CTextToCountedCopy(counted, std::string(300, 'y').c_str());
    EXPECT_EQ(counted[0], 255);
    char c[300];
    CountedToCCopy(c, counted);
    EXPECT_EQ(std::strlen(c), 255u);

    uint8_t* first = CTextToCountedTemp("one");
    for (int i = 0; i < 7; ++i) CTextToCountedTemp("other");
    EXPECT_EQ(Text(first), "one");
    CTextToCountedTemp("ninth"); // reuses the first buffer
    EXPECT_EQ(Text(first), "ninth");

    uint8_t dest[256];
    std::string src = Counted("abcdef");
    CopyCountedText(dest, U(src), 4);
    EXPECT_EQ(Text(dest), "abcd");
    CopyBounded(c, "hello", 3);
    EXPECT_STREQ(c, "hel");
    CopyBounded(c, "hi", 10);
    EXPECT_STREQ(c, "hi");
}

TEST(CountedText, Comparisons) {
    std::string abc = Counted("abc"), abd = Counted("abd"), ab = Counted("ab"), ABC = Counted("ABC");
    EXPECT_EQ(CompareCountedText(U(abc), U(abd), 10), -1);
    EXPECT_EQ(CompareCountedText(U(abd), U(abc), 10), 1);
    EXPECT_EQ(CompareCountedText(U(ab), U(abc), 10), -1); // shorter is smaller
    EXPECT_EQ(CompareCountedText(U(ab), U(abc), 2), 0);
    EXPECT_EQ(CompareCountedText(U(abc), U(ABC), 3), 1);
    EXPECT_EQ(CompareCountedTextNoCase(U(abc), U(ABC), 3), 0);
    EXPECT_EQ(CompareTextCounted("Hello", "hELLO world", 5), 0);
    EXPECT_EQ(CompareTextCounted("Hello", "hELLO world", 6), -1);
    EXPECT_EQ(CompareTextCounted("abc", "abd", 0), 0);
    EXPECT_EQ(CompareTextCounted("ab", "ab", 10), 0);
}

TEST(CountedText, NaturalOrder) {
    EXPECT_LT(CompareTextNatural("file2", "file10", 0), 0);
    EXPECT_GT(CompareTextNatural("file10", "file2", 0), 0);
    EXPECT_EQ(CompareTextNatural("a01", "a1", 0), 0);
    EXPECT_EQ(CompareTextNatural("File", "file", 0), 0);
    EXPECT_NE(CompareTextNatural("File", "file", 1), 0);
    EXPECT_LT(CompareTextNatural("a", "b", 0), 0);
    EXPECT_LT(CompareTextNatural("x9", "x10", 0), 0);
    EXPECT_LT(CompareTextNatural("r12a", "r12b", 0), 0);
    // Digit runs beyond 32 bits compare by length, then digit by digit.
    EXPECT_LT(CompareTextNatural("n99999999999999999998", "n99999999999999999999", 0), 0);
    EXPECT_LT(CompareTextNatural("n4294967297", "n99999999999", 0), 0);
    EXPECT_EQ(CompareTextNatural("", "", 0), 0);
    EXPECT_LT(CompareTextNatural("", "a", 0), 0);
}

TEST(CountedText, InsertDeleteConcat) {
    uint8_t s[256];
    CTextToCountedCopy(s, "held");
    std::string lo = Counted("ll");
    EXPECT_EQ(InsertCountedText(U(lo), s, 3), 2);
    EXPECT_EQ(Text(s), "hellld");
    EXPECT_EQ(InsertCountedText(U(lo), s, 0), 0);
    EXPECT_EQ(InsertCountedText(U(lo), s, 8), 0);
    EXPECT_EQ(InsertCountedText(U(lo), s, 7), 2); // at the end
    EXPECT_EQ(Text(s), "hellldll");
    std::string ten = Counted("0123456789");
    CTextToCountedCopy(s, std::string(250, 'a').c_str());
    EXPECT_EQ(InsertCountedText(U(ten), s, 1), 5);
    EXPECT_EQ(s[0], 255);
    EXPECT_EQ(Text(s).substr(0, 6), "01234a");
    EXPECT_EQ(InsertCountedText(U(ten), s, 1), 0); // full

    CTextToCountedCopy(s, "abcdef");
    DeleteCountedText(s, 2, 2);
    EXPECT_EQ(Text(s), "adef");
    DeleteCountedText(s, 3, 100);
    EXPECT_EQ(Text(s), "ad");
    DeleteCountedText(s, 3, 1);
    DeleteCountedText(s, 1, 0);
    EXPECT_EQ(Text(s), "ad");

    std::string x = Counted("x"), yz = Counted("yz"), longer = Counted(std::string(200, 'L'));
    ConcatCountedTexts(s, U(x), U(yz), nullptr);
    EXPECT_EQ(Text(s), "xyz");
    ConcatCountedTexts(s, U(longer), U(longer), nullptr);
    EXPECT_EQ(s[0], 255);
}

TEST(CTextEditing, InsertDeleteTrimUpcaseRead) {
    char buf[64] = "hello";
    InsertTextAt(", world", buf, 5);
    EXPECT_STREQ(buf, "hello, world");
    InsertTextAt(">", buf, 0);
    InsertTextAt("x", buf, 99);
    InsertTextAt("x", buf, -1);
    InsertTextAt("", buf, 1);
    EXPECT_STREQ(buf, ">hello, world");
    DeleteTextAt(buf, 6, 100);
    EXPECT_STREQ(buf, ">hello");
    DeleteTextAt(buf, 0, 1);
    DeleteTextAt(buf, 5, 1);
    DeleteTextAt(buf, 0, 0);
    EXPECT_STREQ(buf, "hello");
    std::strcpy(buf, "  ab ");
    TrimBlanks(buf);
    EXPECT_STREQ(buf, "ab");
    UpcaseCString(buf);
    EXPECT_STREQ(buf, "AB");
    const char* cursor = "0123x";
    EXPECT_EQ(ReadDecimalRun(&cursor, 5), 50123);
    EXPECT_EQ(*cursor, 'x');
}

} // namespace
