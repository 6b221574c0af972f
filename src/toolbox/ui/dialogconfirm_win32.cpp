// The confirmation dialog run modally. The dialog handles Return and Esc
// itself (dialog flag 0x10000), so that the options decide what Esc does.
#include "toolbox/ui/dialogconfirm.h"

#include "toolbox/core/windowevent.h"
#include "toolbox/ui/dialog.h"
#include "toolbox/ui/dialogops.h"

namespace {

struct ConfirmState {
    const char* message;
    const char* confirmLabel;
    const char* cancelLabel;
    int32_t options;
    int16_t endedWith;
};

int32_t ConfirmProc(WindowObject* dialog, WindowEvent* event) {
    auto* state = static_cast<ConfirmState*>(dialog->userData);
    switch (event->type) {
    case kWindowEventSelectItem:
        dialog->flags |= kDialogOwnKeys;
        DialogItemSetText(dialog, kConfirmMessageItem, state->message ? state->message : "");
        DialogItemSetText(dialog, kConfirmItem,
                          state->confirmLabel ? state->confirmLabel : kConfirmDefaultLabel);
        DialogItemSetText(dialog, kConfirmCancelItem,
                          state->cancelLabel ? state->cancelLabel : kCancelDefaultLabel);
        return 0;
    case kWindowEventKey: {
        int16_t item = ConfirmDialogKeyItem(state->options, event->key.character);
        if (item < 0) return 0;
        if (item > 0) PressDialogButton(dialog, item);
        return 1;
    }
    case kWindowEventDismiss:
        state->endedWith = event->dismiss.item;
        return 0;
    default:
        return 0;
    }
}

} // namespace

bool RunConfirmDialog(const char* message, const char* confirmLabel, const char* cancelLabel,
                      int32_t options) {
    ConfirmState state{message, confirmLabel, cancelLabel, options, 0};
    RunModalDialog(kConfirmTemplate, uint32_t(kConfirmPlacement) | kModalOptionFixed, &ConfirmProc,
                   &state);
    return state.endedWith == kConfirmItem;
}
