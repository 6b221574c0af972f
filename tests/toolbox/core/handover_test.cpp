#include "toolbox/core/handover.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr uint32_t kMark = kHandOverMark << kHandOverMarkShift;

// Sends a line through a joiner piece by piece; the joined line or "-".
std::string RoundTrip(HandOverJoiner* joiner, const std::string& line) {
    int32_t n = int32_t(line.size());
    std::string joined = "-";
    for (int32_t i = 0; i < HandOverPieceCount(n); ++i) {
        std::string piece = line.substr(size_t(i * kHandOverPieceLimit), kHandOverPieceLimit);
        if (char* done = HandOverAppend(joiner, HandOverFlags(n, i), piece.c_str())) {
            joined = done;
            HandOverFree(done);
        }
    }
    return joined;
}

TEST(HandOver, PiecesAndFlags) {
    EXPECT_EQ(HandOverPieceCount(200), 1);
    EXPECT_EQ(HandOverFlags(200, 0), kMark | kHandOverFirst | kHandOverLast | 204u);
    EXPECT_EQ(HandOverPieceCount(201), 2);
    EXPECT_EQ(HandOverFlags(201, 0), kMark | kHandOverFirst | 205u);
    EXPECT_EQ(HandOverFlags(201, 1), kMark | kHandOverLast);
    EXPECT_TRUE(HandOverFits(16379));
    EXPECT_FALSE(HandOverFits(16380));
}

TEST(HandOver, JoinerRoundTripsLines) {
    HandOverJoiner joiner{};
    for (int32_t n : {1, 199, 200, 201, 400, 16379}) {
        std::string line(size_t(n), 'a');
        for (int32_t i = 0; i < n; ++i)
            line[size_t(i)] = char('a' + i % 26);
        EXPECT_EQ(RoundTrip(&joiner, line), line) << n;
        EXPECT_EQ(joiner.buffer, nullptr);
    }
}

TEST(HandOver, HostilePiecesDropTheTransfer) {
    HandOverJoiner joiner{};
    std::string piece(200, 'x');
    // Without a first piece.
    EXPECT_EQ(HandOverAppend(&joiner, kMark | kHandOverLast, piece.c_str()), nullptr);
    // A first piece announcing length 0, then a 200-character piece.
    EXPECT_EQ(HandOverAppend(&joiner, kMark | kHandOverFirst | 4u, ""), nullptr);
    EXPECT_EQ(HandOverAppend(&joiner, kMark | kHandOverLast, piece.c_str()), nullptr);
    EXPECT_EQ(joiner.buffer, nullptr);
    // More text than announced.
    EXPECT_EQ(HandOverAppend(&joiner, kMark | kHandOverFirst | 14u, "0123456789"), nullptr);
    EXPECT_EQ(HandOverAppend(&joiner, kMark | kHandOverLast, "abc"), nullptr);
    EXPECT_EQ(joiner.buffer, nullptr);
    // Another high word is ignored and leaves a transfer alone.
    EXPECT_EQ(HandOverAppend(&joiner, kMark | kHandOverFirst | 8u, "ab"), nullptr);
    EXPECT_EQ(HandOverAppend(&joiner, (0xBEEFu << 16) | kHandOverLast, "zz"), nullptr);
    char* done = HandOverAppend(&joiner, kMark | kHandOverLast, "cd");
    ASSERT_NE(done, nullptr);
    EXPECT_STREQ(done, "abcd");
    HandOverFree(done);
    // A valid hand-over still works afterwards.
    EXPECT_EQ(RoundTrip(&joiner, "prog C:\\a.zid"), "prog C:\\a.zid");
    HandOverReset(&joiner);
}

} // namespace
