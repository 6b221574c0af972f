#include "db/runopt.h"

#include <gtest/gtest.h>

#include "db/err.h"
#include "db/memstat.h"
#include "db/shellsvc.h"
#include "testutil.h"
#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"

namespace {

class RunOptionsTest : public CoreTest {};

TEST_F(RunOptionsTest, ZeroedBlockWithTheQuietByte) {
    EXPECT_EQ(g_runOptions, nullptr);
    EXPECT_FALSE(RunOptionsQuiet());
    ParseInit();
    ASSERT_NE(g_runOptions, nullptr);
    EXPECT_EQ(PointerBlockSize(g_runOptions), kRunOptionsBytes);
    for (int i = 0; i < kRunOptionsBytes; ++i)
        EXPECT_EQ(g_runOptions[i], 0) << i;
    AlertMessage("shown");
    EXPECT_TRUE(ConfirmMessage("asked"));
    g_runOptions[kRunOptQuiet] = 1;
    EXPECT_TRUE(RunOptionsQuiet());
    AlertMessage("skipped");
    HeadlessSetConfirmAnswer(false);
    EXPECT_TRUE(ConfirmMessage("not asked")); // quiet mode answers yes
    ASSERT_EQ(HeadlessMessages(kHeadlessAlert).size(), 1u);
    EXPECT_EQ(HeadlessMessages(kHeadlessAlert)[0], "shown");
    ASSERT_EQ(HeadlessMessages(kHeadlessConfirm).size(), 1u);
    g_runOptions[kRunOptQuiet] = 0;
    EXPECT_FALSE(ConfirmMessage("asked again"));
    ParseClose();
    EXPECT_EQ(g_runOptions, nullptr);
}

TEST_F(RunOptionsTest, AllocationFailureIsOutOfMemory) {
    // Cap the pointer-block pool at what it holds and use up its room.
    HeapErrorHandler previous = SetHeapErrorHandler(&SilentHeapErrorHandler);
    HeapPool* pool = PointerBlockPool();
    int32_t oldCeiling = SetPoolCeiling(pool, int32_t(PoolBytesHeld(pool)));
    std::vector<void*> taken;
    while (taken.size() < 1000000) {
        void* p = NewPointerBlockClear(nullptr, kRunOptionsBytes);
        if (!p) break;
        taken.push_back(p);
    }
    EXPECT_FATAL_DETAIL(ParseInit(), 37812, "Not enough RAM");
    for (void* p : taken)
        FreeHeapBlock(p);
    SetPoolCeiling(pool, oldCeiling);
    SetHeapErrorHandler(previous);
    EXPECT_EQ(g_runOptions, nullptr);
}

TEST_F(RunOptionsTest, CloseIsTracedUnderTheVerboseFlag) {
    TraceCapture trace;
    RunOptionsAlloc();
    ParseClose();
    EXPECT_TRUE(trace.lines.empty());
    DebugSetFlags(1, 0);
    RunOptionsAlloc();
    ParseClose();
    ASSERT_EQ(trace.lines.size(), 2u);
    EXPECT_EQ(trace.lines[0], "ParseClose: started");
    EXPECT_EQ(trace.lines[1], "ParseClose: done");
}

TEST_F(RunOptionsTest, PhysicalMemoryIsReadOnce) {
    TraceCapture trace;
    DebugSetFlags(1, 0);
    MemStatus m{512000000, 1, 1};
    MemStatusSetOverride(&m);
    EXPECT_EQ(ComMemGetPhysical(), 512000000u);
    m.totalPhys = 1;
    MemStatusSetOverride(&m);
    EXPECT_EQ(ComMemGetPhysical(), 512000000u); // kept
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], "ComMemGetPhysical: 512000K memory installed");
}

TEST_F(RunOptionsTest, PhysicalMemoryClampsTo32Bits) {
    MemStatus m{16000000000ull, 1, 1};
    MemStatusSetOverride(&m);
    EXPECT_EQ(ComMemGetPhysical(), 4294967295u);
}

TEST_F(RunOptionsTest, SystemFigureIsPlausible) {
    EXPECT_GT(ComMemGetPhysical(), 16u * 1024 * 1024);
}

} // namespace
