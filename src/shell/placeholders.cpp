// The placeholders of steps other parts of the shell build (see the
// header); each reports itself to the host with its argument.
#include "shell/placeholders.h"

#include "db/dbheader.h"
#include "db/records.h"
#include "shell/frametimer.h"
#include "shell/shellhost.h"
#include "shell/shellids.h"

void DisplayCommand(int32_t command) {
    Host().Placeholder("DisplayCommand", int32_t(command));
}

void ZoomCommand(int32_t command) {
    Host().Placeholder("ZoomCommand", int32_t(command));
}

void ZoomInit() {
    Host().Placeholder("ZoomInit", 0);
}

void ScrollBoard(int32_t kind, bool) {
    Host().Placeholder("ScrollBoard", int32_t(kind));
}

void RoutingBoxStep(int32_t on) {
    Host().Placeholder("RoutingBoxStep", int32_t(on));
}

void PaintWindowArea() {
    Host().Placeholder("PaintWindowArea", 0);
}

void TrackPathRedraw(int32_t mode) {
    Host().Placeholder("TrackPathRedraw", int32_t(mode));
}

void PaintJournalLevels() {
    Host().Placeholder("PaintJournalLevels", 0);
}

void initMenu() {
    Host().Placeholder("initMenu", 0);
}

void StatusLineParts(int32_t parts) {
    Host().Placeholder("StatusLineParts", int32_t(parts));
}

int32_t ToolPaletteSelect(int32_t tool, int32_t) {
    return Host().Placeholder("ToolPaletteSelect", int32_t(tool));
}

void AboutBox() {
    Host().Placeholder("AboutBox", 0);
}

void FileMenuCommand(int32_t command) {
    // The Backup command resets the automatic-backup count, written or not.
    if (command == kCmdBackup) FrameTimerBackupReset();
    Host().Placeholder("FileMenuCommand", int32_t(command));
}

bool SaveChangesCheck() {
    // Nothing to lose: go on without a question.
    DbHeader& h = DbHdr();
    if (!h.valid || !h.modified) return true;
    h.flags |= kHdrComponentsChanged;
    return Host().Placeholder("SaveChangesCheck", 0) != 0;
}

void gridScaleRefresh() {
    Host().Placeholder("gridScaleRefresh", 0);
}

void highlightCurrent() {
    Host().Placeholder("highlightCurrent", 0);
}

void undoCommand() {
    Host().Placeholder("undoCommand", 0);
}

void findCompDialog() {
    Host().Placeholder("findCompDialog", 0);
}

void gotoLayerDialog() {
    Host().Placeholder("gotoLayerDialog", 0);
}

void PreferenceDialog(int32_t command) {
    Host().Placeholder("PreferenceDialog", int32_t(command));
}

void PlaceViewResetDrawState() {
    Host().Placeholder("PlaceViewResetDrawState", 0);
}

void PickedRectToggle() {
    Host().Placeholder("PickedRectToggle", 0);
}

int32_t TableWindowOpen(int32_t table, AppView*) {
    return Host().Placeholder("TableWindowOpen", int32_t(table));
}

int32_t TableCommand(int32_t kind, int32_t) {
    return Host().Placeholder("TableCommand", int32_t(kind));
}

int32_t DetailsWindowCreate(AppView*) {
    return Host().Placeholder("DetailsWindowCreate", 0);
}

bool DetailsWindowOpen() {
    return Host().Placeholder("DetailsWindowOpen", 0) != 0;
}

bool DetailsWindowInFront() {
    return Host().Placeholder("DetailsWindowInFront", 0) != 0;
}

void DetailsWindowRefresh() {
    Host().Placeholder("DetailsWindowRefresh", 0);
}

void DetailsWindowClose() {
    Host().Placeholder("DetailsWindowClose", 0);
}

int32_t ErrorMarkersOpen() {
    return Host().Placeholder("ErrorMarkersOpen", 0);
}
