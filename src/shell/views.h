// The view windows and their records: opening a view by its WindowKind,
// the board window's creation, re-attachment and disposal, its view-opened
// handler, the refresh of the current view, and finding the board window's
// records.
#pragma once
#include <cstdint>

#include "shell/shellstate.h"

// Opens the view of the kind or brings it forward; 1 done, 0 not.
int32_t ViewInstall(int32_t kind);
int32_t BoardWindowCreate(AppView* view);
void BoardWindowAttach(AppView* view);
// Frees the records of the closed board window (the remembered Design view
// record is forgotten with them).
void BoardWindowDispose(int32_t window);
// The board window has closed: its view lets go, the records are freed.
void BoardWindowClosed(int32_t window);
int32_t BoardViewOpen(int32_t value);
void ViewRefresh(bool reinstall);
int32_t FindBoardWindow(bool needLive);
int32_t FrontBoardWindow(AppWindow** out);
// The AppWindow of the board window's view record (null without one).
AppWindow* BoardWindowAppWindow();
// Puts back a gCurWin saved before: only while it is still live, else the
// board window's current view (or none).
void RestoreCurWin(AppWindow* saved);
// The catalogue label of the kind with every "&" removed.
void ViewTitle(int32_t kind, char* out, int32_t size);
