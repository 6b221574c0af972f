// Record lists: singly linked lists whose link is the first word
// (pointer-sized) of each record, and the list of registered control
// definitions.
#pragma once
#include <cstdint>

#include "toolbox/core/memblock.h"

enum : uint32_t {
    kRecordsRelocatable = 1, // records are relocatable blocks; the list holds handles
    kRecordsPoolFixed = 2,   // records are fixed-size records of the pool
    kRecordsOwnHeader = 4,   // the header is a pointer block of the pool
};

struct RecordArray;
// Called with the list and the record before a record is freed.
typedef void (*RecordDisposeProc)(RecordArray* list, void* record);

struct RecordArray {
    void* first;
    HeapPool* pool;
    RecordDisposeProc dispose;
    int32_t recordSize;
    int32_t count;
    uint32_t options;
};

RecordArray* RecordArrayNew(HeapPool* pool, int32_t recordSize, uint32_t options);
void* RecordArrayNewRecord(RecordArray* list);
void* RecordArrayNext(RecordArray* list, void* record);
void RecordArraySetNext(RecordArray* list, void* record, void* next);
void* RecordArrayAt(RecordArray* list, int32_t position);
void* RecordArrayInsertAfter(RecordArray* list, void* after, void* record);
void* RecordArrayPush(RecordArray* list, void* record);
bool RecordArrayRemove(RecordArray* list, void* record, void* searchStart, uint8_t dispose);
void* RecordArrayPop(RecordArray* list, uint8_t dispose);

// Registered control definitions, newest first. A group stands for the
// sixteen definition numbers group x 16 .. group x 16 + 15. A definition
// procedure is called with (variant, control, message, parameter) and
// answers a 32-bit result; the parameter is pointer-sized.
struct ToolboxControlRecord;
typedef int32_t (*ControlDefinitionProc)(int16_t variant, ToolboxControlRecord* control,
                                         int32_t message, intptr_t parameter);
void RegisterControlDefinition(int16_t group, ControlDefinitionProc procedure);
// The newest procedure registered for the group of a definition number;
// null when none.
ControlDefinitionProc FindControlDefinition(int32_t definitionNumber);
