// The window list over the native walk procedures.
#include "toolbox/core/windowlist.h"

#include "toolbox/core/hooktable.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"

namespace {

WindowObject* NoWindow() {
    return nullptr;
}
WindowObject* NoNext(WindowObject*) {
    return nullptr;
}
bool Visible(const WindowObject*) {
    return true;
}
void NoWindowOp(WindowObject*) {}
void NoShow(WindowObject*, bool) {}
void NoEnable(int32_t) {}
void NoCursor(int16_t) {}

const WindowNativeProcs kDefaults{&NoWindow,   &NoNext,   &Visible,  &NoWindowOp, &NoShow,
                                  &NoWindowOp, &NoEnable, &NoCursor, &NoWindowOp};
WindowNativeProcs g_procs = kDefaults;

PaneRecord* PaneOf(const WindowObject* window) {
    return window && window->type == kWindowTypeNative ? static_cast<PaneRecord*>(window->pane)
                                                       : nullptr;
}

// Depth first below the pane: windows owned by the owner are noted, and
// their own panes are walked too.
void CollectOwned(PaneRecord* pane, int32_t* out, int32_t capacity, int32_t* count) {
    for (PaneRecord* child = pane->firstChild; child; child = child->nextSibling) {
        if (child->window) {
            if (*count < capacity) out[*count] = child->window->sequence;
            ++*count;
        }
        CollectOwned(child, out, capacity, count);
    }
}

} // namespace

void SetWindowNativeProcs(const WindowNativeProcs* procs) {
    WindowNativeProcs given = procs ? *procs : WindowNativeProcs{};
    PickProc(g_procs.firstWindow, given.firstWindow, kDefaults.firstWindow);
    PickProc(g_procs.nextWindow, given.nextWindow, kDefaults.nextWindow);
    PickProc(g_procs.nativeVisible, given.nativeVisible, kDefaults.nativeVisible);
    PickProc(g_procs.hideNative, given.hideNative, kDefaults.hideNative);
    PickProc(g_procs.showNative, given.showNative, kDefaults.showNative);
    PickProc(g_procs.disposeNative, given.disposeNative, kDefaults.disposeNative);
    PickProc(g_procs.enableWindow, given.enableWindow, kDefaults.enableWindow);
    PickProc(g_procs.setCursor, given.setCursor, kDefaults.setCursor);
    PickProc(g_procs.updateNow, given.updateNow, kDefaults.updateNow);
}

const WindowNativeProcs& WindowNative() {
    return g_procs;
}

bool IsWindowShown(const WindowObject* window, uint8_t flag) {
    PaneRecord* pane = PaneOf(window);
    if (!pane) return false;
    if (window->owner && !flag) return IsPaneShown(pane);
    WindowObject* root = RootWindowObject(const_cast<WindowObject*>(window));
    return g_procs.nativeVisible(root) && IsPaneTreeShown(pane);
}

WindowObject* FindNextWindowOfKinds(WindowObject* after, int32_t selector, uint8_t flag) {
    WindowObject* w = after ? g_procs.nextWindow(after) : g_procs.firstWindow();
    for (; w; w = g_procs.nextWindow(w))
        if (KindMatches(w, selector) && (!flag || IsWindowShown(w, 1))) return w;
    return nullptr;
}

WindowObject* FirstChildWindowObject(WindowObject* owner) {
    int32_t first = 0;
    PaneRecord* pane = PaneOf(owner);
    if (!pane) return nullptr;
    int32_t count = 0;
    CollectOwned(pane, &first, 1, &count);
    return count ? WindowObjectFromId(first) : nullptr;
}

int32_t OwnedWindowIds(WindowObject* owner, int32_t* out, int32_t capacity) {
    PaneRecord* pane = PaneOf(owner);
    int32_t count = 0;
    if (!pane) return 0;
    CollectOwned(pane, out, capacity, &count);
    // Split panes of the owner lie beside its pane, not below it.
    for (PaneRecord* s = pane->splitNeighbours[1]; s && s != pane; s = s->splitNeighbours[1]) {
        if (s->window && s->window->owner == owner) {
            if (count < capacity) out[count] = s->window->sequence;
            ++count;
        }
    }
    return count;
}

void* GraphicsPortOf(const WindowObject* window) {
    if (!window) return nullptr;
    if (window->type == kWindowTypeNative) {
        PortRecord* port = static_cast<PortRecord*>(window->port);
        return port ? port->nativeWindow : nullptr;
    }
    return window->port;
}

WindowObject* WindowObjectOfPort(void* port) {
    if (!port) return nullptr;
    if (PortRecord* record = FindPortOfNativeWindow(port))
        return static_cast<WindowObject*>(record->owner);
    return nullptr;
}
