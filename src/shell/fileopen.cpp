// The open road: let go of running work, empty the database, read the file
// (ASCII for "TEXT" files, else binary), compact and validate, then report:
// the objects beyond the location range in one alert, a failed load, and
// the ASCII reader's logged errors in a message box. Whatever happens, a
// design that is not valid afterwards is replaced by a new empty one.
#include "shell/fileopen.h"

#include <cstdio>
#include <cstring>

#include "db/db.h"
#include "db/dbextent.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/lang.h"
#include "db/records.h"
#include "db/runopt.h"
#include "files/asc.h"
#include "files/binload.h"
#include "shell/dispatch.h"
#include "shell/frametimer.h"
#include "shell/msgline.h"
#include "shell/placeholders.h"
#include "shell/postcmd.h"
#include "shell/shellhost.h"
#include "shell/shellids.h"
#include "shell/shellstate.h"
#include "shell/views.h"

namespace {

enum : int32_t {
    kMsgLoading = 31911,
    kMsgUpdating = 31912,
    kMsgFileLoaded = 31914,
    kMsgUnableToLoad = 31920,
    kMsgErrorsLogged = 31921,
    kMsgOneBeyondRange = 31922,
    kMsgManyBeyondRange = 31923,
    kMsgSeeLog = 31924,
    kMsgNoPrinting = 31925,
    kPrintRefusalTicks = 300,
    kMessageMax = 2 * LANG_TEXT_MAX + kFileSpecNameSize,
};
const char kTextType[] = "TEXT";

bool IsTextFile(const FileSpec* file) {
    return std::strcmp(file->type, kTextType) == 0;
}

void NoteWithName(int32_t message, const char* name) {
    char text[kMessageMax];
    std::snprintf(text, sizeof text, LangString(message), name);
    MessageLineNote(text);
}

void ShellAlert(const char* text) {
    if (!RunOptionsQuiet()) Host().Alert(text);
}

void RangeWarning(int32_t far) {
    if (far <= 0) return;
    char text[kMessageMax];
    if (far == 1)
        std::snprintf(text, sizeof text, "%s", LangString(kMsgOneBeyondRange));
    else
        std::snprintf(text, sizeof text, LangString(kMsgManyBeyondRange), int(far));
    std::strncat(text, LangString(kMsgSeeLog), sizeof text - std::strlen(text) - 1);
    ShellAlert(text);
}

} // namespace

void NewDesign() {
    g_shell.designFile = FileSpec{};
    g_shell.hasDesignFile = false;
    ViewRefresh(true);
    DbFree();
    ViewRefresh(true);
    DbHeaderReset();
    DbInit();
    DbHdr().valid = 0;
    if (g_shell.boardWindow) {
        ShellHost& host = Host();
        host.SetTitle(g_shell.boardWindow, "");
        host.ToolPaletteShow(false);
        host.EraseWindow(g_shell.boardWindow);
    }
}

int32_t FileCommand(const FileSpec* file) {
    ShellBroadcastCommand(kCmdLetGo);
    if (!file) {
        // The open dialog comes with the File menu.
        FileMenuCommand(kCmdOpen);
        if (!DbIsValid()) NewDesign();
        return 0;
    }
    FileSpec in = *file; // the caller's record may be the design's own
    ViewRefresh(true);
    DbFree();
    g_shell.designFile = FileSpec{};
    g_shell.hasDesignFile = false;
    DebugPrint("FileCommand: loading from %s", in.name);
    NoteWithName(kMsgLoading, in.name);
    int32_t errors = 0;
    bool loaded;
    if (IsTextFile(&in)) {
        loaded = AscReadDatabase(&in, &errors) == 1;
    } else {
        bool strategy = false;
        loaded = BinCheckType(&in, &strategy) && !strategy && BinLoadFile(&in, true) == 1;
    }
    if (loaded) {
        TimeStampReset();
        g_shell.designFile = in;
        g_shell.hasDesignFile = true;
        if (g_shell.boardWindow) Host().SetTitle(g_shell.boardWindow, in.name);
        FrameTimerBackupReset();
        NoteWithName(kMsgUpdating, in.name);
        DbCompact(0);
        DbValidate();
        MessageLineNoteId(kMsgFileLoaded);
    }
    if (!DbIsValid()) NewDesign();
    int32_t far = DbCompact(1);
    // A design just loaded is unchanged.
    if (loaded) DbHdr().modified = 0;
    ViewRefresh(true);
    Host().MenusRebuild(); // the Layers menu
    RangeWarning(far);
    if (!loaded) {
        ShellAlert(LangString(kMsgUnableToLoad));
    } else if (errors > 0) {
        char text[kMessageMax];
        std::snprintf(text, sizeof text, LangString(kMsgErrorsLogged), int(errors));
        Host().MessageAlert(text);
    }
    return loaded ? 1 : 0;
}

void OpenApplicationEvent() {
    g_shell.openedByRequest = true;
    Host().RunPendingEvents();
    FileMenuCommand(kCmdOpen);
}

void OpenDocumentEvent(const FileSpec* file) {
    g_shell.openedByRequest = true;
    FileSpec in = *file;
    bool strategy = false;
    if (BinCheckType(&in, &strategy)) {
        if (strategy) return; // a strategy file is not a design
    } else {
        std::snprintf(in.type, sizeof in.type, "%s", kTextType);
    }
    if (!SaveChangesCheck()) return;
    FileCommand(&in);
}

void DropDocumentEvent(const FileSpec* file) {
    OpenDocumentEvent(file);
}

void PrintDocumentsEvent(const FileSpec*) {
    ShellHost& host = Host();
    uint32_t now = host.Ticks();
    if (!g_shell.printRefused || now - g_shell.printRefusedAt > uint32_t(kPrintRefusalTicks)) {
        host.MessageAlert(LangString(kMsgNoPrinting));
        g_shell.printRefusedAt = now;
        g_shell.printRefused = true;
    }
    if (!g_shell.openedByRequest) ShellPostFrameCommand(kCmdExit);
}

void QuitEvent() {
    FrameCommand(kCmdExit);
}
