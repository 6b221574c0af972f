// Steps of the dispatch whose work belongs to other parts of the shell (the
// display, the menus and status line, the File menu, the view switching,
// the preference dialogs, the tables and the Details window). Each is one
// function here; until its part is built it reports itself to the host
// with its argument and answers what the host answers.
#pragma once
#include <cstdint>

struct AppView;

// Display, zoom and scrolling.
void DisplayCommand(int32_t command);
void ZoomCommand(int32_t command);
void ZoomInit();
void ScrollBoard(int32_t kind, bool page);
void RoutingBoxStep(int32_t on);
void PaintWindowArea();
void TrackPathRedraw(int32_t mode);
void PaintJournalLevels();
// Menus, the status line and the palette.
void initMenu();
void StatusLineParts(int32_t parts);
int32_t ToolPaletteSelect(int32_t tool, int32_t flags);
void AboutBox();
// The File menu and the save question: true to go on.
void FileMenuCommand(int32_t command);
bool SaveChangesCheck();
// Views, grids, highlighting, the undo of the other windows.
void setDesignView(int32_t kind);
void gridScaleRefresh();
void highlightCurrent();
void undoCommand();
void findCompDialog();
void gotoLayerDialog();
void PreferenceDialog(int32_t command);
void PlaceViewResetDrawState();
void PickedRectToggle();
// Tables, Details, Error Markers.
int32_t TableWindowOpen(int32_t table, AppView* view);
int32_t TableCommand(int32_t kind, int32_t command);
int32_t DetailsWindowCreate(AppView* view);
bool DetailsWindowOpen();
bool DetailsWindowInFront();
void DetailsWindowRefresh();
void DetailsWindowClose();
int32_t ErrorMarkersOpen();
