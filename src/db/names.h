// Names of records: the 32-bit NameId held in every named record and the
// name string table that keeps the texts of long names.
//
// A NameId is one of four forms, told apart by value:
//   0                      the empty text
//   30,001 + v (v 0..30,000) the decimal text of v (the number form)
//   (page + 1) x 65,536 + offset   a text stored in the string table
//   top byte not zero      up to four characters packed from the high byte
// Two records have the same name exactly when their NameIds are equal.
#pragma once
#include <cstdint>

#include "db/records.h"

enum : int32_t {
    kNameMaxChars = 100,     // longest name text
    kNameNumberBase = 30001, // the number form of v is 30,001 + v
    kNameNumberMax = 30000,  // largest value with a number form
    kNameChains = 203,       // hash chains, headed by pages 0..202
    kNamePages = 255,        // pages 0..254: ids stay below 0x01000000
    kNamePageBytes = 8000,   // text bytes of a page (its block has one more)
};

// The text's NameId without storing anything: 0 for an empty text or a
// long text that is not stored.
NameId NameLookup(const char* text);
// The text's NameId, storing the text when it is not stored yet (the table
// is set up on first use). A text over 100 characters is an internal error.
NameId NameIntern(const char* text);
// Whether NameIntern(text) can keep the text: it is stored already, or it
// has at most 100 characters and the table has room for it. A reader asks
// first, so that a full name table fails its load instead of the program.
bool NameFits(const char* text);
// Whether id has a text: every form but a stored-form id that points at
// no text of the table (one kept from another session's table).
bool NameIdValid(NameId id);
// Writes the text of id into buffer (room for 101 bytes), cut to limit
// characters when limit is below 100.
void NameToText(NameId id, int32_t limit, char* buffer);
// The text of id in the next value ring buffer (valid over the next four
// ring uses).
const char* NameText(NameId id);
// Turns the name in buffer into the next of its series within limit
// characters (at most 100): GND -> GND2, R19A -> R20A, U9 -> U10.
void NameNext(char* buffer, int32_t limit);
// The name of a number: the number form for 0..30,000, otherwise the
// decimal text stored in the table, so that it reads back and is found by
// its text like any other name.
NameId NameOfNumber(int32_t v);

// From DbInit: nothing (the table is set up by the first NameIntern).
void NameInit();
// From DbFree: forgets the table; its memory goes with pool 2.
void NameReset();
// Registers the module with the database.
void NameRegister();

// ---- inspection, for tests -------------------------------------------------

// Highest page in use (202 once set up, -1 when not set up).
int32_t NameHighestPage();
// A page's free bytes, used bytes and next page of its chain (-1 none).
int32_t NamePageFree(int32_t page);
int32_t NamePageUsed(int32_t page);
int32_t NamePageNext(int32_t page);
// The chain of a text (its hash).
int32_t NameHash(const char* text);
