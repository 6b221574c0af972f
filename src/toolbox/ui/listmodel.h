// The portable model of a list view: rows with fixed-size cell data, the
// selection bit set, geometry and the row at a point, key moves, typed
// selection over an injected tick source, the moves of the edited cell,
// the filter of text pasted into a cell, and the nesting of drawing.
//
// Guarantees: the selected count always equals the bits set among the
// rows; rows outside 0..count-1 are never read or written; an edit that
// the list procedure does not store stays where it is; the drawing level
// nests, and the first changed row is reported once it comes back to 0.
#pragma once
#include <cstdint>
#include <vector>

#include "toolbox/core/bitset.h"
#include "toolbox/core/rect.h"

// Options.
constexpr uint32_t kListMultiSelect = 1;
constexpr uint32_t kListKeepOnClickBelow = 2;
constexpr uint32_t kListTrimHeight = 4;
constexpr uint32_t kListEditCells = 8;
constexpr uint32_t kListDragSelect = 0x10;
constexpr uint32_t kListPartialRowVisible = 0x20;
constexpr uint32_t kListReportDeletes = 0x40;
// The options SetListOptions may change.
constexpr uint32_t kListChangeableOptions =
    kListMultiSelect | kListKeepOnClickBelow | kListDragSelect;

// Messages to the list procedure used by the model.
constexpr int32_t kListMsgCellText = 9;
constexpr int32_t kListMsgBeginEndEdit = 10;
constexpr int32_t kListMsgStoreEdit = 11;
constexpr int32_t kListMsgFindRow = 12;
constexpr int32_t kListMsgBeforeEndEdit = 17;
constexpr int32_t kListMsgMoveCell = 18;
constexpr int32_t kListMsgDeleteRow = 19;

// Result flags.
constexpr int32_t kListResultStored = 1;         // message 11
constexpr int32_t kListResultFound = 1;          // message 12
constexpr int32_t kListResultNothingToStore = 1; // message 17
constexpr int32_t kListResultMoveAgain = 1;      // message 18

// The row at a point lay beyond the last visible or the last row.
constexpr uint32_t kListRowBeyond = 0x80000000u;
// No row changed while drawing was off.
constexpr int32_t kListNoChangedRow = INT32_MAX;

// Typed selection.
constexpr int32_t kTypeSelectTicks = 75;
constexpr int32_t kTypeSelectBufferMax = 61;
// ListTypeSelect's answer when the procedure found a row outside the list.
constexpr int32_t kTypeSelectOutside = -2;
// Longest text of an edited cell after a paste.
constexpr int32_t kListCellTextMax = 250;

// Key codes of the list's moves.
constexpr int32_t kListKeyUp = 301;
constexpr int32_t kListKeyDown = 302;
constexpr int32_t kListKeyPageUp = 305;
constexpr int32_t kListKeyPageDown = 306;
constexpr int32_t kListKeyHome = 309;
constexpr int32_t kListKeyEnd = 310;
constexpr int32_t kListKeyTab = 9;
constexpr int32_t kListKeyBackTab = 315;
constexpr int32_t kListKeyReturn = 13;

struct ListRecord;
struct TextRecord;
struct WindowEvent;
struct ListParams {
    int32_t row;
    int32_t part;
    const char* text;
    int32_t textLength;
    // What the window side adds: the row's cell data, whether it is
    // selected, its rectangle and size, whether the list is drawing, the
    // event of a click or key, the edit text, the target of a drop.
    const void* cell;
    uint8_t selected;
    uint8_t drawing;
    Rect16 rect;
    int16_t rowHeight, rowWidth;
    const WindowEvent* event;
    TextRecord* editText;
    int32_t targetRow;
};
inline ListParams MakeListParams(int32_t row, int32_t part, const char* text, int32_t length) {
    ListParams params{};
    params.row = row;
    params.part = part;
    params.text = text;
    params.textLength = length;
    return params;
}
typedef int32_t (*ListProcedure)(ListRecord* list, int32_t message, ListParams* params);

struct ListRecord {
    ListProcedure procedure;
    uint32_t options;
    int32_t cellSize;
    std::vector<uint8_t> cells;
    BitSetRecord selection;
    int32_t rowCount;
    int32_t selectedCount;
    int32_t firstVisible;
    int32_t visibleRows;
    int32_t lastFirstRow;
    int32_t firstChanged;
    int32_t editRow;
    int16_t editPart;
    int16_t rowHeight;
    int16_t drawingLevel;
    int32_t contentHeight;
    void* owner;
};

// False when the selection cannot be made.
bool InitListRecord(ListRecord* list, uint32_t options, int32_t cellSize, int16_t rowHeight,
                    int32_t contentHeight, ListProcedure procedure);
void DisposeListRecord(ListRecord* list);
void ListComputeGeometry(ListRecord* list, int32_t contentHeight);
// (v / row height) + first visible row, clamped, with kListRowBeyond.
uint32_t ListRowAtPoint(const ListRecord* list, int32_t v);

bool InsertListRows(ListRecord* list, int32_t row, const void* data, int32_t count);
void DeleteListRows(ListRecord* list, int32_t row, int32_t count);
int32_t GetListCell(const ListRecord* list, int32_t row, void* data);
void SetListCell(ListRecord* list, int32_t row, const void* data);
bool ListRowSelected(const ListRecord* list, int32_t row);
// Returns whether the selected count changed.
bool SetListRowSelected(ListRecord* list, int32_t row, bool select);
int32_t NextSelectedRow(const ListRecord* list, int32_t row);
uint32_t SetListOptions(ListRecord* list, uint32_t set, uint32_t clear);
void ListNoteChangedRow(ListRecord* list, int32_t row);
// Returns whether drawing is on; *redrawFrom gets the first changed row
// when the level came back to 0 with rows changed (else kListNoChangedRow).
bool SetListDrawingEnabled(ListRecord* list, bool on, int32_t* redrawFrom);

// The row a key moves to (the key unchanged: -1).
int32_t ListKeyTarget(const ListRecord* list, int32_t key);
// Moves the selection by a key; returns whether the selection changed.
bool ListKeyMove(ListRecord* list, int32_t key, bool shift);

// Tick source of typed selection (null: always 0).
void SetListTickSource(uint32_t (*ticks)());
// Adds a typed character; message 12 finds the row, selected alone.
// Returns the row found, -1 when none, or kTypeSelectOutside when the
// row found lies outside the list (nothing moves).
int32_t ListTypeSelect(ListRecord* list, char c, bool shift);
// Starts the typed text afresh (after a click in a list).
void ListResetTypeSelect();
const char* ListTypeSelectText(int32_t* length);

// The cell that a navigation key moves the edit to; false when it stays.
bool ListNextEditCell(const ListRecord* list, int32_t key, int32_t parts, int32_t* row,
                      int32_t* part);
// Ends the edit (messages 17 and 11) and begins another (9 and 10); a
// negative row or part only ends. False when message 11 does not store.
bool SetListEditCell(ListRecord* list, int32_t row, int32_t part);
// Characters of a paste that a cell takes: the leading printable, tab and
// high characters, cut so that the text stays within kListCellTextMax.
int32_t ListPasteCount(const char* text, int32_t length, int32_t textLength,
                       int32_t selectionLength);
