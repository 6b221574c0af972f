// Byte streams of every kind, and the type header.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "toolbox/core/byteorder.h"
#include "toolbox/ui/bytestream.h"

namespace {

class MemoryStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        block_ = NewRelocatableBlock(nullptr, 20);
        ASSERT_NE(block_, nullptr);
        uint8_t* p = static_cast<uint8_t*>(HeapHandleLock(block_));
        for (int i = 0; i < 20; ++i)
            p[i] = uint8_t(i);
        HeapHandleUnlock(block_);
        ASSERT_EQ(ByteStreamOpen(kStreamMemory, reinterpret_cast<intptr_t>(block_), &s_), 0);
    }
    void TearDown() override {
        SetMemoryStreamCap(-1);
        ByteStreamClose(s_);
        HeapHandleFree(block_);
    }
    RelocatableBlock block_ = nullptr;
    ByteStream s_ = nullptr;
};

TEST_F(MemoryStreamTest, ReadPastTheEndIsCutShort) {
    EXPECT_EQ(ByteStreamLength(s_), 20);
    EXPECT_EQ(s_->position, 0);
    ASSERT_EQ(ByteStreamSetPosition(s_, 15), 0);
    uint8_t buf[10] = {};
    int32_t n = 10;
    EXPECT_EQ(ByteStreamRead(s_, buf, &n), kStreamErrEndOfFile);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(buf[0], 15);
    EXPECT_EQ(buf[4], 19);
    EXPECT_EQ(s_->position, 20);
    // A count that would wrap the position in 32 bits is cut the same way.
    ASSERT_EQ(ByteStreamSetPosition(s_, 15), 0);
    n = INT32_MAX;
    EXPECT_EQ(ByteStreamRead(s_, buf, &n), kStreamErrEndOfFile);
    EXPECT_EQ(n, 5);
    // Without a buffer a read only skips.
    ASSERT_EQ(ByteStreamSetPosition(s_, 2), 0);
    n = 3;
    EXPECT_EQ(ByteStreamRead(s_, nullptr, &n), 0);
    EXPECT_EQ(s_->position, 5);
}

TEST_F(MemoryStreamTest, SetPositionAndSkip) {
    EXPECT_EQ(ByteStreamSetPosition(s_, 20), 0);
    EXPECT_EQ(ByteStreamSetPosition(s_, 21), kStreamErrEndOfFile);
    EXPECT_EQ(ByteStreamSetPosition(s_, -1), kStreamErrNegativePosition);
    EXPECT_EQ(s_->position, 20);
    EXPECT_EQ(ByteStreamSkip(s_, -5), 0);
    EXPECT_EQ(s_->position, 15);
    EXPECT_EQ(ByteStreamSkip(s_, INT32_MAX), kStreamErrEndOfFile);
    EXPECT_EQ(ByteStreamSkip(s_, INT32_MIN), kStreamErrNegativePosition);
    EXPECT_EQ(s_->position, 15);
}

TEST_F(MemoryStreamTest, WritesGrowTheBlockFirst) {
    ASSERT_EQ(ByteStreamSetPosition(s_, 18), 0);
    const uint8_t data[4] = {0xA0, 0xA1, 0xA2, 0xA3};
    EXPECT_EQ(ByteStreamWrite(s_, data, 4), 0);
    EXPECT_EQ(ByteStreamLength(s_), 22);
    EXPECT_EQ(RelocatableBlockSize(block_), 22);
    EXPECT_EQ(s_->position, 22);
    const uint8_t* p = static_cast<const uint8_t*>(*block_);
    EXPECT_EQ(p[17], 17);
    EXPECT_EQ(p[18], 0xA0);
    EXPECT_EQ(p[21], 0xA3);
    // A block that cannot grow changes nothing.
    SetMemoryStreamCap(22);
    EXPECT_EQ(ByteStreamWrite(s_, data, 1), kStreamErrNoMemory);
    EXPECT_EQ(ByteStreamLength(s_), 22);
    EXPECT_EQ(s_->position, 22);
    EXPECT_EQ(RelocatableBlockSize(block_), 22);
    // A position plus count beyond 32 bits is refused.
    EXPECT_NE(ByteStreamWrite(s_, nullptr, INT32_MAX), 0);
    EXPECT_EQ(s_->position, 22);
}

TEST_F(MemoryStreamTest, ShorteningMovesThePositionToTheEnd) {
    ASSERT_EQ(ByteStreamSetPosition(s_, 12), 0);
    EXPECT_EQ(ByteStreamSetLength(s_, 8), 0);
    EXPECT_EQ(ByteStreamLength(s_), 8);
    EXPECT_EQ(s_->position, 8);
    EXPECT_EQ(RelocatableBlockSize(block_), 8);
    EXPECT_EQ(ByteStreamSetLength(s_, -4), 0);
    EXPECT_EQ(ByteStreamLength(s_), 0);
    // A granularity rounds new lengths up.
    s_->granularity = 15;
    EXPECT_EQ(ByteStreamSetLength(s_, 17), 0);
    EXPECT_EQ(ByteStreamLength(s_), 32);
}

int32_t s_refreshes = 0;
int32_t FailingWrite(ByteStream, const void*, int32_t) {
    return 39;
}
int32_t CountingRefresh(ByteStream) {
    ++s_refreshes;
    return 0;
}

TEST_F(MemoryStreamTest, FailedWriteRefreshesAndKeepsThePosition) {
    ASSERT_EQ(ByteStreamSetPosition(s_, 4), 0);
    s_->write = FailingWrite;
    s_->refresh = CountingRefresh;
    s_refreshes = 0;
    EXPECT_EQ(ByteStreamWrite(s_, "ab", 2), 39);
    EXPECT_EQ(s_refreshes, 1);
    EXPECT_EQ(s_->position, 4);
}

TEST_F(MemoryStreamTest, ResetAndCloseFileStreamOnMemory) {
    EXPECT_EQ(CloseFileStream(s_, 0), kStreamErrNotFileStream);
    EXPECT_EQ(s_->kind, kStreamMemory); // still open
    EXPECT_EQ(ByteStreamFlush(s_, 1), 0);
    EXPECT_EQ(s_->cacheStart, kStreamNoCache);
    EXPECT_EQ(s_->dirtyStart, kStreamCleanStart);
}

TEST_F(MemoryStreamTest, ResetClearsTheRecord) {
    ASSERT_EQ(ByteStreamSetPosition(s_, 7), 0);
    EXPECT_EQ(ByteStreamReset(s_, kStreamCounting, 3), 0);
    EXPECT_EQ(s_->kind, kStreamCounting);
    EXPECT_EQ(s_->handle, 3);
    EXPECT_EQ(s_->position, 0);
    EXPECT_EQ(s_->length, 0);
    EXPECT_EQ(s_->read, nullptr);
    EXPECT_EQ(s_->cacheEnd, kStreamNoCache);
    EXPECT_EQ(s_->dirtyStart, kStreamCleanStart);
}

TEST(CountingStream, CountsWithoutData) {
    ByteStream s = nullptr;
    ASSERT_EQ(ByteStreamOpen(kStreamCounting, 100, &s), 0);
    EXPECT_EQ(s->position, 100);
    EXPECT_EQ(ByteStreamLength(s), 100);
    EXPECT_EQ(ByteStreamWrite(s, nullptr, 7), 0);
    EXPECT_EQ(s->position, 107);
    EXPECT_EQ(ByteStreamLength(s), 107);
    EXPECT_EQ(ByteStreamWrite(s, "abc", 3), 0);
    EXPECT_EQ(ByteStreamLength(s), 110);
    ASSERT_EQ(ByteStreamSetPosition(s, 0), 0);
    uint8_t buf[4];
    int32_t n = 4;
    EXPECT_EQ(ByteStreamRead(s, buf, &n), kStreamErrCannotRead);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(s->position, 0);
    ByteStreamClose(s);
}

TEST(ByteStreamOpen, FailureFreesTheRecord) {
    ByteStream s = reinterpret_cast<ByteStream>(1);
    // A memory stream needs no block to open; an unknown kind fails.
    EXPECT_NE(ByteStreamOpen(7, 0, &s), 0);
    EXPECT_EQ(s, nullptr);
    // A file stream over a handle that is no file fails in its refresh.
    s = reinterpret_cast<ByteStream>(1);
    EXPECT_NE(ByteStreamOpen(kStreamFile, 0, &s), 0);
    EXPECT_EQ(s, nullptr);
}

// ---- file streams -----------------------------------------------------------

class FileStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::path dir = std::filesystem::temp_directory_path();
        std::string folder = dir.string();
        while (folder.size() > 3 && (folder.back() == '/' || folder.back() == '\\'))
            folder.pop_back();
        std::memset(&spec_, 0, sizeof spec_);
        std::snprintf(spec_.folder, sizeof spec_.folder, "%s", folder.c_str());
        std::snprintf(spec_.name, sizeof spec_.name, "plv_stream_%d.bin",
                      int(::testing::UnitTest::GetInstance()->random_seed()) + Serial());
        path_ = (dir / spec_.name).string();
    }
    void TearDown() override { std::filesystem::remove(path_); }
    void Put(const std::vector<uint8_t>& bytes) {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    static int Serial() {
        static int n = 0;
        return ++n;
    }
    FileSpec spec_;
    std::string path_;
};

TEST_F(FileStreamTest, ReadsWritesAndCloses) {
    Put({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    ByteStream s = nullptr;
    ASSERT_EQ(OpenFileStream(&spec_, 0, &s), 0);
    EXPECT_EQ(ByteStreamLength(s), 15);
    ASSERT_EQ(ByteStreamSetPosition(s, 10), 0);
    uint8_t buf[10] = {};
    int32_t n = 10;
    EXPECT_EQ(ByteStreamRead(s, buf, &n), kStreamErrEndOfFile);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(buf[4], 14);
    EXPECT_EQ(s->position, 15);
    EXPECT_EQ(ByteStreamWrite(s, "xy", 2), 0);
    EXPECT_EQ(ByteStreamLength(s), 17);
    ASSERT_EQ(ByteStreamSetPosition(s, 3), 0);
    n = 1;
    EXPECT_EQ(ByteStreamRead(s, buf, &n), 0);
    EXPECT_EQ(buf[0], 3);
    EXPECT_EQ(ByteStreamSetLength(s, 2), 0);
    EXPECT_EQ(s->position, 2);
    EXPECT_EQ(ByteStreamWrite(s, "Z", 1), 0);
    EXPECT_EQ(CloseFileStream(s, 1), 0);
    EXPECT_EQ(std::filesystem::file_size(path_), 3u);
    std::FILE* f = std::fopen(path_.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char back[4] = {};
    EXPECT_EQ(std::fread(back, 1, 4, f), 3u);
    std::fclose(f);
    EXPECT_EQ(back[2], 'Z');
}

TEST_F(FileStreamTest, MissingFileFails) {
    ByteStream s = reinterpret_cast<ByteStream>(1);
    EXPECT_NE(OpenFileStream(&spec_, 1, &s), 0);
    EXPECT_EQ(s, nullptr);
}

std::vector<uint8_t> Header(bool big, uint32_t magic, uint32_t length, uint32_t creator) {
    std::vector<uint8_t> h;
    auto put = [&](uint32_t v, int bytes, bool bigEndian) {
        for (int i = 0; i < bytes; ++i) {
            int shift = bigEndian ? 8 * (bytes - 1 - i) : 8 * i;
            h.push_back(uint8_t(v >> shift));
        }
    };
    put(0x1234, 2, big);
    put(big ? 0 : 0xFFFF, 2, big);
    put(FourCC("MXDF"), 4, big);
    put(magic, 4, big);
    put(length, 4, big);
    if (length > 16) put(creator, 4, true);
    return h;
}

TEST_F(FileStreamTest, TypeHeaders) {
    struct Case {
        std::vector<uint8_t> bytes;
        int32_t result;
        uint32_t type;
        int16_t kind;
        uint32_t creator;
    };
    std::vector<uint8_t> badFlag = Header(true, FourCC("LEAD"), 16, 0);
    badFlag[3] = 1;
    const uint32_t lead = FourCC("LEAD");
    const Case cases[] = {
        {Header(true, lead, 16, 0), 0, FourCC("MXDF"), 0x1234, FourCC("PMac")},
        {Header(false, lead, 16, 0), 0, FourCC("MXDF"), 0x1234, FourCC("IW32")},
        {Header(false, lead, 20, FourCC("ABCD")), 0, FourCC("MXDF"), 0x1234, FourCC("ABCD")},
        {Header(true, lead, 20, FourCC("WXYZ")), 0, FourCC("MXDF"), 0x1234, FourCC("WXYZ")},
        {Header(true, FourCC("LEAF"), 16, 0), kStreamErrNoTypeHeader, 0, 0, 0},
        {badFlag, kStreamErrNoTypeHeader, 0, 0, 0},
        {std::vector<uint8_t>(15, 0), kStreamErrNoTypeHeader, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        Put(c.bytes);
        ByteStream s = nullptr;
        ASSERT_EQ(OpenFileStream(&spec_, 1, &s), 0);
        uint32_t type = 1, creator = 1;
        int16_t kind = 1;
        EXPECT_EQ(ReadFileTypeHeader(s, &type, &kind, &creator), c.result);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(creator, c.creator);
        EXPECT_EQ(ReadFileTypeHeader(s, nullptr, nullptr, nullptr), c.result);
        EXPECT_EQ(CloseFileStream(s, 0), 0);
    }
}

} // namespace
