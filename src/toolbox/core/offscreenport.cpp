// Offscreen ports: a type-1 window object whose drawing state is bound to
// the GDI bitmap of the bitmap record attached to it.
#include "toolbox/core/bitmaprecord.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/region.h"
#include "toolbox/core/windowobject.h"

namespace {
OffscreenPort* OffscreenOf(const WindowObject* window) {
    if (!window || window->type != kWindowTypeOffscreen) return nullptr;
    return static_cast<OffscreenPort*>(window->port);
}
} // namespace

WindowObject* NewOffscreenPort(BitmapRecord* bitmap, uint32_t flags, void* userData) {
    auto* record =
        static_cast<OffscreenPort*>(NewPointerBlockClear(nullptr, int32_t(sizeof(OffscreenPort))));
    if (!record) return nullptr;
    WindowObject* window = NewWindowObject(nullptr, kWindowTypeOffscreen, 0, 0, record);
    if (!window) {
        FreeHeapBlock(record);
        return nullptr;
    }
    window->flags = flags;
    window->userData = userData;
    AttachBitmapToPort(window, bitmap);
    return window;
}

BitmapRecord* AttachBitmapToPort(WindowObject* port, BitmapRecord* bitmap) {
    OffscreenPort* record = OffscreenOf(port);
    if (!record) return nullptr;
    BitmapRecord* old = record->bitmap;
    if (old == bitmap) return old;
    if (old) old->port = nullptr;
    if (bitmap && bitmap->port) AttachBitmapToPort(bitmap->port, nullptr);
    record->bitmap = bitmap;
    if (bitmap) {
        bitmap->port = port;
        port->width = bitmap->width;
        port->height = bitmap->height;
    }
    DrawingLayer().bindStateTarget(&record->state, bitmap ? bitmap->bitmap : nullptr,
                                   kStateDcBitmap);
    return old;
}

BitmapRecord* PortBitmap(const WindowObject* port) {
    OffscreenPort* record = OffscreenOf(port);
    return record ? record->bitmap : nullptr;
}

void DisposeOffscreenState(WindowObject* port) {
    OffscreenPort* record = OffscreenOf(port);
    if (!record) return;
    if (record->bitmap) record->bitmap->port = nullptr;
    if (DrawingLayer().currentPort() == &record->state) DrawingLayer().setCurrentPort(nullptr);
    DrawingLayer().releaseStateDC(&record->state);
    DrawingLayer().disposeStateResources(&record->state);
    if (record->state.clip) DisposeRegion(record->state.clip);
    port->port = nullptr;
    FreeHeapBlock(record);
}
