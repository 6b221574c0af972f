#include "toolbox/core/picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "toolbox/core/byteorder.h"

namespace {

// The port side: a byte sink that can fail from a given write on, a text
// measurer of 7 pixels a character, and a drawing state the test sets.
struct TestPort {
    std::vector<uint8_t> bytes;
    int32_t writes = 0;
    int32_t failFromWrite = -1; // write number that fails first
    int32_t failCode = 0;
    PictureDrawState state{};
};

int32_t SinkWrite(void* c, const void* data, int32_t count) {
    auto* p = static_cast<TestPort*>(c);
    int32_t index = p->writes++;
    if (p->failFromWrite >= 0 && index >= p->failFromWrite) return p->failCode + index;
    auto* b = static_cast<const uint8_t*>(data);
    p->bytes.insert(p->bytes.end(), b, b + count);
    return 0;
}
int32_t Width(void*, const char*, int32_t length) {
    return 7 * length;
}
void MoveTo(void* c, int32_t h, int32_t v) {
    static_cast<TestPort*>(c)->state.pen = {v, h};
}
bool FontName(void*, int16_t number, char* name, int32_t capacity) {
    const char* n = number == 3 ? "Geneva" : number == 4 ? "Arial" : nullptr;
    if (!n) return false;
    std::snprintf(name, size_t(capacity), "%s", n);
    return true;
}
void State(void* c, PictureDrawState* out) {
    *out = static_cast<TestPort*>(c)->state;
}

class Pictures : public ::testing::Test {
  protected:
    void Start(uint32_t flags) {
        port_.state.foreground = 0x112233;
        port_.state.background = 0xFFFFFF;
        std::memset(port_.state.pattern, 0xFF, 8);
        port_.state.penMode = 8;
        port_.state.penSize = 1;
        port_.state.fontNumber = 3;
        port_.state.textSize = 12;
        port_.state.textFace = 0;
        port_.state.textMode = 1;
        PictureHost host{&port_, &SinkWrite, &Width, &MoveTo, &FontName, &State};
        PictureRecorderInit(&rec_, &host, flags);
    }
    void SetUp() override { Start(0); }
    // Takes the recorded bytes.
    std::vector<uint8_t> Take() {
        std::vector<uint8_t> out;
        out.swap(port_.bytes);
        return out;
    }
    TestPort port_;
    PictureRecorder rec_;
};

typedef std::vector<uint8_t> Bytes;

TEST_F(Pictures, TwoRectanglesShareOneStateGroup) {
    Rect16 a{1, 2, 11, 22}, b{30, 40, 50, 60};
    PictureRecordRect(&rec_, &a, kVerbFrame);
    PictureRecordRect(&rec_, &b, kVerbFrame);
    Bytes want = {1, 0,    0x33, 0x22, 0x11, 0,    17,   0,    0xFF, 0xFF, 0xFF, 0, 128,
                  0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 16,   8,    6, 1,
                  5, 0x30, 1,    2,    10,   20,   5,    0x30, 30,   40,   20,   20};
    EXPECT_EQ(Take(), want);
    // A changed background alone is written alone; erase syncs only colours.
    port_.state.background = 0x000080;
    port_.state.penSize = 300;
    PictureRecordRect(&rec_, &a, kVerbErase);
    EXPECT_EQ(Take(), (Bytes{17, 0, 0x80, 0, 0, 0, 5, 0x32, 1, 2, 10, 20}));
    PictureRecordOval(&rec_, &a, kVerbInvert);
    EXPECT_EQ(Take(), (Bytes{21, 0x33, 1, 2, 10, 20}));
    PictureRecordRect(&rec_, &a, kVerbPaint); // no pen size for paint
    EXPECT_EQ(Take(), (Bytes{5, 0x31, 1, 2, 10, 20}));
    PictureRecordRect(&rec_, &a, kVerbFrame); // pen size 300 needs 16 bits
    EXPECT_EQ(Take(), (Bytes{6, 0, 0x2C, 0x01, 5, 0x30, 1, 2, 10, 20}));
}

TEST_F(Pictures, ShapeForms) {
    Rect16 wide{10, 10, 20, 300};
    PictureRecordRect(&rec_, &wide, kVerbInvert);
    EXPECT_EQ(Take(), (Bytes{5, 0x13, 10, 10, 20, 0, 0x2C, 0x01}));
    Rect16 far{-200, 5, 10, 15};
    PictureRecordRoundRect(&rec_, &far, 4, 6, kVerbInvert);
    EXPECT_EQ(Take(), (Bytes{133, 0x23, 0x38, 0xFF, 5, 0, 210, 10, 4, 0, 6, 0}));
    Rect16 empty{5, 5, 5, 9};
    PictureRecordArc(&rec_, &empty, 90, -45, kVerbInvert);
    EXPECT_EQ(Take(), (Bytes{149, 0x13, 5, 5, 5, 0, 9, 0, 90, 0, 0xD3, 0xFF}));
    Point16 poly[2] = {{1, 2}, {3, 4}};
    PictureRecordPolygon(&rec_, poly, 0, kVerbInvert);
    EXPECT_TRUE(Take().empty());
    PictureRecordPolygon(&rec_, poly, 2, kVerbInvert);
    EXPECT_EQ(Take(), (Bytes{4, 3, 2, 0, 1, 0, 2, 0, 3, 0, 4, 0}));
}

TEST_F(Pictures, SyncOrderAndSuppression) {
    port_.state.pen = {100, 50};
    PictureSyncState(&rec_, 0x3F);
    Bytes all = Take();
    // Opcodes in order: 1, 17, 128, 16, 19 (Geneva), 22, 40, 32, 6, 2.
    Bytes want = {1, 0, 0x33, 0x22, 0x11, 0, 17, 0, 0xFF, 0xFF, 0xFF, 0};
    Bytes tail = {128, 0,   0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 16, 8,  19,
                  8,   'G', 'e',  'n',  'e',  'v',  'a',  0,    0,    22,   12, 40, 0,
                  0,   0,   32,   1,    6,    1,    2,    0,    100,  0,    50, 0};
    want.insert(want.end(), tail.begin(), tail.end());
    EXPECT_EQ(all, want);
    // Only the number changes the name; a font without a name writes none.
    port_.state.fontNumber = 9;
    port_.state.textSize = 300;
    PictureSyncState(&rec_, kSyncFont);
    EXPECT_EQ(Take(), (Bytes{22, 0, 0x2C, 0x01}));
    port_.state.fontNumber = 4;
    PictureSyncState(&rec_, kSyncFont);
    EXPECT_EQ(Take(), (Bytes{19, 6, 'A', 'r', 'i', 'a', 'l', 0}));

    struct Case {
        uint32_t flag;
        Bytes want;
    } cases[] = {
        {kPictureNoColours,
         {128, 0,   0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 16, 8, 19, 8, 'G', 'e',
          'n', 'e', 'v',  'a',  0,    0,    22,   12,   40,   0,    0,  0, 32, 1, 6,   1}},
        {kPictureNoPattern,
         {1,   0,   0x33, 0x22, 0x11, 0, 17, 0,  0xFF, 0xFF, 0xFF, 0, 16, 8,  19, 8, 'G',
          'e', 'n', 'e',  'v',  'a',  0, 0,  22, 12,   40,   0,    0, 0,  32, 1,  6, 1}},
        {kPictureNoModes,
         {1,    0,    0x33, 0x22, 0x11, 0,    17,   0,    0xFF, 0xFF, 0xFF, 0,   128, 0,
          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 19,   8,    'G',  'e', 'n', 'e',
          'v',  'a',  0,    0,    22,   12,   40,   0,    0,    0,    6,    1}},
        {kPictureNoPenSize,
         {1,    0,    0x33, 0x22, 0x11, 0,    17,   0,    0xFF, 0xFF, 0xFF, 0, 128, 0,
          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 16,   8,    19,   8, 'G', 'e',
          'n',  'e',  'v',  'a',  0,    0,    22,   12,   40,   0,    0,    0, 32,  1}},
        {kPictureNoFont, {1, 0,    0x33, 0x22, 0x11, 0,    17,   0,    0xFF, 0xFF, 0xFF, 0, 128,
                          0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 16,   8,    6, 1}},
    };
    for (const Case& c : cases) {
        port_ = TestPort{};
        Start(c.flag);
        PictureSyncState(&rec_, 0x37);
        EXPECT_EQ(Take(), c.want) << std::hex << c.flag;
    }
}

TEST_F(Pictures, TextAndLineForms) {
    PictureSyncState(&rec_, 0x3F); // everything known, pen at (0, 0)
    Take();
    std::string longText(300, 'x');
    PictureRecordText(&rec_, longText.c_str(), -1);
    Bytes got = Take();
    ASSERT_EQ(got.size(), 2u + 2 + 300);
    EXPECT_EQ((Bytes{got.begin(), got.begin() + 4}), (Bytes{134, 0, 0x2C, 0x01}));
    EXPECT_EQ(port_.state.pen.h, 2100); // moved by the text's width
    // After text the pen location is stale: the line's start is absolute.
    PictureRecordLine(&rec_, 2110, 5, 0, false);
    EXPECT_EQ(Take(), (Bytes{2, 0, 0, 0, 0x34, 0x08, 24, 0, 5, 10}));
    PictureRecordLine(&rec_, 2110, 400, 3, true);
    EXPECT_EQ(Take(), (Bytes{34, 3, 0x90, 0x01, 0x3E, 0x08}));
    // Text at the recorded location, then at a stale one (absolute).
    PictureRecordText(&rec_, "abc", 3);
    EXPECT_EQ(Take(), (Bytes{134, 3, 'a', 'b', 'c', 0}));
    PictureRecordText(&rec_, "de", 2);
    EXPECT_EQ(Take(), (Bytes{150, 6, 0x90, 0x01, 0x53, 0x08, 'd', 'e'}));
    PictureRecordLine(&rec_, 10, 10, 0, true);
    Take();
    port_.state.pen = {12, 9};
    PictureRecordText(&rec_, "ab", 2);
    EXPECT_EQ(Take(), (Bytes{166, 4, 2, 0xFF, 'a', 'b'}));
    PictureRecordText(&rec_, "", -1);
    EXPECT_TRUE(Take().empty());
}

TEST_F(Pictures, LongOnlyUsesAbsoluteForms) {
    Start(kPictureLongOnly);
    PictureSyncState(&rec_, 0x3F);
    Take();
    PictureRecordLine(&rec_, 3, 4, 0, false);
    PictureRecordLine(&rec_, 5, 6, 2, true);
    port_.state.pen = {7, 8};
    PictureSyncState(&rec_, kSyncLocation);
    Rect16 small{1, 2, 3, 4};
    PictureRecordRect(&rec_, &small, kVerbInvert);
    EXPECT_EQ(Take(), (Bytes{18, 0, 4, 0, 3, 0, 34, 2, 6, 0, 5, 0, 2, 0,
                             7,  0, 8, 0, 5, 3, 1,  0, 2, 0, 3, 0, 4, 0}));
}

TEST_F(Pictures, VeryLongTextIsClipped) {
    PictureSyncState(&rec_, 0x3F);
    Take();
    port_.state.pen = {1, 1}; // differs from the recorded (0, 0) by a short delta
    std::string text(70000, 'y');
    PictureRecordText(&rec_, text.c_str(), int32_t(text.size()));
    Bytes got = Take();
    ASSERT_EQ(got.size(), 4u + 2 + 65531 + 1);
    EXPECT_EQ((Bytes{got.begin(), got.begin() + 6}), (Bytes{166, 0, 0xFD, 0xFF, 1, 1}));
}

TEST_F(Pictures, FirstWriteErrorIsKept) {
    port_.failFromWrite = 1;
    port_.failCode = 40;
    Rect16 a{1, 2, 11, 22};
    PictureRecordRect(&rec_, &a, kVerbFrame);
    EXPECT_EQ(rec_.streamError, 41);
    EXPECT_EQ(port_.writes, 2); // nothing is attempted after the failure
    EXPECT_EQ(PictureStreamWrite(&rec_, "x", 1), 41);
    EXPECT_EQ(port_.writes, 2);
    // Recording goes on: the caches still follow the state.
    EXPECT_EQ(rec_.penSize, 1);
}

TEST(PictureHelpers, SmallAnswers) {
    EXPECT_EQ(NormalizeDegrees(-30), 330);
    EXPECT_EQ(NormalizeDegrees(725), 5);
    EXPECT_EQ(NormalizeDegrees(-720), 0);
    EXPECT_EQ(PictureOriginTag(1), FourCC("PMac"));
    EXPECT_EQ(PictureOriginTag(0), FourCC("IW32"));
    PictureRecorder r{};
    r.flags = kPictureRecordBits;
    EXPECT_TRUE(PictureRecordsBits(&r));
    PictureRecordRegion(&r, nullptr, kVerbPaint); // records nothing
}

} // namespace
