// Creation tables of window objects: variant normalisation, window
// definition codes, native types and option bits, the scroll-bar room, and
// the three one-shot creation words.
//
// Guarantees: the one-shot words are read and cleared together by
// TakeOneShotCreationWords, which every creation calls whether it succeeds
// or not.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

// Creation option bits.
enum : uint32_t {
    kOptionGrowBox = 1,
    kOptionZoomBox = 2,
    kOptionWindowCloseBox = 4,
    kOptionHorizontalBar = 0x10,
    kOptionVerticalBar = 0x20,
    kOptionPortFlag40 = 0x100,
    // Room for both bars with the grow box in their corner.
    kOptionsBothBarsAndGrow = 0x37,
};

// Native flags added by creation.
constexpr uint32_t kNativeFlagOptionPort = 0x40;
constexpr uint32_t kNativeFlagToolWindow = 0x400;

uint8_t NormalizeWindowVariant(uint8_t kind, uint8_t variant);
int16_t WindowDefinitionCode(uint8_t kind, uint8_t variant, uint32_t options);

struct NativeWindowType {
    int16_t type;
    uint32_t options;
};
NativeWindowType NativeWindowTypeOf(uint8_t kind, uint8_t variant, uint32_t options);

// The options the scroll-bar room is computed from: a document of variant
// 0 or a variant-1 dialog with the grow box and no bar counts as 0x37.
uint32_t ScrollBarRoomOptions(uint8_t kind, uint8_t variant, uint32_t options);
// Adds the bar thickness to the bottom for a horizontal bar and to the
// right for a vertical bar.
void ScrollBarSpace(uint8_t kind, uint8_t variant, uint32_t options, int16_t thickness,
                    Rect16* rect);

struct OneShotCreationWords {
    uint32_t nativeFlags;
    uint32_t paneFlags;
    uint32_t surfaceFlags;
};
void SetNextWindowNativeFlags(uint32_t flags);
void SetNextWindowPaneFlags(uint32_t flags);
void SetNextWindowSurfaceFlags(uint32_t flags);
// The three words as set, all three cleared.
OneShotCreationWords TakeOneShotCreationWords();

// Surface flags of a new window: the one-shot ones plus 8 for a vertical
// bar (option 0x20), 0x20 for a horizontal bar (0x10) and 0x80 for a grow
// box (1).
uint32_t WindowSurfaceFlags(uint32_t oneShot, uint32_t options);
// Native flags of a new top-level window: the one-shot ones plus 0x40 for
// option 0x100 and 0x400 for a tool window.
uint32_t WindowNativeFlags(uint32_t oneShot, uint32_t options, uint8_t kind);
// Pane flags of a new pane window: the one-shot ones without 0x608, plus
// 0x400 (hidden), plus 8 for variant 0 and 0x208 for variant 4.
uint32_t PaneWindowFlags(uint32_t oneShot, uint8_t variant);
// A pane window's rectangle grows by the bar thickness for each bar and,
// for variants other than 5, by 1 at bottom and right (the frame).
void PaneWindowRect(uint8_t variant, uint32_t options, int16_t thickness, Rect16* rect);
