#include "toolbox/core/eventobject.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fake_clock.h"
#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"

namespace {

int32_t BlockSize(EventObject e) {
    return RelocatableBlockSize(reinterpret_cast<RelocatableBlock>(e));
}

class EventObjects : public FakeClockTest {
  protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        MemInit(0, -1);
        SetHeapErrorHandler(&SilentHeapErrorHandler);
    }
    void TearDown() override {
        for (EventObject e : made_)
            EventObjectRelease(e);
        FakeClockTest::TearDown();
    }
    EventObject Make(uint32_t cls = FourCC("AppC"), uint32_t kind = 1) {
        EventObject e = nullptr;
        EXPECT_EQ(EventObjectNew(cls, kind, 2.5, 7, &e), 0);
        made_.push_back(e);
        return e;
    }
    // Takes every pooled record out of the pool (the caller releases them).
    static std::vector<EventObject> DrainPool() {
        std::vector<EventObject> drained;
        while (EventObjectPoolCount() > 0) {
            EventObject e = nullptr;
            EventObjectNew(1, 1, 0, 0, &e);
            drained.push_back(e);
        }
        return drained;
    }
    std::vector<EventObject> made_;
};

TEST_F(EventObjects, NewObjectHeader) {
    EventObject e = Make(FourCC("mous"), 5);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(BlockSize(e), 96);
    EXPECT_EQ((*e)->usedEnd, 40u);
    EXPECT_EQ((*e)->retainCount, 1);
    EXPECT_EQ((*e)->eventClass, FourCC("mous"));
    EXPECT_EQ((*e)->kind, 5u);
    EXPECT_EQ((*e)->time, 2.5);
    EXPECT_EQ((*e)->attributes, 7u);

    SetMs(12345);
    EventObject now = nullptr;
    ASSERT_EQ(EventObjectNew(FourCC("keyb"), 1, &now), 0);
    made_.push_back(now);
    EXPECT_EQ((*now)->time, 12.345);
    EXPECT_EQ((*now)->attributes, 0u);
    EventObject copy = EventObjectCopy(e);
    made_.push_back(copy);
    EXPECT_EQ((*copy)->time, 12.345);
    EXPECT_EQ((*copy)->attributes, 7u);
    SetMs(500);
    EventObject made = EventObjectCreateWith(FourCC("AppC"), 1, 0, nullptr, {});
    ASSERT_NE(made, nullptr);
    made_.push_back(made);
    EXPECT_EQ((*made)->time, 0.5);
}

TEST_F(EventObjects, SettingAgainResizesInPlace) {
    EventObject e = Make();
    uint8_t a[3] = {1, 2, 3}, b[30], c[5] = {9, 8, 7, 6, 5};
    std::memset(b, 0x5A, sizeof b);
    ASSERT_EQ(EventParamSet(e, FourCC("aaaa"), FourCC("long"), 3, a), 0);
    ASSERT_EQ(EventParamSet(e, FourCC("cccc"), FourCC("long"), 5, c), 0);
    EXPECT_EQ((*e)->usedEnd, 40u + 14 + 16);
    ASSERT_EQ(EventParamSet(e, FourCC("aaaa"), FourCC("blob"), 30, b), 0);
    EXPECT_EQ((*e)->paramCount, 2);
    EXPECT_EQ((*e)->usedEnd, 40u + 40 + 16);
    EXPECT_EQ(BlockSize(e), 96);
    uint8_t got[40];
    uint32_t type = 0, size = 0;
    EXPECT_EQ(EventParamGet(e, FourCC("aaaa"), FourCC("****"), &type, 40, &size, got), 0);
    EXPECT_EQ(type, FourCC("blob"));
    EXPECT_EQ(size, 30u);
    EXPECT_EQ(std::memcmp(got, b, 30), 0);
    EXPECT_EQ(EventParamGet(e, FourCC("cccc"), FourCC("long"), &type, 40, &size, got), 0);
    EXPECT_EQ(std::memcmp(got, c, 5), 0);
    // Growing past 96 bytes takes the next step; shrinking gives it back.
    ASSERT_EQ(EventParamSet(e, FourCC("aaaa"), FourCC("blob"), 100, nullptr), 0);
    EXPECT_EQ(BlockSize(e), 192);
    ASSERT_EQ(EventParamSet(e, FourCC("aaaa"), FourCC("long"), 3, a), 0);
    EXPECT_EQ(BlockSize(e), 96);
    EXPECT_EQ(EventParamGet(e, FourCC("cccc"), FourCC("long"), &type, 40, &size, got), 0);
    EXPECT_EQ(std::memcmp(got, c, 5), 0);
}

TEST_F(EventObjects, LargeParametersStepCorrectly) {
    // Entries of 32,757 bytes or more used to wrap the padded size.
    EventObject e = Make();
    std::vector<uint8_t> big(40000, 0x11);
    uint32_t after = 0xDEADBEEF;
    ASSERT_EQ(EventParamSet(e, FourCC("bigg"), FourCC("blob"), 40000, big.data()), 0);
    ASSERT_EQ(EventParamSet(e, FourCC("aftr"), FourCC("long"), 4, &after), 0);
    EXPECT_EQ((*e)->usedEnd, 40u + 40010 + 14);
    uint32_t got = 0;
    EXPECT_EQ(EventParamGet(e, FourCC("aftr"), FourCC("long"), 4, &got), 0);
    EXPECT_EQ(got, after);
    EXPECT_EQ(EventParamSet(e, FourCC("huge"), FourCC("blob"), 0x10000, big.data()),
              kEventBadArgument);
}

TEST_F(EventObjects, BlockThatCannotGrowLeavesTheEvent) {
    EventObject e = Make();
    uint32_t v = 42;
    ASSERT_EQ(EventParamSet(e, FourCC("kmod"), FourCC("magn"), 4, &v), 0);
    HeapPool* pool = BlockPool(*e);
    int32_t old = SetPoolCeiling(pool, int32_t(PoolBytesHeld(pool)));
    std::vector<uint8_t> big(60000, 1);
    EXPECT_EQ(EventParamSet(e, FourCC("bigg"), FourCC("blob"), 60000, big.data()), kEventNoMemory);
    SetPoolCeiling(pool, old);
    EXPECT_EQ((*e)->usedEnd, 54u);
    EXPECT_EQ((*e)->paramCount, 1);
    EXPECT_EQ(BlockSize(e), 96);
    uint32_t got = 0;
    EXPECT_EQ(EventParamGet(e, FourCC("kmod"), FourCC("magn"), 4, &got), 0);
    EXPECT_EQ(got, 42u);
}

TEST_F(EventObjects, ReadingByType) {
    EventObject e = Make();
    int16_t point[2] = {-7, 300}; // v, h
    ASSERT_EQ(EventParamSet(e, FourCC("mloc"), FourCC("QDpt"), 4, point), 0);
    uint8_t text[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    ASSERT_EQ(EventParamSet(e, FourCC("Path"), FourCC("cstr"), 6, text), 0);

    float hv[3] = {0, 0, 99};
    uint32_t type = 0, size = 0;
    EXPECT_EQ(EventParamGet(e, FourCC("mloc"), FourCC("hipt"), &type, 12, &size, hv), 0);
    EXPECT_EQ(type, FourCC("hipt"));
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(hv[0], 300.0f);
    EXPECT_EQ(hv[1], -7.0f);
    EXPECT_EQ(hv[2], 99.0f);

    int32_t untouched = 0x01020304;
    EXPECT_EQ(EventParamGet(e, FourCC("mloc"), FourCC("long"), &type, 4, &size, &untouched),
              kEventParamWrongType);
    EXPECT_EQ(untouched, 0x01020304);
    EXPECT_EQ(type, FourCC("QDpt"));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(EventParamGet(e, FourCC("mloc"), FourCC("hipt"), &type, 7, &size, hv),
              kEventParamWrongType);

    char prefix[4] = {0, 0, 0, 'z'};
    EXPECT_EQ(EventParamGet(e, FourCC("Path"), FourCC("cstr"), &type, 3, &size, prefix),
              kEventBufferTooSmall);
    EXPECT_EQ(std::memcmp(prefix, "abcz", 4), 0);
    EXPECT_EQ(size, 6u);

    type = size = 9;
    EXPECT_EQ(EventParamGet(e, FourCC("none"), FourCC("****"), &type, 4, &size, prefix),
              kEventParamNotFound);
    EXPECT_EQ(type, 0u);
    EXPECT_EQ(size, 0u);
}

TEST_F(EventObjects, ListFormsUseTheTables) {
    EventCommandRecord command{1, 208, nullptr, 3};
    uint32_t modifiers = 0x200;
    int16_t where[2] = {4, 5};
    EventObject e = EventObjectCreateWith(FourCC("cmds"), 1, FourCC("hcmd"), &command,
                                          {{FourCC("kmod"), &modifiers}, {FourCC("mloc"), where}});
    ASSERT_NE(e, nullptr);
    made_.push_back(e);
    EXPECT_EQ((*e)->paramCount, 3);

    EventCommandRecord gotCommand{};
    uint32_t gotModifiers = 0;
    int16_t gotWhere[2] = {};
    uint8_t drop[2] = {7, 7};
    EXPECT_EQ(
        EventParamsGet(
            e, FourCC("hcmd"), &gotCommand,
            {{FourCC("DrpC"), drop}, {FourCC("kmod"), &gotModifiers}, {FourCC("mloc"), gotWhere}}),
        0);
    EXPECT_EQ(gotCommand.command, 208u);
    EXPECT_EQ(gotCommand.item, 3);
    EXPECT_EQ(gotModifiers, 0x200u);
    EXPECT_EQ(gotWhere[1], 5);
    EXPECT_EQ(drop[0], 0); // missing: zero-filled
    EXPECT_EQ(drop[1], 0);
    EXPECT_EQ(
        EventParamsGet(e, 0, nullptr, {{FourCC("kmod"), &gotModifiers}, {FourCC("DrpI"), drop}}),
        kEventParamNotFound);
}

TEST_F(EventObjects, NameTableIsSortedAndComplete) {
    ASSERT_EQ(kEventParamNameCount, 50u);
    for (size_t i = 1; i < kEventParamNameCount; ++i)
        EXPECT_LT(EventParamNameTable[i - 1].name, EventParamNameTable[i].name) << i;
    for (size_t i = 0; i < kEventParamNameCount; ++i)
        EXPECT_EQ(EventParamTypeOfName(EventParamNameTable[i].name), EventParamNameTable[i].type);
    EXPECT_EQ(EventParamTypeOfName(FourCC("DrpC")), FourCC("shor"));
    EXPECT_EQ(EventParamTypeOfName(FourCC("DrpI")), FourCC("shor"));
    EXPECT_EQ(EventParamTypeOfName(FourCC("zzzz")), 0u);
    for (size_t i = 1; i < kEventTypeSizeCount; ++i)
        EXPECT_LT(EventTypeSizeTable[i - 1].type, EventTypeSizeTable[i].type) << i;
    EXPECT_EQ(EventTypeSize(FourCC("qdrt")), 8u);
    EXPECT_EQ(EventTypeSize(FourCC("wind")), sizeof(void*));
    EXPECT_EQ(EventTypeSize(FourCC("hcmd")), sizeof(EventCommandRecord));
    EXPECT_EQ(EventTypeSize(FourCC("cstr")), 0u);
}

TEST_F(EventObjects, ReleasePoolsEightAndReusesTheNewest) {
    std::vector<EventObject> drained = DrainPool();
    std::vector<EventObject> events;
    for (int i = 0; i < 9; ++i) {
        EventObject e = nullptr;
        ASSERT_EQ(EventObjectNew(1, 1, 0, 0, &e), 0);
        events.push_back(e);
    }
    std::vector<uint8_t> big(500, 3);
    ASSERT_EQ(EventParamSet(events[7], FourCC("bigg"), FourCC("blob"), 500, big.data()), 0);
    EventObjectRetain(events[0]);
    EventObjectRelease(events[0]);
    EXPECT_EQ((*events[0])->retainCount, 1);
    EXPECT_EQ(EventObjectPoolCount(), 0);
    for (int i = 0; i < 8; ++i)
        EventObjectRelease(events[i]);
    EXPECT_EQ(EventObjectPoolCount(), 8);
    EXPECT_EQ((*events[7])->retainCount, kEventPooledMark);
    EXPECT_EQ((*events[7])->paramCount, 0);
    EXPECT_EQ(BlockSize(events[7]), 96);
    EventObjectRelease(events[7]); // a second release of a pooled record is ignored
    EXPECT_EQ(EventObjectPoolCount(), 8);
    EventObjectRelease(events[8]); // the ninth is freed (ASan would report a leak)
    EXPECT_EQ(EventObjectPoolCount(), 8);

    EventObject reused = nullptr;
    ASSERT_EQ(EventObjectNew(2, 2, 0, 0, &reused), 0);
    EXPECT_EQ(reused, events[7]);
    EXPECT_EQ((*reused)->retainCount, 1);
    EventObjectRelease(reused);
    for (EventObject e : drained)
        EventObjectRelease(e);
}

TEST_F(EventObjects, CreationWithoutMemoryAnswers8) {
    std::vector<EventObject> drained = DrainPool();
    EventObject probe = nullptr;
    ASSERT_EQ(EventObjectNew(1, 1, 0, 0, &probe), 0);
    drained.push_back(probe);
    HeapPool* pool = BlockPool(*probe);
    int32_t old = SetPoolCeiling(pool, int32_t(PoolBytesHeld(pool)));
    std::vector<EventObject> held;
    int32_t result = 0;
    EventObject e = nullptr;
    for (int i = 0; i < 1000000 && result == 0; ++i) {
        result = EventObjectNew(1, 1, 0, 0, &e);
        if (result == 0) held.push_back(e);
    }
    EXPECT_EQ(EventObjectCreateWith(1, 1, 0, nullptr, {}), nullptr);
    SetPoolCeiling(pool, old);
    EXPECT_EQ(result, kEventNoMemory);
    EXPECT_EQ(e, nullptr);
    for (EventObject h : held)
        EventObjectRelease(h);
    for (EventObject h : drained)
        EventObjectRelease(h);
}

} // namespace
