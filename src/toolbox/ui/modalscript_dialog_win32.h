// The modal script's delivery into toolbox dialogs: once a modal run has
// sent its open event, the dialog is logged and its step posted to the
// dialog's native window as a private message; each action is performed
// in the handling of its own message, so that keys sent by one action are
// handled before the next.
#pragma once
#include "toolbox/core/windowobject.h"

// Nothing when the script is off.
void ModalScriptDialogShown(WindowObject* dialog);
