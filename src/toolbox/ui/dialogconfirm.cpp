// The confirmation dialog's keys.
#include "toolbox/ui/dialogconfirm.h"

#include "toolbox/ui/dialogkeys.h"

int16_t ConfirmDialogKeyItem(int32_t options, int32_t key) {
    if (key == kKeyCodeReturn) return kConfirmItem;
    if (key != kKeyCodeEscape) return -1;
    if (options & kConfirmEscIgnored) return 0;
    if (options & kConfirmEscConfirms) return kConfirmItem;
    return kConfirmCancelItem;
}
