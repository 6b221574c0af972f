// The standard procedures over a state whose primitive table records the
// calls: empty shapes, scaled ports, the pen after lines, polygons and
// text, a bitmap's own port, and the hand-off to a recording picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolbox/core/windowobject.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/portpicture.h"
#include "toolbox/ui/textmeasure.h"

namespace {

std::vector<std::string> g_calls;
std::string RectText(const Rect32& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}
void Text(int32_t count, const char*, Point32 n, Point32) {
    g_calls.push_back("text " + std::to_string(count) + " " + std::to_string(n.h));
}
void LineTo(int32_t h, int32_t v) {
    g_calls.push_back("line " + std::to_string(h) + "," + std::to_string(v));
}
void LineToPacked(uint32_t packed) {
    int16_t h = int16_t(packed >> 16), v = int16_t(packed & 0xFFFF);
    g_calls.push_back("hang " + std::to_string(h) + "," + std::to_string(v) + " size " +
                      std::to_string(CurrentState()->settings.penSize));
}
void Rect32Prim(int32_t verb, const Rect32* r) {
    g_calls.push_back("rect32 " + std::to_string(verb) + " " + RectText(*r));
}
void Rect16Prim(int32_t verb, const Rect16* r) {
    Rect32 r32;
    Rect32FromRect(r, &r32);
    g_calls.push_back("rect16 " + std::to_string(verb) + " " + RectText(r32));
}
void RoundRect32(int32_t, const Rect32*, int32_t, int32_t) {}
void RoundRect16(int32_t, const Rect16*, int16_t, int16_t) {}
void Arc32(int32_t, const Rect32*, int32_t, int32_t) {}
void Arc16(int32_t, const Rect16*, int16_t, int16_t) {}
void Polygon32(int32_t, const Point32*, int32_t) {}
void PolygonRec(int32_t verb, const PolygonRecord* p) {
    g_calls.push_back("polygon " + std::to_string(verb) + " " +
                      std::to_string(PolygonPointCount(p)));
}
void Region(int32_t, const RegionRecord*) {}
void Bits(void*, const Rect32*, const Rect32* d, int32_t mode) {
    g_calls.push_back("bits " + std::to_string(mode) + " " + RectText(*d));
}
void Prepare() {}

const DrawingPrimitiveTable kRecording{&Text,       &LineTo,      &LineToPacked, &Rect32Prim,
                                       &Rect16Prim, &RoundRect32, &RoundRect16,  &Rect32Prim,
                                       &Rect16Prim, &Arc32,       &Arc16,        &Polygon32,
                                       &PolygonRec, &Region,      &Bits,         &Prepare};

int32_t SevenEach(void*, const char*, int32_t count) {
    return 7 * count;
}

class DrawProcsTest : public ::testing::Test {
  protected:
    TextMeasurer savedMeasurer_{};
    void SetUp() override {
        g_calls.clear();
        state_ = NewDrawingState();
        state_->procTable = const_cast<DrawingPrimitiveTable*>(&kRecording);
        port_.type = kWindowTypeOffscreen;
        port_.port = state_;
        port_.horizontalScale = port_.verticalScale = kScaleOne;
        port_.percentHorizontal = port_.percentVertical = 100;
        SetCurrentPort(&port_);
        TextMeasurer measurer{nullptr, &SevenEach};
        savedMeasurer_ = GetTextMeasurer();
        SetTextMeasurer(&measurer);
    }
    void TearDown() override {
        SetCurrentPort(nullptr);
        DisposeDrawingState(state_);
        SetTextMeasurer(&savedMeasurer_);
    }
    DrawingState* state_ = nullptr;
    WindowObject port_{};
};

TEST_F(DrawProcsTest, ShapesReachThePrimitivesUnlessEmpty) {
    Rect16 rect{1, 2, 5, 8}, empty{3, 3, 3, 9};
    DrawRectShape(&rect, 1);
    DrawRectShape(&empty, 1);
    DrawRectShape(nullptr, 1);
    DrawOvalShape(&empty, 0);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0], "rect16 1 2,1,8,5");
}

TEST_F(DrawProcsTest, ScaledPortsDrawInDeviceUnits) {
    port_.flags |= kWindowFlagScaled;
    port_.horizontalScale = port_.verticalScale = kScaleOne / 2;
    Rect16 row{3, 0, 4, 10};
    DrawRectShape(&row, 1);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0], "rect32 1 0,2,6,3"); // one device row
    SetPenSize(4, 4);
    MovePenTo(0, 0);
    DrawLineToPoint(20, 10);
    EXPECT_EQ(g_calls[1], "hang 10,5 size 2");
    EXPECT_EQ(state_->settings.penSize, 4);
    EXPECT_EQ(state_->settings.penLocation.h, 20);
    EXPECT_EQ(state_->settings.penLocation.v, 10);
}

TEST_F(DrawProcsTest, PenAfterLinesPolygonsAndText) {
    MovePenTo(1, 1);
    DrawLineBy(4, 5);
    EXPECT_EQ(g_calls[0], "hang 5,6 size 1");
    Point16 points[3] = {{0, 0}, {10, 0}, {10, 20}};
    DrawPolygonShape(points, 3, 0);
    EXPECT_EQ(g_calls[1], "polygon 0 3");
    EXPECT_EQ(state_->settings.penLocation.h, 20);
    EXPECT_EQ(state_->settings.penLocation.v, 10);
    DrawPolygonShape(points, 3, 1);
    DrawTextRun("abc\0def", kCountNulFlag);
    EXPECT_EQ(g_calls.back(), "text 3 100");
    SetPenSize(3, 3);
    MovePenTo(10, 10);
    DrawCentredLineTo(20, 10, 0);
    EXPECT_EQ(g_calls.back(), "hang 19,9 size 3");
    EXPECT_EQ(state_->settings.penLocation.h, 20);
    EXPECT_EQ(state_->settings.penLocation.v, 10);
}

TEST_F(DrawProcsTest, BitsDoNothingOnTheirOwnPort) {
    int bitmap = 0;
    Rect16 dst{0, 0, 4, 4};
    state_->dcKind = kStateDcBitmap;
    state_->target = &bitmap;
    CopyBitsThroughPort(&bitmap, nullptr, &dst, 0);
    EXPECT_TRUE(g_calls.empty());
    int other = 0;
    CopyBitsThroughPort(&other, nullptr, &dst, 2);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0], "bits 2 0,0,4,4");
}

std::vector<uint8_t> g_stream;
int32_t Collect(void*, const void* bytes, int32_t count) {
    auto* b = static_cast<const uint8_t*>(bytes);
    g_stream.insert(g_stream.end(), b, b + count);
    return 0;
}

TEST_F(DrawProcsTest, ARecordingPortRecordsInsteadOfDrawing) {
    g_stream.clear();
    PictureStreamSink sink{nullptr, &Collect};
    PictureHost host;
    MakePictureHost(&host, &sink);
    PictureRecorder recorder;
    PictureRecorderInit(&recorder, &host, 0);
    SetPortPicture(&port_, &recorder);
    Rect16 rect{0, 0, 10, 10};
    DrawRectShape(&rect, 1);
    MovePenTo(0, 0);
    DrawLineToPoint(30, 0);
    DrawTextRun("hi", 2);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_FALSE(g_stream.empty());
    EXPECT_EQ(state_->settings.penLocation.h, 30 + 14); // moved by the text width
    SetPortPicture(&port_, nullptr);
    DrawRectShape(&rect, 1);
    EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(DrawProcsTest, FillWithPatternRestoresThePen) {
    ExchangePenMode(2);
    Pattern8 grey = StandardPattern(2);
    Rect16 rect{0, 0, 4, 4};
    FillRectWithPattern(&rect, &grey);
    EXPECT_EQ(g_calls[0], "rect16 1 0,0,4,4");
    EXPECT_EQ(GetPenMode(), 2);
    EXPECT_EQ(state_->patternKind, kPatternSolid);
}

} // namespace
