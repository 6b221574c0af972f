#include "db/err.h"

#include <gtest/gtest.h>

#include <string>

#include "db/lang.h"
#include "testutil.h"

namespace {

class ErrTest : public CoreTest {};

TEST_F(ErrTest, ReportCarriesCodeAndDetail) {
    struct Case {
        int32_t number;
        const char* detail;
    } cases[] = {
        {5, "5"},
        {0, "0"},
        {-1000, "-1000"},
        {-1001, "-1001, 64535"},
        {-25536, "-25536, 40000"},
        {32767, "32767"},
        {40000, "-25536, 40000"}, // the number is a 16-bit value
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_FATAL_DETAIL(ErrReport(5255009, c.number), 5255009, c.detail);
    }
}

TEST_F(ErrTest, FatalLineFormat) {
    char line[128];
    ErrFormatText(5255009, "5", line, sizeof line);
    EXPECT_STREQ(line, "Error code 5255.009 (5)");
    ErrFormatText(20425, "", line, sizeof line);
    EXPECT_STREQ(line, "Error code 0020.425");
    ErrFormatText(2163020, "Failed EXPECT", line, sizeof line);
    EXPECT_STREQ(line, "Error code 2163.020 (Failed EXPECT)");
    ErrFormatText(7, nullptr, line, sizeof line);
    EXPECT_STREQ(line, "Error code 0000.007");
}

TEST_F(ErrTest, FatalAndOutOfMemory) {
    EXPECT_FATAL_DETAIL(ErrFatal(21710), 21710, "");
    LangInit();
    EXPECT_FATAL_DETAIL(ErrOutOfMemory(37812), 37812, "Not enough RAM");
}

TEST_F(ErrTest, OutOfMemoryBeforeTheCatalogueStillReports) {
    EXPECT_FATAL_DETAIL(ErrOutOfMemory(37812), 37812, "Not enough RAM");
}

TEST_F(ErrTest, ExpectationsAreSoftWithoutTheStrictFlag) {
    bool reached = false;
    ExpectFail(5200001);
    ExpectAlt(5200002, 0);
    reached = true;
    EXPECT_TRUE(reached);

    DebugSetFlags(0, 1);
    EXPECT_FATAL_DETAIL(ExpectFail(5200001), 5200001, "Failed EXPECT");
    EXPECT_FATAL_DETAIL(ExpectAlt(5200002, 0), 5200002, "Failed EXPECT_ALT");
}

TEST_F(ErrTest, DebugSetFlagsSetsBothBytes) {
    DebugSetFlags(1, 0);
    EXPECT_EQ(g_verbose, 1);
    EXPECT_EQ(g_debug, 0);
    DebugSetFlags(0, 1);
    EXPECT_EQ(g_verbose, 0);
    EXPECT_EQ(g_debug, 1);
    EXPECT_EQ(DebugHook(), 1);
}

TEST_F(ErrTest, TracesAreCutAt200) {
    TraceCapture trace;
    std::string longText(300, 'x');
    DebugPrint("AltPush: %s", longText.c_str());
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0].size(), 200u);
    EXPECT_EQ(trace.lines[0].substr(0, 9), "AltPush: ");
}

TEST_F(ErrTest, WarningGoesToSinkLogAndShell) {
    TempAppFolder folder;
    TraceCapture trace;
    WarnPrint("%s", "ABC");
    ASSERT_EQ(trace.lines.size(), 2u);
    EXPECT_EQ(trace.lines[0], "**** FlashFormat ****");
    EXPECT_EQ(trace.lines[1], "ABC");
    std::string log = folder.ReadFile("Pelvane.Log");
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.substr(log.size() - 17), "*** Warning:ABC\r\n");
    ASSERT_EQ(HeadlessMessages(kHeadlessWarning).size(), 1u);
    EXPECT_EQ(HeadlessMessages(kHeadlessWarning)[0], "ABC");
}

TEST_F(ErrTest, WarningsAreCutAt100) {
    TempAppFolder folder;
    TraceCapture trace;
    std::string longText(150, 'w');
    WarnPrint("%s", longText.c_str());
    ASSERT_EQ(trace.lines.size(), 2u);
    EXPECT_EQ(trace.lines[1], std::string(100, 'w'));
    EXPECT_EQ(HeadlessMessages(kHeadlessWarning)[0], std::string(100, 'w'));
}

} // namespace
