// The text log view in a real window: rows drawn 4 pixels from the left
// without their line break, marked rows inverted, the scroll bar's range
// and page, appending with the last line brought into view, and scrolling
// by moving pixels read back from the window.
#include "toolbox/ui/textlog.h"

#include <gtest/gtest.h>

#include <string>

#include "toolbox/core/memblock.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/ui/gditext_win32.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/control_win32.h"
#include "toolbox/ui/listscroll.h"
#include "toolbox/ui/scrollsteps.h"
#include "row_window_fixture_win32.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000;

class WineTextLog : public RowWindowTest {
  protected:
    void SetUp() override {
        OpenWindow("Details", nullptr);
        block_ = NewRelocatableBlock(nullptr, 0);
        ASSERT_EQ(ByteStreamOpen(kStreamMemory, reinterpret_cast<intptr_t>(block_), &stream_), 0);
        view_ = TextViewCreate(window_, 300, nullptr, stream_);
        ASSERT_NE(view_, nullptr);
    }
    void TearDown() override {
        RowWindowTest::TearDown();
        ByteStreamClose(stream_);
        HeapHandleFree(block_);
    }
    void Append(const std::string& text, bool show = true) {
        ASSERT_EQ(TextViewAppend(window_, text.data(), int32_t(text.size()), show), 0);
    }
    RelocatableBlock block_ = nullptr;
    ByteStream stream_ = nullptr;
    TextView* view_ = nullptr;
};

TEST_F(WineTextLog, RowsStartFourPixelsInWithoutTheirBreakAndMarkedRowsInvert) {
    Append("WWWW\r\n");
    Append("second\r\n");
    EXPECT_EQ(view_->index.rowCount, 2);
    WindowPixels pixels = Repainted();
    Rect16 content = RowWindowContent(window_);
    int h = view_->rowHeight;
    // The first ink of row 0 lies at the left offset (a W starts at its edge).
    int firstInk = -1;
    for (int x = content.left; x < content.right && firstInk < 0; ++x)
        for (int y = content.top; y < content.top + h; ++y)
            if (pixels.At(x, y) != kWhite) {
                firstInk = x;
                break;
            }
    EXPECT_GE(firstInk, content.left + kTextViewLeftOffset);
    EXPECT_LE(firstInk, content.left + kTextViewLeftOffset + 1);
    // Nothing drawn for the break: the ink ends with the last W.
    MakeWindowCurrentPort(window_);
    int32_t wide = MeasureTextWidth("WWWW", 4, false);
    EXPECT_EQ(
        pixels.Count(content.left + kTextViewLeftOffset + wide + 1, content.top, 40, h, kBlack), 0);
    // A marked row is inverted over its full height.
    BitSetInclude(view_->marks, 1);
    pixels = Repainted();
    int rowArea = (content.right - content.left) * h;
    EXPECT_GT(pixels.Count(content.left, content.top + h, content.right - content.left, h, kBlack),
              rowArea * 3 / 4);
    EXPECT_LT(pixels.Count(content.left, content.top, content.right - content.left, h, kBlack),
              rowArea / 4);
    // Clearing and appending starts at row 0 with no marks.
    TextViewClear(window_);
    EXPECT_EQ(view_->index.rowCount, 0);
    Append("again\r\n");
    EXPECT_EQ(view_->index.rowCount, 1);
    EXPECT_FALSE(BitSetContains(view_->marks, 1));
}

TEST_F(WineTextLog, TheBarRangeIsRowsLessVisibleAndAppendingShowsTheLastLine) {
    ASSERT_GT(view_->visibleRows, 2);
    auto* bar =
        static_cast<ToolboxControlRecord*>(static_cast<SurfaceList*>(window_->surfaceList)->barV);
    ASSERT_TRUE(IsControlRecord(bar));
    Append("only line");
    EXPECT_EQ(view_->index.rowCount, 1);  // completed by the next append
    EXPECT_EQ(ControlGetMaximum(bar), 0); // at least 0
    Append("\r\n");
    for (int i = 0; i < 40; ++i)
        Append("line " + std::to_string(i) + "\r\n");
    int32_t rows = view_->index.rowCount;
    EXPECT_EQ(rows, 41);
    EXPECT_EQ(ControlGetMaximum(bar), rows - view_->visibleRows);
    EXPECT_EQ(ControlGetPageSize(bar), view_->visibleRows);
    EXPECT_EQ(view_->firstVisible, rows - view_->visibleRows);
    EXPECT_EQ(ControlGetValue(bar), view_->firstVisible);
    // The native bar runs from the minimum to the maximum inclusive.
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(static_cast<HWND>(ControlChild(bar)), SB_CTL, &info);
    EXPECT_EQ(info.nMax - int(info.nPage) + 1, rows - view_->visibleRows);
    // Without the show flag the view stays.
    TextViewScroll(window_, kStepToRow, 0);
    Append("quiet\r\n", false);
    EXPECT_EQ(view_->firstVisible, 0);
}

TEST_F(WineTextLog, ScrollingMovesThePixelsAndDrawsOnlyTheUncoveredBand) {
    for (int i = 0; i < 60; ++i)
        Append("row " + std::to_string(i) + "\r\n", false);
    TextViewScroll(window_, kStepToRow, 0);
    Repainted();
    TextViewScroll(window_, kStepRowDown, 0);
    EXPECT_EQ(view_->firstVisible, 1);
    TextViewScroll(window_, kStepPageDown, 0);
    EXPECT_EQ(view_->firstVisible, view_->visibleRows);
    WindowPixels moved = Now();
    EXPECT_EQ(Differences(moved, Repainted()), 0);
    // Steps stop at the ends.
    TextViewScroll(window_, kStepToRow, 1000);
    EXPECT_EQ(view_->firstVisible, view_->index.rowCount - view_->visibleRows);
    TextViewScroll(window_, kStepPageUp, 0);
    TextViewScroll(window_, kStepToRow, -5);
    EXPECT_EQ(view_->firstVisible, 0);
}

} // namespace
