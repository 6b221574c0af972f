// The editing subsystems' entries the dispatch reaches: one slot table,
// filled by the editing and placement installs. An empty slot answers 0 (a
// dialog: cancelled).
#pragma once
#include <cstdint>

typedef int32_t (*EditCommandProc)(int32_t command);
typedef int32_t (*EditDialogProc)();

struct EditHandlers {
    EditCommandProc urWindowProc;   // the Route view's handler
    EditCommandProc artCommand;     // the Design view's handler
    EditCommandProc urCommand;      // the route tools in the Route view
    EditCommandProc artToolCommand; // manual and gridless routing outside it
    EditCommandProc errToolCommand; // the error-marker tool
    EditCommandProc detailsCommand; // the Details window
    void (*urObjInfo)(int32_t x, int32_t y); // prints the object under the point
    int32_t (*NetsDialog)(int32_t net);
    EditDialogProc printScaleDialog;
    EditDialogProc drcSweepDialog;
    EditDialogProc testPointDialog;
    EditDialogProc ReconnectNets;
    int32_t (*editCompDialogRun)(int32_t comp);
    EditCommandProc UpCommand;      // the placement tool
    EditCommandProc upViewCommand;  // the placement option dialogs
};
extern EditHandlers g_editHandlers;

// The slot's answer, 0 when empty.
inline int32_t EditCall(EditCommandProc proc, int32_t command) {
    return proc ? proc(command) : 0;
}
inline int32_t EditDialog(EditDialogProc proc) {
    return proc ? proc() : 0;
}
