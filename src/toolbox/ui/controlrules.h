// The portable rules of controls: which control type and self-drawn
// definition a definition number chooses, the value, minimum and maximum
// rules of each type, the mapping of a scroll bar's page and maximum onto a
// native scroll bar, the sizes of tagged data, and the order in which the
// keyboard focus advances over a window's controls.
//
// Guarantees: every definition number maps to exactly one type; a value
// set through these rules always lies within the type's minimum and
// maximum; a native scroll bar's values read back as the control's.
#pragma once
#include <cstddef>
#include <cstdint>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/controlrecord.h"

// Control types.
constexpr uint8_t kControlPushButton = 0;
constexpr uint8_t kControlRadioButton = 1;
constexpr uint8_t kControlCheckBox = 2;
constexpr uint8_t kControlScrollBar = 3;
constexpr uint8_t kControlStaticText = 4;
constexpr uint8_t kControlGroupBox = 7;
constexpr uint8_t kControlTabs = 9;
constexpr uint8_t kControlProgressBar = 11;
constexpr uint8_t kControlSelfDrawn = 12;

// The self-drawn definitions of the toolbox, and registered ones.
constexpr int32_t kDefinitionNone = 0;
constexpr int32_t kDefinitionIconButton = 1;
constexpr int32_t kDefinitionToggleTriangle = 2;
constexpr int32_t kDefinitionUserPane = 3;
constexpr int32_t kDefinitionIcon = 4;
constexpr int32_t kDefinitionPopupButton = 5;
constexpr int32_t kDefinitionRegistered = 6;

// Definition numbers from here on are always looked up.
constexpr int32_t kDefinitionBuiltInEnd = 416;
// Variants of the button family.
constexpr int32_t kButtonVariantCheckBox = 1;
constexpr int32_t kButtonVariantRadio = 2;

// Control flags.
constexpr uint8_t kControlVisible = 1;
constexpr uint8_t kControlEnabled = 2;
constexpr uint8_t kControlNative = 4;
constexpr uint8_t kControlSkipTab = 0x10;
constexpr uint8_t kControlNothingToScroll = 0x20;

// Focus advance.
constexpr int32_t kFocusNext = -1;
constexpr int32_t kFocusPrevious = -2;

// Tags.
constexpr uint32_t kTagRect = FourCC("rect");
constexpr uint32_t kTagTabInfo = FourCC("tabi");
constexpr uint32_t kTagDefault = FourCC("dflt");
constexpr uint32_t kTagIconResource = FourCC("ires");
constexpr uint32_t kTagLastState = FourCC("last");
constexpr uint32_t kTagDrawProc = FourCC("draw");
constexpr uint32_t kTagMenuHandle = FourCC("mhan");
constexpr int32_t kTagFontSize = 24;
constexpr int32_t kTagRectSize = 8;
constexpr int32_t kTagTabInfoSize = 260;
constexpr int32_t kTagDefaultSize = 1;
constexpr int32_t kTagIconResourceSize = 2;
constexpr int32_t kTagLastStateSize = 2;
// 'draw' and 'mhan' hold a procedure and a menu handle.
constexpr int32_t kTagPointerSize = int32_t(sizeof(void*));
// Any length is taken ('text').
constexpr int32_t kTagAnySize = -1;

// Popup buttons: menu ids that make no menu.
constexpr int32_t kPopupNoMenu = 0;
constexpr int32_t kPopupNoMenuToo = -12345;

// Hit parts.
constexpr int32_t kPartNone = 0;
constexpr int32_t kPartProgressBar = 1;
constexpr int32_t kPartPopupButton = 2;
constexpr int32_t kPartToggleTriangle = 4;
constexpr int32_t kPartIcon = 7;
constexpr int32_t kPartButton = 10;
constexpr int32_t kPartCheckBox = 11;
constexpr int32_t kPartScrollBar = 253;

struct ControlKind {
    uint8_t type;
    int32_t definition; // kDefinition..., kDefinitionNone for native types
    int16_t variant;
};
ControlKind ControlKindFromDefinition(int32_t definitionNumber);

// The value, minimum and maximum of a control, as its type keeps them.
struct ControlRange {
    int32_t value, minimum, maximum;
};
// Setting the value, the minimum and the maximum by type (tabs: count of
// tabs in the maximum). Types that keep none change nothing.
void ControlRangeSetValue(uint8_t type, ControlRange* range, int32_t value);
void ControlRangeSetMinimum(uint8_t type, ControlRange* range, int32_t minimum);
void ControlRangeSetMaximum(uint8_t type, ControlRange* range, int32_t maximum);
// The check box is three-state (its maximum is 2).
bool CheckBoxThreeState(const ControlRange* range);

// A scroll bar's control range onto the native bar and back.
struct NativeScrollRange {
    int32_t minimum, maximum, page;
};
NativeScrollRange NativeScrollFromControl(int32_t minimum, int32_t maximum, int32_t page);
int32_t ControlMaximumFromNative(const NativeScrollRange* native);
int32_t ControlPageFromNative(const NativeScrollRange* native);
bool ScrollNothingToScroll(int32_t minimum, int32_t maximum);

// The size a tag needs for a kind of control: kTagAnySize, a size, or
// kControlErrUnknownTag.
int32_t ControlTagSize(const ControlKind* kind, uint32_t tag);
// 0, kControlErrUnknownTag or kControlErrWrongSize: a set needs the exact
// size, a get a buffer at least that large.
int32_t ControlTagCheck(const ControlKind* kind, uint32_t tag, int32_t length, bool set);

// A control as the focus advance sees it.
struct FocusCandidate {
    uint8_t type;
    uint8_t flags;
    int32_t features; // self-drawn: the definition's features
};
bool ControlAcceptsFocus(const FocusCandidate* control);
// The next (kFocusNext) or previous (kFocusPrevious) control after
// `current` (-1: none) that accepts the focus, wrapping; -1 when none.
int32_t AdvanceFocus(const FocusCandidate* controls, int32_t count, int32_t current,
                     int32_t direction);

// The part a native control's type answers at a point inside it (tabs:
// the index + 1 of the tab under the point, -1 for none); 0 when the point
// lies outside or the control is hidden or disabled.
int32_t NativeHitPart(uint8_t type, uint8_t flags, bool inside, int32_t tabIndex);

// A popup button's range over its menu: value 1 and maximum the entry
// count, all 0 without a menu or entries.
bool PopupMenuIdMakesMenu(int32_t menuId);
ControlRange PopupRangeForMenu(bool hasMenu, int32_t entryCount);
