// Event objects: creation, the free pool, and the parameter area.
//
// Reading a parameter: the stored type or '****' copies min(buffer, size)
// bytes and answers kEventBufferTooSmall when the buffer was smaller (its
// prefix is copied); a 'QDpt' read as 'hipt' into at least 8 bytes gives
// two 32-bit floats, horizontal first; any other type gives
// kEventParamWrongType and copies nothing. The actual type and size are
// reported even on failure (0 and 0 for an absent name).
#include "toolbox/core/eventobject.h"

#include <algorithm>
#include <cstring>

#include "toolbox/core/clock.h"
#include "toolbox/core/memblock.h"

namespace {

EventObject g_pool = nullptr;
int32_t g_poolCount = 0;

constexpr double kMsPerSecond = 1000.0;
constexpr uint32_t kParamTypeOffset = 4;
constexpr uint32_t kParamSizeOffset = 8;

double NowSeconds() {
    return ClockMilliseconds() / kMsPerSecond;
}

uint32_t PaddedSize(uint32_t size) {
    return (size + kEventParamHeaderSize + 1) & ~1u;
}

int32_t BlockSizeFor(uint32_t usedEnd) {
    return int32_t((usedEnd + kEventBlockStep - 1) / kEventBlockStep * kEventBlockStep);
}

uint8_t* Bytes(EventObject event) {
    return reinterpret_cast<uint8_t*>(*event);
}

uint32_t ReadU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

uint16_t ReadU16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

// Offset of the parameter named `name`, or 0 when absent.
uint32_t FindParam(EventObject event, uint32_t name) {
    const uint8_t* base = Bytes(event);
    uint32_t end = (*event)->usedEnd;
    for (uint32_t at = kEventParamsStart; at + kEventParamHeaderSize <= end;
         at += PaddedSize(ReadU16(base + at + kParamSizeOffset))) {
        if (ReadU32(base + at) == name) return at;
    }
    return 0;
}

void ResetHeader(EventObject event, uint32_t eventClass, uint32_t kind, double time,
                 uint32_t attributes) {
    EventObjectRecord* r = *event;
    r->link = nullptr;
    r->eventClass = eventClass;
    r->kind = kind;
    r->time = time;
    r->attributes = attributes;
    r->usedEnd = kEventParamsStart;
    r->retainCount = 1;
    r->priority = 0;
    r->paramCount = 0;
}

} // namespace

int32_t EventObjectNew(uint32_t eventClass, uint32_t kind, double time, uint32_t attributes,
                       EventObject* out) {
    EventObject event;
    if (g_pool) {
        event = g_pool;
        g_pool = (*event)->link;
        --g_poolCount;
    } else {
        event = reinterpret_cast<EventObject>(NewRelocatableBlockClear(nullptr, kEventBlockStep));
    }
    if (out) *out = event;
    if (!event) return kEventNoMemory;
    ResetHeader(event, eventClass, kind, time, attributes);
    return kEventResultOk;
}

int32_t EventObjectNew(uint32_t eventClass, uint32_t kind, EventObject* out) {
    return EventObjectNew(eventClass, kind, NowSeconds(), 0, out);
}

EventObject EventObjectCreateWith(uint32_t eventClass, uint32_t kind, uint32_t directType,
                                  const void* direct, std::initializer_list<EventParamRef> params) {
    EventObject event = nullptr;
    if (EventObjectNew(eventClass, kind, NowSeconds(), 0, &event) != kEventResultOk) return nullptr;
    int32_t result = kEventResultOk;
    if (direct) {
        result = EventParamSet(event, kEventParamDirectObject, directType,
                               EventTypeSize(directType), direct);
    }
    for (const EventParamRef& p : params) {
        if (result != kEventResultOk) break;
        uint32_t type = EventParamTypeOfName(p.name);
        result = EventParamSet(event, p.name, type, EventTypeSize(type), p.data);
    }
    if (result != kEventResultOk) {
        EventObjectRelease(event);
        return nullptr;
    }
    return event;
}

EventObject EventObjectCopy(EventObject source) {
    EventObject event = nullptr;
    const EventObjectRecord* s = *source;
    if (EventObjectNew(s->eventClass, s->kind, NowSeconds(), s->attributes, &event) !=
        kEventResultOk)
        return nullptr;
    uint32_t usedEnd = (*source)->usedEnd;
    if (!ResizeRelocatableBlock(reinterpret_cast<RelocatableBlock>(event), BlockSizeFor(usedEnd))) {
        EventObjectRelease(event);
        return nullptr;
    }
    std::memcpy(Bytes(event) + kEventParamsStart, Bytes(source) + kEventParamsStart,
                usedEnd - kEventParamsStart);
    (*event)->usedEnd = usedEnd;
    (*event)->paramCount = (*source)->paramCount;
    return event;
}

void EventObjectRetain(EventObject event) {
    if (event) ++(*event)->retainCount;
}

void EventObjectRelease(EventObject event) {
    if (!event) return;
    EventObjectRecord* r = *event;
    if (r->retainCount == kEventPooledMark) return; // already released
    if (r->retainCount > 1) {
        --r->retainCount;
        return;
    }
    if (g_poolCount >= kEventPoolLimit) {
        HeapHandleFree(reinterpret_cast<RelocatableBlock>(event));
        return;
    }
    r->retainCount = kEventPooledMark;
    r->paramCount = 0;
    r->usedEnd = kEventParamsStart;
    r->link = g_pool;
    g_pool = event;
    ++g_poolCount;
    auto block = reinterpret_cast<RelocatableBlock>(event);
    if (RelocatableBlockSize(block) > kEventBlockStep)
        ResizeRelocatableBlock(block, kEventBlockStep);
}

int32_t EventObjectPoolCount() {
    return g_poolCount;
}

int32_t EventParamSet(EventObject event, uint32_t name, uint32_t type, uint32_t size,
                      const void* data) {
    if (!event || size > kEventParamLargestSize) return kEventBadArgument;
    uint32_t usedEnd = (*event)->usedEnd;
    uint32_t entry = FindParam(event, name);
    uint32_t oldPadded = entry ? PaddedSize(ReadU16(Bytes(event) + entry + kParamSizeOffset)) : 0;
    if (!entry) entry = usedEnd;
    uint32_t tail = entry + oldPadded; // bytes from here on move
    uint32_t newPadded = PaddedSize(size);
    uint32_t newEnd = usedEnd - oldPadded + newPadded;
    auto block = reinterpret_cast<RelocatableBlock>(event);
    int32_t oldBlock = RelocatableBlockSize(block);
    int32_t newBlock = BlockSizeFor(newEnd);
    if (newBlock > oldBlock && !ResizeRelocatableBlock(block, newBlock)) return kEventNoMemory;
    uint8_t* base = Bytes(event);
    std::memmove(base + entry + newPadded, base + tail, usedEnd - tail);
    if (newBlock < oldBlock) {
        ResizeRelocatableBlock(block, newBlock); // shrinking keeps the bytes
        base = Bytes(event);
    }
    std::memcpy(base + entry, &name, 4);
    std::memcpy(base + entry + kParamTypeOffset, &type, 4);
    uint16_t size16 = uint16_t(size);
    std::memcpy(base + entry + kParamSizeOffset, &size16, 2);
    if (size) {
        if (data)
            std::memcpy(base + entry + kEventParamHeaderSize, data, size);
        else
            std::memset(base + entry + kEventParamHeaderSize, 0, size);
    }
    if (newPadded > size + kEventParamHeaderSize) base[entry + newPadded - 1] = 0;
    (*event)->usedEnd = newEnd;
    if (!oldPadded) ++(*event)->paramCount;
    return kEventResultOk;
}

int32_t EventParamGet(EventObject event, uint32_t name, uint32_t desiredType, uint32_t* actualType,
                      uint32_t bufferSize, uint32_t* actualSize, void* out) {
    uint32_t storedType = 0, storedSize = 0;
    uint32_t entry = event ? FindParam(event, name) : 0;
    if (entry) {
        storedType = ReadU32(Bytes(event) + entry + kParamTypeOffset);
        storedSize = ReadU16(Bytes(event) + entry + kParamSizeOffset);
    }
    auto report = [&](uint32_t type, uint32_t size, int32_t result) {
        if (actualType) *actualType = type;
        if (actualSize) *actualSize = size;
        return result;
    };
    if (!entry) return report(0, 0, kEventParamNotFound);
    const uint8_t* data = Bytes(event) + entry + kEventParamHeaderSize;
    if (desiredType == storedType || desiredType == kEventTypeWildcard) {
        if (out) std::memcpy(out, data, std::min(bufferSize, storedSize));
        return report(storedType, storedSize,
                      bufferSize < storedSize ? kEventBufferTooSmall : kEventResultOk);
    }
    if (storedType == kEventTypeQdPoint && desiredType == kEventTypeHiPoint && bufferSize >= 8 &&
        storedSize >= 4) {
        int16_t v, h;
        std::memcpy(&v, data, 2);
        std::memcpy(&h, data + 2, 2);
        float hv[2] = {float(h), float(v)};
        if (out) std::memcpy(out, hv, sizeof hv);
        return report(kEventTypeHiPoint, sizeof hv, kEventResultOk);
    }
    return report(storedType, storedSize, kEventParamWrongType);
}

int32_t EventParamGet(EventObject event, uint32_t name, uint32_t desiredType, uint32_t bufferSize,
                      void* out) {
    return EventParamGet(event, name, desiredType, nullptr, bufferSize, nullptr, out);
}

namespace {
int32_t ReadOrZero(EventObject event, uint32_t name, uint32_t type, void* out) {
    uint32_t size = EventTypeSize(type);
    int32_t result = EventParamGet(event, name, type, nullptr, size, nullptr, out);
    if (result == kEventParamNotFound && out) std::memset(out, 0, size);
    return result;
}
} // namespace

int32_t EventParamsGet(EventObject event, uint32_t directType, void* directOut,
                       std::initializer_list<EventParamRef> params) {
    int32_t result = kEventResultOk;
    if (directOut) result = ReadOrZero(event, kEventParamDirectObject, directType, directOut);
    for (const EventParamRef& p : params)
        result = ReadOrZero(event, p.name, EventParamTypeOfName(p.name), p.data);
    return result;
}
