// Error markers: one design-rule violation each, at a place on the board,
// with its type, layer and the objects involved. The rule checker makes
// them, the Error Markers window lists them one row per marker, and the
// board display draws them. The table keeps that list's row count in step
// with the marker count.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kMarkerMax = 8000,
    kMarkerGrow = 200,
    kMarkerTypeMax = 28,  // stored types 1..28
    kMarkerNamedMax = 27, // types with a name
};

// Marker types used by the database itself.
enum : uint8_t {
    kMarkerBadSmdToPlane = 16,
};

// The list of the Error Markers window, as the marker table uses it: the
// list calls of the toolbox and the window's close request. The window
// installs it while it is open (MarkerSetList) and removes it when it closes.
class MarkerList {
  public:
    virtual ~MarkerList() = default;
    // Suspends (false) or resumes (true) drawing; suspensions nest.
    virtual void SetListDrawingEnabled(bool on) = 0;
    virtual int32_t ListRowCount() = 0;
    // Inserts count empty rows before row (-1: at the end).
    virtual void InsertListRows(int32_t row, int32_t count) = 0;
    virtual void DeleteListRows(int32_t first, int32_t count) = 0;
    // Marks a row (-1: the whole list) for redrawing.
    virtual void InvalidateListRow(int32_t row) = 0;
    // Sends the list's window a close request.
    virtual void SendWindowCloseEvent() = 0;
};

// The open window's list, null while it is closed.
void MarkerSetList(MarkerList* list);
MarkerList* MarkerGetList();

// From DbInit: empty table.
void MarkerInit();
// From DbFree: asks the open Error Markers window to close, forgets the
// table.
void MarkerReset();
// Appends an empty slot and answers its index; 0 when 8,000 markers exist.
int32_t MarkerAdd();
// Removes marker n; later markers move down and the list loses row n - 1.
void MarkerDelete(int32_t n);
// Copies marker n; a slot never stored gives zeros.
void MarkerGet(int32_t n, ErrorMarker* out);
// Stores marker n unless it equals another marker, in which case slot n is
// removed instead.
void MarkerPut(int32_t n, const ErrorMarker* record);
// The checks of MarkerPut without storing anything: the index 1..count, the
// type 1..28 and the layer at most the layer count. 0 when the put would
// pass, else the code of the first rule it fails, with the number it would
// report in *number (may be null).
ErrCode MarkerPutCheck(int32_t n, const ErrorMarker* record, int32_t* number = nullptr);
int32_t MarkerCount();
// The message id of a marker type's name (types 1..27); any other type is a
// soft check (ExpectFail) and answers 0, no name.
int32_t ErrTypeMsgId(int32_t type);
// 1 for the clearance types 2, 3, 4, 6, 7, 13 and 20; 0 for the others (a
// type without a name is a soft check).
int32_t ErrTypeIsClearance(int32_t type);
// 1 when a colour entry of item kind 1 or 9 shows the marker's layer.
int32_t MarkerShown(const ErrorMarker* record);
// Trace lines of a marker under a caption.
void MarkerReport(const ErrorMarker* record, const char* caption);
// Registers the module with the database.
void MarkerRegister();
