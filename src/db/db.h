// The board database as a whole: the table modules' registry, the start and
// end of the database, validation, the generic record access by RecType that
// the tentative-edit journal installs through, and shared helpers.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "db/dbheader.h"
#include "db/records.h"

// What a table module offers the database. Unused entries stay null.
struct DbModuleOps {
    void (*init)() = nullptr;                                 // from DbInit
    void (*free)() = nullptr;                                 // from DbFree
    int32_t (*add)() = nullptr;                               // DbNewRecord
    void (*del)(int32_t index) = nullptr;                     // DbDeleteRecord
    void (*get)(int32_t index, void* out) = nullptr;          // DbGetRecord
    void (*put)(int32_t index, const void* record) = nullptr; // DbPutRecord
    const void* (*ref)(int32_t index) = nullptr;              // read-only record (AltRef)
    // The attribute module: rewrites keys after records of a type were
    // renumbered.
    void (*renumber)(int32_t type, const int16_t* map, int32_t count) = nullptr;
};

// Registers the module of a record type (replacing an earlier one).
void DbRegisterModule(int32_t type, const DbModuleOps& ops);
// The module registered for a type (all null when none).
DbModuleOps DbModuleGet(int32_t type);
// Registers a rebuild step of DbValidate by the header flag bit that asks for
// it (0x400, 0x200, 0x20, 0x4000, 0x10, 0x100); bit 0 is the range check
// that ends the validation.
void DbRegisterValidateStep(uint16_t bit, void (*step)());
// The step registered for a bit (null when none).
void (*DbValidateStepGet(uint16_t bit))();
// Fills the registry with every table module that is built (dbmodules.cpp);
// the database calls it on first use.
void DbRegisterBuiltins();

// Starts an empty database from the header; DbValid must be 0.
void DbInit();
// Ends the database: DbValid 0, every module freed, pool 2 reset.
void DbFree();
// Runs the rebuilds that the header's flags ask for. With a journal level
// open it does nothing and answers the depth; otherwise 0.
int32_t DbValidate();

int32_t DbNewRecord(int32_t type);
void DbDeleteRecord(int32_t type, int32_t index);
void DbGetRecord(int32_t type, int32_t index, void* out);
void DbPutRecord(int32_t type, int32_t index, const void* record);

// The default record of a type for a row (zero-filled first).
void DbRecInit(int32_t type, void* record, int32_t row);
// The stored size of a record.
int32_t DbRecSize(int32_t type, const void* record);

// Rewrites, in one record image, each reference to a record of the
// renumbered type: a reference 1..count becomes map[reference]; any other
// value stays. The map has entries 0..count.
void DbRenumberRefs(int32_t renType, const int16_t* map, int32_t count, int32_t recType,
                    void* record);
// Hands a renumbering map to the attribute module, when there is one.
void DbAttrRenumber(int32_t type, const int16_t* map, int32_t count);

// Sorts rows 1..count by their key texts, calling swap for every exchange.
// Returns the map old row -> new row (entries 0..count, any count up to a
// full table), or an empty map when count is below 2 or the order did not
// change.
std::vector<int16_t> DbSortIndex(int32_t count, const std::function<const char*(int32_t row)>& key,
                                 const std::function<void(int32_t a, int32_t b)>& swap);

// A coordinate as display text.
const char* CoordText(int32_t value);
// Least common multiple; 0 when a or b is not positive. It must fit 32 bits
// (LcmFits), else an internal error.
int32_t LcmChecked(int32_t a, int32_t b);
// Whether the routing grid and both grid pairs of a header have least
// common multiples in 32 bits, as the range check combines them (a grid of
// 0 stands for the routing grid).
bool DbGridsCombine(const DbHeader* h);
// Whether LcmChecked(a, b) has an answer (true when a or b is not positive).
bool LcmFits(int32_t a, int32_t b);

// The name of the number v: its number form (30,001 + v) for 0..30,000,
// otherwise the decimal text stored as a name (NameOfNumber).
NameId DbNumberName(int32_t v);

// The trusted flag: while set, the tables' puts store records as given.
bool DbIsTrusted();
// Sets or clears it and answers the previous value; whoever sets it restores
// that value afterwards, so nested users keep it.
bool DbSetTrusted(bool on);

class DbTrustedScope {
  public:
    explicit DbTrustedScope(bool on = true) : m_previous(DbSetTrusted(on)) {}
    ~DbTrustedScope() { DbSetTrusted(m_previous); }
    DbTrustedScope(const DbTrustedScope&) = delete;
    DbTrustedScope& operator=(const DbTrustedScope&) = delete;

  private:
    bool m_previous;
};
