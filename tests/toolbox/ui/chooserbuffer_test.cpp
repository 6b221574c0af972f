// The open chooser's buffer: several names after a folder, a single full
// path, the procedure's answers and hostile buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "toolbox/ui/chooserbuffer.h"

namespace {

struct Calls {
    std::vector<std::string> seen;
    int32_t stopAt = -1;
};

int32_t Record(FileSpec* spec, int32_t index, int32_t count, void* user) {
    Calls* calls = static_cast<Calls*>(user);
    calls->seen.push_back(std::string(spec->folder) + "|" + spec->name + "|" + spec->type + "|" +
                          std::to_string(index) + "/" + std::to_string(count));
    return index == calls->stopAt ? 77 : 0;
}

TEST(ChooserBufferTest, FolderThenNamesCallsPerName) {
    const char buffer[] = "C:\\work\\boards\0a.ZID\0b.ZID\0c.asc\0\0";
    Calls calls;
    EXPECT_EQ(DeliverChosenFiles(buffer, sizeof buffer, 0, &Record, &calls), 0);
    ASSERT_EQ(calls.seen.size(), 3u);
    EXPECT_EQ(calls.seen[0], "C:\\work\\boards|a.ZID||0/3");
    EXPECT_EQ(calls.seen[2], "C:\\work\\boards|c.asc||2/3");
    Calls stop;
    stop.stopAt = 1;
    EXPECT_EQ(DeliverChosenFiles(buffer, sizeof buffer, 0, &Record, &stop), 77);
    EXPECT_EQ(stop.seen.size(), 2u);
    // Files in a drive's root: the folder is the drive.
    const char root[] = "D:\\\0x.ZID\0y.ZID\0\0";
    Calls r;
    EXPECT_EQ(DeliverChosenFiles(root, sizeof root, 0, &Record, &r), 0);
    ASSERT_EQ(r.seen.size(), 2u);
    EXPECT_EQ(r.seen[1], "D:|y.ZID||1/2");
}

TEST(ChooserBufferTest, ASinglePathIsResolvedAndTyped) {
    const char buffer[] = "C:\\work\\board.ZID\0\0";
    Calls calls;
    EXPECT_EQ(DeliverChosenFiles(buffer, sizeof buffer, 14, &Record, &calls), 0);
    ASSERT_EQ(calls.seen.size(), 1u);
    EXPECT_EQ(calls.seen[0], "C:\\work|board.ZID|ZID|0/1");
    // A long extension is cut to 23 characters; no extension gives none.
    std::string path = "C:\\f." + std::string(40, 'e');
    path.push_back(0);
    Calls longType;
    DeliverChosenFiles(path.c_str(), int32_t(path.size()) + 1, 5, &Record, &longType);
    ASSERT_EQ(longType.seen.size(), 1u);
    EXPECT_EQ(longType.seen[0],
              "C:|f." + std::string(40, 'e') + "|" + std::string(23, 'e') + "|0/1");
    const char plain[] = "C:\\work\\README\0";
    Calls none;
    DeliverChosenFiles(plain, sizeof plain, 0, &Record, &none);
    ASSERT_EQ(none.seen.size(), 1u);
    EXPECT_EQ(none.seen[0], "C:\\work|README||0/1");
}

TEST(ChooserBufferTest, BuffersWithoutTheirEndAreReadWithinTheirSize) {
    // No terminating zeros at all: the text ends at the buffer's end.
    char buffer[16];
    std::memset(buffer, 'a', sizeof buffer);
    buffer[0] = 'C';
    buffer[1] = ':';
    buffer[2] = '\\';
    Calls calls;
    DeliverChosenFiles(buffer, sizeof buffer, 0, &Record, &calls);
    ASSERT_EQ(calls.seen.size(), 1u);
    // A folder too long for a spec is refused before any call.
    std::string longFolder = "C:\\" + std::string(300, 'f');
    longFolder += std::string("\0a\0b\0\0", 6);
    Calls refused;
    EXPECT_EQ(
        DeliverChosenFiles(longFolder.data(), int32_t(longFolder.size()), 0, &Record, &refused),
        kFileErrPathTooLong);
    EXPECT_TRUE(refused.seen.empty());
    Calls empty;
    EXPECT_EQ(DeliverChosenFiles("\0\0", 2, 0, &Record, &empty), kFileErrPathTooLong);
    EXPECT_TRUE(empty.seen.empty());
}

TEST(ChooserBufferTest, OnlyAChooserWithoutAnErrorWasCancelled) {
    EXPECT_EQ(ChooserFailureCode(0), kFileErrCancelled);
    EXPECT_EQ(ChooserFailureCode(0x3003), 0x3003); // the buffer was too small
}

} // namespace
