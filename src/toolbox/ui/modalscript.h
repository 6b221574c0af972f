// Scripted answers to modal dialogs, for tests that drive the program as
// a person would: a queue of steps, each naming the dialog it expects and
// its answer, and a log of every modal dialog shown while the script is
// on. Inert until a step is pushed; ModalScriptReset turns it off.
//
// Guarantees: a dialog takes the first queued step only when that step
// names its kind (and, for toolbox dialogs, its template number or 0);
// a dialog without a matching step is logged as unexpected and dismissed
// after kModalUnexpectedMs with item 2 (the cancel answer of native
// dialogs), so that a test fails instead of hanging.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Dialog kinds.
enum ModalDialogKind : int32_t {
    kModalToolboxDialog = 1,
    kModalMessageBox = 2,
    kModalOpenChooser = 3,
    kModalSaveChooser = 4,
    kModalFolderBrowser = 5,
};

// Actions on a toolbox dialog.
enum ModalActionKind : int32_t {
    kModalSetText = 1,  // item's text
    kModalSetValue = 2, // item's value (check box, radio, popup, scroll bar, list row)
    kModalSendKey = 3,  // a key code to the focused item
    kModalPress = 4,    // press the item
    kModalDismiss = 5,  // dismiss with the item
};

struct ModalAction {
    ModalActionKind kind;
    int16_t item;
    int32_t value; // a value or key code
    std::string text;
};

struct ModalStep {
    ModalDialogKind kind;
    int32_t templateNumber; // toolbox dialogs; 0: any
    std::vector<ModalAction> actions;
    bool cancel;      // choosers and the folder browser
    std::string text; // a chooser's file name(s), the browser's path
};

// The time after which an unexpected dialog is dismissed.
constexpr uint32_t kModalUnexpectedMs = 5000;
// The item that dismisses an unexpected toolbox dialog.
constexpr int16_t kModalUnexpectedItem = 2;

void ModalScriptPush(const ModalStep& step);
// The lines logged since the last reset, one per dialog shown.
const std::vector<std::string>& ModalScriptLog();
// Empties queue and log and turns the script off.
void ModalScriptReset();
bool ModalScriptOn();
// Steps still queued.
int32_t ModalScriptPending();

// For the dialogs: takes the first step when it names this dialog; false
// (the dialog is unexpected) otherwise or when the queue is empty.
bool ModalScriptTake(ModalDialogKind kind, int32_t templateNumber, ModalStep* step);
// Logs a dialog shown: kind, template number, title and texts.
void ModalScriptRecord(ModalDialogKind kind, int32_t templateNumber, const char* title,
                       const std::vector<std::string>& texts, bool expected);
// The log line of such a dialog.
std::string ModalScriptLine(ModalDialogKind kind, int32_t templateNumber, const char* title,
                            const std::vector<std::string>& texts, bool expected);
