// Creation tables of window objects and the one-shot creation words.
#include "toolbox/core/windowkinds.h"

#include "toolbox/core/windowobject.h"

namespace {

OneShotCreationWords g_oneShot = {};

// Window definition codes.
enum : int16_t {
    kDefDocument = 1024,
    kDefDocumentGrow = 1025,
    kDefDocumentZoom = 1031,
    kDefToolWindow = 1040,
    kDefPlainDialog = 1042,
    kDefMovableDialog = 1043,
    kDefMovableDialogGrow = 1046,
    kDefFloating = 1057,
    kDefFloatingGrow = 1059,
    kDefFloatingZoom = 1071,
};

// Native window types.
enum : int16_t {
    kNativePlainModal = 3,
    kNativeMovableModal = 4,
    kNativeFloating = 5,
    kNativeDocument = 6,
    kNativeToolWindow = 13,
};

constexpr uint32_t kNativeOptFrame = 8;
constexpr uint32_t kNativeOptClose = 1;
constexpr uint32_t kNativeOptGrow = 0x10;
constexpr uint32_t kNativeOptZoom = 6;
constexpr uint32_t kNativeOptFloating = 0x1000000;
constexpr uint32_t kNativeOptToolWindow = 0x20000;
constexpr uint32_t kNativeOptOther = 31;

uint32_t FrameOptionBits(uint32_t options, bool zoom) {
    uint32_t bits = 0;
    if (options & kOptionWindowCloseBox) bits |= kNativeOptClose;
    if (options & kOptionGrowBox) bits |= kNativeOptGrow;
    if (zoom && (options & kOptionZoomBox)) bits |= kNativeOptZoom;
    return bits;
}

} // namespace

uint8_t NormalizeWindowVariant(uint8_t kind, uint8_t variant) {
    switch (kind) {
    case kKindDialog:
        return (variant >= 1 && variant <= 3) ? variant : 2;
    case kKindPane:
    case kKindKeptChild:
        if (variant == 0 || variant == 4 || variant == 5) return variant;
        return kind == kKindPane ? 0 : 4;
    case kKindSplitPane:
        return (variant == 0 || variant == 5) ? variant : 0;
    default:
        return 0;
    }
}

int16_t WindowDefinitionCode(uint8_t kind, uint8_t variant, uint32_t options) {
    bool grow = options & kOptionGrowBox;
    bool zoom = options & kOptionZoomBox;
    switch (kind) {
    case kKindDocument:
        return grow ? (zoom ? kDefDocumentZoom : kDefDocumentGrow) : kDefDocument;
    case kKindDialog:
        if (variant == 1) return grow ? kDefDocumentGrow : kDefDocument;
        if (variant == 3) return grow ? kDefMovableDialogGrow : kDefMovableDialog;
        return kDefPlainDialog;
    case kKindFloating:
        return grow ? (zoom ? kDefFloatingZoom : kDefFloatingGrow) : kDefFloating;
    case kKindToolWindow:
        return kDefToolWindow;
    default:
        return kDefDocument;
    }
}

NativeWindowType NativeWindowTypeOf(uint8_t kind, uint8_t variant, uint32_t options) {
    switch (kind) {
    case kKindDocument:
        return {kNativeDocument, kNativeOptFrame | FrameOptionBits(options, true)};
    case kKindDialog:
        if (variant == 1) return {kNativeDocument, FrameOptionBits(options, false)};
        if (variant == 3) return {kNativeMovableModal, FrameOptionBits(options, false)};
        return {kNativePlainModal, 0};
    case kKindFloating:
        return {kNativeFloating, kNativeOptFloating | FrameOptionBits(options, true)};
    case kKindToolWindow:
        return {kNativeToolWindow, kNativeOptToolWindow};
    default:
        return {kNativeDocument, kNativeOptOther};
    }
}

uint32_t ScrollBarRoomOptions(uint8_t kind, uint8_t variant, uint32_t options) {
    bool counts = (kind == kKindDocument && variant == 0) || (kind == kKindDialog && variant == 1);
    uint32_t bars = kOptionGrowBox | kOptionHorizontalBar | kOptionVerticalBar;
    if (counts && (options & bars) == kOptionGrowBox) return kOptionsBothBarsAndGrow;
    return options;
}

void ScrollBarSpace(uint8_t kind, uint8_t variant, uint32_t options, int16_t thickness,
                    Rect16* rect) {
    uint32_t room = ScrollBarRoomOptions(kind, variant, options);
    if (room & kOptionHorizontalBar) rect->bottom = int16_t(rect->bottom + thickness);
    if (room & kOptionVerticalBar) rect->right = int16_t(rect->right + thickness);
}

void SetNextWindowNativeFlags(uint32_t flags) {
    g_oneShot.nativeFlags = flags;
}
void SetNextWindowPaneFlags(uint32_t flags) {
    g_oneShot.paneFlags = flags;
}
void SetNextWindowSurfaceFlags(uint32_t flags) {
    g_oneShot.surfaceFlags = flags;
}

OneShotCreationWords TakeOneShotCreationWords() {
    OneShotCreationWords words = g_oneShot;
    g_oneShot = {};
    return words;
}

namespace {
constexpr uint32_t kSurfaceFlagVerticalBar = 8;
constexpr uint32_t kSurfaceFlagHorizontalBar = 0x20;
constexpr uint32_t kSurfaceFlagGrowBox = 0x80;
constexpr uint32_t kPaneFlagsNotFromOneShot = 0x608;
constexpr uint32_t kPaneFlagHidden = 0x400;
constexpr uint32_t kPaneFlagFramed = 8;
constexpr uint32_t kPaneFlagsDoubleFramed = 0x208;
constexpr uint8_t kPaneVariantFramed = 0;
constexpr uint8_t kPaneVariantDoubleFramed = 4;
constexpr uint8_t kPaneVariantBare = 5;
} // namespace

uint32_t WindowSurfaceFlags(uint32_t oneShot, uint32_t options) {
    uint32_t flags = oneShot;
    if (options & kOptionVerticalBar) flags |= kSurfaceFlagVerticalBar;
    if (options & kOptionHorizontalBar) flags |= kSurfaceFlagHorizontalBar;
    if (options & kOptionGrowBox) flags |= kSurfaceFlagGrowBox;
    return flags;
}

uint32_t WindowNativeFlags(uint32_t oneShot, uint32_t options, uint8_t kind) {
    uint32_t flags = oneShot;
    if (options & kOptionPortFlag40) flags |= kNativeFlagOptionPort;
    if (kind == kKindToolWindow) flags |= kNativeFlagToolWindow;
    return flags;
}

uint32_t PaneWindowFlags(uint32_t oneShot, uint8_t variant) {
    uint32_t flags = (oneShot & ~kPaneFlagsNotFromOneShot) | kPaneFlagHidden;
    if (variant == kPaneVariantFramed) flags |= kPaneFlagFramed;
    if (variant == kPaneVariantDoubleFramed) flags |= kPaneFlagsDoubleFramed;
    return flags;
}

void PaneWindowRect(uint8_t variant, uint32_t options, int16_t thickness, Rect16* rect) {
    if (options & kOptionHorizontalBar) rect->bottom = int16_t(rect->bottom + thickness);
    if (options & kOptionVerticalBar) rect->right = int16_t(rect->right + thickness);
    if (variant != kPaneVariantBare) {
        rect->bottom = int16_t(rect->bottom + 1);
        rect->right = int16_t(rect->right + 1);
    }
}
