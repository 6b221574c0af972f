// Disposal of window objects and the close-all walks, over fake ports.
#include <gtest/gtest.h>

#include <algorithm>

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/windowfocus.h"
#include "window_fixture.h"

namespace {

using WindowDisposal = WindowFixture;

TEST_F(WindowDisposal, OwnedWindowsGoFirstAndDisabledWindowsComeBack) {
    WindowObject* top = MakeWindow();
    WindowObject* other = MakeWindow();
    Rect16 r{10, 10, 100, 200};
    WindowObject* pane = NewPaneWindow(0, 0, 0, top, &r, nullptr, &RecordingCallback);
    Rect16 inner{5, 5, 30, 40};
    WindowObject* deep = NewPaneWindow(0, 0, 0, pane, &inner, nullptr, &RecordingCallback);
    ASSERT_NE(deep, nullptr);
    int32_t ids[] = {top->sequence, pane->sequence, deep->sequence};
    top->disabledList = NewGrowArray(Pool(), 4, 4);
    int32_t kept = other->sequence, gone = 999999, frame = -1;
    for (int32_t id : {kept, gone, frame})
        GrowArrayAppend(top->disabledList, &id);
    SeenEvents().clear();
    DisposeWindowObject(top);
    for (int32_t id : ids)
        EXPECT_EQ(WindowObjectFromId(id), nullptr);
    // Dispose notices deepest first, the top one last.
    std::vector<int32_t> order;
    for (const SeenEvent& e : SeenEvents())
        if (e.event.type == kWindowEventDispose) order.push_back(e.window);
    EXPECT_EQ(order, (std::vector<int32_t>{ids[2], ids[1], ids[0]}));
    EXPECT_EQ(EnabledIds(), (std::vector<int32_t>{kept, frame}));
    // The current port fell back to the window left.
    EXPECT_EQ(WindowObjectOfPort(DrawingLayer().currentPort()), other);
    DisposeWindowObject(nullptr);
}

TEST_F(WindowDisposal, AClosingRecordIsLeftAloneAndItsNoticeMayDisposeItAgain) {
    WindowObject* w = MakeWindow();
    int32_t id = w->sequence;
    w->flags |= kWindowFlagClosing;
    SeenEvents().clear();
    DisposeWindowObject(w);
    EXPECT_EQ(WindowObjectFromId(id), w);
    EXPECT_TRUE(TypesSeenBy(id).empty());
    w->flags &= ~kWindowFlagClosing;
    // The dispose notice's callback disposes the window again: it goes once.
    Reactions()[kWindowEventDispose] = [](WindowObject* window, WindowEvent*) {
        DisposeWindowObject(window);
        return 0;
    };
    DisposeWindowObject(w);
    EXPECT_EQ(WindowObjectFromId(id), nullptr);
    std::vector<uint32_t> seen = TypesSeenBy(id);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), uint32_t(kWindowEventDispose)), 1);
}

TEST_F(WindowDisposal, DisposalEndsTheWindowsOwnLoopLevelOnly) {
    WindowObject* w = MakeWindow();
    WindowObject* other = MakeWindow();
    int32_t token = 0, otherToken = 0;
    w->loopToken = RunEventLoopLevel(w, &token, false);
    ASSERT_NE(w->loopToken, nullptr);
    ASSERT_NE(RunEventLoopLevel(other, &otherToken, false), nullptr);
    DisposeWindowObject(w);
    EXPECT_EQ(EndEventLoopLevel(token, false), kModalNoLoop); // gone with its window
    EXPECT_EQ(EndEventLoopLevel(otherToken, false), 0);       // still there until now
}

TEST_F(WindowDisposal, ASplitPaneGivesItsRoomBackToItsNeighbour) {
    WindowObject* top = MakeWindow(kKindDocument, 0, 300, 400);
    Rect16 r{0, 0, 200, 300};
    WindowObject* pane = NewPaneWindow(5, 0, 0, top, &r, nullptr, &RecordingCallback);
    auto* paneRecord = static_cast<PaneRecord*>(pane->pane);
    Rect16 before = paneRecord->localRect;
    WindowObject* split =
        NewSplitPaneWindow(5, 0, 0, pane, 120, kSplitVertical, nullptr, &RecordingCallback);
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(paneRecord->localRect.bottom, 120);
    DisposeWindowObject(split);
    EXPECT_EQ(RectText(paneRecord->localRect), RectText(before));
    EXPECT_EQ(paneRecord->splitNeighbours[kNeighbourAfter], nullptr);
    // Disposing the owner takes its split panes too.
    split = NewSplitPaneWindow(5, 0, 0, pane, 100, kSplitVertical, nullptr, &RecordingCallback);
    int32_t splitId = split->sequence;
    DisposeWindowObject(pane);
    EXPECT_EQ(WindowObjectFromId(splitId), nullptr);
}

TEST_F(WindowDisposal, CloseAllStopsAtTheFirstRefusal) {
    WindowObject* first = MakeWindow();
    WindowObject* second = MakeWindow(kKindFloating);
    WindowObject* third = MakeWindow();
    WindowObject* tool = MakeWindow(kKindToolWindow);
    int32_t refuser = second->sequence;
    Reactions()[kWindowEventClose] = [refuser](WindowObject* w, WindowEvent* e) {
        EXPECT_EQ(e->close.quitting, 1);
        if (w->sequence == refuser) {
            RefuseClose();
            return 1;
        }
        return 0;
    };
    int32_t firstId = first->sequence;
    SeenEvents().clear();
    EXPECT_FALSE(RequestCloseAllWindows());
    EXPECT_EQ(WindowObjectFromId(firstId), nullptr);
    EXPECT_TRUE(TypesSeenBy(third->sequence).empty());
    EXPECT_TRUE(TypesSeenBy(tool->sequence).empty());
    int32_t toolId = tool->sequence;
    EXPECT_TRUE(DisposeAllWindows());
    EXPECT_EQ(WindowObjectFromId(toolId), nullptr);
}

} // namespace

namespace {

TEST_F(WindowDisposal, TheFrontDocumentOrDialogSkipsFloatingWindowsAndPanes) {
    WindowObject* floating = MakeWindow(kKindFloating);
    WindowObject* document = MakeWindow(kKindDocument);
    Rect16 r{10, 10, 60, 110};
    NewPaneWindow(0, 0, 0, floating, &r, nullptr, &RecordingCallback);
    EXPECT_EQ(FindNextWindowOfKinds(nullptr, kKindsDocumentOrDialog, 0), document);
    EXPECT_EQ(FindNextWindowOfKinds(nullptr, kKindsAny, 0), floating);
    EXPECT_EQ(FindNextWindowOfKinds(document, kKindsAny, 0), nullptr);
    EXPECT_EQ(FirstChildWindowObject(floating)->kind, kKindPane);
}

} // namespace

namespace {

TEST_F(WindowDisposal, AKeptChildOutlivesItsOwnerWithoutItsPane) {
    WindowObject* top = MakeWindow();
    Rect16 r{10, 10, 60, 110};
    WindowObject* kept = NewPaneWindow(0, 0, 0, top, &r, nullptr, &RecordingCallback);
    kept->kind = kKindKeptChild;
    DisposeWindowObject(top);
    ASSERT_EQ(WindowObjectFromId(kept->sequence), kept);
    EXPECT_EQ(kept->pane, nullptr);
    EXPECT_EQ(kept->surfaceList, nullptr);
    EXPECT_EQ(kept->owner, nullptr);
    DisposeWindowObject(kept); // no panes, no port: the record alone goes
}

} // namespace

namespace {

TEST_F(WindowDisposal, TheFocusStaysWhenItsHolderRefusesToGiveItUp) {
    WindowObject* top = MakeWindow();
    Rect16 r{10, 10, 60, 110};
    WindowObject* a = NewPaneWindow(0, 0, 0, top, &r, nullptr, &RecordingCallback);
    Rect16 s{70, 10, 120, 110};
    WindowObject* b = NewPaneWindow(0, 0, 0, top, &s, nullptr, &RecordingCallback);
    ASSERT_TRUE(MoveKeyboardFocusToWindow(a, false));
    Reactions()[kWindowEventFocus] = [](WindowObject*, WindowEvent* e) {
        if (!e->focus.gains) e->focus.refuse = 1;
        return 1;
    };
    EXPECT_FALSE(MoveKeyboardFocusToWindow(b, false));
    EXPECT_EQ(FocusedWindowOf(top), a);
    Reactions().clear();
    EXPECT_TRUE(MoveKeyboardFocusToWindow(b, false));
    EXPECT_EQ(FocusedWindowOf(top), b);
}

} // namespace
