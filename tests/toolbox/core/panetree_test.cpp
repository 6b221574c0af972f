#include "toolbox/core/panetree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pane_fixture.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/region.h"
#include "toolbox/core/surfacelist.h"

namespace {

std::vector<int32_t> g_messages;

int32_t RecordMessage(PaneRecord* pane, int32_t message, void*) {
    g_messages.push_back(pane->id * 100 + message);
    return 0;
}

class PaneTree : public PaneFixture {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        g_messages.clear();
        MakeRoot(200, 300, &RecordMessage);
        g_messages.clear();
    }
    void TearDown() override {
        if (root_) root_->surfaceList = nullptr; // the lists below are the test's own
        for (SurfaceList* l : lists_) {
            DisposeRegion(l->region);
            DisposeRegion(l->visible);
            delete l;
        }
        PaneFixture::TearDown();
    }
    // A bare surface list over the pane's rectangle.
    SurfaceList* AttachList(PaneRecord* pane, uint32_t flags) {
        SurfaceList* l = new SurfaceList{};
        l->pane = pane;
        l->flags = flags;
        l->rect = pane->windowRect;
        SurfaceLayout layout = SurfaceListLayout(l);
        l->region = NewRectRegion(&layout.content);
        l->visible = NewRegion();
        pane->surfaceList = l;
        lists_.push_back(l);
        return l;
    }
    std::vector<SurfaceList*> lists_;
};

TEST_F(PaneTree, RegionRectsOfRootFramedAndHiddenPanes) {
    Rect16 r = PaneRegionRect(root_);
    EXPECT_EQ(r.top, -1);
    EXPECT_EQ(r.bottom, 201);
    EXPECT_EQ(r.right, 301);
    const Rect16 at = {10, 10, 50, 60};
    PaneRecord* doubled = NewChildPane(root_, &at, kPaneFramed | kPaneDoubleFrame, &RecordMessage);
    PaneRecord* hidden = NewChildPane(root_, &at, kPaneHidden, &RecordMessage);
    PaneRecord* inner = NewChildPane(hidden, &at, 0, &RecordMessage);
    ASSERT_TRUE(doubled && hidden && inner);
    // Children sit at their local rectangle offset by the root's top-left
    // (-1, -1); a double frame grows the region rectangle by 1 all round.
    r = PaneRegionRect(doubled);
    EXPECT_EQ(r.top, 8);
    EXPECT_EQ(r.left, 8);
    EXPECT_EQ(r.bottom, 51);
    EXPECT_EQ(r.right, 61);
    EXPECT_TRUE(IsRegionEmpty(hidden->region));
    EXPECT_TRUE(IsRegionEmpty(inner->region)); // cut by its hidden parent
    EXPECT_FALSE(IsPaneTreeShown(inner));
    // Only the shown pane's area was invalidated at creation.
    ASSERT_EQ(HostCalls().size(), 1u);
    EXPECT_EQ(HostCalls()[0], "inval 8,8,51,61");
}

TEST_F(PaneTree, RegionsLeaveParentBarsAndMarkCoveredLists) {
    SurfaceList* list = AttachList(root_, kSurfaceBarVertical | kSurfaceBarHorizontal);
    const Rect16 all = {0, 0, 300, 400};
    PaneRecord* child = NewChildPane(root_, &all, 0, &RecordMessage);
    ASSERT_NE(child, nullptr);
    // The child stops at the parent's bar strips (thickness 16).
    EXPECT_TRUE(PointInRegion({183, 283}, child->region));
    EXPECT_FALSE(PointInRegion({100, 290}, child->region));
    EXPECT_FALSE(PointInRegion({190, 100}, child->region));
    EXPECT_FALSE(PointInRegion({190, 290}, child->region));
    EXPECT_TRUE(list->flags & kSurfacePartlyCovered);
    HidePane(child);
    EXPECT_FALSE(list->flags & kSurfacePartlyCovered);
    ShowPane(child);
    root_->flags |= kPaneChildrenDoNotClip;
    WindowRegionsUpdate(root_, nullptr);
    EXPECT_FALSE(list->flags & kSurfacePartlyCovered);
}

TEST_F(PaneTree, SiblingClippingAndHitTests) {
    const Rect16 left = {0, 0, 100, 100}, overlap = {50, 50, 150, 150};
    PaneRecord* a = NewChildPane(root_, &left, 0, &RecordMessage);
    PaneRecord* b = NewChildPane(root_, &overlap, kPaneClippedBySiblings, &RecordMessage);
    const Rect16 inner = {60, 60, 80, 80};
    PaneRecord* deep = NewChildPane(b, &inner, kPaneNoHitTest, &RecordMessage);
    ASSERT_TRUE(a && b && deep);
    EXPECT_FALSE(PointInRegion({60, 60}, b->region)); // cut by a
    EXPECT_EQ(PaneAtPoint(root_, {60, 60}), a);
    EXPECT_EQ(PaneAtPoint(root_, {120, 120}), nullptr); // deep is not hit-tested yet clips b
    EXPECT_EQ(PaneAtPoint(root_, {140, 140}), b);
    EXPECT_EQ(PaneAtPoint(root_, {190, 290}), root_);
    HidePane(a);
    EXPECT_EQ(PaneAtPoint(root_, {10, 10}), root_);
    EXPECT_EQ(PaneAtPoint(root_, {500, 500}), nullptr);
}

TEST_F(PaneTree, MoveAndResizeByZeroDoNothing) {
    const Rect16 at = {10, 10, 50, 60};
    PaneRecord* p = NewChildPane(root_, &at, 0, &RecordMessage);
    ASSERT_NE(p, nullptr);
    HostCalls().clear();
    MovePane(p, 10, 10);
    ResizePane(p, 40, 50);
    EXPECT_TRUE(HostCalls().empty());
    EXPECT_TRUE(g_messages.empty());
    MovePane(p, 20, 30);
    EXPECT_EQ(p->windowRect.top, 29);
    EXPECT_EQ(p->windowRect.right, 69);
    EXPECT_EQ(HostCalls(), (std::vector<std::string>{"inval 9,9,50,60", "inval 29,19,70,70"}));
    ResizePane(p, 10, 10);
    EXPECT_EQ(g_messages, std::vector<int32_t>{p->id * 100 + kPaneMessageResized});
}

TEST_F(PaneTree, SizeLimitsOfRootPanes) {
    struct Case {
        uint32_t flags;
        int16_t minH, minW;
    } cases[] = {
        {0, 4, 4},
        {kSurfaceBarVertical, 52, 20},
        {kSurfaceBarHorizontal, 20, 52},
        {kSurfaceBarVertical | kSurfaceBarHorizontal, 68, 68},
        {kSurfaceGrowBox, 20, 20},
        {kSurfaceBarVertical | kSurfaceGrowBox, 68, 20},
    };
    for (const Case& c : cases) {
        SurfaceList list{};
        list.flags = c.flags;
        root_->surfaceList = &list;
        Rect16 l = PaneSizeLimits(root_);
        EXPECT_EQ(l.top, c.minH) << c.flags;
        EXPECT_EQ(l.left, c.minW) << c.flags;
        EXPECT_EQ(l.bottom, 32000);
        EXPECT_EQ(l.right, 32000);
    }
    root_->surfaceList = nullptr;
    root_->limits = {100, 2, 500, 600}; // stored limits raise the minimum
    Rect16 l = PaneSizeLimits(root_);
    EXPECT_EQ(l.top, 100);
    EXPECT_EQ(l.left, 4);
    EXPECT_EQ(l.bottom, 500);
    const Rect16 at = {0, 0, 10, 10};
    PaneRecord* child = NewChildPane(root_, &at, 0, &RecordMessage);
    l = PaneSizeLimits(child);
    EXPECT_EQ(l.top, 0);
    EXPECT_EQ(l.right, 32000);
}

TEST_F(PaneTree, SplitGivesFarSideAndRemovalGivesItBack) {
    const Rect16 at = {0, 0, 200, 300};
    PaneRecord* top = NewChildPane(root_, &at, 0, &RecordMessage);
    ASSERT_NE(top, nullptr);
    PaneRecord* bottom = NewSplitPane(top, 120, kSplitVertical, 0, &RecordMessage);
    ASSERT_NE(bottom, nullptr);
    EXPECT_EQ(top->localRect.bottom, 120);
    EXPECT_EQ(bottom->localRect.top, 120);
    EXPECT_EQ(bottom->localRect.bottom, 200);
    EXPECT_EQ(top->splitNeighbours[kNeighbourAfter], bottom);
    EXPECT_EQ(bottom->splitNeighbours[kNeighbourBefore], top);
    PaneRecord* third = NewSplitPane(bottom, 160, kSplitVertical, 0, &RecordMessage);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(NewSplitPane(third, 500, kSplitVertical, 0, &RecordMessage), nullptr);
    // The middle one goes: the pane before takes its room and the links.
    DisposePane(bottom);
    EXPECT_EQ(top->localRect.bottom, 160);
    EXPECT_EQ(top->splitNeighbours[kNeighbourAfter], third);
    EXPECT_EQ(third->splitNeighbours[kNeighbourBefore], top);
    // The first one goes: the one after takes its whole area.
    DisposePane(top);
    EXPECT_EQ(third->localRect.top, 0);
    EXPECT_EQ(third->localRect.bottom, 200);
    EXPECT_EQ(third->splitNeighbours[kNeighbourBefore], nullptr);
    EXPECT_FALSE(third->flags & kPaneSplit);
}

int32_t g_disposeId = 0;
int32_t DisposingMessage(PaneRecord* pane, int32_t message, void* data) {
    RecordMessage(pane, message, data);
    if (pane->id == g_disposeId) DisposePane(pane);
    return 0;
}

TEST_F(PaneTree, MessageWalkSurvivesDisposal) {
    const Rect16 at = {0, 0, 10, 10};
    PaneRecord* a = NewChildPane(root_, &at, 0, &DisposingMessage);
    PaneRecord* a1 = NewChildPane(a, &at, 0, &DisposingMessage);
    PaneRecord* b = NewChildPane(root_, &at, 0, &DisposingMessage);
    ASSERT_TRUE(a && a1 && b);
    int32_t ida = a->id, ida1 = a1->id, idb = b->id, idroot = root_->id;
    root_->procedure = &DisposingMessage;
    g_disposeId = ida; // a goes with its child: the walk goes on with b
    SendPaneMessageTree(root_, kPaneMessageFrame, nullptr);
    EXPECT_EQ(g_messages,
              (std::vector<int32_t>{idroot * 100 + 21, ida * 100 + 21, idb * 100 + 21}));
    EXPECT_EQ(PaneFromId(ida1), nullptr);
    // The root itself goes: the walk ends.
    g_messages.clear();
    g_disposeId = idroot;
    SendPaneMessageTree(root_, kPaneMessageFrame, nullptr);
    root_ = nullptr;
    EXPECT_EQ(g_messages, std::vector<int32_t>{idroot * 100 + 21});
    EXPECT_EQ(PaneFromId(idb), nullptr);
}

} // namespace

namespace {

class PaneTreeDisposal : public PaneFixture {};

TEST_F(PaneTreeDisposal, ThePortsTreeGoesWithItsListsAndInvalidatesNothing) {
    MakeRoot(200, 300);
    PortRecord port{};
    root_->port = &port;
    port.rootPane = root_;
    const Rect16 at = {10, 10, 50, 80};
    PaneRecord* child = NewChildPane(root_, &at, 0, nullptr);
    ASSERT_NE(child, nullptr);
    ASSERT_NE(NewSurfaceList(nullptr, kSurfaceBarVertical, child, 0, 0), nullptr);
    port.focusPane = port.cursorPane = port.trackingPane = child;
    int32_t rootId = root_->id, childId = child->id;
    HostCalls().clear();
    DisposePaneTree(&port);
    root_ = nullptr;
    EXPECT_EQ(port.rootPane, nullptr);
    EXPECT_EQ(port.focusPane, nullptr);
    EXPECT_EQ(port.cursorPane, nullptr);
    EXPECT_EQ(port.trackingPane, nullptr);
    EXPECT_EQ(PaneFromId(rootId), nullptr);
    EXPECT_EQ(PaneFromId(childId), nullptr);
    for (const std::string& call : HostCalls())
        EXPECT_NE(call.rfind("inval", 0), 0u) << call;
    DisposePaneTree(&port); // nothing left
    DisposePaneTree(nullptr);
}

} // namespace
