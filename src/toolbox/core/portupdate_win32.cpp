// Port-level update regions and immediate updates.
#include "toolbox/core/portupdate_win32.h"

#include "toolbox/core/eventconvert.h"
#include "toolbox/core/eventwait.h"

namespace {
constexpr int32_t kRegionUnion = 2;

void ToPortCoordinates(NativeWindowRecord* record, RegionRecord* out) {
    if (record->pendingUpdate)
        CombineRegions(out, record->pendingUpdate, record->pendingUpdate, kRegionUnion);
    else
        SetRegionEmpty(out);
    OffsetRegion(out, record->state.origin.h, record->state.origin.v);
}
} // namespace

NativeWindowRecord* NativeRecordOfPort(PortRecord* port) {
    return port ? static_cast<NativeWindowRecord*>(port->nativeWindow) : nullptr;
}

void InvalidateNativeRegion(NativeWindowRecord* record, const RegionRecord* region) {
    AddToPendingUpdate(record, region);
}

void InvalidatePortRect(PortRecord* port, const Rect32* rect) {
    InvalidateNativeRect(NativeRecordOfPort(port), rect);
}

void ValidatePortRegion(PortRecord* port, const RegionRecord* region) {
    RemoveFromPendingUpdate(NativeRecordOfPort(port), region);
}

void ValidatePort(PortRecord* port) {
    NativeWindowRecord* record = NativeRecordOfPort(port);
    if (!record) return;
    if (record->pendingUpdate) SetRegionEmpty(record->pendingUpdate);
    if (HWND window = NativeWindowOf(record)) ValidateRect(window, nullptr);
}

void PortUpdateRegionLocal(PortRecord* port, RegionRecord* out) {
    NativeWindowRecord* record = NativeRecordOfPort(port);
    if (!record) return SetRegionEmpty(out);
    CollectUpdateRegionOf(NativeWindowOf(record));
    ToPortCoordinates(record, out);
}

void PortPendingUpdateLocal(PortRecord* port, RegionRecord* out) {
    NativeWindowRecord* record = NativeRecordOfPort(port);
    if (!record) return SetRegionEmpty(out);
    ToPortCoordinates(record, out);
}

void ResizePort(PortRecord* port, int32_t width, int32_t height) {
    SizeNativeWindow(NativeRecordOfPort(port), width, height, false);
}

void UpdatePortNow(PortRecord* port) {
    NativeWindowRecord* record = NativeRecordOfPort(port);
    if (!record) return;
    CollectUpdateRegionOf(NativeWindowOf(record));
    if (!record->pendingUpdate || IsRegionEmpty(record->pendingUpdate)) return;
    EventObject event = nullptr;
    if (EventObjectNew(kEventClassWindow, kWindowUpdateKind, 0, 1, &event) != kEventResultOk)
        return;
    void* window = record;
    EventParamSet(event, kEventParamDirectObject, kReceiverWindow, sizeof(window), &window);
    int32_t result = SendEventObjectCounted(event, ApplicationEventReceiver());
    // An update nobody takes would stay pending for ever.
    if (result == kEventNotHandled && record->pendingUpdate) SetRegionEmpty(record->pendingUpdate);
    EventObjectRelease(event);
}

void UpdateWindowsNow() {
    static const EventTypeSpec kinds[] = {{kEventClassWindow, kWindowUpdateKind},
                                          {kEventClassWindow, kWindowActivatedKind},
                                          {kEventClassWindow, kWindowDeactivatedKind}};
    for (;;) {
        EventObject event = nullptr;
        if (EventReceiveNext(3, kinds, 0.0, true, &event) != kEventResultOk) return;
        void* window = nullptr;
        EventParamGet(event, kEventParamDirectObject, kReceiverWindow, sizeof(window), &window);
        if ((*event)->kind == kWindowUpdateKind && !FindPortOfNativeWindow(window)) {
            // A window of another owner: its update is left to the loop.
            EventObjectRelease(event);
            return;
        }
        int32_t result = SendEventObjectCounted(event, ApplicationEventReceiver());
        if (result == kEventNotHandled && (*event)->kind == kWindowUpdateKind) {
            auto* record = static_cast<NativeWindowRecord*>(window);
            if (record->pendingUpdate) SetRegionEmpty(record->pendingUpdate);
        }
        EventObjectRelease(event);
    }
}
