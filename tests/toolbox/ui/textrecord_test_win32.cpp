// Text records on GDI, read back as pixels: the highlight colours, the
// caret blink, TextBox's erasing and its one-run path, scrolling the view's
// pixels, double and triple clicks, the installed text-record operations,
// and the engine's layout rules with measured widths.
#include "toolbox/ui/textrecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "support/pixel_canvas_win32.h"
#include "toolbox/core/edittextdef.h"
#include "toolbox/core/systemtimes.h"
#include "toolbox/core/ticks.h"
#include "toolbox/ui/colour.h"
#include "toolbox/ui/controlrules.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/fontlist.h"
#include "toolbox/ui/fontmetrics.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/textstyle.h"

namespace {

constexpr int kW = 200, kH = 120;

uint32_t Sys(int index) {
    return RgbFromColorRef(GetSysColor(index));
}

int CountColour(const PixelCanvas& canvas, int x, int y, int w, int h, uint32_t rgb) {
    int n = 0;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col)
            n += canvas.Pixel(col, row) == rgb;
    return n;
}

std::vector<uint32_t> Snapshot(const PixelCanvas& canvas) {
    std::vector<uint32_t> out;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            out.push_back(canvas.Pixel(x, y));
    return out;
}

struct Record {
    TextRecord* r;
    explicit Record(const char* text, Rect16 box = Rect16{10, 10, 100, 190}) {
        r = NewTextRecord(&box, &box);
        if (r) SetTextRecordText(text, int32_t(std::strlen(text)), r);
    }
    ~Record() { DisposeTextRecord(r); }
};

TEST(WineTextRecord, TheSelectionShowsInTheSystemHighlightColours) {
    PixelCanvas canvas(kW, kH);
    Record t("Wide words");
    ASSERT_NE(t.r, nullptr);
    DrawTextRecord(nullptr, t.r);
    EXPECT_GT(CountColour(canvas, 10, 10, 180, t.r->lineHeight, kCanvasBlack), 0);
    TextActivate(t.r);
    ShowTextRecordSelection(0, 4, t.r);
    Point16 end = TextOffsetToPoint(4, t.r);
    int width = end.h - 11, h = t.r->lineHeight;
    ASSERT_GT(width, 4);
    // Inside the selected word: only the highlight and its text colour.
    int back = CountColour(canvas, 11, 10, width, h, Sys(COLOR_HIGHLIGHT));
    int ink = CountColour(canvas, 11, 10, width, h, Sys(COLOR_HIGHLIGHTTEXT));
    EXPECT_GT(ink, 0);
    EXPECT_GT(back, ink);
    EXPECT_EQ(CountColour(canvas, 11, 10, width, h, kCanvasBlack), 0);
    // Beyond it the record's own colours, and nothing below the line.
    EXPECT_EQ(CountColour(canvas, end.h + 1, 10, 60, h, Sys(COLOR_HIGHLIGHT)), 0);
    EXPECT_EQ(CountColour(canvas, 10, 10 + h, 180, 20, Sys(COLOR_HIGHLIGHT)), 0);
    // Deactivating hides it.
    TextDeactivate(t.r);
    EXPECT_EQ(CountColour(canvas, 0, 0, kW, kH, Sys(COLOR_HIGHLIGHT)), 0);
}

TEST(WineTextRecord, TheCaretIsAnInvertedLineOneLineHighAtTheBlinkTime) {
    PixelCanvas canvas(kW, kH);
    Record t("");
    ASSERT_NE(t.r, nullptr);
    DrawTextRecord(nullptr, t.r);
    uint32_t before = GetTicks();
    TextActivate(t.r);
    ASSERT_EQ(t.r->caretShown, 1);
    EXPECT_GE(t.r->nextBlinkTime, before + uint32_t(CaretBlinkTicks()));
    RECT box;
    ASSERT_TRUE(canvas.BoundsOfNot(kCanvasWhite, &box));
    EXPECT_EQ(box.right - box.left, 1);
    EXPECT_EQ(box.bottom - box.top, t.r->lineHeight);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(canvas.Pixel(box.left, box.top), kCanvasBlack);
    // Not yet time: nothing changes; at the time the caret goes.
    TextIdle(t.r);
    EXPECT_EQ(t.r->caretShown, 1);
    t.r->nextBlinkTime = GetTicks() - 1;
    TextIdle(t.r);
    EXPECT_EQ(t.r->caretShown, 0);
    EXPECT_FALSE(canvas.BoundsOfNot(kCanvasWhite, &box));
    // A selection shows no caret and does not blink.
    ShowTextRecordText("ab", 2, t.r);
    ShowTextRecordSelection(0, 2, t.r);
    t.r->nextBlinkTime = GetTicks() - 1;
    TextIdle(t.r);
    EXPECT_EQ(t.r->caretShown, 0);
}

TEST(WineTextBox, AnEmptyTextErasesOnlyWithoutTheNoEraseFlag) {
    PixelCanvas canvas(kW, kH);
    canvas.Fill(kCanvasBlack);
    Rect16 box{10, 10, 30, 60};
    TextBox("", 0, &box, kTextJustLeft, 0, kTextBoxNoErase);
    EXPECT_EQ(canvas.Pixel(20, 20), kCanvasBlack);
    TextBox("", 0, &box, kTextJustLeft, 0, 0);
    EXPECT_EQ(CountColour(canvas, 10, 10, 50, 20, kCanvasWhite), 50 * 20);
    EXPECT_EQ(canvas.Pixel(9, 9), kCanvasBlack);
}

TEST(WineTextBox, TheOneRunPathDrawsTheSamePixelsAsTheRecord) {
    PixelCanvas canvas(kW, kH);
    const char text[] = "Plain single line";
    int32_t n = int32_t(sizeof text - 1);
    canvas.Fill(kCanvasBlack);
    Rect16 box{20, 5, 40, 150};
    TextBox(text, n, &box, kTextJustLeft, 0, kTextBoxSingleLine);
    std::vector<uint32_t> fast = Snapshot(canvas);
    canvas.Fill(kCanvasBlack);
    TextBox(text, n, &box, kTextJustLeft, 0, 0); // wide enough: one line through a record
    std::vector<uint32_t> general = Snapshot(canvas);
    EXPECT_EQ(fast, general);
    EXPECT_EQ(canvas.Pixel(4, 25), kCanvasBlack); // outside the box
    EXPECT_EQ(canvas.Pixel(6, 38), kCanvasWhite); // erased inside
    // Without erasing, the background outside the ink stays.
    canvas.Fill(kCanvasBlack);
    TextBox(text, n, &box, kTextJustLeft, 0, kTextBoxSingleLine | kTextBoxNoErase);
    EXPECT_EQ(canvas.Pixel(6, 38), kCanvasBlack);
}

TEST(WineTextBox, WrappedRightJustifiedLinesEndAtTheRightEdge) {
    PixelCanvas canvas(kW, kH);
    Rect16 box{10, 10, 110, 70};
    const char text[] = "aaaa bbbb cccc";
    TextBox(text, int32_t(sizeof text - 1), &box, kTextJustRight, 0, 0);
    RECT ink;
    ASSERT_TRUE(canvas.BoundsOfNot(kCanvasWhite, &ink));
    EXPECT_GE(ink.right, 66); // trailing blanks do not push the words left
    EXPECT_LE(ink.right, 70);
    EXPECT_GT(ink.bottom - ink.top, 20); // more than one line
}

// With the port's text turned a right angle clockwise, the lines and the
// box (erase and clip) turn about the box's top-left corner: the first line
// lies just left of that corner, reading downward, the next one left of it.
TEST(WineTextBox, RotatedTextTurnsTheLinesAndTheBox) {
    PixelCanvas canvas(kW, kH);
    canvas.Fill(kCanvasBlack);
    Rect16 box{10, 100, 60, 190};
    SetTextAngle(90);
    const char text[] = "WW\rWW";
    TextBox(text, int32_t(sizeof text - 1), &box, kTextJustLeft, 0, 0);
    SetTextAngle(0);
    EXPECT_EQ(canvas.Pixel(150, 30), kCanvasBlack); // the unturned box is untouched
    EXPECT_EQ(canvas.Pixel(101, 30), kCanvasBlack);
    EXPECT_EQ(canvas.Pixel(52, 95), kCanvasWhite); // the turned box is erased
    EXPECT_EQ(canvas.Pixel(49, 30), kCanvasBlack);
    Record probe("WW");
    ASSERT_NE(probe.r, nullptr);
    int h = probe.r->lineHeight;
    // Ink: not white and not the untouched black outside the turned box.
    auto inkIn = [&](int left, int right) {
        int n = 0;
        for (int y = 10; y < 100; ++y)
            for (int x = left; x < right; ++x)
                n += canvas.Pixel(x, y) != kCanvasWhite;
        return n;
    };
    EXPECT_GT(inkIn(100 - h, 100), 0);         // the first line
    EXPECT_GT(inkIn(100 - 2 * h, 100 - h), 0); // the second
    EXPECT_EQ(inkIn(50, 100 - 2 * h), 0);
    // The lines read downward: their ink is taller than a line is high.
    int top = kH, bottom = 0;
    for (int y = 10; y < 100; ++y)
        for (int x = 100 - h; x < 100; ++x)
            if (canvas.Pixel(x, y) != kCanvasWhite) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_GT(bottom - top, h);
}

TEST(WineTextRecord, ScrollingMovesThePixelsAndDrawsTheUncoveredBand) {
    PixelCanvas canvas(kW, kH);
    Record t("one\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix\r\nseven\r\neight",
             Rect16{10, 10, 60, 120});
    ASSERT_NE(t.r, nullptr);
    DrawTextRecord(nullptr, t.r);
    TextScroll(0, -t.r->lineHeight, t.r);
    std::vector<uint32_t> scrolled = Snapshot(canvas);
    DrawTextRecord(nullptr, t.r);
    EXPECT_EQ(Snapshot(canvas), scrolled);
    EXPECT_EQ(t.r->destination.top, 10 - t.r->lineHeight);
    // The destination never moves below the view's top.
    TextScroll(0, 5 * t.r->lineHeight, t.r);
    EXPECT_EQ(t.r->destination.top, 10);
    scrolled = Snapshot(canvas);
    DrawTextRecord(nullptr, t.r);
    EXPECT_EQ(Snapshot(canvas), scrolled);
}

TEST(WineTextRecord, ADoubleClickSelectsTheWordATripleClickTheLine) {
    PixelCanvas canvas(kW, kH);
    Record t("alpha beta_2 gamma\r\nnext");
    ASSERT_NE(t.r, nullptr);
    TextActivate(t.r);
    Point16 at = TextOffsetToPoint(8, t.r);
    at.v = int16_t(at.v + 2);
    TextClick(at, 0, false, t.r);
    EXPECT_EQ(t.r->selStart, t.r->selEnd);
    TextClick(at, 0, false, t.r);
    EXPECT_EQ(t.r->selStart, 6);
    EXPECT_EQ(t.r->selEnd, 12);
    TextClick(at, 0, false, t.r);
    EXPECT_EQ(t.r->selStart, 0);
    EXPECT_EQ(t.r->selEnd, 20); // the line with its break
    // Shift extends from the far end.
    Point16 late = TextOffsetToPoint(22, t.r);
    late.v = int16_t(late.v + 2);
    TextClick(late, kModShift, false, t.r);
    EXPECT_EQ(t.r->selStart, 0);
    EXPECT_EQ(t.r->selEnd, 22);
}

TEST(WineTextRecord, KeysEditAndRedrawLikeAFreshDrawing) {
    PixelCanvas canvas(kW, kH);
    Record t("first line of words", Rect16{10, 10, 100, 80});
    ASSERT_NE(t.r, nullptr);
    DrawTextRecord(nullptr, t.r);
    TextActivate(t.r);
    ShowTextRecordSelection(5, 5, t.r);
    TextRecordKey(kTextKeyReturn, t.r);
    EXPECT_EQ(t.r->selStart, 7);
    TextRecordKey('X', t.r);
    TextRecordKey(kTextKeyBackspace, t.r);
    TextRecordKey(kTextKeyBackspace, t.r); // the pair as one
    EXPECT_EQ(std::string(t.r->text.data(), size_t(t.r->length)), "first line of words");
    TextDeactivate(t.r);
    std::vector<uint32_t> edited = Snapshot(canvas);
    DrawTextRecord(nullptr, t.r);
    EXPECT_EQ(Snapshot(canvas), edited);
}

// An edit that adds or removes a line moves the lines below by whole line
// heights instead of drawing them again: a mark in their blank space moves
// along with them, and everything else matches a fresh drawing.
TEST(WineTextRecord, AnEditThatChangesTheLineCountMovesTheLinesBelow) {
    constexpr uint32_t kMark = 0xFF0000;
    PixelCanvas canvas(kW, kH);
    Record t("one\r\ntwo\r\nthree\r\nfour", Rect16{10, 10, 110, 120});
    ASSERT_NE(t.r, nullptr);
    DrawTextRecord(nullptr, t.r);
    TextActivate(t.r);
    int h = t.r->lineHeight;
    ASSERT_LE(10 + 5 * h, 110);
    int markX = 110, markY = 10 + 3 * h + 2; // the blank end of "four"
    canvas.SetPixel(markX, markY, kMark);
    ShowTextRecordSelection(3, 3, t.r);
    TextRecordKey(kTextKeyReturn, t.r);
    EXPECT_EQ(t.r->lineCount, 5);
    EXPECT_EQ(canvas.Pixel(markX, markY + h), kMark);
    EXPECT_EQ(canvas.Pixel(markX, markY), kCanvasWhite);
    TextRecordKey(kTextKeyBackspace, t.r);
    EXPECT_EQ(t.r->lineCount, 4);
    EXPECT_EQ(canvas.Pixel(markX, markY), kMark);
    canvas.SetPixel(markX, markY, kCanvasWhite);
    TextDeactivate(t.r);
    std::vector<uint32_t> edited = Snapshot(canvas);
    DrawTextRecord(nullptr, t.r);
    EXPECT_EQ(Snapshot(canvas), edited);
    // Lines added at the very end move nothing and draw the same.
    TextActivate(t.r);
    ShowTextRecordSelection(t.r->length, t.r->length, t.r);
    TextRecordKey(kTextKeyReturn, t.r);
    TextRecordKey('z', t.r);
    TextDeactivate(t.r);
    edited = Snapshot(canvas);
    DrawTextRecord(nullptr, t.r);
    EXPECT_EQ(Snapshot(canvas), edited);
}

TEST(WineTextRecord, MeasuredWidthsKeepTheLayoutRules) {
    PixelCanvas canvas(kW, kH);
    Record t("", Rect16{0, 0, 100, 60});
    ASSERT_NE(t.r, nullptr);
    // A word longer than the width breaks where it overflows; no line is empty.
    std::string longWord(40, 'm');
    SetTextRecordText(longWord.data(), int32_t(longWord.size()), t.r);
    ASSERT_GT(t.r->lineCount, 1);
    for (int32_t i = 0; i < t.r->lineCount; ++i)
        EXPECT_GT(t.r->lineStarts[i + 1], t.r->lineStarts[i]);
    EXPECT_LE(TextRunWidth(t.r, 0, t.r->lineStarts[1]), 59);
    // Blanks at a break stay on the upper line.
    const char words[] = "abc def     ghijk";
    SetTextRecordText(words, int32_t(sizeof words - 1), t.r);
    if (t.r->lineCount > 1) {
        EXPECT_NE(t.r->text[size_t(t.r->lineStarts[1])], ' ');
    }
    // Return in an empty record: two lines, the caret at 2.
    SetTextRecordText("", 0, t.r);
    t.r->active = 1;
    TextKey(kTextKeyReturn, t.r);
    EXPECT_EQ(t.r->lineCount, 2);
    EXPECT_EQ(t.r->selStart, 2);
}

TEST(WineTextRecord, TheInstalledOperationsDriveTheEditField) {
    PixelCanvas canvas(kW, kH);
    InitDrawingGlobals();
    ToolboxControlRecord control{};
    control.bounds = Rect16{10, 10, 40, 150};
    control.flags = kControlVisible | kControlEnabled;
    EditTextDefProc(0, &control, kControlInitialise, 0);
    ASSERT_NE(EditTextDataOf(&control), nullptr);
    ASSERT_NE(EditTextDataOf(&control)->text, nullptr);
    char text[] = "field";
    ControlDataRequest set{kTagText, text, 5, 0};
    EXPECT_EQ(EditTextDefProc(0, &control, kControlSetData, reinterpret_cast<intptr_t>(&set)), 0);
    auto* record = static_cast<TextRecord*>(EditTextDataOf(&control)->text);
    EXPECT_EQ(std::string(record->text.data(), size_t(record->length)), "field");
    EditTextDefProc(0, &control, kControlDraw, 0);
    EXPECT_GT(CountColour(canvas, 12, 12, 130, 26, kCanvasBlack), 0);
    EditTextDefProc(0, &control, kControlDispose, 0);
}

TEST(WineTextEngine, IncrementalLayoutMatchesFullLayoutWithMeasuredWidths) {
    PixelCanvas canvas(kW, kH);
    const char alphabet[] = "iWm  \t\rl.";
    for (int16_t width : {8, 25, 60, 140}) {
        Rect16 box{0, 0, 100, width};
        Record t("", box);
        ASSERT_NE(t.r, nullptr);
        t.r->active = 1;
        std::mt19937 random(uint32_t(width) * 7919u);
        for (int step = 0; step < 400; ++step) {
            TextRecord* r = t.r;
            int32_t at = int32_t(random() % uint32_t(r->length + 1));
            SetTextRecordSelection(at, std::min(r->length, at + int32_t(random() % 4)), r);
            switch (random() % 4) {
            case 0:
                TextKey(alphabet[random() % (sizeof alphabet - 1)], r);
                break;
            case 1:
                TextKey(random() % 2 ? kTextKeyBackspace : kTextKeyDelete, r);
                break;
            case 2:
                TextKey(kTextKeyReturn, r);
                break;
            default: {
                std::string paste;
                for (uint32_t n = random() % 40; n > 0; --n)
                    paste += alphabet[random() % (sizeof alphabet - 1)];
                TextInsertFiltered(paste.data(), int32_t(paste.size()), kTextNoLimit, nullptr, r);
            }
            }
            std::vector<int32_t> incremental(r->lineStarts.begin(),
                                             r->lineStarts.begin() + r->lineCount + 1);
            TextCalcLines(r);
            std::vector<int32_t> full(r->lineStarts.begin(),
                                      r->lineStarts.begin() + r->lineCount + 1);
            ASSERT_EQ(incremental, full) << "width " << width << " step " << step;
            for (int32_t i = 0; i + 1 < r->lineCount; ++i)
                ASSERT_GT(r->lineStarts[i + 1], r->lineStarts[i]);
        }
    }
}

// The system face stands for the tall-descent face where that is not
// installed (its name is what the rule reads).
TEST(WineTextRecord, TheTallDescentFaceCountsOneMorePixel) {
    PixelCanvas canvas(kW, kH);
    Record t("x");
    ASSERT_NE(t.r, nullptr);
    std::string systemFace = SystemFaceName();
    int16_t other = FontNumberFromName(systemFace.c_str());
    ASSERT_NE(other, 0);
    for (bool tall : {true, false}) {
        SetSystemFaceName(tall ? kTallDescentFace : systemFace.c_str());
        int16_t number = tall ? kSystemFontNumber : other;
        TextStyleRecord style = *t.r->style;
        style.fontNumber = number;
        style.size = 10;
        SetTextRecordStyle(&style, kCopyStyleFont | kCopyStyleSize, t.r);
        FontMetricsRecord m{};
        FontMetricsFor(number, 10, 0, &m);
        EXPECT_EQ(t.r->lineHeight, m.ascent + m.descent + m.externalLeading + (tall ? 1 : 0));
        EXPECT_EQ(t.r->ascent, m.ascent);
    }
    SetSystemFaceName(systemFace.c_str());
}

} // namespace
