// The plot report table (type 17): output set-ups, each a 68-byte head and
// 65 colour entries.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kReportMax = 1000, // reports in a design
    kReportGrow = 20,  // room is made this many reports at a time
    kReportNames = 4,  // name fields of a report
};

// Name field i (0..3) of a report: the name and the values at 4, 8 and 16.
NameId ReportNameGet(const PlotReport* record, int32_t i);
void ReportNameSet(PlotReport* record, int32_t i, NameId id);

// From DbInit: room for the header's report count (none when 0), count 0.
void ReportInit();
// From DbFree: the table is not allocated.
void ReportReset();
// Appends a report with its defaults (the number-form name of its index),
// sets DbModified and answers its index; past 1,000 is out of memory.
int32_t ReportAdd();
// Report n (1..count) out and in; the put sets DbModified.
void ReportGet(int32_t n, PlotReport* out);
void ReportPut(int32_t n, const PlotReport* record);
// The rules of ReportPut: the index 1..count, and every name field a name
// with a text. 0 when the put would pass, else its code, with the
// offending value in *number (may be null).
ErrCode ReportPutCheck(int32_t n, const PlotReport* record, int32_t* number = nullptr);
// Deletes report n: later reports move down one place; attributes and the
// journal renumber theirs.
void ReportDelete(int32_t n);
int32_t ReportCount();
// Reports there is room for (0 while not allocated).
int32_t ReportCapacity();
// Registers the module with the database.
void ReportRegister();
