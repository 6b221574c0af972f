// Tab stops, tab-expanded widths and truncation over a fixed-width
// measurer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "toolbox/core/windowobject.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
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

namespace {

// The runs reach the text primitive at their tab stops; the pen ends
// where the measure says.
TEST_F(TextMeasureTest, TextWithTabsDrawsEachRunAtItsStop) {
    SetCurrentPort(nullptr);
    MovePenTo(5, 7);
    std::string runs;
    WalkTextWithTabs("ab\tc\t\td", kCountToNul, 40, 0, [&](const char* run, int32_t n, int32_t x) {
        runs += std::string(run, size_t(n)) + "@" + std::to_string(x) + " ";
    });
    EXPECT_EQ(runs, "ab@0 c@40 d@120 ");
    DrawTextWithTabs("ab\tc", 4, 40, 0);
    EXPECT_EQ(CurrentState()->settings.penLocation.h, 55);
    EXPECT_EQ(CurrentState()->settings.penLocation.v, 7);
    // Masked text: as many asterisks.
    MovePenTo(0, 0);
    DrawTextWithTabs("a\tb", 3, 40, kTabFlagMasked);
    EXPECT_EQ(CurrentState()->settings.penLocation.h, 30);
    int32_t widths[3];
    MeasureTextFitRaw("aWb", 3, widths);
    EXPECT_EQ(widths[0], 10);
    EXPECT_EQ(widths[1], 24);
    EXPECT_EQ(widths[2], 34);
}

TEST_F(TextMeasureTest, WidthsFollowTheTextScaleOfAPortScaledOnBothAxes) {
    WindowObject port{};
    port.type = kWindowTypeOffscreen;
    port.port = CurrentState();
    port.percentHorizontal = 50;
    port.percentVertical = 50;
    port.horizontalScale = port.verticalScale = kScaleOne;
    SetCurrentPort(&port);
    EXPECT_EQ(TextWidthAtPortScale(100), 100); // not scaled
    port.flags = kWindowFlagScaled;
    port.horizontalScale = port.verticalScale = kScaleOne / 2;
    EXPECT_EQ(TextWidthAtPortScale(100), 50);
    port.verticalScale = kScaleOne; // one axis only
    EXPECT_EQ(TextWidthAtPortScale(100), 100);
    SetCurrentPort(nullptr);
}

} // namespace
