// The board text table: lines of stroke-font text on a layer, owned by the
// board (0), a symbol (s > 0, in the symbol's frame) or a component (-c).
// Each owner keeps its texts in a list, newest first. A text's kind decides
// whether it shows its own text or a name taken from its owner.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

// Location codes of the text table's errors.
enum : int32_t {
    kErrTextFindTable = 21638,
    kErrTextSymFirst = 21643,
    kErrTextFull = 21644, // out of memory: past 8,000 texts
    kErrTextCompFirst = 21645,
    kErrTextNext = 21646,
    kErrTextGet = 21649,
    kErrTextPutIndex = 21650,
    kErrTextPutKind = 21651,
    kErrTextPutWidth = 21652,
    kErrTextPutHeight = 21653,
    kErrTextPutR = 21654,
    kErrTextPutLayer = 21656,
    kErrTextPutRatio = 21657,
    kErrTextPutGlyphAngle = 21658,
    kErrTextDelete = 21660,
    kErrTextLinkWalk = 21681, // an owner list longer than 8,000; also an unknown kind
    kErrTextPlaceNoComp = 21682,
    kErrTextLinkMissing = 21683,
    kErrTextPlaceBoard = 21684,
    kErrTextBlock = 21691,
};

enum : int32_t {
    kTextMax = 8000,
    kTextGrowBy = 200,
    kTextMaxKind = 7,
};

// Text kinds.
enum : uint8_t {
    kTextStatic = 0,
    kTextCompName = 1,
    kTextFootprintName = 2,
    kTextPackageName = 3,
    kTextPinName = 4,
    kTextCompDetail = 5,
    kTextFootprintDetail = 6,
};

// Text flag bits.
enum : uint8_t {
    kTextFlagMirrored = 0x01,
    kTextFlagNameText = 0x02, // a name text the system made
    kTextFlagNoExtent = 0x40, // left out of the design extent
};

// From DbInit: room for the header's counts; count 0.
void TextInit();
// From DbFree: forgets the slots (the records go with pool 2).
void TextReset();
int32_t TextCount();
// Appends an empty slot and answers its index; past 8,000 out of memory.
int32_t TextAdd();
// Deletes t; the last text takes its number, and the attributes and the
// journal are renumbered.
void TextDelete(int32_t t);
// Copies t out with the placeholder it shows: kind 1 "&Comp", kind 2 its
// footprint's name ("&FP" on the board), kind 3 its component's package
// name ("&Pack" for other owners). An empty slot gives the default record.
void TextGet(int32_t t, BoardText* out);
// The stored record itself (null for an empty slot).
const BoardText* TextRef(int32_t t);
// Checks and stores: height, angle, box from the strokes, naming, design
// extent, owner list.
void TextPut(int32_t t, const BoardText* record);
// The checks of TextPut without storing anything: the index 1..count, then
// (unless trusted) kind, width, height (after an unset height takes its
// default), r, layer, ratio and glyph angle. 0 when the put would pass, else
// the code of the first rule it fails, with the number it would report in
// *number (may be null).
ErrCode TextPutCheck(int32_t t, const BoardText* record, int32_t* number = nullptr);
// The first text named text, 0 when none.
int32_t TextFind(const char* text);
// Heads of the owners' lists, and the next text of the same owner (0 at the
// end).
int32_t TextBoardFirst();
int32_t SymTextFirst(int32_t s);
int32_t CompTextFirst(int32_t c);
int32_t TextNext(int32_t t);
// The string the text shows on the placed component comp (at most 100
// characters and the zero into out).
void TextString(const BoardText* text, const Component* comp, char* out);
// Turns the position about the origin by the angle, moves it by (dx, dy),
// adds the angle to the text's angle and moves (and turns) the box.
void TextPlace(BoardText* text, int32_t dx, int32_t dy, int32_t angle);
// Reads t as the current edit sees it and, for c not 0, places it on
// component c.
void TextPlaceOnComp(int32_t t, int32_t c, BoardText* out);
// The catalogue message of a kind's name: 21671..21677 for kinds 0..6; any
// other kind is a failed expectation and gives 0.
int32_t TextKindMsgId(int32_t kind);

// Renumbering of owners (with the trusted flag set): texts of a deleted
// owner (map entry 0) are deleted, the others' owners rewritten keeping the
// sign.
void TextCompRenumber(const int16_t* map, int32_t count);
void TextSymRenumber(const int16_t* map, int32_t count);

// Gives component c its own copies of its symbol's texts (all but footprint
// details), owned by -c, through one journal level whose commit installs
// them.
void CompTextsFromSym(int32_t c);

// Registers the module with the database.
void TextRegister();

// ---- inspection, for tests ---------------------------------------------------

// Slots allocated.
int32_t TextSlots();
