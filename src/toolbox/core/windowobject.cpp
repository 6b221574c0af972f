// Window object records, the id table and the property stack.
//
// The id table is a record list of {link, record, sequence number} entries
// in a pool of its own (2048-byte pages), created at the first
// registration; lookup is a linear walk. Properties are a singly linked
// stack on the record: the newest block of a tag is found first and only
// that one is unlinked.
#include "toolbox/core/windowobject.h"

#include "toolbox/core/memblock.h"
#include "toolbox/core/reclist.h"

namespace {

constexpr int32_t kIdTablePageSize = 2048;
constexpr int32_t kPropertyAbsent = -5604;

struct WindowIdEntry {
    WindowIdEntry* link;
    WindowObject* record;
    int32_t sequence;
};

RecordArray* g_ids = nullptr;
int32_t g_lastSequence = 0;

RecordArray* IdTable() {
    if (!g_ids) {
        HeapPool* pool = NewPagedHeapPool(kIdTablePageSize);
        if (!pool) return nullptr;
        g_ids = RecordArrayNew(pool, int32_t(sizeof(WindowIdEntry)), 0);
    }
    return g_ids;
}

uint32_t g_idsRemoved = 0;

WindowIdEntry* FindIdEntry(int32_t sequence) {
    if (!g_ids || sequence <= 0) return nullptr;
    for (void* r = g_ids->first; r; r = RecordArrayNext(g_ids, r)) {
        WindowIdEntry* entry = static_cast<WindowIdEntry*>(r);
        if (entry->sequence == sequence) return entry;
    }
    return nullptr;
}

} // namespace

int32_t RegisterWindowId(WindowObject* window) {
    RecordArray* table = IdTable();
    if (!table) return 0;
    WindowIdEntry* entry = static_cast<WindowIdEntry*>(RecordArrayPush(table, nullptr));
    if (!entry) return 0;
    entry->record = window;
    entry->sequence = ++g_lastSequence;
    window->sequence = entry->sequence;
    return entry->sequence;
}

void UnregisterWindowId(int32_t sequence) {
    WindowIdEntry* entry = FindIdEntry(sequence);
    if (entry) RecordArrayRemove(g_ids, entry, nullptr, 1);
    ++g_idsRemoved;
}

uint32_t WindowIdRemovals() {
    return g_idsRemoved;
}

WindowObject* WindowObjectFromId(int32_t sequence) {
    WindowIdEntry* entry = FindIdEntry(sequence);
    return entry ? entry->record : nullptr;
}

int32_t WindowIdCount() {
    return g_ids ? g_ids->count : 0;
}

WindowObject* NewWindowObject(HeapPool* pool, uint8_t type, uint8_t kind, uint8_t variant,
                              void* portOrPane) {
    WindowObject* window =
        static_cast<WindowObject*>(NewPointerBlockClear(pool, int32_t(sizeof(WindowObject))));
    if (!window) return nullptr;
    window->pool = pool;
    window->type = type;
    window->kind = kind;
    window->variant = variant;
    window->currentSurface = kMainSurface;
    if (type == kWindowTypeNative)
        window->pane = portOrPane;
    else
        window->port = portOrPane;
    window->verticalScale = window->horizontalScale = kScaleOne;
    window->percentVertical = window->percentHorizontal = kScalePercentFull;
    window->wholeScaleVertical = window->wholeScaleHorizontal = 1;
    window->scrollStep = kDefaultScrollStep;
    if (!RegisterWindowId(window)) {
        FreeHeapBlock(window);
        return nullptr;
    }
    return window;
}

void FreeWindowObjectRecord(WindowObject* window) {
    if (!window) return;
    UnregisterWindowId(window->sequence);
    while (WindowProperty* p = window->properties) {
        window->properties = p->next;
        FreeHeapBlock(p);
    }
    FreeHeapBlock(window);
}

WindowProperty* FindWindowProperty(WindowObject* window, uint32_t tag) {
    for (WindowProperty* p = window ? window->properties : nullptr; p; p = p->next)
        if (p->tag == tag) return p;
    return nullptr;
}

WindowProperty* LinkWindowProperty(WindowObject* window, uint32_t tag, int32_t dataSize) {
    if (!window || dataSize < 0) return nullptr;
    WindowProperty* p = static_cast<WindowProperty*>(
        NewPointerBlockClear(window->pool, int32_t(sizeof(WindowProperty)) + dataSize));
    if (!p) return nullptr;
    p->owner = window;
    p->tag = tag;
    p->next = window->properties;
    window->properties = p;
    return p;
}

WindowProperty* DetachWindowProperty(WindowObject* window, uint32_t tag) {
    if (!window) return nullptr;
    for (WindowProperty** at = &window->properties; *at; at = &(*at)->next) {
        if ((*at)->tag != tag) continue;
        WindowProperty* found = *at;
        *at = found->next;
        found->next = nullptr;
        return found;
    }
    return nullptr;
}

int32_t UnlinkWindowProperty(WindowObject* window, uint32_t tag) {
    WindowProperty* p = DetachWindowProperty(window, tag);
    if (!p) return kPropertyAbsent;
    FreeHeapBlock(p);
    return 0;
}

WindowEventCallback ExchangeWindowEventCallback(WindowObject* window,
                                                WindowEventCallback callback) {
    WindowEventCallback old = window->eventCallback;
    window->eventCallback = callback;
    return old;
}

WindowEventCallback ExchangeWindowUserWord(WindowObject* window, WindowEventCallback callback) {
    return ExchangeWindowEventCallback(window, callback);
}

uint8_t WindowKindOf(const WindowObject* window) {
    return window->kind;
}

bool IsOwnedWindow(const WindowObject* window, const WindowObject* ancestor) {
    if (!window) return false;
    if (!ancestor) return window->owner != nullptr;
    for (const WindowObject* o = window->owner; o; o = o->owner)
        if (o == ancestor) return true;
    return false;
}

WindowObject* RootWindowObject(WindowObject* window) {
    while (window && window->owner)
        window = window->owner;
    return window;
}

bool KindMatches(const WindowObject* window, int32_t selector) {
    if (selector == kKindsAny) return true;
    if (selector == kKindsDocumentOrDialog)
        return window->kind == kKindDocument || window->kind == kKindDialog;
    return window->kind == selector;
}
