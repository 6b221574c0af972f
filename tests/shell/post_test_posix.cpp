// Posting, sending and broadcasting on the recording host's windows, and
// the views' undo.
#include <string>

#include "db/dbdump.h"
#include "db/layers.h"
#include "shell/shellids.h"
#include "shell/recordinghost.h"

namespace {

class PostTest : public ShellTest {};

TEST_F(PostTest, PostedRecordLayout) {
    PostedCommand r = MakeCommandEvent(30083, 77);
    const auto* b = reinterpret_cast<const uint8_t*>(&r);
    int32_t v[5];
    std::memcpy(v, b, sizeof v);
    EXPECT_EQ(v[0], 26);
    EXPECT_EQ(v[1], 15);
    EXPECT_EQ(v[2], 30083);
    EXPECT_EQ(v[3], 0);
    EXPECT_EQ(v[4], 77);
    for (int i = 20; i < 32; ++i)
        EXPECT_EQ(b[i], 0);
}

TEST_F(PostTest, PostedCommandsRunInOrderAndGoneWindowsAreDropped) {
    ValidDesign();
    OpenBoard();
    int32_t board = g_shell.boardWindow;
    int32_t other = host.AddWindow();
    ShellPostAppCommand(30302);
    ShellPostFrameCommand(30083);
    host.Post(MakeCommandEvent(30026, other));
    ShellPostAppCommand(30304);
    host.CloseWindow(other);
    EXPECT_EQ(host.RunPosted(), 4);
    EXPECT_EQ(host.windows[board].received, (std::vector<int32_t>{30302, 30304}));
    EXPECT_EQ(host.Count("ZoomCommand 30302"), 1);
    EXPECT_EQ(host.Count("ZoomCommand 30304"), 1);
}

TEST_F(PostTest, BroadcastSkipsMinimisedAndTheCurrentView) {
    ValidDesign();
    OpenBoard();
    int32_t board = g_shell.boardWindow;
    int32_t a = host.AddWindow();
    int32_t b = host.AddWindow(true);
    ShellBroadcastCommand(30026);
    EXPECT_EQ(host.windows[a].received, (std::vector<int32_t>{30026}));
    EXPECT_TRUE(host.windows[b].received.empty());
    EXPECT_EQ(host.windows[board].received, (std::vector<int32_t>{30026}));
    // 30050 marks the design modified and skips the current view's window.
    DbHdr().modified = 0;
    ShellBroadcastCommand(30050);
    EXPECT_EQ(DbHdr().modified, 1);
    EXPECT_EQ(host.windows[board].received.size(), 1u);
    EXPECT_EQ(host.windows[a].received.back(), 30050);
    // 30056 skips it unless the view is live.
    ShellBroadcastCommand(30056);
    EXPECT_EQ(host.windows[board].received.back(), 30056);
    gCurWin->live = 0;
    ShellBroadcastCommand(30056);
    EXPECT_EQ(std::count(host.windows[board].received.begin(),
                         host.windows[board].received.end(), 30056),
              1);
}

TEST_F(PostTest, BroadcastSurvivesAHandlerClosingTheNextWindow) {
    ValidDesign();
    OpenBoard();
    static RecordingShellHost* s_host;
    static int32_t s_victim;
    s_host = &host;
    s_victim = host.AddWindow();
    host.SelectWindow(g_shell.boardWindow); // the board first, the victim after it
    g_editHandlers.artCommand = [](int32_t command) -> int32_t {
        if (command == 30026) s_host->CloseWindow(s_victim);
        return 0;
    };
    gCurWin = nullptr;
    ShellBroadcastCommand(30026);
    EXPECT_EQ(host.windows.count(s_victim), 0u);
}

TEST_F(PostTest, UndoInTheDesignViewRestoresTheDesign) {
    NewDesign();
    ValidDesign();
    OpenBoard();
    static int32_t s_changed;
    s_changed = 0;
    g_editHandlers.artCommand = [](int32_t command) -> int32_t {
        if (command == 30050) {
            ++s_changed;
            EXPECT_EQ(AltDepth(), 1); // the reopened level is open for the handlers
        }
        return command == 30032 ? 1 : 0;
    };
    Layer changed{};
    LayerGet(1, &changed);
    changed.recordId = -9; // the layer has its record id before the edit
    LayerPut(1, &changed);
    std::string before;
    DbDump(before);
    // An edit, committed.
    AltPush();
    changed.spacing[0] += 7;
    AltPut(5, 1, 0, &changed);
    AltPop(true);
    std::string edited;
    DbDump(edited);
    ASSERT_NE(edited, before);
    EXPECT_EQ(designCommand(30254), 1);
    std::string after;
    DbDump(after);
    EXPECT_EQ(after, before);
    EXPECT_EQ(s_changed, 1);
    EXPECT_EQ(AltDepth(), 0);
    // Nothing left to undo... a second undo redoes; with no step: the note.
    AltForget();
    host.lines.clear();
    designCommand(30254);
    EXPECT_TRUE(host.Has("Note Nothing to UNDO"));
}

} // namespace
