// The conversion table from low-level what codes to event classes, kinds
// and parameters, and the mask table of the waited-for kinds.
#include "toolbox/core/eventconvert.h"

#include <cstring>

#include "toolbox/core/loophooks.h"
#include "toolbox/core/startuprequest.h"

namespace {
struct MaskRow {
    uint32_t eventClass;
    uint32_t kind;
    uint16_t mask;
};

constexpr MaskRow kMaskRows[] = {
    {kEventClassMouse, kMouseDownKind, kOsMaskMouseDown},
    {kEventClassMouse, kMouseUpKind, kOsMaskMouseUp},
    {kEventClassMouse, kMouseMovedKind, kOsMaskOs},
    {kEventClassMouse, kMouseWheelKind, kOsMaskWheel},
    {kEventClassKeyboard, kKeyDownKind, kOsMaskKeyDown},
    {kEventClassKeyboard, kKeyRepeatKind, kOsMaskAutoKey},
    {kEventClassKeyboard, kKeyUpKind, kOsMaskKeyUp},
    {kEventClassWindow, kWindowUpdateKind, kOsMaskUpdate},
    {kEventClassWindow, kWindowActivatedKind, kOsMaskActivate},
    {kEventClassWindow, kWindowDeactivatedKind, kOsMaskActivate},
    {kEventClassHighLevel, kHighLevelKind, kOsMaskHighLevel},
};

uint32_t FourByteType(uint32_t name) {
    return EventParamTypeOfName(name);
}

bool Put(EventObject event, uint32_t name, uint32_t size, const void* data) {
    return EventParamSet(event, name, FourByteType(name), size, data) == kEventResultOk;
}

bool PutMouse(EventObject event, const OsEventRecord* r) {
    uint32_t modifiers = r->modifiers;
    return Put(event, kParamMouseLocation, sizeof(Point16), &r->where) &&
           Put(event, kParamModifiers, sizeof(modifiers), &modifiers);
}

bool PutWindow(EventObject event, uint32_t name, void* window) {
    return EventParamSet(event, name, kReceiverWindow, sizeof(window), &window) == kEventResultOk;
}

bool PutRequest(EventObject event, StartupRequest* request) {
    int16_t kind = int16_t(request->kind);
    if (!Put(event, kParamRequestKind, sizeof(kind), &kind)) return false;
    if (request->kind == kStartupDroppedFile) {
        StartupDrop* drop = StartupRequestDrop(request);
        if (!PutWindow(event, kParamWindow, drop->window) ||
            !Put(event, kParamDropIndex, sizeof(drop->index), &drop->index) ||
            !Put(event, kParamDropCount, sizeof(drop->count), &drop->count))
            return false;
    } else if (request->kind != kStartupOpenDocument && request->kind != kStartupPrintDocument) {
        return true;
    }
    const char* path = StartupRequestPath(request);
    return EventParamSet(event, kParamPath, kTypeCString, uint32_t(std::strlen(path) + 1), path) ==
           kEventResultOk;
}

bool Fill(EventObject event, const OsEventRecord* r) {
    switch (r->what) {
    case kOsWhatMouseDown:
    case kOsWhatMouseUp: {
        uint16_t button = uint16_t((r->message & 3) + 1);
        return PutMouse(event, r) && Put(event, kParamMouseButton, sizeof(button), &button);
    }
    case kOsWhatKeyDown:
    case kOsWhatKeyUp:
    case kOsWhatAutoKey: {
        char character = char(r->message & 0xFF);
        uint32_t code = uint32_t(r->message >> 8) & 0xFF;
        uint32_t modifiers = r->modifiers;
        return Put(event, kParamKeyChar, 1, &character) &&
               Put(event, kParamKeyCode, sizeof(code), &code) &&
               Put(event, kParamModifiers, sizeof(modifiers), &modifiers);
    }
    case kOsWhatUpdate:
    case kOsWhatActivate:
        return PutWindow(event, kEventParamDirectObject, reinterpret_cast<void*>(r->message));
    case kOsWhatWheel: {
        uint16_t axis = (r->modifiers & kModShift) ? 0 : 1;
        int32_t delta = int32_t(uint32_t(r->message)) / kWheelDeltaStep;
        return PutMouse(event, r) && Put(event, kParamWheelAxis, sizeof(axis), &axis) &&
               Put(event, kParamWheelDelta, sizeof(delta), &delta);
    }
    case kOsWhatOs:
        if (r->message == kOsMessageMouseMoved) return PutMouse(event, r);
        if (r->message & kOsMessageResumeBit)
            return PutWindow(event, kParamWindow, LoopHooks().frontNonFloatingWindow());
        return true;
    case kOsWhatHighLevel:
        return PutRequest(event, reinterpret_cast<StartupRequest*>(r->message));
    default:
        return false;
    }
}

bool ClassAndKind(const OsEventRecord* r, uint32_t* eventClass, uint32_t* kind) {
    switch (r->what) {
    case kOsWhatMouseDown:
        *eventClass = kEventClassMouse, *kind = kMouseDownKind;
        return true;
    case kOsWhatMouseUp:
        *eventClass = kEventClassMouse, *kind = kMouseUpKind;
        return true;
    case kOsWhatKeyDown:
        *eventClass = kEventClassKeyboard, *kind = kKeyDownKind;
        return true;
    case kOsWhatKeyUp:
        *eventClass = kEventClassKeyboard, *kind = kKeyUpKind;
        return true;
    case kOsWhatAutoKey:
        *eventClass = kEventClassKeyboard, *kind = kKeyRepeatKind;
        return true;
    case kOsWhatUpdate:
        *eventClass = kEventClassWindow, *kind = kWindowUpdateKind;
        return true;
    case kOsWhatActivate:
        *eventClass = kEventClassWindow;
        *kind = (r->modifiers & kModActiveFlag) ? kWindowActivatedKind : kWindowDeactivatedKind;
        return true;
    case kOsWhatWheel:
        *eventClass = kEventClassMouse, *kind = kMouseWheelKind;
        return true;
    case kOsWhatOs:
        if (r->message == kOsMessageMouseMoved) {
            *eventClass = kEventClassMouse, *kind = kMouseMovedKind;
            return true;
        }
        if ((r->message & ~uintptr_t(kOsMessageResumeBit)) != kOsMessageSuspendResume) return false;
        *eventClass = kEventClassApplication;
        *kind =
            (r->message & kOsMessageResumeBit) ? kApplicationResumeKind : kApplicationSuspendKind;
        return true;
    case kOsWhatHighLevel:
        *eventClass = kEventClassHighLevel, *kind = kHighLevelKind;
        return r->message != 0;
    default:
        return false;
    }
}
} // namespace

uint16_t EventMaskFromTypes(int32_t count, const EventTypeSpec* types) {
    if (!types || count <= 0) return kEventMaskNoList;
    uint16_t mask = 0;
    for (int32_t i = 0; i < count; ++i)
        for (const MaskRow& row : kMaskRows)
            if (row.eventClass == types[i].eventClass && row.kind == types[i].kind)
                mask |= row.mask;
    return mask;
}

int32_t EventObjectFromOsEvent(const OsEventRecord* record, EventObject* out) {
    *out = nullptr;
    uint32_t eventClass, kind;
    if (!ClassAndKind(record, &eventClass, &kind)) return kEventNoConversion;
    EventObject event = nullptr;
    if (EventObjectNew(eventClass, kind, &event) != kEventResultOk) return kEventNoConversion;
    if (!Fill(event, record)) {
        EventObjectRelease(event);
        return kEventNoConversion;
    }
    *out = event;
    return kEventResultOk;
}
