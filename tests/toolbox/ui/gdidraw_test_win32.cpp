// The GDI back end on a free-standing bitmap state: exact pixels of lines,
// frames, fills by verb, modes, patterns, clipping, origins, scaled ports
// and bits; properties of ovals, arcs and rotated shapes; and the
// discipline counters.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/pixel_canvas_win32.h"
#include "toolbox/core/icon_win32.h"
#include "toolbox/core/icondir.h"
#include "toolbox/core/picture.h"
#include "toolbox/core/region.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/ui/colour.h"
#include "toolbox/ui/drawclip.h"
#include "toolbox/ui/drawcounters.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/portwindow.h"
#include "toolbox/ui/systemlook.h"
#include "toolbox/ui/textmeasure.h"
#include "toolbox/ui/transfermode.h"

namespace {

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;

TEST(GdiDraw, OnePixelHorizontalLineColoursBothEnds) {
    PixelCanvas canvas(32, 8);
    MovePenTo(10, 2);
    DrawLineToPoint(20, 2);
    EXPECT_TRUE(canvas.Check(8, 1, {"..............", "..###########.", ".............."}));
    EXPECT_EQ(canvas.state()->settings.penLocation.h, 20);
}

TEST(GdiDraw, SlantedLineGetsItsLastPixel) {
    PixelCanvas canvas(16, 16);
    MovePenTo(2, 2);
    DrawLineToPoint(6, 6);
    EXPECT_EQ(canvas.Pixel(6, 6), kCanvasBlack);
    EXPECT_EQ(canvas.Pixel(2, 2), kCanvasBlack);
    EXPECT_EQ(canvas.Pixel(7, 7), kCanvasWhite);
}

TEST(GdiDraw, WideLinesHangBelowRightUnlessCentredOr32Bit) {
    PixelCanvas canvas(40, 40);
    SetPenSize(3, 3);
    MovePenTo(10, 5);
    DrawLineToPoint(30, 5); // slot 1: hangs down and right
    EXPECT_EQ(canvas.Pixel(20, 4), kCanvasWhite);
    EXPECT_EQ(canvas.Pixel(20, 5), kCanvasBlack);
    EXPECT_EQ(canvas.Pixel(20, 7), kCanvasBlack);
    EXPECT_EQ(canvas.Pixel(20, 8), kCanvasWhite);
    MovePenTo(10, 20);
    CurrentProcs().lineTo32(30, 20); // slot 11: on its path
    EXPECT_EQ(canvas.Pixel(20, 18), kCanvasWhite);
    EXPECT_EQ(canvas.Pixel(20, 19), kCanvasBlack);
    EXPECT_EQ(canvas.Pixel(20, 21), kCanvasBlack);
    EXPECT_EQ(canvas.Pixel(20, 22), kCanvasWhite);
    MovePenTo(10, 30);
    DrawCentredLineTo(30, 30, 0); // slot 9: centred on the path
    EXPECT_EQ(canvas.Pixel(20, 28), kCanvasWhite);
    EXPECT_EQ(canvas.Pixel(20, 29), kCanvasBlack);
    EXPECT_EQ(canvas.Pixel(20, 31), kCanvasBlack);
    EXPECT_EQ(canvas.Pixel(20, 32), kCanvasWhite);
    EXPECT_EQ(canvas.state()->settings.penLocation.h, 30);
}

TEST(GdiDraw, WideFrameLiesInsideItsRectangle) {
    PixelCanvas canvas(16, 16);
    SetStateOrigin(-2, -2); // the rectangle at device (2, 2)
    SetPenSize(3, 3);
    Rect16 r{0, 0, 10, 10};
    DrawRectShape(&r, kVerbFrame);
    EXPECT_TRUE(canvas.Check(1, 1,
                             {"............", ".##########.", ".##########.", ".##########.",
                              ".###....###.", ".###....###.", ".###....###.", ".###....###.",
                              ".##########.", ".##########.", ".##########.", "............"}));
}

TEST(GdiDraw, TransparentPatternPaintTakesTwoPasses) {
    PixelCanvas canvas(8, 4);
    canvas.Fill(kBlue);
    SetForegroundColour(kRed);
    SetPenStandardPattern(2); // grey: AA 55
    ExchangePenMode(1);
    Rect16 r{0, 0, 4, 8};
    DrawRectShape(&r, kVerbPaint);
    EXPECT_TRUE(canvas.Check(0, 0, {"RBRBRBRB", "BRBRBRBR", "RBRBRBRB", "BRBRBRBR"},
                             {{'R', kRed}, {'B', kBlue}}));
}

TEST(GdiDraw, ModesFollowTheTableOnBlackAndWhite) {
    // Destination: left column white, right column black; the pen black
    // (source 1 in the pattern model).
    const char* expected[8] = {"##", "##", "#.", ".#", "..", "..", ".#", "#."};
    for (int mode = 0; mode < 8; ++mode) {
        PixelCanvas canvas(2, 1);
        canvas.SetPixel(1, 0, kCanvasBlack);
        ExchangePenMode(int16_t(mode));
        Rect16 r{0, 0, 1, 2};
        DrawRectShape(&r, kVerbPaint);
        EXPECT_TRUE(canvas.Check(0, 0, {expected[mode]})) << "mode " << mode;
    }
    PixelCanvas canvas(4, 1);
    canvas.SetPixel(1, 0, kCanvasBlack);
    ExchangePenMode(2);
    Rect16 r{0, 0, 1, 4};
    DrawRectShape(&r, kVerbPaint);
    DrawRectShape(&r, kVerbPaint);
    EXPECT_TRUE(canvas.Check(0, 0, {".#.."}));
}

TEST(GdiDraw, EraseInvertAndRegionVerbs) {
    PixelCanvas canvas(8, 2);
    canvas.SetPixel(0, 0, kCanvasBlack);
    SetBackgroundColour(kBlue);
    Rect16 left{0, 0, 1, 2};
    DrawRectShape(&left, kVerbErase);
    Rect16 right{0, 4, 1, 8};
    canvas.SetPixel(5, 0, kCanvasBlack);
    DrawRectShape(&right, kVerbInvert);
    EXPECT_TRUE(canvas.Check(0, 0, {"BB..#.##", "........"}, {{'B', kBlue}}));

    Rect16 area{0, 0, 2, 8};
    RegionRecord* region = NewRectRegion(&area);
    const char* rows[4] = {"########", "########", "BBBBBBBB", "########"};
    for (int verb = 0; verb <= 3; ++verb) {
        PixelCanvas c(8, 2);
        if (verb == kVerbInvert) c.Fill(kCanvasWhite);
        SetBackgroundColour(kBlue);
        DrawRegionShape(region, verb);
        std::string row = rows[verb];
        if (verb == kVerbFrame)
            EXPECT_TRUE(c.Check(0, 0, {row, row}, {{'B', kBlue}}));
        else
            EXPECT_TRUE(c.Check(0, 1, {row}, {{'B', kBlue}})) << verb;
    }
    PixelCanvas c(8, 2);
    DrawRegionShape(region, 5);
    EXPECT_TRUE(c.Check(0, 0, {"........", "........"}));
    DisposeRegion(region);
}

TEST(GdiDraw, OldSystemPatternsGoThroughRegionsAndSolidPens) {
    PixelCanvas canvas(8, 12);
    CurrentDrawing.oldSystem = 1;
    SetPenStandardPattern(2);
    Rect16 r{0, 0, 2, 8};
    DrawRectShape(&r, kVerbPaint);
    SetPenSize(2, 2);
    Rect16 frame{3, 0, 9, 6};
    DrawRectShape(&frame, kVerbFrame);
    SetPenSize(1, 1);
    MovePenTo(0, 10);
    DrawLineToPoint(7, 10); // a pattern pen is drawn solid
    CurrentDrawing.oldSystem = 0;
    EXPECT_TRUE(
        canvas.Check(0, 0,
                     {"#.#.#.#.", ".#.#.#.#", "........", ".#.#.#..", "#.#.#...", ".#...#..",
                      "#...#...", ".#.#.#..", "#.#.#...", "........", "########", "........"}));
}

TEST(GdiDraw, PatternKeepsItsPhaseToThePort) {
    PixelCanvas canvas(8, 2);
    SetPenStandardPattern(2);
    SetStateOrigin(1, 0); // port h 1 at device 0
    Rect16 r{0, 1, 2, 9};
    DrawRectShape(&r, kVerbPaint);
    // Port pixel (1, 0) has pattern bit 1 of row 0 (0xAA: clear).
    EXPECT_TRUE(canvas.Check(0, 0, {".#.#.#.#", "#.#.#.#."}));
}

TEST(GdiDraw, ClipLimitsDrawing) {
    PixelCanvas canvas(8, 1);
    Rect16 clip{0, 2, 1, 5};
    SetDrawingClipRect(&clip);
    Rect16 r{0, 0, 1, 8};
    DrawRectShape(&r, kVerbPaint);
    EXPECT_TRUE(canvas.Check(0, 0, {"..###..."}));
    SetDrawingClipRect(nullptr);
    DrawRectShape(&r, kVerbPaint);
    EXPECT_TRUE(canvas.Check(0, 0, {"########"}));
}

TEST(GdiDraw, NothingForHiddenPenEmptyShapesAndShortPolygons) {
    PixelCanvas canvas(8, 8);
    HidePen();
    Rect16 r{0, 0, 8, 8};
    DrawRectShape(&r, kVerbPaint);
    MovePenTo(0, 0);
    DrawLineToPoint(7, 0);
    EXPECT_EQ(canvas.state()->settings.penLocation.h, 7);
    ShowPen();
    Rect16 empty{2, 2, 2, 6};
    DrawRectShape(&empty, kVerbPaint);
    Point32 one[1] = {{3, 3}};
    CurrentProcs().polygon32(one, nullptr, 1, kVerbPaint);
    RECT bounds;
    EXPECT_FALSE(canvas.BoundsOfNot(kCanvasWhite, &bounds));
    // A framed 32-bit polygon is an open chain.
    Point32 chain[3] = {{1, 1}, {1, 6}, {6, 6}};
    CurrentProcs().polygon32(chain, nullptr, 3, kVerbFrame);
    EXPECT_EQ(canvas.Pixel(3, 1), kCanvasBlack);
    EXPECT_EQ(canvas.Pixel(6, 3), kCanvasBlack);
    EXPECT_EQ(canvas.Pixel(3, 3), kCanvasWhite); // on the diagonal: not closed
}

class ScaledPort : public ::testing::Test {
  protected:
    void Start(PixelCanvas& canvas, int32_t factor) {
        port_.type = kWindowTypeOffscreen;
        port_.port = canvas.state();
        port_.flags = kWindowFlagScaled;
        port_.horizontalScale = port_.verticalScale = factor;
        port_.percentHorizontal = port_.percentVertical = 100;
        SetCurrentPort(&port_);
    }
    WindowObject port_{};
};

TEST_F(ScaledPort, HalfScaleKeepsAOneRowRectangle) {
    PixelCanvas canvas(16, 8);
    Start(canvas, kScaleOne / 2);
    Rect16 r{3, 0, 4, 8};
    DrawRectShape(&r, kVerbPaint);
    RECT bounds;
    ASSERT_TRUE(canvas.BoundsOfNot(kCanvasWhite, &bounds));
    EXPECT_EQ(bounds.bottom - bounds.top, 1);
    EXPECT_EQ(bounds.top, 2);
}

TEST_F(ScaledPort, RegionsAndClipsAreScaledToTheDevice) {
    PixelCanvas canvas(32, 16);
    Start(canvas, kScaleOne / 2);
    Rect16 half{0, 0, 8, 16};
    RegionRecord* region = NewRectRegion(&half);
    DrawRegionShape(region, kVerbPaint);
    RECT bounds;
    ASSERT_TRUE(canvas.BoundsOfNot(kCanvasWhite, &bounds));
    EXPECT_EQ(bounds.right, 8);
    EXPECT_EQ(bounds.bottom, 4);
    canvas.Fill(kCanvasWhite);
    // The clip in port units: GetDrawingClip answers it unscaled.
    Rect16 clip{0, 0, 4, 8};
    SetDrawingClipRect(&clip);
    RegionRecord* back = NewRegion();
    GetDrawingClip(back);
    EXPECT_EQ(back->bounds.bottom, 4);
    EXPECT_EQ(back->bounds.right, 8);
    Rect16 all{0, 0, 16, 32};
    DrawRectShape(&all, kVerbPaint);
    ASSERT_TRUE(canvas.BoundsOfNot(kCanvasWhite, &bounds));
    EXPECT_EQ(bounds.right, 4);
    EXPECT_EQ(bounds.bottom, 2);
    SetDrawingClip(nullptr);
    EXPECT_EQ(port_.region, nullptr);
    DisposeRegion(back);
    DisposeRegion(region);
}

TEST_F(ScaledPort, PenScalesWithTheVerticalFactor) {
    PixelCanvas canvas(40, 20);
    Start(canvas, 2 * kScaleOne);
    SetPenSize(2, 2);
    MovePenTo(2, 2);
    DrawLineToPoint(15, 2);
    int rows = 0;
    for (int y = 0; y < 20; ++y)
        rows += canvas.Pixel(15, y) == kCanvasBlack;
    EXPECT_EQ(rows, 4);
    EXPECT_EQ(canvas.state()->settings.penSize, 2);
}

TEST(GdiDraw, BitsByMode) {
    PixelCanvas canvas(8, 2);
    // A one-bit source: 1 bits white, 0 bits black (left half set).
    uint16_t rows[2] = {0x00F0, 0x00F0}; // rows are words
    HBITMAP mono = CreateBitmap(8, 2, 1, 1, rows);
    canvas.Fill(kBlue);
    SetForegroundColour(kRed);
    Rect16 dst{0, 0, 2, 8};
    CopyBitsThroughPort(mono, nullptr, &dst, 1);
    // Source 0 bits (black) take the foreground; 1 bits leave the pixels.
    EXPECT_TRUE(canvas.Check(0, 0, {"BBBBRRRR", "BBBBRRRR"}, {{'R', kRed}, {'B', kBlue}}));
    CopyBitsThroughPort(canvas.bitmap(), nullptr, &dst, 0); // its own port: nothing
    EXPECT_TRUE(canvas.Check(0, 0, {"BBBBRRRR", "BBBBRRRR"}, {{'R', kRed}, {'B', kBlue}}));
    DeleteObject(mono);
}

TEST(GdiDraw, TextMovesThePenByItsWidth) {
    PixelCanvas canvas(120, 30);
    MovePenTo(5, 20);
    int32_t width = MeasureRawWidth("Wine", 4);
    ASSERT_GT(width, 0);
    DrawTextRun("Wine", 4);
    EXPECT_EQ(canvas.state()->settings.penLocation.h, 5 + width);
    EXPECT_EQ(canvas.state()->settings.penLocation.v, 20);
    RECT bounds;
    ASSERT_TRUE(canvas.BoundsOfNot(kCanvasWhite, &bounds));
    EXPECT_GE(bounds.left, 4);
    EXPECT_LE(bounds.right, 5 + width + 1);
    EXPECT_LE(bounds.bottom, 20 + 8);
    PixelCanvas hidden(120, 30);
    MovePenTo(5, 20);
    HidePen();
    DrawTextRun("Wine", 4);
    EXPECT_EQ(hidden.state()->settings.penLocation.h, 5 + width);
    EXPECT_FALSE(hidden.BoundsOfNot(kCanvasWhite, &bounds));
    ShowPen();
}

TEST(GdiDraw, DimmedTextUsesTheGreyTextColour) {
    PixelCanvas canvas(120, 30);
    SetTextPointSize(18);
    ExchangeTextMode(kTextModeDimmed);
    MovePenTo(2, 24);
    DrawTextRun("WWW", 3);
    uint32_t grey = RgbFromColorRef(GetSysColor(COLOR_GRAYTEXT));
    int greyPixels = 0, blackPixels = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) {
            greyPixels += canvas.Pixel(x, y) == grey;
            blackPixels += canvas.Pixel(x, y) == kCanvasBlack;
        }
    EXPECT_GT(greyPixels, 0);
    if (grey != kCanvasBlack) {
        EXPECT_EQ(blackPixels, 0);
    }
}

TEST(GdiDraw, OvalsArcsAndRotatedShapesStayInTheirBounds) {
    PixelCanvas canvas(64, 64);
    Rect16 r{10, 8, 50, 56};
    DrawOvalShape(&r, kVerbPaint);
    RECT b;
    ASSERT_TRUE(canvas.BoundsOfNot(kCanvasWhite, &b));
    EXPECT_NEAR(b.left, 8, 1);
    EXPECT_NEAR(b.top, 10, 1);
    EXPECT_NEAR(b.right, 56, 1);
    EXPECT_NEAR(b.bottom, 50, 1);
    EXPECT_EQ(canvas.Pixel(32, 30), kCanvasBlack); // filled inside
    EXPECT_EQ(canvas.Pixel(9, 11), kCanvasWhite);  // the corner outside
    // Symmetric left to right.
    for (int y = 10; y < 50; y += 3)
        for (int x = 8; x < 32; ++x)
            EXPECT_EQ(canvas.Pixel(x, y), canvas.Pixel(63 - x, y));

    PixelCanvas wedge(64, 64);
    Rect16 circle{0, 0, 64, 64};
    DrawArcShape(&circle, 0, 90, kVerbPaint); // the upper right quarter
    EXPECT_EQ(wedge.Pixel(45, 15), kCanvasBlack);
    EXPECT_EQ(wedge.Pixel(15, 15), kCanvasWhite);
    EXPECT_EQ(wedge.Pixel(45, 45), kCanvasWhite);

    PixelCanvas rotated(64, 64);
    CurrentProcs().rotatedRect(Point32{32, 32}, Point32{10, 40}, 0, 900, kVerbPaint);
    ASSERT_TRUE(rotated.BoundsOfNot(kCanvasWhite, &b));
    EXPECT_NEAR(b.right - b.left, 10, 1); // turned a quarter: 40 tall, 10 wide
    EXPECT_NEAR(b.bottom - b.top, 40, 1);
}

TEST(GdiDraw, ThemeBackgroundsAndVisibleRegion) {
    PixelCanvas canvas(20, 10);
    SetBackgroundForThemeKind(kThemeBackMenu);
    EXPECT_EQ(GetBackgroundColourValue(), RgbFromColorRef(GetSysColor(COLOR_MENU)));
    SetBackgroundForThemeKind(0);
    EXPECT_EQ(GetBackgroundColourValue(), kCanvasWhite);
    RegionRecord* visible = NewRegion();
    GetStateVisibleRegion(canvas.state(), visible);
    Rect16 bounds;
    RegionBounds(visible, &bounds);
    EXPECT_EQ(bounds.right, 20);
    EXPECT_EQ(bounds.bottom, 10);
    DisposeRegion(visible);
    SetStateOrigin(4, 5);
    EXPECT_EQ(GetStateOrigin(nullptr).h, 4);
    EXPECT_EQ(GetStateOrigin(canvas.state()).v, 5);
}

// The ink of text drawn at the pen, normal or mirrored (on the old system
// through the bitmap path): a mirrored text is the normal one reflected
// about the pen, and the pen moves back by the text's width.
std::vector<std::string> TextInk(bool mirrored, bool oldSystem, int32_t* penAfter) {
    PixelCanvas canvas(120, 30);
    CurrentDrawing.oldSystem = oldSystem;
    SetTextPointSize(14);
    SetTextMirroring(mirrored);
    MovePenTo(60, 20);
    DrawTextRun("Fly", 3);
    *penAfter = canvas.state()->settings.penLocation.h;
    CurrentDrawing.oldSystem = 0;
    std::vector<std::string> rows;
    for (int y = 0; y < 30; ++y) {
        std::string row;
        for (int x = 0; x < 120; ++x)
            row += canvas.Pixel(x, y) == kCanvasWhite ? '.' : '#';
        rows.push_back(row);
    }
    return rows;
}

TEST(GdiDraw, MirroredTextReflectsAboutThePen) {
    int32_t normalPen = 0, mirroredPen = 0, bitmapPen = 0;
    std::vector<std::string> normal = TextInk(false, false, &normalPen);
    std::vector<std::string> mirrored = TextInk(true, false, &mirroredPen);
    std::vector<std::string> bitmap = TextInk(true, true, &bitmapPen);
    int32_t width = normalPen - 60;
    ASSERT_GT(width, 0);
    EXPECT_EQ(mirroredPen, 60 - width);
    EXPECT_EQ(bitmapPen, 60 - width);
    // The transform path renders as the normal text does, pixel for pixel
    // but a few; the one-bit rendering of the bitmap path has its own
    // glyph edges, so only its extent is compared.
    int ink = 0, transformMisses = 0;
    RECT want{120, 30, -1, -1}, got{120, 30, -1, -1};
    auto grow = [](RECT& r, int x, int y) {
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
    };
    for (int y = 0; y < 30; ++y)
        for (int x = 1; x < 120; ++x) {
            bool mirror = normal[size_t(y)][size_t(119 - x)] == '#';
            ink += mirror;
            transformMisses += mirror != (mirrored[size_t(y)][size_t(x)] == '#');
            if (mirror) grow(want, x, y);
            if (bitmap[size_t(y)][size_t(x)] == '#') grow(got, x, y);
        }
    ASSERT_GT(ink, 0);
    EXPECT_LE(transformMisses, ink / 10);
    EXPECT_NEAR(got.left, want.left, 2);
    EXPECT_NEAR(got.right, want.right, 2);
    EXPECT_NEAR(got.top, want.top, 2);
    EXPECT_NEAR(got.bottom, want.bottom, 2);
}

TEST(GdiDraw, DisciplineCounters) {
    PixelCanvas canvas(64, 64);
    ResetDrawingCounters();
    for (int i = 0; i < 1000; ++i) {
        MovePenTo(0, i % 64);
        DrawLineToPoint(63, i % 64);
    }
    EXPECT_EQ(DrawingCounters().pensCreated, 1);
    ResetDrawingCounters();
    for (int i = 0; i < 10; ++i) {
        SetForegroundColour(i % 2 ? kRed : kBlue);
        MovePenTo(0, i);
        DrawLineToPoint(63, i);
    }
    EXPECT_EQ(DrawingCounters().pensCreated, 10);
    PixelCanvas other(8, 8);
    MovePenTo(0, 0);
    DrawLineToPoint(7, 7);
    MakeStateCurrent(canvas.state());
    DrawLineToPoint(5, 5);
    EXPECT_LE(DrawingCounters().mostContextsHeld, 1);
    ResetDrawingCounters();
    for (int i = 0; i < 20; ++i) {
        MovePenTo(0, 20);
        DrawTextRun("abc", 3);
    }
    EXPECT_LE(DrawingCounters().fontsCreated, 1);
}

} // namespace

namespace {

int CountChanged(const PixelCanvas& canvas, const Rect16& inside, bool in) {
    int changed = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            bool within =
                y >= inside.top && y < inside.bottom && x >= inside.left && x < inside.right;
            if (within == in && canvas.Pixel(x, y) != kCanvasWhite) ++changed;
        }
    return changed;
}

TEST(GdiDraw, AnIconDrawsInsideItsRectangleOnly) {
    PixelCanvas canvas(64, 64);
    InstallIconLoader();
    const Rect16 box{10, 12, 42, 44};
    DrawIconInPortRect(9399, &box); // no such family
    const Rect16 flat{10, 12, 10, 44};
    DrawIconInPortRect(kSystemIconFirst, &flat); // an empty rectangle
    EXPECT_EQ(CountChanged(canvas, box, true) + CountChanged(canvas, box, false), 0);
    DrawIconInPortRect(kSystemIconFirst, &box); // the application icon
    EXPECT_GT(CountChanged(canvas, box, true), 20);
    EXPECT_EQ(CountChanged(canvas, box, false), 0);
}

TEST(GdiDraw, TheStatesBoundsAsARectangle) {
    PixelCanvas canvas(48, 30);
    Rect16 bounds{};
    GetStateBoundsRect(canvas.state(), &bounds);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.bottom, 30);
    EXPECT_EQ(bounds.right, 48);
}

} // namespace
