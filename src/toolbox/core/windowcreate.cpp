// Window objects over their panes and surface lists.
#include "toolbox/core/windowcreate.h"

#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/surfaceproc.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowtranslate.h"

namespace {

constexpr uint32_t kPaneBarOptions = kOptionHorizontalBar | kOptionVerticalBar;
constexpr uint32_t kSplitPaneDroppedFlags = 0x208;
constexpr uint8_t kVariantFramed = 0;

void FillRecord(WindowObject* window, const WindowCreation* params) {
    window->eventCallback = params->callback;
    window->applicationTag = params->applicationTag;
    window->flags |= params->flags;
    window->options = params->options;
    window->userData = params->userData;
    window->scrollStep = kDefaultScrollStep;
}

// The list and record over a made pane; the pane is disposed on failure.
WindowObject* AttachToPane(HeapPool* pool, PaneRecord* pane, uint8_t kind, uint8_t variant,
                           uint32_t surfaceFlags, const WindowCreation* params) {
    SurfaceList* list = NewSurfaceList(&TranslateWindowEvent, surfaceFlags, pane, 0, 0);
    WindowObject* window =
        list ? NewWindowObject(pool, kWindowTypeNative, kind, variant, pane->port) : nullptr;
    if (!window) {
        DisposeSurfaceList(list);
        DisposePane(pane);
        return nullptr;
    }
    window->port = pane->port;
    window->pane = pane;
    window->surfaceList = list;
    pane->window = window;
    FillRecord(window, params);
    return window;
}

// Select item 0, then the resize with the content size; null when the
// first event disposed the record.
WindowObject* Announce(WindowObject* window) {
    void* previous = MakeWindowCurrentPort(window);
    (void)previous;
    if (!SendSelectItemEvent(window, 0, false)) return nullptr;
    PaneRecord* pane = static_cast<PaneRecord*>(window->pane);
    const Rect16& r = pane->windowRect;
    int32_t top = pane->parent ? r.top : 0, left = pane->parent ? r.left : 0;
    int32_t id = window->sequence;
    SendResizeEvent(window, int32_t(r.bottom) - top, int32_t(r.right) - left, 0);
    if (WindowObjectFromId(id) != window) return nullptr;
    MakeWindowCurrentPort(window);
    return window;
}

// A pane or split-pane window over its made pane, in the owner's pool.
WindowObject* AttachOwned(WindowObject* owner, PaneRecord* pane, const WindowCreation* params,
                          uint32_t oneShotSurfaceFlags) {
    if (!pane) return nullptr;
    WindowObject* window = AttachToPane(
        owner->pool, pane, params->kind, params->variant,
        WindowSurfaceFlags(oneShotSurfaceFlags, params->options & kPaneBarOptions), params);
    if (!window) return nullptr;
    window->owner = owner;
    return Announce(window);
}

} // namespace

WindowObject* AttachWindowObject(HeapPool* pool, PortRecord* port, const WindowCreation* params,
                                 const OneShotCreationWords* words, int16_t height, int16_t width) {
    const Rect16 limits = {0, 0, kPaneCoordMax, kPaneCoordMax};
    PaneRecord* root = NewRootPane(pool, port, &limits, words->paneFlags, &StandardPaneProc);
    if (!root) return nullptr;
    ResizePane(root, height, width);
    uint8_t variant = NormalizeWindowVariant(params->kind, params->variant);
    WindowObject* window =
        AttachToPane(pool, root, params->kind, variant,
                     WindowSurfaceFlags(words->surfaceFlags, params->options), params);
    if (!window) return nullptr;
    port->rootPane = root;
    port->owner = window;
    return Announce(window);
}

WindowObject* NewPaneWindow(uint8_t variant, uint32_t options, uint32_t flags, WindowObject* owner,
                            const Rect16* rect, void* userData, WindowEventCallback callback) {
    OneShotCreationWords words = TakeOneShotCreationWords();
    PaneRecord* ownerPane = owner ? static_cast<PaneRecord*>(owner->pane) : nullptr;
    if (!ownerPane || !rect) return nullptr;
    variant = NormalizeWindowVariant(kKindPane, variant);
    Rect16 r = *rect;
    PaneWindowRect(variant, options, ownerPane->barThickness, &r);
    PaneRecord* pane =
        NewChildPane(ownerPane, &r, PaneWindowFlags(words.paneFlags, variant), &StandardPaneProc);
    WindowCreation params{kKindPane, variant, options, 0, flags, userData, callback};
    return AttachOwned(owner, pane, &params, words.surfaceFlags);
}

WindowObject* NewSplitPaneWindow(uint8_t variant, uint32_t options, uint32_t flags,
                                 WindowObject* owner, int32_t position, uint8_t side,
                                 void* userData, WindowEventCallback callback) {
    OneShotCreationWords words = TakeOneShotCreationWords();
    PaneRecord* ownerPane = owner ? static_cast<PaneRecord*>(owner->pane) : nullptr;
    if (!ownerPane) return nullptr;
    variant = NormalizeWindowVariant(kKindSplitPane, variant);
    uint32_t paneFlags = words.paneFlags & ~kSplitPaneDroppedFlags;
    if (variant == kVariantFramed) paneFlags |= kPaneFramed;
    PaneRecord* pane = NewSplitPane(ownerPane, position, side, paneFlags, &StandardPaneProc);
    WindowCreation params{kKindSplitPane, variant, options, 0, flags, userData, callback};
    return AttachOwned(owner, pane, &params, words.surfaceFlags);
}
