// Swap with one selected component (the choices, the partner pick and its
// refusals, abort and finish), the swap over the whole board, the shift of
// the selection onto a corner, the Place view's pair lines and the Route
// view's connection pictures, driven through the recording host.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/conns.h"
#include "place/plpair.h"
#include "place/plrotate.h"
#include "place/tool/uptool.h"
#include "uptoolfixture.h"

namespace {

class UpSwapTest : public UpToolFixture {
  protected:
    int32_t Count(const std::string& line) const {
        return int32_t(std::count(host.lines.begin(), host.lines.end(), line));
    }
    static bool Traced(const std::string& line) {
        const auto& lines = TraceCapture::Lines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    // Picks a at (x, y) and asks for a swap: the tool waits for the partner.
    void WaitForPartner(int32_t x, int32_t y) {
        driver.Click(x, y);
        ASSERT_EQ(AltDepth(), 1);
        host.Take();
        driver.Send(kUpSwap);
        ASSERT_EQ(host.hook, &swapDrag);
    }
};

TEST_F(UpSwapTest, OneSelectedShowsTheChoicesAndSwapsWithThePartner) {
    const int32_t a = Place(two, 1000, 1000), b = Place(two, 9000, 4000);
    Place(two, 15000, 1000, 0, 5400);       // another angle
    Place(topOnly, 20000, 1000);            // another symbol
    Place(two, 25000, 1000, kUpCompFixed);  // fixed
    Place(two, 28000, 1000, kUpCompLocked); // locked
    const int32_t c = Place(two, 32000, 1000);
    const int32_t k = Connect(AddNet(), a, 2, c, 2);
    Conn before;
    ConnGet(k, &before);
    Start();
    TraceCapture trace;
    WaitForPartner(1000, 1000);
    EXPECT_EQ(host.window.FollowCursor, 0);
    EXPECT_EQ(AltDepth(), 1); // the choices' level is gone again
    EXPECT_EQ(Count("DrawRatLines 5"), 3);
    EXPECT_TRUE(host.Saw("DrawAlt 5"));
    EXPECT_TRUE(host.Saw("SetCursorKind 0"));
    EXPECT_TRUE(host.Saw("MsgPromptId 52103"));
    for (const char* line : {"swapComp: DragCount = 1", "swapComp: Ready to install SwapDrag",
                             "drawAllSwapChoices: 3 choices found", "swapComp: Installed SwapDrag"})
        EXPECT_TRUE(Traced(line)) << line;
    // While waiting: tracking keeps the plain cursor, Swap and Conn only
    // remind, a click beside everything beeps and keeps waiting.
    host.Take();
    driver.Send(kUpTrack);
    EXPECT_EQ(host.lines, std::vector<std::string>{"SetCursorKind 0"});
    driver.Send(kUpSwap);
    driver.Send(kUpConnDisplay);
    EXPECT_EQ(Count("MsgNote Select second component for swap"), 2);
    driver.At(50000, 50000);
    driver.Send(kUpButtonUp);
    EXPECT_TRUE(host.Saw("UBeep"));
    EXPECT_EQ(AltDepth(), 1);
    EXPECT_EQ(host.hook, &swapDrag);
    // The partner: the two exchange places and the level is committed.
    host.Take();
    driver.At(9000, 4000);
    driver.Send(kUpButtonUp);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(host.hook, nullptr);
    EXPECT_TRUE(host.Saw("DrawAlt 1"));
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 1"));
    EXPECT_EQ(CompRef(a)->x, 9000);
    EXPECT_EQ(CompRef(a)->y, 4000);
    EXPECT_EQ(CompRef(b)->x, 1000);
    EXPECT_EQ(CompRef(b)->y, 1000);
    Conn after;
    ConnGet(k, &after);
    EXPECT_EQ(after.crn[0].x - before.crn[0].x, 8000); // the end followed a's pin
    EXPECT_EQ(after.crn[0].y - before.crn[0].y, 3000);
    for (const char* line : {"swapDrag: IDM_SELECT.", "pickSwap:  Swap with P2",
                             "swapDrag: Ready to call doSwap.", "doSwap: P1 with P2"})
        EXPECT_TRUE(Traced(line)) << line;
}

TEST_F(UpSwapTest, RouteViewSwapWithTheRouterOpen) {
    AddRect(kObsBoardOutline, 0, 0, 0, 60000, 60000);
    const int32_t a = Place(two, 10000, 10000), b = Place(two, 40000, 10000);
    const int32_t k = Connect(AddNet(), a, 2, Place(two, 20000, 30000), 1);
    Conn c;
    ConnGet(k, &c);
    const int32_t dx = c.crn[0].x - 10000, dy = c.crn[0].y - 10000; // a's pin 2
    OpenRouter(60000);
    Start(kViewRoute);
    WaitForPartner(10000, 10500);
    driver.At(40000, 10500);
    driver.Send(kUpButtonUp);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 1"));
    EXPECT_EQ(CompRef(a)->x, 40000);
    EXPECT_EQ(CompRef(b)->x, 10000);
    ConnGet(k, &c);
    EXPECT_EQ(c.crn[0].x, 40000 + dx); // the end followed the pin
    EXPECT_EQ(c.crn[0].y, 10000 + dy);
}

TEST_F(UpSwapTest, FixedPartnerIsRefusedAndALockedOneKeepsItsLock) {
    const int32_t a = Place(two, 1000, 1000);
    Place(two, 9000, 1000, kUpCompFixed);
    const int32_t locked = Place(two, 17000, 1000, kUpCompLocked);
    Start();
    WaitForPartner(1000, 1000);
    driver.At(9000, 1000);
    driver.Send(kUpButtonUp);
    EXPECT_TRUE(host.Saw("AlertMessage Component P2 is fixed"));
    EXPECT_EQ(AltDepth(), 1);
    host.confirms = {0};
    driver.At(17000, 1000);
    driver.Send(kUpButtonUp);
    EXPECT_TRUE(host.Saw("ConfirmMessage Component P3 is locked.  Override?"));
    EXPECT_EQ(AltDepth(), 1);
    EXPECT_EQ(host.hook, &swapDrag);
    driver.Send(kUpButtonUp); // yes
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(CompRef(a)->x, 17000);
    EXPECT_EQ(CompRef(locked)->x, 1000);
    EXPECT_EQ(CompRef(locked)->flags & kUpCompLocked, kUpCompLocked);
}

TEST_F(UpSwapTest, AbortOrFinishWhileWaitingLetsTheSelectionGo) {
    const int32_t a = Place(two, 1000, 1000);
    Place(two, 9000, 1000);
    Start();
    for (int32_t command : {kUpAbort, kUpFinish}) {
        WaitForPartner(1000, 1000);
        host.Take();
        driver.Send(command);
        EXPECT_TRUE(host.Saw("DrawAlt 1")) << command;
        EXPECT_EQ(AltDepth(), 0) << command; // no level left without a hook
        EXPECT_EQ(host.hook, nullptr) << command;
        EXPECT_EQ(host.window.FollowCursor, 1) << command;
        EXPECT_EQ(CompRef(a)->x, 1000) << command;
    }
}

TEST_F(UpSwapTest, PartnerPickIsCheckedForTheJournalDepth) {
    Place(two, 1000, 1000);
    Place(two, 9000, 1000);
    Start();
    WaitForPartner(1000, 1000);
    AltPush();
    g_debug = 1;
    HeadlessSetFatalHook(&ThrowingFatalHook);
    driver.At(9000, 1000);
    EXPECT_FATAL(driver.Send(kUpButtonUp), kErrUpSwapDepth);
    g_debug = 0;
    AltForget();
}

TEST_F(UpSwapTest, EveryComponentSelectedRunsTheImprovementOverTheBoard) {
    AddRect(kObsBoardOutline, 0, 0, 0, 30000, 30000);
    Place(two, 1000, 1000);
    Place(two, 9000, 4000);
    Place(two, 5000, 8000);
    Start();
    driver.Rect(0, 0, 30000, 30000);
    ASSERT_EQ(g_up.selCount, 3);
    TraceCapture trace;
    driver.Send(kUpSwap);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 1"));
    EXPECT_TRUE(Traced("swapComp: DragCount = 3"));
}

TEST_F(UpSwapTest, SelectionShiftPutsTheLowestPinCornerOnTheTarget) {
    const int32_t a = Place(two, 3000, 2000), b = Place(two, 8000, 5000);
    Place(two, 3000, 2000, kUpCompUnplaced); // never picked
    Start();
    driver.Rect(0, 0, 10000, 10000);
    int32_t px, py;
    ASSERT_TRUE(UpSelPinMin(&px, &py));
    AltPush();
    UpSelShift(px - 500, py + 300);
    int32_t qx, qy;
    ASSERT_TRUE(UpSelPinMin(&qx, &qy));
    EXPECT_EQ(qx, px - 500);
    EXPECT_EQ(qy, py + 300);
    Component r;
    AltSave(kRecComponent, b, &r);
    EXPECT_EQ(r.x, 7500);
    EXPECT_EQ(r.minX, CompRef(b)->minX - 500); // the box moved along
    AltSave(kRecComponent, a, &r);
    EXPECT_EQ(r.y, 2300);
    AltPop(false);
    driver.Send(kUpAbort);
}

TEST_F(UpSwapTest, PairLinesOfAClusterAreSpreadAroundIt) {
    const int32_t m = AddPart(two, {.x = 10000, .y = 10000, .radius = 4000});
    Component r = *CompRef(m);
    r.compRef = int16_t(m);
    CompPut(m, &r);
    const int32_t x = Place(two, 20000, 10000), y = Place(two, 10000, 30000);
    Start(kViewPlace);
    // Connected after the start's validation, which may turn them round:
    // the master's two lines start at it.
    Connect(AddNet(), m, 1, x, 1);
    Connect(AddNet(), m, 2, y, 1);
    Connect(AddNet(), x, 2, y, 2);
    UpRatLines(0);
    EXPECT_EQ(g_up.pairShown, 1);
    EXPECT_TRUE(host.Saw("RatLinesFree"));
    PlPairTable plain;
    ASSERT_EQ(PlPairsOfComp(m, &plain, 0), 2);
    std::vector<PlPairEntry> spread, others;
    for (const PlPairEntry& e : host.ratLines)
        (e.comp1 == m ? spread : others).push_back(e);
    ASSERT_EQ(spread.size(), 2u);
    // k = 1 of 2 at half a turn, k = 2 at a full turn: r / 2 below and above.
    EXPECT_EQ(spread[0].x1, plain.entry[0].x1);
    EXPECT_EQ(spread[0].y1, plain.entry[0].y1 - 2000);
    EXPECT_EQ(spread[1].x1, plain.entry[1].x1);
    EXPECT_EQ(spread[1].y1, plain.entry[1].y1 + 2000);
    EXPECT_EQ(spread[0].x2, plain.entry[0].x2); // the far ends stay
    ASSERT_EQ(others.size(), 1u);
    PlPairTable own;
    ASSERT_EQ(PlPairsOfComp(others[0].comp1, &own, 0), 1);
    EXPECT_EQ(others[0].y1, own.entry[0].y1); // no cluster: not spread
    UpRatLines(0);
    EXPECT_EQ(g_up.pairShown, 0);
}

TEST_F(UpSwapTest, RouteViewDragRedrawsTheMovedConnections) {
    const int32_t a = Place(two, 1000, 1000), b = Place(two, 20000, 1000);
    Connect(AddNet(), a, 1, b, 1);
    for (int32_t view : {kViewDesign, kViewRoute}) {
        Start(view);
        driver.Click(1000, 1000);
        host.Take();
        driver.Drag(2000, 1000);
        const bool route = view == kViewRoute;
        EXPECT_EQ(host.Saw("DrawBoardObject 1 0 1 0"), route) << view; // the old picture
        EXPECT_EQ(host.Saw("DrawBoardObject 0 0 1 0"), route) << view; // the new one
        driver.Send(kUpAbort);
    }
}

} // namespace
