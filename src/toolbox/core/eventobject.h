// Event objects: relocatable records with a class, a kind, a time stamp and
// a list of typed, named parameters, plus a free pool of released records.
//
// Layout: a fixed header (EventObjectRecord) in the first 40 bytes, then the
// parameters from offset 40 up to the used end, each an EventParam entry of
// name (4 bytes), type (4), size (u16, machine order) and the data, padded
// to an even length ((size + 11) & ~1, in 32-bit arithmetic). The block is
// always the used end rounded up to a multiple of 96 bytes.
//
// Guarantees: a parameter that cannot be stored leaves the event as it was;
// released records are pooled (at most 8, shrunk to 96 bytes) and the
// newest pooled record is reused first.
#pragma once
#include <cstdint>
#include <initializer_list>

#include "toolbox/core/eventtypes.h"

struct EventObjectRecord;
typedef EventObjectRecord** EventObject;

struct EventObjectRecord {
    EventObject link; // next event in the posted queue or in the free pool
    uint32_t eventClass;
    uint32_t kind;
    double time; // seconds
    uint32_t attributes;
    uint32_t usedEnd;
    int16_t retainCount;
    int16_t priority;
    int16_t paramCount;
};

constexpr uint32_t kEventParamsStart = 40;
static_assert(sizeof(EventObjectRecord) <= kEventParamsStart);
constexpr int32_t kEventBlockStep = 96;
constexpr int16_t kEventPooledMark = int16_t(0xCACE);
constexpr int32_t kEventPoolLimit = 8;
constexpr uint32_t kEventParamHeaderSize = 10;
constexpr uint32_t kEventParamLargestSize = 0xFFFF;
constexpr uint32_t kEventTypeHiPoint = FourCC("hipt");
constexpr uint32_t kEventTypeQdPoint = FourCC("QDpt");

// Toolbox result codes of events and receivers.
constexpr int32_t kEventResultOk = 0;
constexpr int32_t kEventNoMemory = 8;
constexpr int32_t kEventBadArgument = 87;
constexpr int32_t kEventNotHandled = -9874;
constexpr int32_t kEventHandlerInstalled = -9866;
constexpr int32_t kEventAlreadyQueued = -9860;
constexpr int32_t kEventParamNotFound = -9870;
constexpr int32_t kEventParamWrongType = -1700;
constexpr int32_t kEventBufferTooSmall = -30591;
constexpr int32_t kEventNotInQueue = -9877;

// A named parameter to store or to read, for the list forms.
struct EventParamRef {
    uint32_t name;
    void* data;
};

// 0, or kEventNoMemory with out null.
int32_t EventObjectNew(uint32_t eventClass, uint32_t kind, double time, uint32_t attributes,
                       EventObject* out);
// The same with the current time and attributes 0.
int32_t EventObjectNew(uint32_t eventClass, uint32_t kind, EventObject* out);
// A new event (time = now) with a direct object of `directType` at `direct`
// (null for none) and the listed parameters, each typed and sized by the
// tables; null without memory.
EventObject EventObjectCreateWith(uint32_t eventClass, uint32_t kind, uint32_t directType,
                                  const void* direct, std::initializer_list<EventParamRef> params);
// A new event with the same content and the current time, or null.
EventObject EventObjectCopy(EventObject event);
void EventObjectRetain(EventObject event);
void EventObjectRelease(EventObject event);
// Records waiting in the free pool.
int32_t EventObjectPoolCount();

// Replaces or appends the parameter; 0, kEventNoMemory when the block
// cannot grow (the event is unchanged), kEventBadArgument for a size above
// kEventParamLargestSize.
int32_t EventParamSet(EventObject event, uint32_t name, uint32_t type, uint32_t size,
                      const void* data);
// Reads a parameter into `out` (at most bufferSize bytes); see the header
// of eventobject.cpp for the type rules. actualType and actualSize may be
// null.
int32_t EventParamGet(EventObject event, uint32_t name, uint32_t desiredType, uint32_t* actualType,
                      uint32_t bufferSize, uint32_t* actualSize, void* out);
int32_t EventParamGet(EventObject event, uint32_t name, uint32_t desiredType, uint32_t bufferSize,
                      void* out);
// Reads the direct object (when directOut is not null) and each listed
// parameter with its table type and size; a missing parameter's buffer is
// zero-filled. The result of the last read.
int32_t EventParamsGet(EventObject event, uint32_t directType, void* directOut,
                       std::initializer_list<EventParamRef> params);
