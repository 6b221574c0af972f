#include "toolbox/core/keycommand.h"

#include <gtest/gtest.h>

#include <vector>

#include "loop_fixture.h"
#include "toolbox/core/accelerators.h"

namespace {

std::vector<int16_t> g_sent;

class KeyCommands : public LoopTest {
  protected:
    void SetUp() override {
        LoopTest::SetUp();
        ClearKeyCommands();
        g_sent.clear();
        SetKeyCommandSender(
            [](int16_t command, const OsEventRecord*) { g_sent.push_back(command); });
    }
    void TearDown() override {
        ClearKeyCommands();
        SetKeyCommandSender(nullptr);
        LoopTest::TearDown();
    }
};

TEST_F(KeyCommands, RegisterReplacesOrPutsFirstAndBuildsAccelerators) {
    EXPECT_EQ(KeyCommandRegister('S', kKeyCommandControl, 0), kKeyCommandBadArgument);
    EXPECT_EQ(KeyCommandRegister('S', 0, 5), kKeyCommandBadArgument);
    ASSERT_EQ(KeyCommandRegister('S', kKeyCommandControl, 5), 0);
    ASSERT_EQ(KeyCommandRegister('Z', kKeyCommandControl | kKeyCommandShift | kKeyCommandAlt, 6),
              0);
    ASSERT_EQ(KeyCommandRegister('S', kKeyCommandControl, 7), 0);
    ASSERT_EQ(KeyCommandCount(), 2);
    EXPECT_EQ(KeyCommandAt(0)->key, 'Z');
    EXPECT_EQ(KeyCommandAt(1)->command, 7);
    int32_t count = 0;
    const AcceleratorEntry* accels = AcceleratorEntries(&count);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(accels[0].flags, 3 + 8 + 4 + 0x10);
    EXPECT_EQ(accels[0].key, 'Z');
    EXPECT_EQ(accels[0].command, 13000);
    EXPECT_EQ(accels[1].flags, 3 + 8);
    EXPECT_EQ(accels[1].command, 13001);
    EXPECT_GE(AcceleratorRoom(), 16);
    EXPECT_TRUE(TakeAcceleratorRebuild());
    EXPECT_FALSE(TakeAcceleratorRebuild());
}

TEST_F(KeyCommands, MatchComparesShiftControlAltOnly) {
    KeyCommandRegister('S', kKeyCommandControl, 5);
    KeyCommandRegister('S', kKeyCommandControl | kKeyCommandShift, 9);
    struct Row {
        uint16_t modifiers;
        int16_t sent; // 0: no match
    } rows[] = {{kModControl, 5},
                {kModControl | kModCapsLock | kModButtonUp, 5},
                {kModControl | kModShift, 9},
                {kModShift, 0},
                {kModCapsLock, 0},
                {0, 0},
                {kModControl | kModAlt, 0}};
    for (const Row& row : rows) {
        g_sent.clear();
        OsEventRecord r{};
        r.what = kOsWhatKeyDown;
        r.message = ('S' << 8) | 's';
        r.modifiers = row.modifiers;
        EXPECT_EQ(MatchKeyCommand(&r), row.sent != 0) << row.modifiers;
        if (row.sent) {
            EXPECT_EQ(g_sent, (std::vector<int16_t>{row.sent}));
        }
    }
}

TEST_F(KeyCommands, AcceleratorPostsTheEntrysKeyAndModifiers) {
    KeyCommandRegister(0x70, kKeyCommandShift | kKeyCommandAlt, 4);
    EXPECT_FALSE(KeyCommandAccelerator(13001));
    EXPECT_FALSE(KeyCommandAccelerator(12999));
    ASSERT_TRUE(KeyCommandAccelerator(13000));
    OsEventRecord r;
    ASSERT_TRUE(FindQueuedOsEvent(kOsMaskKeyDown, &r, 0, false, true));
    EXPECT_EQ(r.message, uintptr_t(0x7000));
    EXPECT_EQ(r.modifiers & kKeyCommandRecordBits, kModShift | kModAlt);
    EXPECT_TRUE(MatchKeyCommand(&r));
}

} // namespace
