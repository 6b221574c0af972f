// The text engine over a fixed-width measurer: line breaking, the
// carriage-return and line-feed pair, keys, clicks, incremental layout,
// block sizing and filtered paste.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "toolbox/ui/textengine.h"
#include "toolbox/ui/textmeasure.h"
#include "toolbox/ui/textscrap.h"

namespace {

constexpr int32_t kCharPixels = 10;
int32_t gBarWidth = kCharPixels;

int32_t FixedWidth(void*, const char* text, int32_t count) {
    int32_t width = 0;
    for (int32_t i = 0; i < count; ++i)
        width += text[i] == '|' ? gBarWidth : kCharPixels;
    return width;
}

bool gShift = false;
bool ReadShift() {
    return gShift;
}

class TextEngineTest : public ::testing::Test {
  protected:
    TextMeasurer savedMeasurer_{};
    void SetUp() override {
        TextMeasurer measurer{nullptr, &FixedWidth};
        savedMeasurer_ = GetTextMeasurer();
        SetTextMeasurer(&measurer);
        SetTextShiftReader(&ReadShift);
        gShift = false;
        gBarWidth = kCharPixels;
        Make(6);
    }
    void TearDown() override {
        SetTextMeasurer(&savedMeasurer_);
        SetTextShiftReader(nullptr);
        SetTextBlockSizeLimit(-1);
    }
    // A record `columns` characters wide.
    void Make(int32_t columns) {
        Rect16 dest{0, 0, 200, int16_t(columns * kCharPixels + 1)};
        ASSERT_TRUE(InitTextRecord(&rec, &dest, &dest, 12, 9));
        rec.active = 1;
    }
    void Set(const std::string& text) {
        ASSERT_TRUE(SetTextRecordText(text.data(), int32_t(text.size()), &rec));
    }
    std::string Text() const { return std::string(rec.text.data(), size_t(rec.length)); }
    std::vector<int32_t> Starts() const {
        return std::vector<int32_t>(rec.lineStarts.begin(),
                                    rec.lineStarts.begin() + rec.lineCount + 1);
    }
    void Caret(int32_t offset) { SetTextRecordSelection(offset, offset, &rec); }
    TextRecord rec;
};

TEST_F(TextEngineTest, ReturnInAnEmptyRecordMakesThePairAndTwoLines) {
    TextKey(kTextKeyReturn, &rec);
    EXPECT_EQ(Text(), "\r\n");
    EXPECT_EQ(rec.lineCount, 2);
    EXPECT_EQ(rec.selStart, 2);
    EXPECT_EQ(TextLineOfOffset(rec.selStart, &rec), 1);
    EXPECT_EQ(TextOffsetToPoint(2, &rec).v, 12);
    // Backspace after the pair and Delete before it remove both.
    TextKey(kTextKeyBackspace, &rec);
    EXPECT_EQ(Text(), "");
    Set("a\r\nb");
    Caret(1);
    TextKey(kTextKeyDelete, &rec);
    EXPECT_EQ(Text(), "ab");
}

TEST_F(TextEngineTest, TheCaretNeverStopsInsideThePair) {
    Set("a\r\nb");
    Caret(1);
    TextKey(kTextKeyRight, &rec);
    EXPECT_EQ(rec.selStart, 3);
    TextKey(kTextKeyLeft, &rec);
    EXPECT_EQ(rec.selStart, 1);
    SetTextRecordSelection(2, 2, &rec);
    EXPECT_EQ(rec.selStart, 1);
    EXPECT_EQ(rec.selEnd, 3);
    TextClickOffset(2, 100, 10, false, &rec);
    EXPECT_EQ(rec.selStart, 1);
    EXPECT_EQ(rec.selEnd, 1);
}

TEST_F(TextEngineTest, LineBreaking) {
    struct Case {
        const char* text;
        std::vector<int32_t> starts;
    } cases[] = {
        {"", {0, 0}},
        {"abcdefghij", {0, 6, 10}}, // a long word breaks where it overflows
        {"ab cd efgh", {0, 6, 10}}, // after the last blank that fits
        {"abcde   fg", {0, 8, 10}}, // blanks at the break stay with the line
        {"abcdef\tgh", {0, 7, 9}},  // so does a tab
        {"ab\r\ncd", {0, 3, 6}},    // the line feed begins the next line
        {"ab\r", {0, 3, 3}},        // an empty line after a final return
        {"ab\ncd", {0, 5}},         // a lone line feed breaks nothing
    };
    for (const Case& c : cases) {
        Set(c.text);
        EXPECT_EQ(Starts(), c.starts) << c.text;
    }
    rec.singleLine = 1;
    Set("abcdefghij klm\rxy");
    EXPECT_EQ(Starts(), (std::vector<int32_t>{0, 15, 17}));
}

TEST_F(TextEngineTest, ZeroWidthBarStillFits) {
    gBarWidth = 0;
    EXPECT_EQ(TextFitChunk(60), 62);
    Set("abcdefghij");
    EXPECT_EQ(Starts(), (std::vector<int32_t>{0, 6, 10}));
}

TEST_F(TextEngineTest, NarrowWidthTakesOneCharacterPerLine) {
    Make(0);
    Set("abc");
    EXPECT_EQ(Starts(), (std::vector<int32_t>{0, 1, 2, 3}));
}

TEST_F(TextEngineTest, TrailingBlanksDoNotCountForJustification) {
    Set("abcd  efgh");
    ASSERT_EQ(Starts(), (std::vector<int32_t>{0, 6, 10}));
    EXPECT_EQ(TextLineJustifyWidth(&rec, 0), 40);
    rec.justification = kTextJustRight;
    EXPECT_EQ(TextOffsetToPoint(0, &rec).h, 1 + 20);
    rec.justification = kTextJustCentre;
    EXPECT_EQ(TextOffsetToPoint(0, &rec).h, 1 + 10);
    Set("abc \tdefgh");
    EXPECT_EQ(Starts()[1], 5);
    EXPECT_EQ(TextLineJustifyWidth(&rec, 0), 30);
}

TEST_F(TextEngineTest, VerticalKeysStopAtTheEnds) {
    Set("abcdef ghij");
    Caret(3);
    TextKey(kTextKeyUp, &rec);
    EXPECT_EQ(rec.selStart, 0);
    Caret(3);
    TextKey(kTextKeyDown, &rec);
    EXPECT_EQ(rec.selStart, 10);
    TextKey(kTextKeyDown, &rec);
    EXPECT_EQ(rec.selStart, 11);
    Caret(10);
    TextKey(kTextKeyUp, &rec);
    EXPECT_EQ(rec.selStart, 3);
}

TEST_F(TextEngineTest, RightAtAWrappedBoundaryShowsBothEnds) {
    Set("abcdefghij");
    Caret(5);
    TextKey(kTextKeyRight, &rec);
    EXPECT_EQ(rec.selStart, 6);
    EXPECT_EQ(TextOffsetToPoint(6, &rec).v, 0);
    EXPECT_EQ(TextOffsetToPoint(6, &rec).h, 61);
    TextKey(kTextKeyRight, &rec);
    EXPECT_EQ(rec.selStart, 6);
    EXPECT_EQ(TextOffsetToPoint(6, &rec).v, 12);
    TextKey(kTextKeyRight, &rec);
    EXPECT_EQ(rec.selStart, 7);
    // A caret in the trailing blanks goes straight to the next line.
    Set("abc   defg");
    Caret(4);
    TextKey(kTextKeyRight, &rec);
    EXPECT_EQ(rec.selStart, 6);
    EXPECT_EQ(TextOffsetToPoint(6, &rec).v, 12);
    TextKey(kTextKeyLeft, &rec);
    EXPECT_EQ(rec.selStart, 3);
}

TEST_F(TextEngineTest, ShiftExtendsTheSelection) {
    Set("abcdef");
    SetTextRecordSelection(2, 3, &rec);
    gShift = true;
    TextKey(kTextKeyRight, &rec);
    TextKey(kTextKeyLeft, &rec);
    EXPECT_EQ(rec.selStart, 1);
    EXPECT_EQ(rec.selEnd, 4);
    gShift = false;
    TextKey(kTextKeyRight, &rec);
    EXPECT_EQ(rec.selStart, 4);
    EXPECT_EQ(rec.selEnd, 4);
}

TEST_F(TextEngineTest, CharactersAndSelectionReplacement) {
    Set("abcdef");
    SetTextRecordSelection(1, 4, &rec);
    TextKey('X', &rec);
    EXPECT_EQ(Text(), "aXef");
    EXPECT_EQ(rec.selStart, 2);
    TextKey(5, &rec); // a control character is not text
    EXPECT_EQ(Text(), "aXef");
    rec.active = 0;
    TextKey('Y', &rec);
    EXPECT_EQ(Text(), "aXef");
}

TEST_F(TextEngineTest, DoubleAndTripleClicks) {
    Set("ab_1 cd\r\nxy");
    TextClickOffset(1, 100, 20, false, &rec);
    EXPECT_EQ(rec.selStart, 1);
    TextClickOffset(1, 110, 20, false, &rec);
    EXPECT_EQ(rec.selStart, 0);
    EXPECT_EQ(rec.selEnd, 4);
    TextClickOffset(1, 120, 20, false, &rec);
    EXPECT_EQ(rec.selStart, 0);
    EXPECT_EQ(rec.selEnd, 5); // the first display line with its blank
    TextClickOffset(6, 200, 20, false, &rec);
    TextClickOffset(6, 205, 20, false, &rec);
    TextClickOffset(6, 210, 20, false, &rec);
    EXPECT_EQ(rec.selStart, 5);
    EXPECT_EQ(rec.selEnd, 9); // the line with its break
    // Too late is a plain click again.
    TextClickOffset(6, 300, 20, false, &rec);
    EXPECT_EQ(rec.selStart, 6);
    EXPECT_EQ(rec.selEnd, 6);
    // Shift extends from the far end.
    SetTextRecordSelection(2, 4, &rec);
    TextClickOffset(1, 500, 20, true, &rec);
    EXPECT_EQ(rec.selStart, 1);
    EXPECT_EQ(rec.selEnd, 4);
}

TEST_F(TextEngineTest, IncrementalLayoutMatchesFullLayout) {
    const char alphabet[] = "abc  \t\rde";
    for (int32_t columns : {1, 2, 3, 6, 11}) {
        Make(columns);
        std::mt19937 random(uint32_t(columns) * 7919u);
        for (int step = 0; step < 600; ++step) {
            int32_t at = int32_t(random() % uint32_t(rec.length + 1));
            int32_t end = std::min(rec.length, at + int32_t(random() % 4));
            SetTextRecordSelection(at, end, &rec);
            switch (random() % 4) {
            case 0:
                TextKey(alphabet[random() % (sizeof alphabet - 1)], &rec);
                break;
            case 1:
                TextKey(random() % 2 ? kTextKeyBackspace : kTextKeyDelete, &rec);
                break;
            case 2:
                TextKey(kTextKeyReturn, &rec);
                break;
            default: {
                std::string paste;
                for (uint32_t n = random() % 40; n > 0; --n)
                    paste += alphabet[random() % (sizeof alphabet - 1)];
                TextInsertFiltered(paste.data(), int32_t(paste.size()), kTextNoLimit, nullptr,
                                   &rec);
            }
            }
            std::vector<int32_t> incremental = Starts();
            TextCalcLines(&rec);
            ASSERT_EQ(incremental, Starts()) << "columns " << columns << " step " << step;
        }
    }
}

TEST_F(TextEngineTest, SetTextSizesTheBlockAndTheLineStarts) {
    Set(std::string(100, 'a'));
    EXPECT_EQ(rec.text.size(), 164u);
    EXPECT_EQ(rec.selStart, 100);
    Set(std::string(110, 'a')); // within 64 bytes: kept
    EXPECT_EQ(rec.text.size(), 164u);
    Set("ab");
    EXPECT_EQ(rec.text.size(), 66u);
    EXPECT_EQ(rec.lineStarts.size(), 17u);
    SetTextBlockSizeLimit(100);
    std::string big(200, 'z');
    EXPECT_FALSE(SetTextRecordText(big.data(), 200, &rec));
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(rec.lineCount, 1);
}

TEST_F(TextEngineTest, TextThatCannotGrowDropsTheKeyOrPaste) {
    Set(std::string(66, 'a'));
    SetTextBlockSizeLimit(130);
    Caret(3);
    for (int i = 0; i < 64; ++i)
        TextKey('b', &rec);
    std::vector<int32_t> starts = Starts();
    TextKey('c', &rec);
    EXPECT_EQ(rec.length, 130);
    EXPECT_EQ(Text().find('c'), std::string::npos);
    EXPECT_EQ(rec.selStart, 67);
    EXPECT_FALSE(TextInsertFiltered("xyz", 3, kTextNoLimit, nullptr, &rec));
    EXPECT_EQ(rec.length, 130);
    EXPECT_EQ(Starts(), starts);
}

bool NoDigits(char c) {
    return c < '0' || c > '9';
}

TEST_F(TextEngineTest, FilteredPasteStopsAtTheLimitAndAtARefusal) {
    Set(std::string(240, 'a'));
    std::string paste(30, 'b');
    TextInsertFiltered(paste.data(), 30, 250, &NoDigits, &rec);
    EXPECT_EQ(rec.length, 250);
    Set("ab");
    Caret(1);
    TextInsertFiltered("xy7z", 4, 250, &NoDigits, &rec);
    EXPECT_EQ(Text(), "axyb");
    EXPECT_EQ(rec.selStart, 3);
}

TEST_F(TextEngineTest, CutCopyAndPasteThroughTheScrap) {
    Set("hello world");
    SetTextRecordSelection(0, 5, &rec);
    ASSERT_TRUE(TextCut(&rec));
    EXPECT_EQ(Text(), " world");
    EXPECT_EQ(ClipboardTextLength(), 5);
    Caret(6);
    ASSERT_TRUE(TextPaste(&rec));
    EXPECT_EQ(Text(), " worldhello");
    SetTextRecordSelection(1, 3, &rec);
    ASSERT_TRUE(TextPasteFiltered(&rec, 12, nullptr));
    EXPECT_EQ(Text(), " helrldhello"); // grows to the limit only
    SetTextRecordSelection(0, 0, &rec);
    ASSERT_TRUE(TextCopy(&rec));
    EXPECT_EQ(ClipboardTextLength(), 0);
}

TEST_F(TextEngineTest, LineHeightAndScrollLimits) {
    EXPECT_EQ(TextLineHeightOf(9, 3, 1, "ms sans serif"), 14);
    EXPECT_EQ(TextLineHeightOf(9, 3, 1, "MS Sans Serif Bold"), 13);
    EXPECT_EQ(TextLineHeightOf(9, 3, 1, nullptr), 13);
    Set("abcdefghijklmnop");
    int32_t dh = 5, dv = -30;
    TextScrollBy(&dh, &dv, &rec); // never right of or below the view's corner
    EXPECT_EQ(dh, 0);
    EXPECT_EQ(dv, -30);
    EXPECT_EQ(rec.destination.top, -30);
    dv = 50;
    TextScrollBy(&dh, &dv, &rec);
    EXPECT_EQ(dv, 30);
    EXPECT_EQ(rec.destination.top, 0);
}

TEST_F(TextEngineTest, GetTextIntoSmallBuffers) {
    Set("hello");
    char buffer[4] = {'q', 'q', 'q', 'q'};
    EXPECT_EQ(TextRecordGetText(&rec, buffer, 0), 0);
    EXPECT_EQ(buffer[0], 'q');
    EXPECT_EQ(TextRecordGetText(&rec, buffer, -3), 0);
    EXPECT_EQ(TextRecordGetText(&rec, buffer, 4), 3);
    EXPECT_STREQ(buffer, "hel");
}

TEST_F(TextEngineTest, MaskedTextMeasuresAsterisks) {
    SetTextFeature(kTextFeatureMasked, kTextFeatureSet, &rec);
    EXPECT_EQ(SetTextFeature(kTextFeatureMasked, kTextFeatureTest, &rec), 1);
    Set("a\tb");
    EXPECT_EQ(TextRunWidth(&rec, 0, 3), 30);
    EXPECT_EQ(MaskedTextWidth(4), 40);
    SetTextFeature(kTextFeatureMasked, kTextFeatureClear, &rec);
    EXPECT_EQ(SetTextFeature(kTextFeatureMasked, kTextFeatureTest, &rec), 0);
}

} // namespace
