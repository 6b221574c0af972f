// The information box and the error alert under Wine, answered through
// the modal script: texts, title, answers, the discarded events, an
// unexpected box dismissed, and nothing before the toolbox runs. Each case
// that shows a box runs in a process of its own.
#include <gtest/gtest.h>

#include "toolbox/core/alerts.h"
#include "toolbox/core/child_process_win32.h"
#include "toolbox/core/filespec.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/shellstart.h"
#include "toolbox/ui/modalscript.h"

namespace {

constexpr char kSuite[] = "WineAlertChild";

void StartToolbox() {
    StartChildCaseWatchdog();
    SetMainFrameParameters(nullptr, 0, 40, 40, 600, 400, true);
    InitApplicationShell("Pelvane", 0);
}

TEST(WineAlertChild, NothingBeforeTheToolboxRuns) {
    if (!IsChildCase("NothingBeforeTheToolboxRuns")) GTEST_SKIP() << "runs in its own process";
    StartChildCaseWatchdog();
    ModalScriptPush({kModalMessageBox, 0, {}, false, ""});
    EXPECT_EQ(ShowMessageAlert("too early"), 0);
    EXPECT_EQ(ShowErrorAlert(5), 0);
    EXPECT_TRUE(ModalScriptLog().empty());
    if (::testing::Test::HasFailure()) ExitProcess(kChildCaseFailedExit);
}

TEST(WineAlertChild, ErrorTextsThroughTheScript) {
    if (!IsChildCase("ErrorTextsThroughTheScript")) GTEST_SKIP() << "runs in its own process";
    StartToolbox();
    ModalScriptPush({kModalMessageBox, 0, {}, false, ""});
    ModalScriptPush({kModalMessageBox, 0, {}, false, ""});
    ModalScriptPush({kModalMessageBox, 0, {}, false, ""});
    EXPECT_EQ(ShowErrorAlert(0), 0);
    EXPECT_EQ(ShowErrorAlert(kFileErrCancelled), 0);
    EXPECT_EQ(ShowErrorAlert(kFileErrPathTooLong), IDOK);
    EXPECT_EQ(ShowErrorAlert(12345), IDOK);
    // Pending key events are discarded before the box.
    PostOsEvent(kOsWhatKeyDown, 'a');
    OsEventRecord found{};
    ASSERT_TRUE(FindQueuedOsEvent(kOsMaskKeyDown, &found, 0, false, false));
    EXPECT_EQ(ShowMessageAlert("Routing finished"), IDOK);
    EXPECT_FALSE(FindQueuedOsEvent(kOsMaskKeyDown, &found, 0, false, false));
    const std::vector<std::string>& log = ModalScriptLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "message \"Pelvane\" \"Error:  Path name too long.\"");
    EXPECT_EQ(log[1], "message \"Pelvane\" \"Error:  #12345\"");
    EXPECT_EQ(log[2], "message \"Pelvane\" \"Routing finished\"");
    EXPECT_EQ(ModalScriptPending(), 0);
    if (::testing::Test::HasFailure()) ExitProcess(kChildCaseFailedExit);
}

TEST(WineAlertChild, AnUnexpectedBoxIsDismissed) {
    if (!IsChildCase("AnUnexpectedBoxIsDismissed")) GTEST_SKIP() << "runs in its own process";
    StartToolbox();
    ModalScriptPush({kModalFolderBrowser, 0, {}, true, ""}); // not a message box
    DWORD start = GetTickCount();
    EXPECT_EQ(ShowMessageAlert("Nobody expects this"), IDCANCEL);
    EXPECT_GE(GetTickCount() - start, kModalUnexpectedMs - 100);
    ASSERT_EQ(ModalScriptLog().size(), 1u);
    EXPECT_EQ(ModalScriptLog()[0], "unexpected message \"Pelvane\" \"Nobody expects this\"");
    EXPECT_EQ(ModalScriptPending(), 1);
    if (::testing::Test::HasFailure()) ExitProcess(kChildCaseFailedExit);
}

TEST(WineAlert, NothingBeforeTheToolboxRuns) {
    EXPECT_EQ(RunChildCase(kSuite, "NothingBeforeTheToolboxRuns"), 0);
}

TEST(WineAlert, ErrorTextsThroughTheScript) {
    EXPECT_EQ(RunChildCase(kSuite, "ErrorTextsThroughTheScript"), 0);
}

TEST(WineAlert, AnUnexpectedBoxIsDismissed) {
    EXPECT_EQ(RunChildCase(kSuite, "AnUnexpectedBoxIsDismissed"), 0);
}

} // namespace
