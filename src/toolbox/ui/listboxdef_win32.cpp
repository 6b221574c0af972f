// The list definition (family 22, definitions 352-367): the self-drawn
// control under a list-box item. Its data word is the list box state
// ('lhan'); the rows draw themselves in the item's pane, so the control
// draws nothing; it answers its part inside its bounds, takes the focus
// unless the list's options forbid it, hands keys to the list, keeps the
// pane on its bounds and closes the pane when it is disposed.
#include <cstring>

#include "toolbox/core/controlrecord.h"
#include "toolbox/core/region.h"
#include "toolbox/ui/controlrules.h"
#include "toolbox/ui/listboxitem.h"
#include "toolbox/ui/listboxpane.h"

namespace {

constexpr int32_t kListBoxFeatures = kFeatureTaggedData;

ListBoxState* StateOf(const ToolboxControlRecord* control) {
    return reinterpret_cast<ListBoxState*>(control->data);
}

bool Inside(const Rect16& r, Point16 p) {
    return p.v >= r.top && p.v < r.bottom && p.h >= r.left && p.h < r.right;
}

bool TakesFocus(const ToolboxControlRecord* control) {
    const ListBoxState* state = StateOf(control);
    return state && ListBoxTakesFocus(state->options);
}

// Message 16: 0 gives the focus up; a move inside the control (-1, -2)
// leaves it when it already holds the focus; anything else takes it.
int32_t Focus(ToolboxControlRecord* control, intptr_t part) {
    ListBoxState* state = StateOf(control);
    if (!state) return 0;
    if (part == 0 || !TakesFocus(control)) {
        state->focused = false;
        return 0;
    }
    bool move = part == kFocusNext || part == kFocusPrevious;
    if (move && state->focused) {
        state->focused = false;
        return 0;
    }
    state->focused = true;
    return kPartListBox;
}

int32_t Data(ToolboxControlRecord* control, int32_t message, ControlDataRequest* request) {
    bool set = message == kControlSetData;
    if (request->tag == kTagListBoxState) {
        if (set) {
            if (request->size != kTagPointerSize || !request->data) return kControlErrWrongSize;
            std::memcpy(&control->data, request->data, sizeof control->data);
            return 0;
        }
        request->actualSize = kTagPointerSize;
        if (request->size < kTagPointerSize || !request->data) return kControlErrWrongSize;
        std::memcpy(request->data, &control->data, sizeof control->data);
        return 0;
    }
    if (request->tag == kTagFont) {
        if (set) {
            if (request->size != kTagFontSize || !request->data) return kControlErrWrongSize;
            std::memcpy(control->style, request->data, kControlStyleBytes);
            ApplyListBoxStyle(StateOf(control));
            return 0;
        }
        request->actualSize = kTagFontSize;
        if (request->size < kTagFontSize || !request->data) return kControlErrWrongSize;
        std::memcpy(request->data, control->style, kControlStyleBytes);
        return 0;
    }
    return kControlErrUnknownTag;
}

} // namespace

int32_t ListBoxDefProc(int16_t, ToolboxControlRecord* control, int32_t message,
                       intptr_t parameter) {
    if (!control) return 0;
    switch (message) {
    case kControlInitialise:
        control->data = 0;
        return 0;
    case kControlHitTest: {
        bool live = (control->flags & kControlVisible) && (control->flags & kControlEnabled);
        return live && Inside(control->bounds, UnpackControlPoint(parameter)) ? kPartListBox : 0;
    }
    case kControlDispose:
        DisposeListBoxPane(StateOf(control));
        control->data = 0;
        return 0;
    case kControlMoved:
    case kControlSized:
        if (ListBoxState* state = StateOf(control)) MoveListBoxPane(state->item);
        if (parameter) SetRegionEmpty(reinterpret_cast<RegionRecord*>(parameter));
        return 0;
    case kControlFocus:
        return Focus(control, parameter);
    case kControlLoseFocus:
        if (ListBoxState* state = StateOf(control)) state->focused = false;
        return 0;
    case kControlKey:
        if (ListBoxState* state = StateOf(control))
            ListBoxKey(state->item, ControlKeyCharacter(parameter), false,
                       uint8_t(ControlKeyModifiers(parameter)));
        return 0;
    case kControlFeatures:
        return kListBoxFeatures | (TakesFocus(control) ? kFeatureTakesFocus : 0);
    case kControlSetData:
    case kControlGetData:
        return Data(control, message, reinterpret_cast<ControlDataRequest*>(parameter));
    default:
        return 0;
    }
}

void RegisterListBoxDefinition() {
    if (FindControlDefinition(kListBoxDefinitionFamily * 16) != &ListBoxDefProc)
        RegisterControlDefinition(kListBoxDefinitionFamily, &ListBoxDefProc);
}
