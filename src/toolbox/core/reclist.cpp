// Record lists and registered control definitions.
#include "toolbox/core/reclist.h"

#include <cstring>

#include "toolbox/core/heap.h"

namespace {

HeapPool* g_headerPool = nullptr;

HeapPool* HeaderPool() {
    if (!g_headerPool) {
        g_headerPool = NewPagedHeapPool(2048);
        if (g_headerPool) SetPoolFixedSize(g_headerPool, int32_t(sizeof(RecordArray)));
    }
    return g_headerPool;
}

// The bytes of a record: a handle's block or the record itself.
void* RecordBytes(RecordArray* list, void* record) {
    if (list->options & kRecordsRelocatable) return *static_cast<void**>(record);
    return record;
}

void* LinkOf(RecordArray* list, void* record) {
    void* next;
    std::memcpy(&next, RecordBytes(list, record), sizeof next);
    return next;
}

void FreeRecord(RecordArray* list, void* record) {
    if (list->options & kRecordsRelocatable) HeapHandleFree(static_cast<RelocatableBlock>(record));
    else FreeHeapBlock(record);
}

struct ControlDefinitionNode {
    ControlDefinitionNode* link;
    ControlDefinitionProc procedure;
    int16_t group;
};
ControlDefinitionNode* g_definitions = nullptr;

} // namespace

RecordArray* RecordArrayNew(HeapPool* pool, int32_t recordSize, uint32_t options) {
    if (!pool) pool = PointerBlockPool();
    RecordArray* list;
    if (options & kRecordsOwnHeader) list = static_cast<RecordArray*>(NewPointerBlockClear(pool, sizeof(RecordArray)));
    else list = static_cast<RecordArray*>(NewPoolRecordClear(HeaderPool()));
    if (!list) return nullptr;
    list->pool = pool;
    list->recordSize = recordSize < int32_t(sizeof(void*)) ? int32_t(sizeof(void*)) : recordSize;
    list->options = options;
    return list;
}

void* RecordArrayNewRecord(RecordArray* list) {
    if (list->options & kRecordsRelocatable) return NewRelocatableBlockClear(list->pool, list->recordSize);
    if (list->options & kRecordsPoolFixed) return NewPoolRecordClear(list->pool);
    return NewPointerBlockClear(list->pool, list->recordSize);
}

void* RecordArrayNext(RecordArray* list, void* record) {
    if (!list || !record) return nullptr;
    return LinkOf(list, record);
}

void RecordArraySetNext(RecordArray* list, void* record, void* next) {
    std::memcpy(RecordBytes(list, record), &next, sizeof next);
}

void* RecordArrayAt(RecordArray* list, int32_t position) {
    if (!list || position < 0) return nullptr;
    void* r = list->first;
    for (int32_t i = 0; r && i < position; ++i) r = LinkOf(list, r);
    return r;
}

void* RecordArrayInsertAfter(RecordArray* list, void* after, void* record) {
    if (!record) record = RecordArrayNewRecord(list);
    if (!record) return nullptr;
    if (after) {
        RecordArraySetNext(list, record, LinkOf(list, after));
        RecordArraySetNext(list, after, record);
    } else {
        RecordArraySetNext(list, record, list->first);
        list->first = record;
    }
    ++list->count;
    return record;
}

void* RecordArrayPush(RecordArray* list, void* record) { return RecordArrayInsertAfter(list, nullptr, record); }

bool RecordArrayRemove(RecordArray* list, void* record, void* searchStart, uint8_t dispose) {
    if (!list || !record) return false;
    void* previous = nullptr;
    if (searchStart) {
        previous = searchStart;
        void* r = LinkOf(list, previous);
        while (r && r != record) {
            previous = r;
            r = LinkOf(list, r);
        }
        if (!r) return false;
    } else if (list->first != record) {
        previous = list->first;
        void* r = previous ? LinkOf(list, previous) : nullptr;
        while (r && r != record) {
            previous = r;
            r = LinkOf(list, r);
        }
        if (!r) return false;
    }
    void* next = LinkOf(list, record);
    if (previous) RecordArraySetNext(list, previous, next);
    else list->first = next;
    --list->count;
    if (dispose) {
        if (list->dispose) list->dispose(list, record);
        FreeRecord(list, record);
    }
    return true;
}

void* RecordArrayPop(RecordArray* list, uint8_t dispose) {
    if (!list || !list->first) return nullptr;
    void* record = list->first;
    RecordArrayRemove(list, record, nullptr, dispose);
    return dispose ? nullptr : record;
}

void RegisterControlDefinition(int16_t group, ControlDefinitionProc procedure) {
    auto* node = static_cast<ControlDefinitionNode*>(NewPointerBlockClear(nullptr, sizeof(ControlDefinitionNode)));
    if (!node) return;
    node->link = g_definitions;
    node->procedure = procedure;
    node->group = group;
    g_definitions = node;
}

ControlDefinitionProc FindControlDefinition(int32_t definitionNumber) {
    for (ControlDefinitionNode* n = g_definitions; n; n = n->link) {
        if (n->group == definitionNumber / 16) return n->procedure;
    }
    return nullptr;
}
