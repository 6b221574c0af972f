// Definition numbers, value rules, scroll-bar mapping, tag sizes and the
// focus advance of controls.
#include "toolbox/ui/controlrules.h"

#include <algorithm>

namespace {

// Families (definition number / 16) of the built-in definitions.
constexpr int32_t kFamilyButton = 0;
constexpr int32_t kFamilyButtonToo = 23;
constexpr int32_t kFamilyScrollBar = 1;
constexpr int32_t kFamilyScrollBarToo = 24;
constexpr int32_t kFamilyIconButton = 2;
constexpr int32_t kFamilyToggleTriangle = 4;
constexpr int32_t kFamilyProgressBar = 5;
constexpr int32_t kFamilyTabs = 8;
constexpr int32_t kFamilyGroupBox = 10;
constexpr int32_t kFamilyUserPane = 16;
constexpr int32_t kFamilyStaticText = 18;
constexpr int32_t kFamilyIcon = 20;
constexpr int32_t kFamilyPopupButton = 25;
constexpr int32_t kCheckBoxMaximumMax = 2;

ControlKind Native(uint8_t type, int16_t variant) {
    return ControlKind{type, kDefinitionNone, variant};
}

ControlKind SelfDrawn(int32_t definition, int16_t variant) {
    return ControlKind{kControlSelfDrawn, definition, variant};
}

} // namespace

ControlKind ControlKindFromDefinition(int32_t definitionNumber) {
    auto variant = int16_t(definitionNumber & 0xF);
    int32_t family = int32_t(uint16_t(definitionNumber) >> 4);
    if (definitionNumber < 0 || definitionNumber >= kDefinitionBuiltInEnd)
        return SelfDrawn(kDefinitionRegistered, variant);
    switch (family) {
    case kFamilyButton:
    case kFamilyButtonToo:
        if (variant == kButtonVariantCheckBox) return Native(kControlCheckBox, variant);
        if (variant == kButtonVariantRadio) return Native(kControlRadioButton, variant);
        return Native(kControlPushButton, variant);
    case kFamilyScrollBar:
    case kFamilyScrollBarToo:
        return Native(kControlScrollBar, variant);
    case kFamilyProgressBar:
        return Native(kControlProgressBar, variant);
    case kFamilyTabs:
        return Native(kControlTabs, variant);
    case kFamilyGroupBox:
        return Native(kControlGroupBox, variant);
    case kFamilyStaticText:
        return Native(kControlStaticText, variant);
    case kFamilyIconButton:
        return SelfDrawn(kDefinitionIconButton, variant);
    case kFamilyToggleTriangle:
        return SelfDrawn(kDefinitionToggleTriangle, variant);
    case kFamilyUserPane:
        return SelfDrawn(kDefinitionUserPane, variant);
    case kFamilyIcon:
        return SelfDrawn(kDefinitionIcon, variant);
    case kFamilyPopupButton:
        return SelfDrawn(kDefinitionPopupButton, variant);
    default:
        return SelfDrawn(kDefinitionRegistered, variant);
    }
}

void ControlRangeSetValue(uint8_t type, ControlRange* range, int32_t value) {
    switch (type) {
    case kControlPushButton:
    case kControlRadioButton:
        range->value = std::clamp(value, 0, 1);
        break;
    case kControlCheckBox:
        range->value = std::clamp(value, 0, range->maximum);
        break;
    case kControlTabs:
        // Tabs are numbered from 1; without tabs the value is 0.
        range->value = range->maximum > 0 ? std::clamp(value, 1, range->maximum) : 0;
        break;
    default:
        range->value = std::clamp(value, range->minimum, std::max(range->minimum, range->maximum));
        break;
    }
}

void ControlRangeSetMinimum(uint8_t type, ControlRange* range, int32_t minimum) {
    if (type != kControlSelfDrawn && type != kControlScrollBar && type != kControlProgressBar)
        return;
    range->minimum = minimum;
    if (range->value < minimum) range->value = minimum;
    if (range->maximum < minimum && type == kControlSelfDrawn) range->maximum = minimum;
}

void ControlRangeSetMaximum(uint8_t type, ControlRange* range, int32_t maximum) {
    switch (type) {
    case kControlCheckBox:
        range->maximum = std::clamp(maximum, 1, kCheckBoxMaximumMax);
        range->value = std::min(range->value, range->maximum);
        break;
    case kControlTabs:
        range->maximum = std::max(maximum, 0);
        range->minimum = range->maximum > 0 ? 1 : 0;
        ControlRangeSetValue(type, range, range->value);
        break;
    case kControlSelfDrawn:
    case kControlScrollBar:
    case kControlProgressBar:
        range->maximum = maximum;
        if (range->value > maximum) range->value = std::max(maximum, range->minimum);
        break;
    default:
        break;
    }
}

bool CheckBoxThreeState(const ControlRange* range) {
    return range->maximum >= kCheckBoxMaximumMax;
}

NativeScrollRange NativeScrollFromControl(int32_t minimum, int32_t maximum, int32_t page) {
    page = std::max(page, 0);
    return NativeScrollRange{minimum, maximum + page, page + 1};
}

int32_t ControlMaximumFromNative(const NativeScrollRange* native) {
    return native->maximum - ControlPageFromNative(native);
}

int32_t ControlPageFromNative(const NativeScrollRange* native) {
    return std::max(native->page - 1, 0);
}

bool ScrollNothingToScroll(int32_t minimum, int32_t maximum) {
    return minimum >= maximum;
}

int32_t ControlTagSize(const ControlKind* kind, uint32_t tag) {
    switch (kind->type) {
    case kControlPushButton:
        if (tag == kTagDefault) return kTagDefaultSize;
        [[fallthrough]];
    case kControlRadioButton:
    case kControlCheckBox:
    case kControlGroupBox:
        return tag == kTagFont ? kTagFontSize : kControlErrUnknownTag;
    case kControlStaticText:
        if (tag == kTagText) return kTagAnySize;
        return tag == kTagFont ? kTagFontSize : kControlErrUnknownTag;
    case kControlTabs:
        if (tag == kTagRect) return kTagRectSize;
        if (tag == kTagTabInfo) return kTagTabInfoSize;
        return tag == kTagFont ? kTagFontSize : kControlErrUnknownTag;
    case kControlSelfDrawn:
        break;
    default:
        return kControlErrUnknownTag;
    }
    switch (kind->definition) {
    case kDefinitionIconButton:
    case kDefinitionIcon:
        return tag == kTagIconResource ? kTagIconResourceSize : kControlErrUnknownTag;
    case kDefinitionToggleTriangle:
        return tag == kTagLastState ? kTagLastStateSize : kControlErrUnknownTag;
    case kDefinitionUserPane:
        return tag == kTagDrawProc ? kTagPointerSize : kControlErrUnknownTag;
    case kDefinitionPopupButton:
        if (tag == kTagMenuHandle) return kTagPointerSize;
        return tag == kTagFont ? kTagFontSize : kControlErrUnknownTag;
    default:
        return kControlErrUnknownTag;
    }
}

int32_t ControlTagCheck(const ControlKind* kind, uint32_t tag, int32_t length, bool set) {
    int32_t size = ControlTagSize(kind, tag);
    if (size == kControlErrUnknownTag) return size;
    if (size == kTagAnySize) return length >= 0 ? 0 : kControlErrWrongSize;
    bool fits = set ? length == size : length >= size;
    return fits ? 0 : kControlErrWrongSize;
}

bool ControlAcceptsFocus(const FocusCandidate* control) {
    if (!(control->flags & kControlVisible) || !(control->flags & kControlEnabled) ||
        (control->flags & (kControlNothingToScroll | kControlSkipTab)))
        return false;
    switch (control->type) {
    case kControlPushButton:
    case kControlRadioButton:
    case kControlCheckBox:
        return true;
    case kControlSelfDrawn:
        return (control->features & kFeatureTakesFocus) != 0;
    default:
        return false;
    }
}

int32_t AdvanceFocus(const FocusCandidate* controls, int32_t count, int32_t current,
                     int32_t direction) {
    if (count <= 0) return -1;
    int32_t step = direction == kFocusPrevious ? -1 : 1;
    int32_t at = current;
    if (at < 0 || at >= count) at = step > 0 ? -1 : count;
    for (int32_t i = 0; i < count; ++i) {
        at = (at + step + count) % count;
        if (ControlAcceptsFocus(&controls[at])) return at;
    }
    return -1;
}

int32_t NativeHitPart(uint8_t type, uint8_t flags, bool inside, int32_t tabIndex) {
    bool enabled = (flags & kControlEnabled) && !(flags & kControlNothingToScroll);
    if (!inside || !(flags & kControlVisible) || !enabled) return kPartNone;
    switch (type) {
    case kControlPushButton:
        return kPartButton;
    case kControlCheckBox:
    case kControlRadioButton:
        return kPartCheckBox;
    case kControlScrollBar:
        return kPartScrollBar;
    case kControlProgressBar:
        return kPartProgressBar;
    case kControlTabs:
        return tabIndex >= 0 ? tabIndex + 1 : kPartNone;
    default:
        return kPartNone;
    }
}

bool PopupMenuIdMakesMenu(int32_t menuId) {
    return menuId != kPopupNoMenu && menuId != kPopupNoMenuToo;
}

ControlRange PopupRangeForMenu(bool hasMenu, int32_t entryCount) {
    if (!hasMenu || entryCount <= 0) return ControlRange{0, 0, 0};
    return ControlRange{1, 1, entryCount};
}
