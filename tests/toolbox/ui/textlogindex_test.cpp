// The text log's line index and text window over a memory stream, with a
// counter of the bytes read.
#include <gtest/gtest.h>

#include <string>

#include "toolbox/core/memblock.h"
#include "toolbox/ui/textlogindex.h"

namespace {

int64_t gBytesRead = 0;
StreamReadProc gMemoryRead = nullptr;

int32_t CountingRead(ByteStream stream, void* buffer, int32_t* count) {
    int32_t error = gMemoryRead(stream, buffer, count);
    gBytesRead += *count;
    return error;
}

class TextLogIndexTest : public ::testing::Test {
  protected:
    void SetUp() override {
        block_ = NewRelocatableBlock(nullptr, 0);
        ASSERT_EQ(ByteStreamOpen(kStreamMemory, reinterpret_cast<intptr_t>(block_), &s_), 0);
        gMemoryRead = s_->read;
        s_->read = &CountingRead;
        gBytesRead = 0;
        TextLogIndexInit(&index_);
        TextLogIndexFrom(&index_, s_, 0);
    }
    void TearDown() override {
        ByteStreamClose(s_);
        HeapHandleFree(block_);
    }
    void Append(const std::string& text) {
        ASSERT_EQ(TextLogAppend(&index_, s_, text.data(), int32_t(text.size())), 0);
    }
    std::string Row(int32_t row) {
        EXPECT_EQ(TextLogLoadWindow(&window_, &index_, s_, row, row), 0);
        const char* text = nullptr;
        int32_t count = TextLogRowText(&window_, &index_, row, &text);
        return std::string(text != nullptr ? text : "", size_t(count));
    }
    RelocatableBlock block_ = nullptr;
    ByteStream s_ = nullptr;
    TextLogIndex index_{};
    TextLogWindow window_{};
};

TEST_F(TextLogIndexTest, RowsEndAtCarriageReturns) {
    EXPECT_EQ(index_.rowCount, 0);
    Append("abc");
    EXPECT_EQ(index_.rowCount, 1);
    Append("d\r");
    EXPECT_EQ(index_.rowCount, 1);
    Append("\nef\ngh\r\n"); // the pair split over two appends; a lone feed ends nothing
    EXPECT_EQ(index_.rowCount, 2);
    EXPECT_EQ(Row(0), "abcd");
    EXPECT_EQ(Row(1), "ef\ngh");
    EXPECT_EQ(TextLogRowStart(&index_, 1), 6);
    Append("x\ry");
    EXPECT_EQ(index_.rowCount, 4);
    EXPECT_EQ(Row(2), "x");
    EXPECT_EQ(Row(3), "y");
    // A full re-index agrees with the appended one.
    TextLogIndex full;
    TextLogIndexInit(&full);
    TextLogIndexFrom(&full, s_, 0);
    ASSERT_EQ(full.count, index_.count);
    for (int32_t i = 0; i < full.count; ++i)
        EXPECT_EQ(full.entries[size_t(i)], index_.entries[size_t(i)]);
    EXPECT_EQ(TextLogClear(&index_, &window_, s_), 0);
    EXPECT_EQ(index_.rowCount, 0);
    Append("new\r\n");
    EXPECT_EQ(index_.rowCount, 1);
    EXPECT_EQ(Row(0), "new");
}

TEST_F(TextLogIndexTest, AppendingReadsEachByteOnce) {
    std::string line = "report line of the log\r\n";
    for (int i = 0; i < 100000; ++i)
        Append(line);
    EXPECT_EQ(index_.rowCount, 100000);
    EXPECT_EQ(gBytesRead, int64_t(line.size()) * 100000);
    // An incomplete last line is read again when it is completed.
    gBytesRead = 0;
    Append("half");
    Append(" done\r\n");
    EXPECT_EQ(gBytesRead, 4 + 4 + 7);
    EXPECT_EQ(index_.rowCount, 100001);
}

TEST_F(TextLogIndexTest, TextWindowRanges) {
    std::string row(99, 'r');
    row += "\r\n"; // 101 bytes a row
    for (int i = 0; i < 200; ++i)
        Append(row);
    int32_t length = 200 * 101;
    int32_t start, end;
    TextLogNeededRange(&index_, length, 0, 1, &start, &end);
    EXPECT_EQ(start, 0); // never below 0
    EXPECT_EQ(end, 256);
    TextLogNeededRange(&index_, length, 10, 12, &start, &end);
    EXPECT_EQ(start, (1010 - 256) / 512 * 512);
    EXPECT_EQ(end, (1313 + 256) / 512 * 512 + 256);
    TextLogNeededRange(&index_, length, 195, 199, &start, &end);
    EXPECT_EQ(end, length);
    // An overlapping range reads only the missing part.
    gBytesRead = 0;
    ASSERT_EQ(TextLogLoadWindow(&window_, &index_, s_, 10, 12), 0);
    EXPECT_EQ(gBytesRead, 1792 - 512);
    gBytesRead = 0;
    ASSERT_EQ(TextLogLoadWindow(&window_, &index_, s_, 20, 22), 0);
    EXPECT_EQ(window_.start, 512); // the held bytes kept
    EXPECT_EQ(window_.end, 2816);
    EXPECT_EQ(gBytesRead, 2816 - 1792);
    // Beyond the kept size only the needed range is held, the overlap kept.
    ASSERT_EQ(TextLogLoadWindow(&window_, &index_, s_, 100, 120), 0);
    EXPECT_EQ(window_.start, 9728);
    EXPECT_EQ(window_.end, 12544);
    gBytesRead = 0;
    ASSERT_EQ(TextLogLoadWindow(&window_, &index_, s_, 118, 135), 0);
    EXPECT_EQ(window_.start, 11264);
    EXPECT_EQ(window_.end, 14080);
    EXPECT_EQ(gBytesRead, 14080 - 12544);
    ASSERT_EQ(TextLogLoadWindow(&window_, &index_, s_, 100, 180), 0);
    EXPECT_GT(window_.end - window_.start, kTextWindowKeep); // the needed range is larger
    EXPECT_EQ(Row(150), row.substr(0, 99));
}

} // namespace
