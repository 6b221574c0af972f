// The tokenizer and the line input.
#include <string>

#include "asctest.h"

namespace {

struct Tok {
    int32_t kind;
    std::string text;
    int32_t number;
};

class AscLexTest : public AscTest {
  protected:
    Tok Next(int32_t mask = kAscAny, int32_t* result = nullptr) {
        int32_t r = AscGetToken(mask);
        if (result) *result = r;
        return Tok{AscTokenKind(), AscTokenText(), AscTokenNumber()};
    }
    void TearDown() override {
        EndLex();
        AscTest::TearDown();
    }
};

TEST_F(AscLexTest, TokenKinds) {
    struct Case {
        const char* input;
        int32_t mask;
        int32_t kind;
        const char* text;
        int32_t number;
    } cases[] = {
        {"-12", kAscNumber, kAscNumber, "-12", -12},
        {"12AB", kAscWord, kAscWord, "12AB", 12},
        {"12ab x", kAscWord, kAscWord, "12ab", 12},
        {"w:", kAscAny, kAscWord, "W:", 0},
        {"layer=5", kAscAny, kAscWord, "LAYER=", 0},
        {"\"a b\"", kAscAny, kAscString, "a b", 0},
        {"+", kAscAny, kAscNumber, "+", 0},
        {"+7", kAscAny, kAscNumber, "+7", 7},
        {"*comp", kAscAny, kAscWord, "*COMP", 0},
        {"#x-1/_a", kAscAny, kAscWord, "#X-1/_A", 0},
        {"\xC3x", kAscAny, kAscPunct, "\xC3", 0},
        {"4294967295", kAscAny, kAscNumber, "4294967295", -1},
        {"-2147483648", kAscAny, kAscNumber, "-2147483648", INT32_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        Lex(c.input);
        int32_t r = 0;
        Tok t = Next(c.mask, &r);
        EXPECT_EQ(r, 1);
        EXPECT_EQ(t.kind, c.kind);
        EXPECT_EQ(t.text, c.text);
        EXPECT_EQ(t.number, c.number);
        EndLex();
    }
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(AscLexTest, BracketsSplitIntoTokens) {
    Lex("[10,20]");
    std::vector<Tok> want = {{kAscWord, "[", 0},
                             {kAscNumber, "10", 10},
                             {kAscPunct, ",", 0},
                             {kAscNumber, "20", 20},
                             {kAscPunct, "]", 0}};
    for (const Tok& w : want) {
        Tok t = Next();
        EXPECT_EQ(t.kind, w.kind);
        EXPECT_EQ(t.text, w.text);
        EXPECT_EQ(t.number, w.number);
    }
    int32_t r = 1;
    EXPECT_EQ(Next(kAscAny, &r).kind, kAscEof);
    EXPECT_EQ(r, 0);
    EXPECT_TRUE(LogLines().empty()); // the end of input has no message
}

TEST_F(AscLexTest, KindOutsideMaskIsASyntaxError) {
    Lex("abc 5");
    int32_t r = 1;
    Next(kAscNumber, &r);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(AscErrorCount(), 1);
    ASSERT_EQ(LogLines().size(), 1u);
    EXPECT_EQ(LogLines()[0], "File \"lex\"; Line 1 ### Syntax Error");
}

TEST_F(AscLexTest, LongLinesArriveInPieces) {
    std::string line(600, 'A');
    Lex(line + "\r\nB");
    Tok t = Next();
    EXPECT_EQ(t.text.size(), 510u);
    EXPECT_EQ(AscLineNumber(), 1);
    t = Next();
    EXPECT_EQ(t.text.size(), 90u);
    EXPECT_EQ(AscLineNumber(), 2);
    EXPECT_EQ(Next().text, "B");
    EXPECT_EQ(AscLineNumber(), 3);
}

TEST_F(AscLexTest, LineEndsAndContinuation) {
    // CR, LF and CR LF each end one line; "&" at the end joins the next
    // line; trailing blanks and bytes 128..255 are trimmed.
    Lex("a\rb\nc\r\nab&  \r\ncd \xE9\xE9\r\ne");
    EXPECT_EQ(Next().text, "A");
    EXPECT_EQ(Next().text, "B");
    EXPECT_EQ(Next().text, "C");
    EXPECT_EQ(AscLineNumber(), 3);
    EXPECT_EQ(Next().text, "AB");
    EXPECT_EQ(Next().text, "CD");
    EXPECT_EQ(AscLineNumber(), 5);
    EXPECT_EQ(Next().text, "E");
    EXPECT_EQ(AscLineNumber(), 6);
}

TEST_F(AscLexTest, StringsAcrossLinesAndLongTokens) {
    Lex("\"x&\r\ny\" \"open");
    EXPECT_EQ(Next().text, "x y");
    Tok t = Next(); // a string still open at the end of the input ends there
    EXPECT_EQ(t.kind, kAscString);
    EXPECT_EQ(t.text, "open "); // its line end reads as a blank
    EndLex();
    std::string body;
    for (int i = 0; i < 3; ++i)
        body += std::string(400, 'q') + "&\r\n";
    Lex("\"" + body + "\" next");
    t = Next();
    EXPECT_EQ(t.kind, kAscString);
    EXPECT_EQ(t.text.size(), 511u);
    EXPECT_EQ(Next().text, "NEXT");
}

TEST_F(AscLexTest, PushedBackCharacter) {
    Lex("xy");
    int32_t c = AscGetChar();
    EXPECT_EQ(c, 'x');
    AscUngetChar(c);
    EXPECT_EQ(AscGetChar(), 'x');
    EXPECT_EQ(AscGetChar(), 'y');
    EXPECT_EQ(AscGetChar(), ' '); // the line end
    EXPECT_EQ(AscGetChar(), -1);
}

} // namespace
