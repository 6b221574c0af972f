// Tab stops, tab-expanded widths and truncation over a fixed-width
// measurer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "toolbox/ui/textmeasure.h"

namespace {

int32_t TenEach(void*, const char* text, int32_t count) {
    int32_t width = 0;
    for (int32_t i = 0; i < count; ++i)
        width += text[i] == 'W' ? 14 : 10;
    return width;
}

class TextMeasureTest : public ::testing::Test {
  protected:
    TextMeasurer savedMeasurer_{};
    void SetUp() override {
        TextMeasurer measurer{nullptr, &TenEach};
        savedMeasurer_ = GetTextMeasurer();
        SetTextMeasurer(&measurer);
    }
    void TearDown() override { SetTextMeasurer(&savedMeasurer_); }
    static std::string Counted(const char* text) {
        std::string counted(1, char(std::strlen(text)));
        counted += text;
        counted.resize(256);
        return counted;
    }
};

TEST_F(TextMeasureTest, TabStopsLieFivePixelsAhead) {
    EXPECT_EQ(NextTabStop(38, 40), 80);
    EXPECT_EQ(NextTabStop(35, 40), 40);
    EXPECT_EQ(NextTabStop(0, 40), 40);
    EXPECT_EQ(NextTabStop(40, 40), 80);
    EXPECT_EQ(MeasureTextWithTabs("ab\tc", 4, 40, 0), 50);
    EXPECT_EQ(MeasureTextWithTabs("abcd\tc", kCountToNul, 40, 0), 90);
    EXPECT_EQ(MeasureTextWithTabs("a\tb", 3, 40, 1), 28 + 10); // stops every 14
    EXPECT_EQ(MeasureTextWithTabs("a\tb", 3, 40, kTabFlagMasked), 30);
    EXPECT_EQ(WidestCharWidth(), 14);
}

TEST_F(TextMeasureTest, TruncationKeepsBeginningOrBothEnds) {
    std::string text = Counted("ABCDEFGH");
    auto* bytes = reinterpret_cast<uint8_t*>(text.data());
    EXPECT_EQ(TruncateTextToWidth(80, bytes, 0), kTruncateFits);
    EXPECT_EQ(std::string(text.data() + 1, size_t(bytes[0])), "ABCDEFGH");
    EXPECT_EQ(TruncateTextToWidth(70, bytes, kTruncateMiddle), kTruncated);
    EXPECT_EQ(std::string(text.data() + 1, size_t(bytes[0])), "AB...GH");
    text = Counted("ABCDEFGH");
    bytes = reinterpret_cast<uint8_t*>(text.data());
    EXPECT_EQ(TruncateTextToWidth(60, bytes, 0), kTruncated);
    EXPECT_EQ(std::string(text.data() + 1, size_t(bytes[0])), "ABC...");
    text = Counted("ABCDEFGH");
    bytes = reinterpret_cast<uint8_t*>(text.data());
    EXPECT_EQ(TruncateTextToWidth(31, bytes, 0), kTruncateTooNarrow);
    EXPECT_EQ(TruncateTextToWidth(45, bytes, 0), kTruncateTooNarrow); // one character left
    EXPECT_EQ(std::string(text.data() + 1, size_t(bytes[0])), "ABCDEFGH");
    char ctext[16] = "ABCDEFGH";
    EXPECT_EQ(TruncateCTextToWidth(70, ctext, kTruncateMiddle), kTruncated);
    EXPECT_STREQ(ctext, "AB...GH");
}

} // namespace
