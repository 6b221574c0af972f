// The modal script's deliveries into native modal dialogs: the message
// box (a thread timer that finds the box and answers it), the file
// choosers (their hook's initialisation) and the folder browser (its
// callback's initialisation).
#pragma once
#include <windows.h>

#include "toolbox/ui/modalscript.h"

// Around MessageBoxA: arms the timer when the script is on; disarms it.
void ModalScriptArmMessageBox();
void ModalScriptDisarmMessageBox();
// A chooser (kind open or save) is initialised: answers it from the
// script, or dismisses it later when unexpected. Nothing when the script
// is off.
void ModalScriptChooserReady(HWND chooser, ModalDialogKind kind);
// The folder browser is initialised: its scripted answer is pressed once
// the wanted folder is selected.
void ModalScriptBrowserReady(HWND browser, const char* title);
// The folder browser reports a new selection (path empty for a virtual
// folder).
void ModalScriptBrowserSelected(HWND browser, const char* path);
