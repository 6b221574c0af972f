// The placement tool driven as the shell drives it: commands and points
// through the recording host, checked by the host's lines, the window
// record and the journal.
#include "place/tool/uptool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/lang.h"
#include "db/names.h"
#include "db/placestrat.h"
#include "place/plfixture.h"
#include "place/plmatrix.h"
#include "place/plrotate.h"
#include "place/tool/placehost.h"
#include "recordinghost.h"
#include "uptoolfixture.h"
#include "db/dbextent.h"
#include "db/sweeps.h"
#include "router/mzgrid.h"
#include "router/objtable.h"
#include "router/objvalidate.h"
#include "router/uralloc.h"
#include "router/rulesvc.h"
#include "router/urstate.h"
#include "rules/rulesinstall.h"

namespace {

using UpToolTest = UpToolFixture;

TEST_F(UpToolTest, GridRounding) {
    struct Case {
        int32_t v, grid, round, down;
    } cases[] = {
        {14, 10, 10, 10},    {15, 10, 10, 10},    {16, 10, 20, 10}, {-4, 10, 0, -10},
        {-16, 10, -20, -20}, {-15, 10, -20, -20}, {0, 10, 0, 0},    {1234, 0, 1234, 1234},
    };
    for (const Case& t : cases) {
        EXPECT_EQ(UpGridRound(t.v, t.grid), t.round) << t.v << " / " << t.grid;
        EXPECT_EQ(UpGridSnapDown(t.v, t.grid), t.down) << t.v << " / " << t.grid;
    }
}

TEST_F(UpToolTest, InitInThePlaceAndLibraryViews) {
    DbHeader h;
    DbGetHeader(&h);
    h.flags &= uint16_t(~kUpHeaderBits);
    DbPutHeader(&h);
    host.window.WindowKind = kViewPlace;
    ASSERT_EQ(UpInit(), 1);
    EXPECT_EQ(DbHdr().flags & kUpHeaderBits, kUpHeaderBits);
    EXPECT_EQ(host.window.flags, kUpPlaceWindowBits);
    EXPECT_TRUE(host.Saw("menuEnableCommand 30446 2"));
    EXPECT_TRUE(host.Saw("menuEnableCommand 30448 3"));
    EXPECT_TRUE(host.Saw("upResetDrawState"));
    EXPECT_EQ(host.lines.back(), "SetCursorKind 2");
    host.Take();
    host.window = PlaceAppWindow{};
    host.window.WindowKind = kViewLibrary;
    ASSERT_EQ(UpInit(), 1);
    EXPECT_EQ(host.window.flags, kUpLibraryWindowBits);
    std::vector<std::string> states;
    for (const std::string& l : host.lines)
        if (l.rfind("menuEnableCommand", 0) == 0) states.push_back(l);
    EXPECT_EQ(states,
              (std::vector<std::string>{"menuEnableCommand 30446 2", "menuEnableCommand 30448 2",
                                        "menuEnableCommand 30424 2", "menuEnableCommand 30426 2",
                                        "menuEnableCommand 30428 2", "menuEnableCommand 30430 2",
                                        "menuEnableCommand 30422 2", "menuEnableCommand 30432 2"}));
    // The display not ready, then a failed allocation.
    host.displayInit = 0;
    EXPECT_EQ(UpInit(), 0);
    host.displayInit = 1;
    g_upAlloc = [](size_t) -> void* { return nullptr; };
    EXPECT_EQ(UpInit(), 0);
    EXPECT_EQ(host.window.failMessage, kMsgNoRam);
}

TEST_F(UpToolTest, PickRanking) {
    // Two components under the point: the one on the active layer wins
    // though the other is nearer.
    const int32_t near = Place(two, 0, 0);       // both layers: side 0
    const int32_t far = Place(topOnly, 0, -400); // top only: side 1
    (void)near;
    Start();
    host.window.activeLayer = 2;
    driver.Click(0, 200);
    EXPECT_EQ(ItemOf(kRecComponent, near).flags & kUpItemMapped, kUpItemMapped);
    EXPECT_EQ(ItemOf(kRecComponent, far).type, 0);
    driver.Send(kUpAbort);
    ASSERT_EQ(AltDepth(), 0);
    host.window.activeLayer = 1;
    driver.Click(0, 200);
    EXPECT_EQ(ItemOf(kRecComponent, far).flags & kUpItemMapped, kUpItemMapped);
    EXPECT_EQ(ItemOf(kRecComponent, near).type, 0);
    driver.Send(kUpAbort);
}

TEST_F(UpToolTest, PickSkipsAndRefusals) {
    const int32_t a = Place(two, 0, 0);
    const int32_t b = Place(two, 0, 0); // equal distance: the earlier wins
    const int32_t hidden = Place(two, 5000, 0, kUpCompUnplaced);
    const int32_t fixed = Place(two, 10000, 0, kUpCompFixed);
    const int32_t locked = Place(two, 20000, 0, kUpCompLocked);
    (void)hidden;
    (void)fixed;
    Start();
    host.window.activeLayer = 5;
    driver.Click(0, 500);
    EXPECT_NE(ItemOf(kRecComponent, a).type, 0);
    EXPECT_EQ(ItemOf(kRecComponent, b).type, 0);
    EXPECT_EQ(ItemOf(kRecComponent, a).word1, 1); // the nearest pin, at (0, 0)
    driver.Send(kUpAbort);
    host.Take();
    driver.Click(5000, 500);
    EXPECT_TRUE(host.Saw("MsgNote No nearby component or pin"));
    driver.Click(10000, 500);
    EXPECT_TRUE(host.Saw("AlertMessage Component P4 is fixed"));
    EXPECT_EQ(AltDepth(), 0);
    host.confirms = {0};
    driver.Click(20000, 500);
    EXPECT_TRUE(host.Saw("ConfirmMessage Component P5 is locked.  Override?"));
    EXPECT_EQ(AltDepth(), 0);
    driver.Click(20000, 500); // yes
    ASSERT_EQ(AltDepth(), 1);
    EXPECT_EQ(Stored(locked).flags & kUpCompLocked, 0);
    driver.Send(kUpAbort);
    EXPECT_EQ(CompRef(locked)->flags & kUpCompLocked, kUpCompLocked);
}

TEST_F(UpToolTest, ClusterMasterByRadiusMembersFollow) {
    Part m;
    m.x = 10000;
    m.y = 10000;
    m.radius = 3000;
    const int32_t master = AddPart(two, m);
    Component r = Stored(master);
    r.compRef = int16_t(master);
    CompPut(master, &r);
    Part p;
    p.x = 10500;
    p.y = 10000;
    p.master = int16_t(master);
    const int32_t member = AddPart(two, p);
    const int32_t lockedMember =
        AddPart(two, {.x = 10200, .y = 10000, .flags = kUpCompLocked, .master = int16_t(master)});
    Start();
    host.window.FollowCursor = 0;
    driver.Click(10500, 12500); // within the radius, outside every box
    ASSERT_EQ(AltDepth(), 1);
    EXPECT_NE(ItemOf(kRecComponent, master).type, 0);
    EXPECT_NE(ItemOf(kRecComponent, member).type, 0);
    EXPECT_EQ(ItemOf(kRecComponent, lockedMember).type, 0); // no override confirmed
    driver.Send(kUpAbort);
    driver.Click(10500, 14000); // beyond the radius; the member is never hit
    EXPECT_EQ(AltDepth(), 0);
}

TEST_F(UpToolTest, RectanglePickAsksOnceForLocked) {
    Place(two, 1000, 1000);
    Place(two, 2000, 1000, kUpCompLocked);
    Place(two, 3000, 1000, kUpCompLocked);
    Place(two, 9000, 1000);
    Start();
    EXPECT_EQ(driver.Rect(0, 0, 5000, 5000), 1);
    int32_t asked = 0;
    for (const std::string& l : host.lines)
        asked += l == "ConfirmMessage One or more components locked.  Override?";
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(g_up.selCount, 3);
    driver.Send(kUpAbort);
    host.Take();
    driver.Rect(50000, 50000, 60000, 60000);
    EXPECT_TRUE(host.Saw("UBeep"));
    EXPECT_EQ(AltDepth(), 0);
}

TEST_F(UpToolTest, DragSnapsAndConnectionsFollow) {
    SetHeader(1, 1000, 10, 10);
    const int32_t a = Place(two, 1000, 1000);
    const int32_t turned = Place(two, 5003, 1000, 0, 2700);
    const int32_t b = Place(two, 20000, 1000);
    const int32_t net = AddNet();
    const int32_t k = Connect(net, a, 1, b, 1);
    Start();
    driver.Click(1000, 1200);
    driver.Drag(1016, 1214);
    EXPECT_EQ(Stored(a).x, 1020);
    EXPECT_EQ(Stored(a).y, 1010);                     // the pick snapped it down to 1000
    EXPECT_EQ(Stored(a).minX, CompRef(a)->minX + 20); // the box moves along
    Conn c;
    AltSave(kRecConn, k, &c);
    EXPECT_EQ(c.crn[0].x, 1020);
    driver.Drag(1020, 1210, true);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(CompRef(a)->x, 1020);
    // A turned component moves by the offset but is not snapped: picked
    // at 5000 from 5003, dragged by 10 - 3.
    driver.Click(5003, 1500);
    driver.Drag(5013, 1500, true);
    EXPECT_EQ(CompRef(turned)->x, 5007);
}

TEST_F(UpToolTest, RouteViewDragStaysInsideTheWindow) {
    const int32_t a = Place(two, 1000, 1000);
    const int32_t b = Place(two, 3000, 1000);
    Start(kViewRoute);
    g_mzGrid.window = MzBox{0, 0, 4000, 4000};
    driver.At(1000, 1000);
    driver.Rect(0, 0, 4000, 4000);
    ASSERT_EQ(g_up.selCount, 2);
    driver.Drag(2000, 1000); // b would leave the window
    EXPECT_EQ(Stored(a).x, 1000);
    EXPECT_EQ(Stored(b).x, 3000);
    driver.Drag(2300, 1000);
    EXPECT_EQ(Stored(a).x, 1300);
    EXPECT_EQ(Stored(b).x, 3300);
    driver.Send(kUpAbort);
}

TEST_F(UpToolTest, CommitEnablesUndoUnlessComponentsWereAddedOrDeleted) {
    const int32_t a = Place(two, 1000, 1000);
    Start();
    driver.Click(1000, 1200);
    driver.Drag(2000, 1200, true);
    EXPECT_TRUE(host.Saw("BroadcastCommand 30050"));
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 1"));
    EXPECT_FALSE(host.Saw("menuEnableCommand 30254 2"));
    EXPECT_EQ(host.hook, nullptr);
    EXPECT_EQ(CompRef(a)->x, 2000);
    host.Take();
    driver.Click(2000, 1200);
    AltItemHeader h = ItemOf(kRecComponent, a);
    void* image = UpItem(h.id, &h);
    h.flags |= kUpItemNew;
    AltItemPut(&h, image);
    driver.Drag(2500, 1200, true);
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 2"));
    EXPECT_FALSE(AltCanUndo());
}

TEST_F(UpToolTest, RefusedCommitInTheRouteView) {
    // Place outlines: a drop onto the other part fails the placement tree.
    AddRect(kObsPlaceOutline, two, -300, -300, 300, 1300);
    const int32_t a = Place(two, 1000, 1000);
    Place(two, 2000, 1000);
    Start(kViewRoute);
    driver.Click(1000, 1200);
    driver.Drag(2000, 1200, true);
    EXPECT_TRUE(host.Saw("MsgNote Unable to clear design rule checks"));
    EXPECT_EQ(AltDepth(), 1); // following the cursor: still open
    EXPECT_EQ(host.window.FollowCursor, 1);
    host.Take();
    host.window.FollowCursor = 0;
    EXPECT_EQ(UpRedraw(), 0);
    EXPECT_TRUE(host.Saw("PaintOriginal"));
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(host.window.FollowCursor, 1);
    EXPECT_EQ(CompRef(a)->x, 1000);
}

TEST_F(UpToolTest, AbortRejectsEverythingAndLetsGo) {
    const int32_t a = Place(two, 1000, 1000);
    Start();
    driver.Click(1000, 1200);
    driver.Drag(3000, 1200);
    host.Take();
    driver.Send(kUpAbort);
    EXPECT_TRUE(host.Saw("PaintOriginal"));
    EXPECT_TRUE(host.Saw("SetToolEventHook none"));
    EXPECT_TRUE(host.Saw("SetIdleTask none"));
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(CompRef(a)->x, 1000);
}

TEST_F(UpToolTest, MenuSetupAndContextMenus) {
    host.window.WindowKind = kViewDesign;
    EXPECT_EQ(driver.Send(kUpMenuSetup), 1);
    std::vector<std::string> menu;
    for (const std::string& l : host.lines)
        if (l.rfind("menu", 0) == 0 || l.rfind("MsgPromptId", 0) == 0) menu.push_back(l);
    const std::vector<std::string> expected = {
        "menuAddCommand 1 30999 30204", "menuAddCommand 1 30200 30166",
        "menuAddCommand 1 30200 30212", "menuAddCommand 1 30200 30176",
        "menuAddCommand 1 30200 30168", "menuAddSeparator 1 30200",
        "menuAddCommand 1 30200 30160", "menuAddSeparator 1 30999",
        "menuAddCommand 1 30999 30156", "menuAddCommand 1 30999 30152",
        "menuAddCommand 1 30999 30162", "menuAddCommand 1 30999 30182",
        "menuAddCommand 1 30999 30368", "MsgPromptId 52101"};
    EXPECT_EQ(menu, expected);
    EXPECT_NE(g_up.selected, nullptr); // started on the way
    host.Take();
    driver.Send(kUpContextMenu);
    EXPECT_EQ(host.Take(), (std::vector<std::string>{
                               "NotImplemented", "NotImplemented2 30166", "NotImplemented2 30212",
                               "NotImplemented2 30182", "NotImplemented2 30368",
                               "NotImplemented2 30254", "NotImplemented4"}));
    Place(two, 0, 0);
    driver.Click(0, 0);
    host.Take();
    driver.Send(kUpContextMenu);
    EXPECT_EQ(host.Take(), (std::vector<std::string>{
                               "NotImplemented", "NotImplemented2 30204", "NotImplemented2 30156",
                               "NotImplemented2 30152", "NotImplemented3", "NotImplemented2 30162",
                               "NotImplemented2 30182", "NotImplemented2 30368",
                               "NotImplemented2 30402", "NotImplemented4"}));
    driver.Send(kUpAbort);
}

TEST_F(UpToolTest, CommandGates) {
    Place(two, 0, 0);
    Start();
    struct Case {
        int32_t command;
        const char* line;
    } cases[] = {
        {kUpQuickPlace, "AlertMessage No components selected"},
        {kUpAdjust, "AlertMessage No components selected"},
        {kUpRename, "AlertMessage No components selected"},
        {kUpSwap, "MsgNote No components selected"},
        {kUpMincon, "ReconnectNets"},
    };
    for (const Case& t : cases) {
        host.Take();
        EXPECT_EQ(driver.Send(t.command), 1);
        EXPECT_TRUE(host.Saw(t.line)) << t.command;
    }
    EXPECT_EQ(driver.Send(30999), 0);
    // A posted edit command refuses instead of picking.
    host.window.postedCommand = 1;
    host.Take();
    driver.At(0, 0);
    driver.Send(kUpFix);
    EXPECT_TRUE(host.Saw("AlertMessage No components selected"));
    EXPECT_EQ(AltDepth(), 0);
    host.window.postedCommand = 0;
    host.window.WindowKind = kViewPlace;
    host.Take();
    driver.Send(kUpMincon);
    EXPECT_TRUE(host.Saw("windowCommand 30640"));
}

TEST_F(UpToolTest, HookInstallFixLockAndConnectionDisplay) {
    const int32_t a = Place(two, 0, 0);
    Start();
    driver.Click(0, 0);
    EXPECT_TRUE(host.Saw("MsgPromptId 52102"));
    EXPECT_TRUE(host.Saw("MsgInfo Component \"P1\" "));
    EXPECT_NE(host.hook, nullptr);
    driver.Send(kUpConnDisplay);
    EXPECT_EQ(g_up.connDisplay, 0);
    driver.Send(kUpFix);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(CompRef(a)->flags & kUpCompFixed, kUpCompFixed);
    Component r = *CompRef(a);
    r.flags = 0;
    CompPut(a, &r);
    driver.At(0, 0);
    driver.Send(kUpLock); // picks at the cursor, then locks
    EXPECT_EQ(CompRef(a)->flags & kUpCompLocked, kUpCompLocked);
}

TEST_F(UpToolTest, ModifyWithoutASelectionOnlySaysSo) {
    Start();
    AltPush();
    EXPECT_EQ(UpToolHook(kUpModify), 1);
    EXPECT_TRUE(host.Saw("MsgNote No components selected"));
    EXPECT_FALSE(host.Saw("editCompDialogRun"));
    AltPop(false);
}

TEST_F(UpToolTest, ButtonUpOfAStandingSelectionAborts) {
    Place(two, 0, 0);
    Start();
    host.window.FollowCursor = 0;
    driver.Click(0, 0);
    ASSERT_EQ(AltDepth(), 1);
    host.Take();
    EXPECT_EQ(UpToolHook(kUpButtonUp), 0);
    EXPECT_TRUE(host.Saw("windowCommand 30026"));
    EXPECT_EQ(AltDepth(), 0);
}

TEST_F(UpToolTest, HookDepthIsChecked) {
    Place(two, 0, 0);
    Start();
    driver.Click(0, 0);
    AltPush();
    g_debug = 1;
    HeadlessSetFatalHook(&ThrowingFatalHook);
    EXPECT_FATAL(UpToolHook(kUpFix), kErrUpHookDepth);
    g_debug = 0;
    AltForget();
}

TEST_F(UpToolTest, QuickPlaceClampsTheStrategy) {
    AddRect(kObsBoardOutline, 0, 0, 0, 30000, 30000);
    Place(two, 1000, 1000);
    Place(two, 20000, 20000);
    PlaceStrategy s;
    PlaceStratGet(&s);
    s.attempts[0] = 500;
    s.iterations[0] = 300; // a cooling above 100 would end the run
    PlaceStratPut(&s);
    Start();
    driver.Rect(0, 0, 30000, 30000);
    host.Take();
    EXPECT_EQ(driver.Send(kUpQuickPlace), 1);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 1"));
    // Adjust improves the selection and commits the same way.
    driver.Rect(0, 0, 30000, 30000);
    host.Take();
    EXPECT_EQ(driver.Send(kUpAdjust), 1);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_TRUE(host.Saw("SetCursorKind 1"));
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 1"));
}

TEST_F(UpToolTest, RenameRenumbersTheSelection) {
    AddComp("R9", two, 0, 0);
    AddComp("R4", two, 5000, 0);
    Start();
    driver.Rect(-1000, -1000, 6000, 1000);
    driver.Send(kUpRename);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_NE(CompFind("R1"), 0);
    EXPECT_NE(CompFind("R2"), 0);
}

TEST_F(UpToolTest, RemapToggleWithoutLoadedObjects) {
    const int32_t a = Place(two, 0, 0);
    const int32_t b = Place(two, 5000, 0);
    const int32_t k = Connect(AddNet(), a, 1, b, 1);
    Start();
    AltPush();
    Conn c;
    AltSave(kRecConn, k, &c);
    const int32_t id = AltPut(kRecConn, k, 0, &c);
    AltItemHeader h;
    void* image = UpItem(id, &h);
    h.flags |= kAltDeleted | 0x80;
    AltItemPut(&h, image);
    UpRemapMoved();
    // 0x02 with 0x80 became 0x04, and the last step gave it 0x02 again.
    EXPECT_EQ(ItemOf(kRecConn, k).flags & 0x06, 0x06);
    AltPop(false);
}

TEST_F(UpToolTest, SideLayerZeroIsReplacedOnlyFromTheActiveLayer) {
    // A both-sided part first (side 0), then a nearer top part: the top
    // part replaces it only while the top layer is active; a top part
    // hit first is replaced by a nearer part of any side.
    const int32_t wide = Place(two, 0, 0);
    const int32_t nearer = Place(topOnly, 0, 300);
    Start();
    host.window.activeLayer = 2;
    driver.Click(0, 1000);
    EXPECT_NE(ItemOf(kRecComponent, wide).type, 0);
    EXPECT_EQ(ItemOf(kRecComponent, nearer).type, 0);
    driver.Send(kUpAbort);
    const int32_t first = Place(topOnly, 20000, 0);
    const int32_t second = Place(two, 20000, 300);
    driver.Click(20000, 1000);
    EXPECT_NE(ItemOf(kRecComponent, second).type, 0);
    EXPECT_EQ(ItemOf(kRecComponent, first).type, 0);
    driver.Send(kUpAbort);
}

TEST_F(UpToolTest, ConnectionsOutsideTheSelectionAreMarkedNotDrawn) {
    const int32_t a = Place(two, 0, 0);
    const int32_t b = Place(two, 5000, 0);
    const int32_t c = Place(two, 9000, 0);
    const int32_t net = AddNet();
    const int32_t inner = Connect(net, a, 1, b, 1);
    const int32_t outer = Connect(net, b, 2, c, 2);
    Start();
    driver.Click(0, 0);
    AltPush();
    Conn k;
    AltSave(kRecConn, outer, &k);
    AltPut(kRecConn, outer, 0, &k);
    UpMarkConnsOfSel(false);
    EXPECT_EQ(ItemOf(kRecConn, outer).flags & kUpItemNotDrawn, kUpItemNotDrawn);
    EXPECT_EQ(ItemOf(kRecConn, inner).flags & kUpItemNotDrawn, 0);
    UpMarkConnsOfSel(true);
    EXPECT_EQ(ItemOf(kRecConn, outer).flags & kUpItemNotDrawn, 0);
    AltPop(false);
    driver.Send(kUpAbort);
}

TEST_F(UpToolTest, ClickOverNewlyAddedComponentsDoesNothing) {
    const int32_t a = Place(two, 0, 0);
    Place(two, 5000, 0);
    Start();
    driver.Click(0, 0);
    AltItemHeader h = ItemOf(kRecComponent, a);
    void* image = UpItem(h.id, &h);
    h.flags |= kUpItemNew;
    AltItemPut(&h, image);
    host.Take();
    EXPECT_EQ(UpToolHook(kUpClick), 1);
    EXPECT_TRUE(host.lines.empty());
    driver.Send(kUpSwap);
    EXPECT_TRUE(host.Saw("MsgNote Cannot swap newly added comps"));
    // The abort rejects the level as any other does: no level and no hook
    // are left behind.
    driver.Send(kUpAbort);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(host.hook, nullptr);
}

// The edit commands the hook does not handle open a selection at the
// cursor (or keep the open one) and are answered 0, so that the shell
// passes them on.
TEST_F(UpToolTest, EditCommandsTheHookLeavesArePassedOn) {
    Place(two, 0, 0);
    Start();
    for (int32_t command : {kUpEdit30038, kUpOpposite, kUpCluster, kUpFootprint, kUpDelete}) {
        SCOPED_TRACE(command);
        driver.At(0, 0);
        EXPECT_EQ(driver.Send(command), 0); // picked at the cursor first
        EXPECT_EQ(AltDepth(), 1);
        EXPECT_EQ(host.hook, &UpToolHook);
        EXPECT_EQ(driver.Send(command), 0); // over the open selection
        EXPECT_EQ(AltDepth(), 1);
        driver.Send(kUpAbort);
    }
}

// A rectangle pick over an open selection rejects the open levels itself,
// so the debug mode's depth check ends nothing; only the new rectangle's
// components are selected and the moved one is back where it was.
TEST_F(UpToolTest, RectanglePickOverAnOpenSelectionRejectsItFirst) {
    const int32_t a = Place(two, 1000, 1000);
    const int32_t b = Place(two, 9000, 1000);
    Start();
    driver.Click(1000, 1200);
    driver.Drag(3000, 1200);
    AltPush();
    host.window.pickMinX = 8000;
    host.window.pickMinY = 0;
    host.window.pickMaxX = 12000;
    host.window.pickMaxY = 2000;
    g_debug = 1;
    HeadlessSetFatalHook(&ThrowingFatalHook);
    EXPECT_EQ(UpPickInRect(), 1);
    g_debug = 0;
    EXPECT_TRUE(host.Saw("PaintOriginal"));
    EXPECT_EQ(AltDepth(), 1);
    EXPECT_EQ(ItemOf(kRecComponent, a).type, 0);
    EXPECT_NE(ItemOf(kRecComponent, b).type, 0);
    EXPECT_EQ(Stored(a).x, 1000);
    driver.Send(kUpAbort);
}

TEST_F(UpToolTest, ScriptedDialogRunner) {
    static int32_t oks = 0;
    oks = 0;
    host.DlgOpen(
        [](int32_t code) -> int32_t {
            if (code != 1) return 0;
            int32_t v = -1;
            return ++oks > 1 && PlHost().DlgGetRangedNumber(kMsgNoCompsSelected, &v, 0, 100) &&
                   v == 42;
        },
        1, "T");
    host.script = {{{{kMsgNoCompsSelected, "200"}}, {}, true},
                   {{{kMsgNoCompsSelected, "500"}}, {}, true},
                   {{{kMsgNoCompsSelected, "42"}}, {}, true}};
    EXPECT_EQ(host.DlgRunModal(), 1);
    EXPECT_EQ(oks, 3);
    // The refusal names the control by its catalogue label.
    EXPECT_TRUE(host.Saw("AlertMessage No components selected must be between 0 and 100."));
    host.script = {{{}, {}, false}};
    EXPECT_EQ(host.DlgRunModal(), 0);
}

TEST_F(UpToolTest, RouteViewPicksOnlyInsideTheRoutingWindow) {
    Place(two, 1000, 1000);
    Place(two, 10000, 1000);
    Start(kViewRoute);
    g_mzGrid.window = MzBox{0, 0, 4000, 4000};
    host.Take();
    driver.Click(10000, 1000);
    EXPECT_TRUE(host.Saw("MsgNote No nearby component or pin"));
    EXPECT_EQ(driver.Rect(0, 0, 20000, 20000), 1);
    EXPECT_EQ(g_up.selCount, 1);
    driver.Send(kUpAbort);
}

TEST_F(UpToolTest, RouteViewCommitWithTheRouterOpen) {
    AddRect(kObsBoardOutline, 0, 0, 0, 60000, 60000);
    const int32_t a = Place(two, 10000, 10000);
    const int32_t b = Place(two, 40000, 10000);
    const int32_t k = Connect(AddNet(), a, 1, b, 1);
    OpenRouter(60000);
    Start(kViewRoute);
    driver.Click(10000, 10500);
    ASSERT_EQ(AltDepth(), 1);
    // Touched connections carry their object-table entry as key.
    EXPECT_EQ(ItemOf(kRecConn, k).key, ObjFindConn(k));
    driver.Drag(13000, 10500, true);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 1"));
    EXPECT_EQ(CompRef(a)->x, 13000);
    Conn c;
    ConnGet(k, &c);
    EXPECT_EQ(c.crn[0].x, 13000);
}

} // namespace

namespace {

// The selection's corner and every angle, read through the journal.
struct RotateView {
    int32_t px = 0, py = 0;
    std::vector<int32_t> angles;
};
RotateView ReadRotateView(const std::vector<int32_t>& comps) {
    RotateView v;
    UpSelPinMin(&v.px, &v.py);
    for (int32_t c : comps) {
        Component r;
        AltSave(kRecComponent, c, &r);
        v.angles.push_back(r.angle);
    }
    return v;
}

} // namespace

TEST_F(UpToolTest, FourRotatesBringEveryAngleBackAboutTheSameCorner) {
    const std::vector<int32_t> comps = {Place(two, 3000, 2000), Place(two, 8000, 5000, 0, 5400)};
    Start();
    driver.Rect(0, 0, 10000, 10000);
    ASSERT_EQ(AltDepth(), 1);
    const RotateView start = ReadRotateView(comps);
    const Component first = Stored(comps[0]), second = Stored(comps[1]);
    TraceCapture trace;
    g_verbose = 1;
    for (int32_t turn = 1; turn <= 4; ++turn) {
        driver.Send(kUpRotate);
        ASSERT_EQ(AltDepth(), 1) << turn; // the selection still follows the cursor
        const RotateView now = ReadRotateView(comps);
        EXPECT_EQ(now.px, start.px) << turn;
        EXPECT_EQ(now.py, start.py) << turn;
        for (size_t i = 0; i < comps.size(); ++i) {
            EXPECT_EQ(now.angles[i], (start.angles[i] + turn * 5400) % 21600) << turn;
            const AltItemHeader h = ItemOf(kRecComponent, comps[i]);
            EXPECT_EQ(h.word2, 0); // the increment is gone once the connections are rewritten
            EXPECT_FALSE(h.flags & kUpItemRotated);
        }
    }
    g_verbose = 0;
    const RotateView end = ReadRotateView(comps);
    EXPECT_EQ(end.angles, start.angles);
    EXPECT_EQ(Stored(comps[0]).x, first.x);
    EXPECT_EQ(Stored(comps[0]).y, first.y);
    EXPECT_EQ(Stored(comps[1]).x, second.x);
    EXPECT_EQ(Stored(comps[1]).y, second.y);
    const auto& lines = TraceCapture::Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "UpRotate: 2 selections"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "UpRotate: old rotation 5400"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "UpRotate: new rotation 10800"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "UpRotate: incr. rotation 5400"), lines.end());
}

TEST_F(UpToolTest, RotateWithTheHeaderStepAndGrid) {
    DbHeader h;
    DbGetHeader(&h);
    h.word268 = 2700; // rotation step
    h.word270 = 5400; // rotation grid
    DbPutHeader(&h);
    const int32_t a = Place(two, 3000, 2000);
    Start();
    driver.Rect(0, 0, 10000, 10000);
    driver.Send(kUpRotate);
    EXPECT_EQ(Stored(a).angle, 5400);
}

TEST_F(UpToolTest, MatrixPlaceFillsTheCellsOrSaysThereIsNone) {
    AddRect(kObsBoardOutline, 0, 0, 0, 32000, 32000);
    const int32_t a = Place(two, 25000, 25000), b = Place(two, 28000, 25000);
    Start();
    driver.Rect(20000, 20000, 32000, 32000);
    driver.Send(kUpMatrixPlace);
    EXPECT_TRUE(host.Saw("AlertMessage No matrix defined."));
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(CompRef(a)->x, 25000);

    const int32_t m = AddRect(kObsMatrix, 0, 0, 0, 1, 1);
    auto r = std::make_unique<Obstacle>();
    AltSave(kRecObstacle, m, r.get());
    const int32_t xs[] = {1000, 11000, 21000}, ys[] = {1000, 11000, kPlMatrixFiller};
    r->head.count = 3;
    for (int32_t i = 0; i < 3; ++i)
        r->pt[i] = ObsPoint{xs[i], ys[i], 0, 0};
    ObsPut(m, r.get());
    DbHeader h;
    DbGetHeader(&h);
    h.flags &= uint16_t(~kUpHeaderBits);
    DbPutHeader(&h);
    driver.Rect(20000, 20000, 32000, 32000);
    host.Take();
    driver.Send(kUpMatrixPlace);
    EXPECT_FALSE(host.Saw("AlertMessage No matrix defined."));
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 1"));
    EXPECT_EQ(DbHdr().flags & kUpHeaderBits, kUpHeaderBits);
    for (int32_t c : {a, b}) {
        EXPECT_LT(CompRef(c)->x, 21000) << c; // both went into the cells
        EXPECT_LT(CompRef(c)->y, 11000) << c;
    }
}

TEST_F(UpToolTest, SwapExchangesTwoAndBeepsOnNothing) {
    const int32_t a = Place(two, 1000, 1000), b = Place(two, 9000, 4000),
                  c = Place(two, 20000, 20000);
    const Component ra = *CompRef(a), rb = *CompRef(b);
    Start();
    EXPECT_EQ(swapComp(), 0);
    EXPECT_TRUE(host.Saw("UBeep"));
    driver.Rect(0, 0, 10000, 10000);
    ASSERT_EQ(g_up.selCount, 2);
    driver.Send(kUpSwap);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 1"));
    const Component na = *CompRef(a), nb = *CompRef(b);
    EXPECT_EQ(na.x, rb.x);
    EXPECT_EQ(na.y, rb.y);
    EXPECT_EQ(nb.x, ra.x);
    EXPECT_EQ(nb.y, ra.y);
    EXPECT_EQ(na.minX - na.x, ra.minX - ra.x); // each box moved with its component
    EXPECT_EQ(nb.maxY - nb.y, rb.maxY - rb.y);
    EXPECT_EQ(CompRef(c)->x, 20000);
    g_debug = 1;
    HeadlessSetFatalHook(&ThrowingFatalHook);
    AltPush();
    EXPECT_FATAL(doSwap(0, a), kErrUpSwapIndex);
    g_debug = 0;
    AltForget();
}

TEST_F(UpToolTest, SwapOfThreeRunsTheImprovementAndCommits) {
    AddRect(kObsBoardOutline, 0, 0, 0, 30000, 30000);
    Place(two, 1000, 1000);
    Place(two, 9000, 4000);
    Place(two, 5000, 8000);
    Place(two, 25000, 25000);
    Start();
    driver.Rect(0, 0, 10000, 10000);
    ASSERT_EQ(g_up.selCount, 3);
    driver.Send(kUpSwap);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_TRUE(host.Saw("SetCursorKind 1"));
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 1"));
}

// Rotate over a level without components does nothing: there is no corner
// to turn about.
TEST_F(UpToolTest, RotateWithoutAComponentDoesNothing) {
    Start();
    AltPush();
    EXPECT_EQ(UpRotate(), 0);
    EXPECT_EQ(AltDepth(), 1);
    EXPECT_EQ(AltCount(), 0);
    AltPop(false);
}

// Without a Matrix the journal's images, taken out of the placement tree,
// are put back before Matrix Place stops, so the open selection stays
// against a tree of its own images.
TEST_F(UpToolTest, NoMatrixPutsTheSelectionBackIntoTheTree) {
    AddRect(kObsPlaceOutline, two, -300, -300, 300, 1300);
    Place(two, 1000, 1000);
    Place(two, 5000, 1000);
    Start();
    driver.Click(1000, 1200);
    driver.Drag(2000, 1200);
    ASSERT_EQ(AltDepth(), 1);
    EXPECT_EQ(UpMatrixPlace(), 0);
    EXPECT_TRUE(host.Saw("AlertMessage No matrix defined."));
    EXPECT_EQ(AltDepth(), 1);
    EXPECT_EQ(PlTreeEntries(), PlTreeFreshEntries());
    driver.Send(kUpAbort);
}

// A Rotate after a click pick: the picked pin stays in spare word 1 and
// the rotation increment, in spare word 2, is cleared again; the debug
// mode's spare-word check ends nothing.
TEST_F(UpToolTest, RotateAfterAClickPickKeepsThePickedPin) {
    const int32_t a = Place(two, 3000, 2000);
    Start();
    driver.Click(3000, 2900); // nearest to pin 2
    ASSERT_EQ(ItemOf(kRecComponent, a).word1, 2);
    g_debug = 1;
    HeadlessSetFatalHook(&ThrowingFatalHook);
    driver.Send(kUpRotate);
    g_debug = 0;
    const AltItemHeader h = ItemOf(kRecComponent, a);
    EXPECT_EQ(h.word1, 2);
    EXPECT_EQ(h.word2, 0);
    EXPECT_EQ(Stored(a).angle, 5400);
    driver.Send(kUpAbort);
}
