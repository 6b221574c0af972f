#include "toolbox/core/oseventqueue.h"

#include <gtest/gtest.h>

#include <vector>

#include "loop_fixture.h"

namespace {

using OsQueue = LoopTest;

TEST_F(OsQueue, PostingMapsCodesToBitsAndRefusesOthers) {
    struct Row {
        uint16_t what;
        int32_t result;
        uint16_t bit; // 0: nothing queued
    } rows[] = {
        {kOsWhatMouseDown, kOsPostOk, 0x2}, {kOsWhatMouseUp, kOsPostOk, 0x4},
        {kOsWhatKeyDown, kOsPostOk, 0x8},   {kOsWhatKeyUp, kOsPostNotQueued, 0},
        {kOsWhatAutoKey, kOsPostOk, 0x20},  {kOsWhatWheel, kOsPostOk, 0x4000},
        {kOsWhatUpdate, kOsPostRefused, 0}, {kOsWhatActivate, kOsPostRefused, 0},
        {kOsWhatNull, kOsPostRefused, 0},   {kOsWhatHighLevel, kOsPostRefused, 0},
    };
    EXPECT_EQ(GetSystemEventMask(), 0xFFEF);
    for (const Row& row : rows) {
        OsEventQueueReset();
        OsEventEntry* entry = nullptr;
        EXPECT_EQ(PostOsEventRecord(row.what, 7, &entry), row.result) << row.what;
        EXPECT_EQ(OsEventQueueCount(), row.bit ? 1 : 0) << row.what;
        if (row.bit) {
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ(entry->maskBit, row.bit);
            EXPECT_EQ(entry->entryType, kOsEntryType);
        }
    }
    SetSystemEventMask(0xFFFF);
    EXPECT_EQ(PostOsEvent(kOsWhatKeyUp, 1), kOsPostOk);
    EXPECT_EQ(OsEventQueueCount(), 1);
}

TEST_F(OsQueue, RecordCarriesPointModifiersButtonUpAndTime) {
    FakeInput().mouse = Point32{70000, -3};
    FakeInput().modifiers = kModShift;
    FakeInput().ms = 1000;
    PostOsEvent(kOsWhatMouseDown, 1);
    OsEventRecord r;
    ASSERT_TRUE(FindQueuedOsEvent(kOsMaskEvery, &r, 0, false, true));
    EXPECT_EQ(r.what, kOsWhatMouseDown);
    EXPECT_EQ(r.message, 1u);
    EXPECT_EQ(r.whereV, 70000);
    EXPECT_EQ(r.whereH, -3);
    EXPECT_EQ(r.modifiers, kModShift | kModButtonUp);
    EXPECT_EQ(r.when, 60u);
    FakeInput().buttons[0] = true;
    PostOsEvent(kOsWhatMouseDown, 0);
    ASSERT_TRUE(FindQueuedOsEvent(kOsMaskEvery, &r, 0, false, true));
    EXPECT_EQ(r.modifiers, kModShift);
}

TEST_F(OsQueue, TwentyFirstEventDropsTheOldest) {
    for (uint32_t i = 0; i < 21; ++i)
        ASSERT_EQ(PostOsEvent(kOsWhatKeyDown, i), kOsPostOk);
    EXPECT_EQ(OsEventQueueCount(), kOsEventQueueLimit);
    std::vector<uintptr_t> seen;
    OsEventRecord r;
    while (FindQueuedOsEvent(kOsMaskEvery, &r, 0, false, true))
        seen.push_back(r.message);
    ASSERT_EQ(seen.size(), 20u);
    EXPECT_EQ(seen.front(), 1u);
    EXPECT_EQ(seen.back(), 20u);
    EXPECT_FALSE(FindQueuedOsEvent(kOsMaskEvery, &r, 0, false, true));
    EXPECT_EQ(r.what, kOsWhatNull);
}

TEST_F(OsQueue, FindByMaskAndButtonWithoutRemoving) {
    PostOsEvent(kOsWhatKeyDown, 'a');
    PostOsEvent(kOsWhatMouseDown, kOsButtonRight);
    PostOsEvent(kOsWhatMouseDown, kOsButtonLeft);
    OsEventRecord r;
    ASSERT_TRUE(FindQueuedOsEvent(kOsMaskMouseDown, &r, kOsButtonLeft + 1, false, false));
    EXPECT_EQ(r.message, uintptr_t(kOsButtonLeft));
    EXPECT_EQ(OsEventQueueCount(), 3);
    ASSERT_TRUE(FindQueuedOsEvent(kOsMaskMouseDown, &r, 0, false, true));
    EXPECT_EQ(r.message, uintptr_t(kOsButtonRight));
    EXPECT_FALSE(FindQueuedOsEvent(kOsMaskWheel, &r, 0, false, false));
}

TEST_F(OsQueue, FlushStopsAtTheFirstEntryOfTheStopMask) {
    PostOsEvent(kOsWhatKeyDown, 1);
    PostOsEvent(kOsWhatMouseDown, 0);
    PostOsEvent(kOsWhatKeyDown, 2);
    PostOsEvent(kOsWhatWheel, 120);
    PostOsEvent(kOsWhatKeyDown, 3);
    FlushOsEvents(kOsMaskKeyDown | kOsMaskMouseDown, kOsMaskWheel);
    std::vector<uint16_t> left;
    OsEventRecord r;
    while (FindQueuedOsEvent(kOsMaskEvery, &r, 0, false, true))
        left.push_back(r.what);
    EXPECT_EQ(left, (std::vector<uint16_t>{kOsWhatWheel, kOsWhatKeyDown}));
}

TEST_F(OsQueue, KeyMessagesPostDownsAutoKeysAndUps) {
    SetSystemEventMask(0xFFFF);
    auto take = [] {
        std::vector<std::pair<uint16_t, uintptr_t>> out;
        OsEventRecord r;
        while (FindQueuedOsEvent(kOsMaskEvery, &r, 0, false, true))
            out.push_back({r.what, r.message});
        return out;
    };
    KeyMessageToOsEvent(nullptr, kOsMsgChar, 'a');
    KeyMessageToOsEvent(nullptr, kOsMsgChar, 'a'); // held: repeated without key up
    KeyMessageToOsEvent(nullptr, kOsMsgChar, 'b');
    KeyMessageToOsEvent(nullptr, kOsMsgKeyUp, 'B');
    KeyMessageToOsEvent(nullptr, kOsMsgChar, 'b'); // second real press
    auto got = take();
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got[0], (std::pair<uint16_t, uintptr_t>{kOsWhatKeyDown, ('A' << 8) | 'a'}));
    EXPECT_EQ(got[1].first, kOsWhatAutoKey);
    EXPECT_EQ(got[2], (std::pair<uint16_t, uintptr_t>{kOsWhatKeyDown, ('B' << 8) | 'b'}));
    EXPECT_EQ(got[3], (std::pair<uint16_t, uintptr_t>{kOsWhatKeyUp, ('B' << 8) | 'b'}));
    EXPECT_EQ(got[4].first, kOsWhatKeyDown);

    for (uint32_t vk = 0; vk < 256; ++vk) {
        OsEventQueueReset();
        ResetKeyMessageState();
        KeyMessageToOsEvent(nullptr, kOsMsgKeyDown, vk);
        // Execute (43) too: the key table turns it into the dialogs' Execute key.
        bool expected = vk == 12 || (vk >= 33 && vk <= 40) || vk == 43 || vk == 46 || vk == 47 ||
                        (vk >= 112 && vk <= 135);
        EXPECT_EQ(OsEventQueueCount(), expected ? 1 : 0) << vk;
    }
    OsEventQueueReset();
    KeyMessageToOsEvent(nullptr, kOsMsgKeyDown, 37);
    auto arrow = take();
    ASSERT_EQ(arrow.size(), 1u);
    EXPECT_EQ(arrow[0].second, uintptr_t(37 << 8));
}

TEST_F(OsQueue, ButtonMessagesCaptureAndPost) {
    struct Row {
        uint32_t message;
        int32_t button;
        bool down;
    } rows[] = {
        {0x201, 0, true}, {0x202, 0, false}, {0x203, 0, true},  {0x204, 1, true}, {0x205, 1, false},
        {0x206, 1, true}, {0x207, 2, true},  {0x208, 2, false}, {0x209, 2, true}, {0xA1, 0, true},
        {0xA2, 0, false}, {0xA4, 1, true},   {0xA8, 2, false},  {0xA9, 2, true},
    };
    int window = 0;
    for (const Row& row : rows) {
        OsEventQueueReset();
        FakeInput().captures.clear();
        FakeInput().releases = 0;
        MouseButtonMessage(&window, row.message);
        OsEventRecord r;
        ASSERT_TRUE(FindQueuedOsEvent(kOsMaskEvery, &r, 0, false, true)) << row.message;
        EXPECT_EQ(r.what, row.down ? kOsWhatMouseDown : kOsWhatMouseUp) << row.message;
        EXPECT_EQ(r.message, uintptr_t(row.button)) << row.message;
        EXPECT_EQ(FakeInput().captures.size(), row.down ? 1u : 0u);
        EXPECT_EQ(FakeInput().releases, row.down ? 0 : 1);
    }
    OsEventQueueReset();
    MouseButtonMessage(&window, 0x200); // a move is not a button message
    EXPECT_EQ(OsEventQueueCount(), 0);
}

TEST_F(OsQueue, PollingSeesQueuedButtonEventsBeforeTheState) {
    FakeInput().buttons[0] = true;
    EXPECT_EQ(MouseButtonDown(0), kMouseButtonIsDown);
    EXPECT_EQ(MouseButtonDown(1), 0);
    EXPECT_TRUE(PollMouseStillDown(0));
    EXPECT_TRUE(MouseButtonStillDown(0));
    PostOsEvent(kOsWhatMouseUp, kOsButtonLeft);
    EXPECT_FALSE(PollMouseStillDown(0));
    EXPECT_TRUE(PollMouseStillDown(1) == false); // right button is up
    EXPECT_TRUE(PollMouseReleased(0));
    EXPECT_EQ(OsEventQueueCount(), 0);
    EXPECT_FALSE(PollMouseReleased(0));
    PostOsEvent(kOsWhatMouseDown, kOsButtonRight);
    EXPECT_TRUE(PollMouseStillDown(0));
}

} // namespace
