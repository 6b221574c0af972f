// List views in windows: the list model (listmodel.h) shown in a window
// that the view takes over (window data 'list', its event and menu-enable
// callbacks chained), the rows drawn by the owner's list procedure, row
// scrolling by moving pixels, mouse and key selection, and editing one
// cell of a row in place through a text record.
//
// Guarantees: every event reaches the callback installed before the view
// first; while drawing is off nothing is drawn, the lowest changed row is
// kept and drawn (or invalidated) when drawing comes back; the edited
// cell's frame lies 2 pixels outside the cell; an edit that the procedure
// does not store stays where it is.
#pragma once
#include <cstdint>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/ui/listmodel.h"

struct TextRecord;
struct TextStyleRecord;
struct TimerTask;
struct CommandQuery;

constexpr uint32_t kListViewTag = FourCC("list");

// Messages to the list procedure beside the model's.
constexpr int32_t kListMsgDrawRow = 0;
constexpr int32_t kListMsgRedrawSelection = 1;
constexpr int32_t kListMsgBeginDrawing = 2;
constexpr int32_t kListMsgEndDrawing = 3;
constexpr int32_t kListMsgMouseDown = 4;
constexpr int32_t kListMsgKey = 5;
constexpr int32_t kListMsgEditKey = 6;
constexpr int32_t kListMsgEditMoveKey = 7;
constexpr int32_t kListMsgCellRect = 8;
constexpr int32_t kListMsgDropRow = 15;
constexpr int32_t kListMsgEditClick = 16;
constexpr int32_t kListMsgDragFeedback = 14;
constexpr int32_t kListMsgTextChanged = 20;
// Result flags.
constexpr int32_t kListDrawFrame = 1;       // message 0
constexpr int32_t kListBeginFrame = 1;      // message 10
constexpr int32_t kListBeginActivate = 2;   // message 10
constexpr int32_t kListClickHandled = 1;    // messages 4 and 16
constexpr int32_t kListClickTrack = 2;      // messages 4 and 16
constexpr int32_t kListClickNotifyOnly = 4; // message 4
constexpr int32_t kListClickKeep = 0x100;   // message 4
constexpr int32_t kListClickDrag = 0x200;   // message 4
constexpr int32_t kListKeyHandled = 1 << 16;
constexpr int32_t kListKeyBeep = 1 << 17;
constexpr int32_t kListKeyAsText = 1 << 18;
constexpr int32_t kListKeyPartsMask = 0xFFFF;
constexpr int32_t kListDrawInsertion = 1; // message 14
constexpr int32_t kListDropRedraw = 1;    // message 15: invalidate the rows between
constexpr int32_t kListDropRedrawNow = 2; // message 15: draw them at once

// The edited cell's frame: this far outside the cell, in these colours.
constexpr int16_t kListFrameOutset = 2;
constexpr uint32_t kListFrameColour = 0x07000000;
constexpr uint32_t kListFrameEraseColour = 0x0BFFFFFF;
// The insertion line over the top of a row that a dragged row passes.
constexpr int16_t kListInsertionLineHeight = 2;
// While the edited row is out of view the edit text lies here.
constexpr int16_t kListEditHiddenTop = -1020;
constexpr int16_t kListEditHiddenBottom = -1000;
// The owner's notification: a control event with this value.
constexpr int32_t kListNotifyValue = 7;

typedef int32_t (*ListViewProcedure)(WindowObject* window, int32_t message, ListParams* params);

struct ListView {
    WindowObject* window;
    ListRecord model;
    TextRecord* editText;
    TimerTask* blinkTimer;
    WindowEventCallback previous;
    WindowMenuEnableCallback previousMenuEnable;
    ListViewProcedure procedure;
    TextStyleRecord* style;
    int32_t dragRow;
    int16_t rowWidth;
    // Caught from the procedure's answers while the model edits.
    const char* cellText;
    int32_t cellTextLength;
    int32_t beginFlags;
    int32_t endFlags;
    bool endingEdit;
};

// Makes the view on the window; returns the row height used (0 on failure).
int16_t NewListView(WindowObject* window, const TextStyleRecord* style, int16_t rowHeight,
                    int32_t cellSize, uint32_t options, ListViewProcedure procedure);
ListView* ListViewOf(WindowObject* window);
int32_t ListRowCount(WindowObject* window);
bool InsertListRows(WindowObject* window, int32_t row, const void* data, int32_t count);
void DeleteListRows(WindowObject* window, int32_t row, int32_t count);
int32_t GetListCell(WindowObject* window, int32_t row, void* data);
void SetListCell(WindowObject* window, int32_t row, const void* data);
bool SetListRowSelected(WindowObject* window, int32_t row, bool select);
int32_t NextSelectedRow(WindowObject* window, int32_t row);
uint32_t SetListOptions(WindowObject* window, uint32_t set, uint32_t clear);
bool SetListMultiSelect(WindowObject* window, bool on);
bool SetListDragSelect(WindowObject* window, bool on);
void SetListRowHeight(WindowObject* window, int16_t height);
bool SetListDrawingEnabled(WindowObject* window, bool on, bool atOnce);
void InvalidateListRow(WindowObject* window, int32_t row);
void RedrawListRow(WindowObject* window, int32_t row);
void ScrollListToRow(WindowObject* window, int32_t row, bool toTop);
// Scrolls by a step kind (scrollsteps.h) with its value.
void ListScroll(WindowObject* window, int32_t kind, int32_t value);
bool SetListEditCell(WindowObject* window, int32_t row, int32_t part);
int32_t GetListEditCell(WindowObject* window, int32_t* part, int32_t* selStart, int32_t* selEnd);
// The list's menu-enable callback: after the previous one, the Edit menu
// and its commands while a cell is edited.
bool ListMenuEnable(CommandQuery* query);
// Starts editing from a dialog's focus event: an item event whose item
// number equals value edits row 0 at part; a key event (the flag) whose
// key equals keyValue edits the last row at keyPart. False when the event
// does not match or the edit cannot begin.
bool ListActiveCellFromEvent(const WindowEvent* event, int32_t value, int32_t keyValue,
                             WindowObject* window, int32_t part, int32_t keyPart);
// The list's event callback.
int32_t ListHandleEvent(WindowObject* window, WindowEvent* event);
// The rectangle of a row in the window (rows out of view included).
Rect16 ListRowRect(const ListView* view, int32_t row);
