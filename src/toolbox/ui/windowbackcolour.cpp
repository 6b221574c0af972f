// A window's erase colour (kept in its root pane's surface list) and
// erasing a port's content. The erase colour is the port's background when
// the list was made, or what StoreWindowBackColour stored since; a pane
// without a list has none, (0xFFFF, 0xFFFF, 0xFFFF).
#include "toolbox/ui/windowbackcolour.h"

#include "toolbox/core/panetree.h"
#include "toolbox/core/picture.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/surfaceproc.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/ui/backstack.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/portfocus.h"
#include "toolbox/ui/portstack.h"

namespace {
constexpr ColourRGB16 kNoBackColour{0xFFFF, 0xFFFF, 0xFFFF};

SurfaceList* RootListOf(PortRecord* port) {
    return port && port->rootPane ? port->rootPane->surfaceList : nullptr;
}

bool SameColour(const ColourRGB16& a, const ColourRGB16& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
} // namespace

void StoreWindowBackColour(PortRecord* port) {
    SurfaceList* list = RootListOf(port);
    if (!list) return;
    list->savedBackground = CurrentState()->settings.background;
    list->hasSavedBackground = 1;
    SetPortEraseColour(port, list->savedBackground);
}

ColourRGB16 WindowBackColour(PortRecord* port) {
    SurfaceList* list = RootListOf(port);
    return list && list->hasSavedBackground ? list->savedBackground : kNoBackColour;
}

ColourRGB16* ApplyWindowBackColour(PaneRecord* pane, bool save, ColourRGB16* out) {
    DrawingState* state = CurrentState();
    ColourRGB16 before = state->settings.background;
    PortRecord* port = pane ? pane->port : nullptr;
    SurfaceList* list = pane ? pane->surfaceList : nullptr;
    bool focusedHere =
        port && list && port->focusedSurface == list && FindPortListEntry(state) == port;
    if (!focusedHere) {
        ColourRGB16 colour =
            list && list->hasSavedBackground ? list->savedBackground : kNoBackColour;
        if (!SameColour(colour, before)) StoreBackgroundColour(colour);
    }
    if (!save || !out) return nullptr;
    *out = before;
    return out;
}

void StoreCurrentWindowBackColour() {
    if (PortRecord* port = FindPortListEntry(CurrentState())) StoreWindowBackColour(port);
}

void EraseWindowContent(WindowObject* port, const RegionRecord*) {
    if (!port) return;
    WindowObject* previous = SetCurrentPort(port);
    int32_t previousId = previous ? previous->sequence : 0;
    auto* list = static_cast<SurfaceList*>(port->surfaceList);
    auto* record = static_cast<PortRecord*>(port->port);
    if (port->type != kWindowTypeNative || !list || !list->hasSurfaces || !record) {
        Rect32 bounds;
        GetStateBounds(CurrentState(), &bounds);
        Rect16 r;
        RectFromRect32(&bounds, &r);
        DrawRectShape(&r, kVerbErase);
    } else if (list->flags & kSurfaceEraseBackground) {
        // The surface draws its own background.
        DrawSurfaceBackground(list, 0);
    } else if (const SurfaceRecord* main = SurfaceAt(list, kMainSurfaceIndex)) {
        SavePortState();
        PushBackgroundColour();
        FocusPort(record, nullptr);
        StoreBackgroundColour(WindowBackColour(record));
        DrawRectShape(&main->rect, kVerbErase);
        PopBackgroundColour();
        RestorePortState();
    }
    if (!previousId || WindowObjectFromId(previousId) == previous) SetCurrentPort(previous);
}
