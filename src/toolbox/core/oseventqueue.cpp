// The low-level event queue over a static block of entries: a queue list
// and a free list, both singly linked with a count.
#include "toolbox/core/oseventqueue.h"

#include "toolbox/core/osinput.h"
#include "toolbox/core/ticks.h"

namespace {
struct OsQueueHead {
    int16_t count;
    OsEventEntry* first;
    OsEventEntry* last;
};

OsEventEntry g_block[kOsEventQueueLimit];
OsQueueHead g_queue{};
OsQueueHead g_free{};
bool g_started = false;
uint16_t g_systemMask = kSystemEventMaskInitial;

void Append(OsQueueHead* head, OsEventEntry* entry) {
    entry->next = nullptr;
    if (head->last)
        head->last->next = entry;
    else
        head->first = entry;
    head->last = entry;
    ++head->count;
}

OsEventEntry* TakeFirst(OsQueueHead* head) {
    OsEventEntry* entry = head->first;
    if (!entry) return nullptr;
    head->first = entry->next;
    if (!head->first) head->last = nullptr;
    --head->count;
    entry->next = nullptr;
    return entry;
}

void Unlink(OsQueueHead* head, OsEventEntry* previous, OsEventEntry* entry) {
    if (previous)
        previous->next = entry->next;
    else
        head->first = entry->next;
    if (head->last == entry) head->last = previous;
    --head->count;
    entry->next = nullptr;
}

void Start() {
    if (g_started) return;
    g_started = true;
    g_queue = OsQueueHead{};
    g_free = OsQueueHead{};
    for (OsEventEntry& entry : g_block)
        Append(&g_free, &entry);
}

bool MouseWhat(uint16_t what) {
    return what == kOsWhatMouseDown || what == kOsWhatMouseUp;
}
} // namespace

uint16_t OsMaskOfWhat(uint16_t what) {
    return what < 16 ? uint16_t(1u << what) : 0;
}

void OsNullRecord(OsEventRecord* out) {
    Point32 mouse;
    OsMouseClient(&mouse);
    *out = OsEventRecord{};
    out->when = GetTicks();
    out->where = Point16{int16_t(mouse.v), int16_t(mouse.h)};
    out->whereV = mouse.v;
    out->whereH = mouse.h;
    out->modifiers = KeyModifiers();
    if (!OsButtonDown(kOsButtonLeft)) out->modifiers |= kModButtonUp;
}

int32_t PostOsEventRecord(uint16_t what, uintptr_t message, OsEventEntry** out) {
    Start();
    if (out) *out = nullptr;
    uint16_t bit = 0;
    switch (what) {
    case kOsWhatMouseDown:
    case kOsWhatMouseUp:
    case kOsWhatKeyDown:
    case kOsWhatKeyUp:
    case kOsWhatAutoKey:
    case kOsWhatWheel:
        bit = OsMaskOfWhat(what);
        break;
    default:
        return kOsPostRefused;
    }
    if (!(g_systemMask & bit)) return kOsPostNotQueued;
    if (g_queue.count >= kOsEventQueueLimit) Append(&g_free, TakeFirst(&g_queue));
    OsEventEntry* entry = TakeFirst(&g_free);
    if (!entry) return kOsPostNoEntry;
    entry->entryType = kOsEntryType;
    entry->maskBit = bit;
    OsNullRecord(&entry->record);
    entry->record.what = what;
    entry->record.message = message;
    Append(&g_queue, entry);
    if (out) *out = entry;
    return kOsPostOk;
}

int32_t PostOsEvent(uint16_t what, uintptr_t message) {
    return PostOsEventRecord(what, message, nullptr);
}

bool FindQueuedOsEvent(uint16_t mask, OsEventRecord* out, int32_t button, bool pumpFirst,
                       bool remove) {
    Start();
    if (pumpFirst) MessagePump();
    OsEventEntry* previous = nullptr;
    for (OsEventEntry* entry = g_queue.first; entry; previous = entry, entry = entry->next) {
        if (!(entry->maskBit & mask)) continue;
        if (button != 0 && MouseWhat(entry->record.what) &&
            entry->record.message != uintptr_t(button - 1))
            continue;
        if (out) *out = entry->record;
        if (remove) {
            Unlink(&g_queue, previous, entry);
            Append(&g_free, entry);
        }
        return true;
    }
    if (out) {
        *out = OsEventRecord{};
        out->when = GetTicks();
    }
    return false;
}

void FlushOsEvents(uint16_t mask, uint16_t stopMask) {
    Start();
    MessagePump();
    OsEventEntry* previous = nullptr;
    OsEventEntry* entry = g_queue.first;
    while (entry) {
        if (entry->maskBit & stopMask) break;
        OsEventEntry* next = entry->next;
        if (entry->maskBit & mask) {
            Unlink(&g_queue, previous, entry);
            Append(&g_free, entry);
        } else {
            previous = entry;
        }
        entry = next;
    }
}

void SetSystemEventMask(uint16_t mask) {
    g_systemMask = mask;
}
uint16_t GetSystemEventMask() {
    return g_systemMask;
}

int32_t OsEventQueueCount() {
    Start();
    return g_queue.count;
}

void OsEventQueueReset() {
    g_started = false;
    Start();
    g_systemMask = kSystemEventMaskInitial;
}
