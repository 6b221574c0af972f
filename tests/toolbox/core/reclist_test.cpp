#include "toolbox/core/reclist.h"

#include <gtest/gtest.h>

#include <cstring>

#include "heap_fixture.h"
#include "toolbox/core/growarray.h"
#include "toolbox/core/rect.h"

namespace {

using RecordLists = HeapTest;

int g_disposed = 0;
void CountDisposal(RecordArray*, void*) {
    ++g_disposed;
}

class RecordListKinds : public HeapTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(RecordListKinds, InsertWalkAndRemove) {
    HeapPool* pool = Pool();
    RecordArray* list = RecordArrayNew(pool, 24, GetParam());
    ASSERT_NE(list, nullptr);
    list->dispose = &CountDisposal;
    g_disposed = 0;
    void* c = RecordArrayPush(list, nullptr);
    void* a = RecordArrayPush(list, nullptr);
    void* b = RecordArrayInsertAfter(list, a, nullptr);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(list->count, 3);
    EXPECT_EQ(RecordArrayAt(list, 0), a);
    EXPECT_EQ(RecordArrayAt(list, 1), b);
    EXPECT_EQ(RecordArrayAt(list, 2), c);
    EXPECT_EQ(RecordArrayAt(list, 3), nullptr);
    EXPECT_EQ(RecordArrayAt(nullptr, 0), nullptr);
    EXPECT_EQ(RecordArrayNext(list, c), nullptr);

    void* stranger = RecordArrayNewRecord(list);
    EXPECT_FALSE(RecordArrayRemove(list, stranger, nullptr, 1));
    EXPECT_FALSE(RecordArrayRemove(list, a, b, 0)); // searched after b only
    EXPECT_EQ(list->count, 3);
    EXPECT_TRUE(RecordArrayRemove(list, b, nullptr, 1));
    EXPECT_EQ(g_disposed, 1);
    EXPECT_EQ(RecordArrayNext(list, a), c);
    EXPECT_EQ(RecordArrayPop(list, 0), a);
    EXPECT_EQ(RecordArrayPop(list, 1), nullptr);
    EXPECT_EQ(g_disposed, 2);
    EXPECT_EQ(list->count, 0);
    EXPECT_EQ(RecordArrayPop(list, 0), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RecordListKinds,
                         ::testing::Values(0u, uint32_t(kRecordsRelocatable),
                                           uint32_t(kRecordsPoolFixed),
                                           uint32_t(kRecordsOwnHeader)));

TEST_F(RecordLists, ControlDefinitionsNewestFirst) {
    ControlDefinitionProc p1 = [](int16_t, ToolboxControlRecord*, int32_t, intptr_t) { return 1; };
    ControlDefinitionProc p2 = [](int16_t, ToolboxControlRecord*, int32_t, intptr_t) { return 2; };
    EXPECT_EQ(FindControlDefinition(16 * 40), nullptr);
    RegisterControlDefinition(17, p1);
    RegisterControlDefinition(17, p2);
    EXPECT_EQ(FindControlDefinition(272), p2);
    EXPECT_EQ(FindControlDefinition(287), p2);
    EXPECT_EQ(FindControlDefinition(288), nullptr);
}

TEST(Rects, ClampingAndArithmetic) {
    Point32 p{40000, -40000};
    Point16 s{};
    PointToShort(&p, &s);
    EXPECT_EQ(s.v, 32767);
    EXPECT_EQ(s.h, -32768);
    Rect32 big{-70000, 5, 70000, 6};
    Rect16 r{};
    RectFromRect32(&big, &r);
    EXPECT_EQ(r.top, -32768);
    EXPECT_EQ(r.bottom, 32767);
    Rect32 back{};
    Rect32FromRect(&r, &back);
    EXPECT_EQ(back.left, 5);
    Rect32 a{0, 0, 10, 10}, b{5, 5, 20, 20}, out{};
    EXPECT_TRUE(SectRect32(&a, &b, &out));
    Rect32 expected{5, 5, 10, 10};
    EXPECT_TRUE(EqualRect32(&out, &expected));
    Rect32 c{10, 0, 20, 10};
    EXPECT_FALSE(SectRect32(&a, &c, &out));
    EXPECT_TRUE(Rect32IsEmpty(&out));
    OffsetRect32(&a, 3, 4);
    InsetRect32(&a, 1, 2);
    Rect32 moved{6, 4, 12, 12};
    EXPECT_TRUE(EqualRect32(&a, &moved));
    Point32 right{5, 50};
    PinPointInRect32(&right, &moved, 0);
    EXPECT_EQ(right.h, 12);
    right = {5, 50};
    PinPointInRect32(&right, &moved, 1);
    EXPECT_EQ(right.h, 11);
    EXPECT_EQ(right.v, 6);
}

TEST(Rects, MapPointsRoundsAwayFromTheSourceStart) {
    Rect32 s10{0, 0, 10, 10}, d20{0, 0, 20, 20}, s3{0, 0, 3, 3}, d2{0, 0, 2, 2};
    Point32 pts[3] = {{3, 0}, {-3, 0}, {5, 10}};
    MapPoints32(pts, 3, &s10, &d20);
    EXPECT_EQ(pts[0].v, 6);
    EXPECT_EQ(pts[1].v, -6);
    EXPECT_EQ(pts[2].h, 20);
    Point32 q{1, -1};
    MapPoints32(&q, 1, &s3, &d2);
    EXPECT_EQ(q.v, 1);
    EXPECT_EQ(q.h, -1);
    Rect32 shifted{100, 100, 110, 110};
    Point32 t{3, 4};
    MapPoints32(&t, 1, &s10, &shifted);
    EXPECT_EQ(t.v, 103);
    EXPECT_EQ(t.h, 104);
    Rect32 flat{0, 0, 0, 0};
    Point32 z{7, 7};
    MapPoints32(&z, 1, &flat, &d20);
    EXPECT_EQ(z.v, 0);
    Point32 huge{2000000000, 0};
    Rect32 sBig{0, 0, 2000000000, 1}, dBig{0, 0, 1000000000, 1};
    MapPoints32(&huge, 1, &sBig, &dBig);
    EXPECT_EQ(huge.v, 1000000000);
    MapPoints32(&z, 0, &flat, &d20);
    EXPECT_EQ(z.v, 0);
}

using GrowArrays = HeapTest;

TEST_F(GrowArrays, AppendDeleteAndShrink) {
    GrowArray a = NewGrowArray(nullptr, 4, 4);
    ASSERT_NE(a, nullptr);
    for (int32_t i = 0; i < 10; ++i)
        EXPECT_EQ(GrowArrayAppend(a, &i), i);
    EXPECT_EQ(GrowArrayCapacityBytes(a), 48); // three whole steps of four
    EXPECT_EQ(RelocatableBlockSize(a), kGrowArrayHead + 48);
    EXPECT_EQ(GrowArrayAppend(a, nullptr), 10);
    int32_t v;
    std::memcpy(&v, GrowArrayAt(a, 10), 4);
    EXPECT_EQ(v, 0);
    GrowArrayDelete(a, 2, 3, 0);
    EXPECT_EQ(GrowArrayCount(a), 8);
    std::memcpy(&v, GrowArrayAt(a, 2), 4);
    EXPECT_EQ(v, 5);
    GrowArrayDelete(a, 4, -1, 1);
    EXPECT_EQ(GrowArrayCount(a), 4);
    EXPECT_EQ(GrowArrayCapacityBytes(a), 16);
    EXPECT_EQ(GrowArrayAt(a, 4), nullptr);
    DisposeGrowArray(a);

    GrowArray bytes = NewGrowArray(nullptr, 100, 0); // 512 bytes' worth: 5 per step
    GrowArrayAppend(bytes, nullptr);
    EXPECT_EQ(GrowArrayCapacityBytes(bytes), 500);
    DisposeGrowArray(bytes);
    GrowArray neg = NewGrowArray(nullptr, 100, -50); // at least one per step
    GrowArrayAppend(neg, nullptr);
    EXPECT_EQ(GrowArrayCapacityBytes(neg), 100);
    DisposeGrowArray(neg);
}

TEST_F(GrowArrays, LockFlagsAndHexText) {
    RelocatableBlock h = NewRelocatableBlock(nullptr, 10);
    EXPECT_EQ(HandleLockFlags(h), 0);
    HeapHandleLock(h);
    HeapHandleLock(h);
    uint8_t saved = HandleLockFlags(h);
    EXPECT_EQ(saved, 0x80);
    RestoreHandleLock(h, 0);
    EXPECT_EQ(HeapHandleLockCount(h), 0);
    RestoreHandleLock(h, saved);
    EXPECT_EQ(HeapHandleLockCount(h), 1);
    HeapHandleFree(h);

    uint8_t out[4] = {};
    const uint8_t four[] = {4, '0', 'a', 'F', 'F'};
    EXPECT_EQ(HexTextToBytes(four, out), 2);
    EXPECT_EQ(out[0], 0x0A);
    EXPECT_EQ(out[1], 0xFF);
    const uint8_t odd[] = {3, 'a', 'b', 'c'};
    EXPECT_EQ(HexTextToBytes(odd, out), 1);
    EXPECT_EQ(out[0], 0xAB);
}

} // namespace
