// The toolbox's start-up of menus and events: the main frame and its menu
// hook, the program's bar 256, the shell's handlers on the two receivers,
// the window layer's scroll-bar width, the default drawing settings and
// port procedures, an agreeing frame-close hook and an empty low-level
// queue, in that order.
//
// Guarantees: the steps run in one fixed order; flag 2 leaves the frame
// and the menu hook alone; a program without bar 256 starts with an empty
// bar. What belongs to the drawing, font and cursor half of the toolbox is
// reached through ToolboxStartProcs, whose entries default to nothing.
#pragma once
#include <cstdint>

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/region.h"

constexpr int32_t kMenusKeepFrame = 2;
constexpr int32_t kProgramMenuBarId = 256;
constexpr int32_t kToolboxUnsetValue = -1;

// The toolbox's global block, cleared by MenusInitialise's first step.
struct ToolboxGlobals {
    RegionRecord* sharedRegion;
    int32_t cachedValues[2]; // kToolboxUnsetValue until first used
    int32_t scrollBarWidth;
    DrawingSettings defaultSettings; // captured by the start-up's ninth step
};
ToolboxGlobals& ToolboxGlobalBlock();

// What the start-up asks of the drawing, font, text and cursor half of the
// toolbox and of the native frame; a null entry does nothing.
struct ToolboxStartProcs {
    void (*fillStandardProcs)();
    // InitDrawingGlobals and FontEnumerate, then CreateMainFrame.
    void (*makeFrame)();
    void (*installMenuHook)();
    void (*setStandardCursor)(); // the arrow and the window background pattern
    int32_t (*scrollBarWidth)();
    void (*captureSettings)(DrawingSettings* out);
    void (*fillPortProcs)(); // the standard record with the toolbox's 15 entries
    void (*loadCursors)();
    void (*fontsInitialise)();
    // Menus, text editing and the current drawing state.
    void (*initialiseDrawing)();
    // The control layer's definitions: 22 (list box); the shell registers
    // 17 (edit text) itself.
    void (*registerControlDefinitions)();
    // The clipboard's suspend (1) / resume (0) hook and the length of the
    // text on the clipboard, installed into the shell at its start.
    void (*suspendResumeClipboard)(uint8_t background);
    int32_t (*clipboardTextLength)();
    // A folder alias of the program's folder (null when none can be made);
    // the shell keeps it.
    RelocatableBlock (*programFolderAlias)();
};
void SetToolboxStartProcs(const ToolboxStartProcs* procs);
// Runs one step of ToolboxStartProcs; a null step does nothing.
void RunToolboxStep(void (*procedure)());
const ToolboxStartProcs& ToolboxStart();

// The frame-close hook MenusInitialise installs: every close agreed.
int32_t AlwaysAgree();
void MenusInitialise(int32_t flags);
