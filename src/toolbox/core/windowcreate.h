// Creation of window objects over ports and panes: the pane tree, surface
// list and record of a new top-level window over its port record (the
// native window underneath is made by the platform's creator), pane
// windows inside an owner and split panes beside one.
//
// Guarantees: every creation reads and clears the one-shot creation words,
// whether it succeeds or not; a failure leaves no pane, list or record
// behind; a record that its first event disposed gives null.
#pragma once
#include <cstdint>

#include "toolbox/core/heap.h"
#include "toolbox/core/rect.h"
#include "toolbox/core/windowkinds.h"
#include "toolbox/core/windowobject.h"

struct PortRecord;

struct WindowCreation {
    uint8_t kind;
    uint8_t variant;
    uint32_t options;
    int16_t applicationTag;
    uint32_t flags; // added to the record's flags
    void* userData;
    WindowEventCallback callback;
};

// The root pane (0, 0, 32000, 32000 as limits, sized height x width) with
// the one-shot pane flags, its surface list and the record over a port;
// then select item 0 (null when that disposed the record) and resize.
// The one-shot words must have been taken by the caller. When the record
// was disposed, its port went with it; on any other failure the port is
// left to the caller (FindPortOfNativeWindow tells which).
WindowObject* AttachWindowObject(HeapPool* pool, PortRecord* port, const WindowCreation* params,
                                 const OneShotCreationWords* words, int16_t height, int16_t width);
// A hidden kind-4 window inside the owner at a rectangle of the owner's
// pane; null on failure.
WindowObject* NewPaneWindow(uint8_t variant, uint32_t options, uint32_t flags, WindowObject* owner,
                            const Rect16* rect, void* userData, WindowEventCallback callback);
// A kind-5 window taking the side of the owner's pane beyond the position.
WindowObject* NewSplitPaneWindow(uint8_t variant, uint32_t options, uint32_t flags,
                                 WindowObject* owner, int32_t position, uint8_t side,
                                 void* userData, WindowEventCallback callback);
