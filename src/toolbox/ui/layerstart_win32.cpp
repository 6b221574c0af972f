// The drawing layer's entries of the toolbox's start-up over GDI.
#include "toolbox/ui/layerstart.h"

#include "toolbox/core/filespec.h"
#include "toolbox/core/menusinit.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/ui/clipboard.h"
#include "toolbox/ui/cursor.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/filealias.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/gditext_win32.h"
#include "toolbox/ui/textscrap.h"

namespace {

// The cursors the layer keeps from the start: I-beam, both crosses, wait.
constexpr int16_t kStartCursors[] = {kCursorIBeam, kCursorCross, kCursorCrossToo, kCursorWait};

// The standard procedure table is filled on its first use.
void FillLayerProcs() {
    CurrentProcs();
}

void MakeFrameWithGlobals() {
    InitDrawingGlobals();
    FontEnumerate();
    CreateMainFrame();
}

void CaptureDefaults(DrawingSettings* out) {
    CaptureStateSettings(out, nullptr);
}

void LoadStartCursors() {
    for (int16_t number : kStartCursors)
        CursorGet(number);
}

// Text editing and the current drawing state: the default state current.
void InitialiseDrawing() {
    InitDrawingGlobals();
    SetCurrentPort(nullptr);
}

RelocatableBlock ProgramFolderAlias() {
    FileSpec folder{};
    ApplicationFolderSpec(&folder);
    folder.name[0] = 0; // the folder itself, not the program's name in it
    return FileAliasNew(&folder);
}

} // namespace

void InstallLayerStartProcs() {
    ToolboxStartProcs procs = ToolboxStart();
    procs.fillStandardProcs = &FillLayerProcs;
    procs.makeFrame = &MakeFrameWithGlobals;
    procs.setStandardCursor = &ResetCursorToArrow;
    procs.captureSettings = &CaptureDefaults;
    procs.fillPortProcs = &FillLayerProcs;
    procs.loadCursors = &LoadStartCursors;
    procs.fontsInitialise = &FontsInitialise;
    procs.initialiseDrawing = &InitialiseDrawing;
    procs.suspendResumeClipboard = &SuspendResumeClipboardHook;
    procs.clipboardTextLength = &ClipboardTextLength;
    procs.programFolderAlias = &ProgramFolderAlias;
    SetToolboxStartProcs(&procs);
}
