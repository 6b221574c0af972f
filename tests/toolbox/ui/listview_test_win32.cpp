// List views in a real window: scrolling moves pixels (in steps of at most
// 5,000) and draws only the uncovered band, the edited cell's frame lies 2
// pixels outside the cell, drawing off keeps the changed rows for later,
// clicks and keys select rows and tell the owner.
#include "toolbox/ui/listview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/pixel_canvas_win32.h"
#include "toolbox/core/child_process_win32.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/panehost_win32.h"
#include "toolbox/core/portupdate_win32.h"
#include "toolbox/core/region.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/picture.h"
#include "toolbox/core/shellcommands.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/ui/colour.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/listscroll.h"
#include "toolbox/ui/scrollsteps.h"
#include "toolbox/ui/textrecord.h"
#include "row_window_fixture_win32.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000;
constexpr int16_t kRowHeight = 20;
constexpr Rect16 kCell{2, 40, 16, 120}; // within a row, relative to its top

std::vector<int32_t> g_drawn;
std::vector<int32_t> g_selectionRedrawn;
std::vector<int32_t> g_notified;
int32_t g_beginAnswer = kListBeginFrame | kListBeginActivate;
int g_textChanges = 0;
int32_t g_clickAnswer = 0;
int32_t g_feedbackAnswer = 0;
int32_t g_dropAnswer = 0;
int32_t g_foundRow = 0;
std::vector<std::pair<int32_t, int32_t>> g_drops;
constexpr int32_t kPartsPerRow = 2;

int32_t Procedure(WindowObject*, int32_t message, ListParams* params) {
    switch (message) {
    case kListMsgRedrawSelection:
    case kListMsgDragFeedback:
    case kListMsgDrawRow: {
        (message == kListMsgDrawRow ? g_drawn : g_selectionRedrawn).push_back(params->row);
        DrawRectShape(&params->rect, kVerbErase);
        if (params->selected) {
            Rect16 mark{params->rect.top, params->rect.left, params->rect.bottom,
                        int16_t(params->rect.left + 30)};
            DrawRectShape(&mark, kVerbPaint);
        }
        std::string text = "row " + std::to_string(params->row);
        MovePenTo(params->rect.left + 34, params->rect.bottom - 5);
        DrawTextRun(text.data(), int32_t(text.size()));
        if (message == kListMsgDragFeedback) return g_feedbackAnswer;
        return kListDrawFrame;
    }
    case kListMsgMouseDown:
        return g_clickAnswer;
    case kListMsgDropRow:
        g_drops.emplace_back(params->row, params->targetRow);
        return g_dropAnswer;
    case kListMsgFindRow:
        params->row = g_foundRow;
        return kListResultFound;
    case kListMsgCellRect:
        params->rect = Rect16{int16_t(params->rect.top + kCell.top), kCell.left,
                              int16_t(params->rect.top + kCell.bottom), kCell.right};
        return 0;
    case kListMsgCellText:
        params->text = "cell";
        params->textLength = 4;
        return 0;
    case kListMsgBeginEndEdit:
        return g_beginAnswer;
    case kListMsgStoreEdit:
        return kListResultStored;
    case kListMsgEditMoveKey:
        return kPartsPerRow;
    case kListMsgTextChanged:
        ++g_textChanges;
        return 0;
    default:
        return 0;
    }
}

int32_t Owner(WindowObject*, WindowEvent* event) {
    if (event->type == kWindowEventControl) g_notified.push_back(event->control.value);
    return 0;
}

class WineListView : public RowWindowTest {
  protected:
    void SetUp() override {
        OpenWindow("List", &Owner);
        g_drawn.clear();
        g_selectionRedrawn.clear();
        g_notified.clear();
        g_beginAnswer = kListBeginFrame | kListBeginActivate;
        g_textChanges = 0;
        g_clickAnswer = g_feedbackAnswer = g_dropAnswer = 0;
        g_drops.clear();
    }
    void Make(uint32_t options, int32_t rows) {
        ASSERT_EQ(NewListView(window_, nullptr, kRowHeight, 4, options, &Procedure), kRowHeight);
        view_ = ListViewOf(window_);
        ASSERT_NE(view_, nullptr);
        ASSERT_TRUE(InsertListRows(window_, 0, nullptr, rows));
    }
    void Mouse(int32_t row, bool shift, uint32_t type = kWindowEventMouseDown) {
        WindowEvent event{};
        event.type = type;
        Rect16 c = RowWindowContent(window_);
        event.mouse.point =
            Point16{int16_t(c.top + (row - view_->model.firstVisible) * kRowHeight + 5),
                    int16_t(c.left + 5)};
        event.mouse.shift = shift;
        event.mouse.modifiers = shift ? 1 : 0;
        EventDispatchToView(window_, &event);
    }
    void Key(uint16_t key) {
        WindowEvent event{};
        event.type = kWindowEventKey;
        event.key.character = key;
        EventDispatchToView(window_, &event);
    }
    ListView* view_ = nullptr;
};

TEST_F(WineListView, ScrollingMovesThePixelsAndDrawsOnlyTheUncoveredBand) {
    Make(0, 100);
    ASSERT_EQ(view_->model.visibleRows, 10);
    SetListRowSelected(window_, 3, true);
    Repainted();
    g_drawn.clear();
    ListScroll(window_, kStepRowDown, 0);
    EXPECT_EQ(view_->model.firstVisible, 1);
    EXPECT_EQ(g_drawn, std::vector<int32_t>({10})); // the one uncovered row
    g_drawn.clear();
    ListScroll(window_, kStepPageDown, 0);
    EXPECT_EQ(view_->model.firstVisible, 10);
    EXPECT_EQ(g_drawn.size(), 9u); // a page is the visible rows - 1
    WindowPixels moved = Now();
    EXPECT_EQ(Differences(moved, Repainted()), 0);
    // The window's scroll events reach the list as steps.
    WindowEvent scroll{};
    MakeScrollEvent(40, 10, kScrollEventLast - kScrollEventFirst, 0, &scroll);
    EventDispatchToView(window_, &scroll);
    EXPECT_EQ(view_->model.firstVisible, 40);
    EXPECT_EQ(RowScrollBarValue(window_), 40);
    ListScroll(window_, kStepToRow, 1000);
    EXPECT_EQ(view_->model.firstVisible, 90);
}

TEST(WineRowScroll, PixelsMoveInStepsOfAtMostFiveThousand) {
    PixelCanvas canvas(2, 12000);
    canvas.SetPixel(0, 11000, kCanvasBlack);
    Rect16 content{0, 0, 12000, 2};
    Rect16 band = ScrollRowPixels(content, 1, 0, 7000);
    EXPECT_EQ(canvas.Pixel(0, 4000), kCanvasBlack);
    EXPECT_EQ(band.top, 12000 - 7000);
    EXPECT_EQ(band.bottom, 12000);
    band = ScrollRowPixels(content, 1, 7000, 0);
    EXPECT_EQ(canvas.Pixel(0, 11000), kCanvasBlack);
    EXPECT_EQ(band.top, 0);
    EXPECT_EQ(band.bottom, 7000);
}

TEST_F(WineListView, TheEditedCellsFrameLiesTwoPixelsOutsideTheCell) {
    Make(kListEditCells, 5);
    Repainted();
    ASSERT_TRUE(SetListEditCell(window_, 1, 1));
    int32_t part = 0, start = -1, end = -1;
    EXPECT_EQ(GetListEditCell(window_, &part, &start, &end), 1);
    EXPECT_EQ(part, 1);
    EXPECT_EQ(end - start, 4); // the text selected whole
    WindowPixels pixels = Now();
    Rect16 row = ListRowRect(view_, 1);
    int top = row.top + kCell.top - kListFrameOutset, left = kCell.left - kListFrameOutset;
    int bottom = row.top + kCell.bottom + kListFrameOutset - 1;
    int right = kCell.right + kListFrameOutset - 1;
    EXPECT_EQ(pixels.At(left + 10, top), kBlack);
    EXPECT_EQ(pixels.At(left + 10, bottom), kBlack);
    EXPECT_EQ(pixels.At(left, top + 5), kBlack);
    EXPECT_EQ(pixels.At(right, top + 5), kBlack);
    EXPECT_EQ(pixels.At(left - 1, top + 5), kWhite);
    EXPECT_EQ(pixels.At(left + 1, top + 1), kWhite); // the gap between frame and cell
    // The edit text shows in the cell, highlighted.
    uint32_t highlight = RgbFromColorRef(GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(
        pixels.Count(kCell.left, row.top + kCell.top, 30, kCell.bottom - kCell.top, highlight), 0);
    // Ending the edit erases the frame.
    ASSERT_TRUE(SetListEditCell(window_, -1, 0));
    pixels = Now();
    EXPECT_EQ(pixels.At(left + 10, top), kWhite);
    EXPECT_EQ(GetListEditCell(window_, &part, nullptr, nullptr), -1);
}

TEST_F(WineListView, OptionFourTrimsTheWindowToWholeRows) {
    constexpr int16_t kTall = 32;
    Rect16 before = RowWindowContent(window_);
    ASSERT_NE((before.bottom - before.top) % kTall, 0);
    ASSERT_EQ(NewListView(window_, nullptr, kTall, 0, kListTrimHeight, &Procedure), kTall);
    MessagePump();
    Rect16 after = RowWindowContent(window_);
    EXPECT_EQ((after.bottom - after.top) % kTall, 0);
    EXPECT_EQ(after.bottom - after.top, (before.bottom - before.top) / kTall * kTall);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(ListViewOf(window_)->model.visibleRows, (after.bottom - after.top) / kTall);
}

TEST_F(WineListView, DrawingOffNestsAndDrawsTheChangedRowsWhenBack) {
    Make(0, 5);
    Repainted();
    g_drawn.clear();
    EXPECT_FALSE(SetListDrawingEnabled(window_, false, true));
    EXPECT_FALSE(SetListDrawingEnabled(window_, false, true));
    InsertListRows(window_, 3, nullptr, 1);
    SetListRowSelected(window_, 4, true);
    EXPECT_FALSE(SetListDrawingEnabled(window_, true, true));
    EXPECT_TRUE(g_drawn.empty());
    EXPECT_TRUE(SetListDrawingEnabled(window_, true, true));
    EXPECT_EQ(g_drawn, std::vector<int32_t>({3, 4, 5}));
}

TEST_F(WineListView, ClicksAndKeysSelectRowsAndTellTheOwner) {
    Make(kListMultiSelect, 30);
    Repainted();
    Mouse(2, false);
    EXPECT_EQ(NextSelectedRow(window_, 0), 2);
    EXPECT_EQ(view_->model.selectedCount, 1);
    EXPECT_EQ(g_notified, std::vector<int32_t>({kListNotifyValue}));
    g_drawn.clear();
    g_selectionRedrawn.clear();
    Mouse(5, true); // Shift extends from the far end
    EXPECT_EQ(view_->model.selectedCount, 4);
    // Only the rows whose selection changed are redrawn, as such.
    EXPECT_EQ(g_selectionRedrawn, std::vector<int32_t>({3, 4, 5}));
    EXPECT_TRUE(g_drawn.empty());
    // A plain click moving the single selection tells the owner too.
    Mouse(7, false);
    EXPECT_EQ(g_notified.size(), 3u);
    Mouse(5, true);
    Mouse(5, false, kWindowEventDoubleClick);
    EXPECT_EQ(view_->model.selectedCount, 1);
    EXPECT_EQ(g_notified.size(), 5u);
    // Selected rows show their mark.
    WindowPixels pixels = Now();
    Rect16 row5 = ListRowRect(view_, 5);
    EXPECT_EQ(pixels.At(row5.left + 10, row5.top + 10), kBlack);
    Rect16 row2 = ListRowRect(view_, 2);
    EXPECT_EQ(pixels.At(row2.left + 10, row2.top + 10), kWhite);
    // Keys: down moves the selection; End scrolls the last row into view.
    Key(kListKeyDown);
    EXPECT_EQ(NextSelectedRow(window_, 0), 6);
    Key(kListKeyEnd);
    EXPECT_EQ(NextSelectedRow(window_, 0), 29);
    EXPECT_EQ(view_->model.firstVisible, 30 - view_->model.visibleRows);
}

// A real drag: the press at the first point, the pointer moved to the
// second, the release; run on a thread while the list tracks.
struct DragPlan {
    POINT to;
};
DragPlan g_drag{};

// The display server reports pointer motions late: a motion reported
// before a move can put the system's cursor back. The cursor is set until
// it reads back where it was put, and stays there a while.
void SettleCursor(POINT at) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kPointSettleMs;) {
        SetCursorPos(at.x, at.y);
        Sleep(50);
        POINT now;
        if (GetCursorPos(&now) && SamePoint(now, at)) {
            Sleep(100);
            if (GetCursorPos(&now) && SamePoint(now, at)) return;
        }
    }
}

DWORD WINAPI DragLater(LPVOID) {
    Sleep(300);
    SettleCursor(g_drag.to);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &move, sizeof move);
    Sleep(600);
    INPUT up{};
    up.type = INPUT_MOUSE;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &up, sizeof up);
    return 0;
}

class WineListViewChild : public WineListView {};

// A real press on row 2 dragged to row 6 with drag selection: the range
// follows the pointer one row per pass and stays when released.
TEST_F(WineListViewChild, DragSelectionFollowsThePointer) {
    if (!IsChildCase("DragSelectionFollowsThePointer")) GTEST_SKIP() << "runs in its own process";
    StartChildCaseWatchdog();
    Make(kListMultiSelect | kListDragSelect, 30);
    Repainted();
    Rect16 c = RowWindowContent(window_);
    POINT from{c.left + 5, c.top + 2 * kRowHeight + 5};
    g_drag.to = POINT{c.left + 5, c.top + 6 * kRowHeight + 5};
    ClientToScreen(Handle(), &from);
    ClientToScreen(Handle(), &g_drag.to);
    SetForegroundWindow(FrameWindowHandle());
    SettleCursor(from);
    INPUT down{};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &down, sizeof down);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 2000 && !OsButtonDown(0);)
        MessagePump();
    FlushOsEvents(kOsMaskMouseDown | kOsMaskMouseUp, 0);
    CloseHandle(CreateThread(nullptr, 0, &DragLater, nullptr, 0, nullptr));
    Mouse(2, false);
    std::vector<int32_t> rows;
    for (int32_t r = NextSelectedRow(window_, 0); r >= 0; r = NextSelectedRow(window_, r + 1))
        rows.push_back(r);
    std::printf("selected %zu rows, first %d last %d, notified %zu\n", rows.size(),
                rows.empty() ? -1 : rows.front(), rows.empty() ? -1 : rows.back(),
                g_notified.size());
    bool ok = rows == std::vector<int32_t>({2, 3, 4, 5, 6}) && g_notified.size() == 1;
    ExitProcess(ok ? 0 : kChildCaseFailedExit);
}

TEST(WineListViewDrag, DragSelectionFollowsThePointer) {
    EXPECT_EQ(RunChildCase("WineListViewChild", "DragSelectionFollowsThePointer"), 0);
}

std::string EditedText(ListView* view) {
    return std::string(view->editText->text.data(), size_t(view->editText->length));
}

// Puts the text on the application clipboard through a text record.
void CopyToClipboard(const std::string& text) {
    Rect16 box{0, 0, 10, 10};
    TextRecord* record = NewTextRecord(&box, &box);
    ASSERT_NE(record, nullptr);
    SetTextRecordText(text.data(), int32_t(text.size()), record);
    SetTextRecordSelection(0, record->length, record);
    TextRecordCopy(record);
    DisposeTextRecord(record);
}

TEST_F(WineListView, EditedCellsTakeKeysMoveByTheTableAndFilterPastes) {
    Make(kListEditCells, 3);
    Repainted();
    ASSERT_TRUE(SetListEditCell(window_, 0, 1));
    Key('x'); // replaces the whole text
    EXPECT_EQ(EditedText(view_), "x");
    EXPECT_EQ(g_textChanges, 1);
    int32_t part = 0;
    Key(kListKeyTab);
    EXPECT_EQ(GetListEditCell(window_, &part, nullptr, nullptr), 0);
    EXPECT_EQ(part, 2);
    Key(kListKeyTab); // after the last part: part 1 of the next row
    EXPECT_EQ(GetListEditCell(window_, &part, nullptr, nullptr), 1);
    EXPECT_EQ(part, 1);
    Key(kListKeyUp);
    EXPECT_EQ(GetListEditCell(window_, &part, nullptr, nullptr), 0);
    Key(kListKeyUp); // stops at the first row
    EXPECT_EQ(GetListEditCell(window_, &part, nullptr, nullptr), 0);
    // The menu: paste with clipboard text, cut only with a selection.
    CopyToClipboard("ok\x01no");
    CommandQuery query{};
    query.window = window_;
    query.command = kCommandPaste;
    EXPECT_TRUE(ListMenuEnable(&query));
    EXPECT_EQ(query.enabled, 1);
    WindowEvent command{};
    command.type = kWindowEventCommand;
    command.command.command = int16_t(kCommandClear);
    EventDispatchToView(window_, &command); // the whole text was selected
    EXPECT_EQ(EditedText(view_), "");
    query.command = kCommandCut;
    EXPECT_TRUE(ListMenuEnable(&query));
    EXPECT_EQ(query.enabled, 0);
    // A paste takes the leading printable run, and at most 250 characters.
    command.command.command = int16_t(kCommandPaste);
    EventDispatchToView(window_, &command);
    EXPECT_EQ(EditedText(view_), "ok");
    CopyToClipboard(std::string(300, 'p'));
    EventDispatchToView(window_, &command);
    EXPECT_EQ(view_->editText->length, kListCellTextMax);
    // Nothing answers for a list that edits nothing.
    ASSERT_TRUE(SetListEditCell(window_, -1, 0));
    EXPECT_FALSE(ListMenuEnable(&query));
}

// A click that drags its row: message 14 for the row and, answering 1, the
// insertion line over its top; message 15 at the drop, whose flags redraw
// the rows between at once (2) or later (1).
TEST_F(WineListView, DraggedRowsShowTheInsertionLineAndDropsRedrawAsAsked) {
    Make(kListMultiSelect, 10);
    Repainted();
    g_clickAnswer = kListClickDrag;
    g_feedbackAnswer = kListDrawInsertion;
    Mouse(3, false);
    EXPECT_EQ(g_selectionRedrawn, std::vector<int32_t>({3}));
    EXPECT_EQ(g_drops, (std::vector<std::pair<int32_t, int32_t>>{{3, 3}}));
    WindowPixels pixels = Now();
    Rect16 row3 = ListRowRect(view_, 3);
    int x = row3.left + 200; // clear of the row's mark and text
    EXPECT_EQ(pixels.At(x, row3.top), kBlack);
    EXPECT_EQ(pixels.At(x, row3.top + kListInsertionLineHeight - 1), kBlack);
    EXPECT_EQ(pixels.At(x, row3.top + kListInsertionLineHeight), kWhite);
    EXPECT_EQ(pixels.At(x, row3.top - 1), kWhite);
    EXPECT_EQ(NextSelectedRow(window_, 0), 3);
    // Without the flag the row is redrawn plainly.
    g_feedbackAnswer = 0;
    Mouse(5, false);
    pixels = Now();
    Rect16 row5 = ListRowRect(view_, 5);
    EXPECT_EQ(pixels.At(x, row5.top), kWhite);
    // Flag 2: the rows between drawn at once, the line gone.
    g_feedbackAnswer = kListDrawInsertion;
    g_dropAnswer = kListDropRedrawNow;
    g_drawn.clear();
    Mouse(3, false); // toggles row 3 off again
    EXPECT_EQ(g_drawn, std::vector<int32_t>({3}));
    EXPECT_EQ(Now().At(x, row3.top), kWhite);
    // Flag 1: the rows are invalidated, drawn by the next update.
    g_dropAnswer = kListDropRedraw;
    g_drawn.clear();
    const PaneHost* before = SetPaneHost(NativePaneHost());
    auto* port = static_cast<PortRecord*>(window_->port);
    ValidatePort(port);
    g_drawn.clear();
    Mouse(7, false);
    EXPECT_TRUE(g_drawn.empty());
    RegionRecord* pending = NewRegion();
    HostPendingUpdate(port, pending);
    Rect16 invalid{};
    RegionBounds(pending, &invalid);
    DisposeRegion(pending);
    Rect16 row7 = ListRowRect(view_, 7);
    EXPECT_LE(invalid.top, row7.top);
    EXPECT_GE(invalid.bottom, row7.bottom);
    SetPaneHost(before);
}

TEST_F(WineListView, TypedSelectionOutsideTheListMovesNothing) {
    Make(0, 10);
    Repainted();
    g_foundRow = 4;
    Key('a');
    EXPECT_EQ(NextSelectedRow(window_, 0), 4);
    EXPECT_EQ(g_notified.size(), 1u);
    g_foundRow = 10; // one past the last row: a beep, nothing moves
    Key('b');
    EXPECT_EQ(NextSelectedRow(window_, 0), 4);
    EXPECT_EQ(view_->model.selectedCount, 1);
    EXPECT_EQ(g_notified.size(), 1u);
}

// A dialog moving its focus into the list: an item event naming the item
// edits row 0 at the part; a key event (back-tab) edits the last row at
// the other part.
TEST_F(WineListView, FocusEventsStartEditingTheFirstOrLastRow) {
    Make(kListEditCells, 3);
    Repainted();
    constexpr int32_t kItem = 4, kFirstPart = 1, kLastPart = 2;
    WindowEvent item{};
    item.type = kWindowEventDialogItem;
    item.control.item = (uint32_t(kItemKindList) << 16) | 9; // another item
    EXPECT_FALSE(
        ListActiveCellFromEvent(&item, kItem, kListKeyBackTab, window_, kFirstPart, kLastPart));
    EXPECT_EQ(GetListEditCell(window_, nullptr, nullptr, nullptr), -1);
    item.control.item = (uint32_t(kItemKindList) << 16) | kItem;
    EXPECT_TRUE(
        ListActiveCellFromEvent(&item, kItem, kListKeyBackTab, window_, kFirstPart, kLastPart));
    int32_t part = 0;
    EXPECT_EQ(GetListEditCell(window_, &part, nullptr, nullptr), 0);
    EXPECT_EQ(part, kFirstPart);
    WindowEvent key{};
    key.type = kWindowEventKey;
    key.key.character = kListKeyTab;
    EXPECT_FALSE(
        ListActiveCellFromEvent(&key, kItem, kListKeyBackTab, window_, kFirstPart, kLastPart));
    key.key.character = kListKeyBackTab;
    EXPECT_TRUE(
        ListActiveCellFromEvent(&key, kItem, kListKeyBackTab, window_, kFirstPart, kLastPart));
    EXPECT_EQ(GetListEditCell(window_, &part, nullptr, nullptr), 2);
    EXPECT_EQ(part, kLastPart);
}

} // namespace
