// The application shell's command side: the command hook, the menu-enable
// callbacks and the command chain they form, the standard commands, the
// routing of menu choices and posted commands, and the quit protocol.
//
// Guarantees: a command reaches the standard handling only while the window
// it was offered with still exists; every menu-enable callback runs with its
// window current and the walk stops at the first answer; a quit asked while
// another is asking is refused at once and leaves the loop running.
#pragma once
#include <cstdint>

#include "toolbox/core/menucommands.h"
#include "toolbox/core/menulist.h"
#include "toolbox/core/windowevent.h"

// Standard command numbers.
constexpr uint32_t kCommandNew = 200;
constexpr uint32_t kCommandQuitRequest = 208;
constexpr uint32_t kCommandUndo = 300;
constexpr uint32_t kCommandCut = 302;
constexpr uint32_t kCommandCopy = 303;
constexpr uint32_t kCommandPaste = 304;
constexpr uint32_t kCommandClear = 305;
constexpr uint32_t kCommandPreferences = 32050;
// Modifier bits of a menu choice.
constexpr uint32_t kChoiceShiftBit = 0x200;
constexpr uint32_t kChoiceControlBit = 0x800;
constexpr int32_t kCommandQueryTextSize = 256;

// What a menu-enable callback is asked about one item, and its answers.
struct CommandQuery {
    WindowObject* window; // the chain entry's window
    MenuListEntry* menu;
    int32_t item;
    uint32_t command;
    uint8_t enabled; // starts 1
    uint8_t checked; // starts with the item's check
    uint16_t mark;   // 0: none given
    uint8_t modalInFront;
    char text[kCommandQueryTextSize]; // empty: unchanged
};

// What the shell asks of the dialog and clipboard layers. The entries
// default to a modal dialog when the front window has the modal class bit,
// no selection, an empty clipboard and no edit done.
struct ShellTextProcs {
    bool (*frontIsModalDialog)();
    // The selection of an edit-text item.
    void (*itemSelection)(WindowObject* window, int16_t item, int32_t* start, int32_t* end);
    // Carries out edit command 302-305 on the item.
    void (*editItem)(WindowObject* window, int16_t item, uint32_t command);
    int32_t (*clipboardTextLength)();
};
void SetShellTextProcs(const ShellTextProcs* procs);
const ShellTextProcs& ShellText();

// The hook answers nonzero when it handled the command.
typedef int32_t (*CommandHook)(WindowObject* window, const WindowEvent* event);
void SetCommandHook(CommandHook hook);
// The previous callback; a null window sets the application-wide one.
WindowMenuEnableCallback SetMenuEnableCallback(WindowObject* window,
                                               WindowMenuEnableCallback callback);

// The front window's focused edit-text item (0 none).
int16_t FocusedEditTextItem(WindowObject* window);
bool StandardCommandProc(CommandQuery* query);
// 0 when carried out, kWindowEventNotHandled otherwise.
int32_t StandardCommand(WindowObject* window, const WindowEvent* event);
int32_t ProcessCommand(const WindowEvent* event);
int32_t SendCommand(WindowObject* window, int16_t command, int16_t menu, int16_t item,
                    int16_t extra, uint8_t value, bool shift, bool control);
void MenuChoiceCommand(MenuRecord* menu, int32_t item, uint32_t modifiers, bool flag, bool value);

// Asks the chain about one item and applies the answers; true when the
// item's title (item 0) changed so the bar needs redrawing.
bool MenuItemEnableQuery(MenuListEntry* entry, int32_t item, uint32_t command);
void UpdateMenuEnabling(int32_t flag);

// Quit.
bool QuitPermission();
bool QuitApplicationRequest();
bool QuitInProgress();
// The loop's procedures: COM's end after the loop (a no-op until the Win32
// start installs it).
void SetShellLoopEndProc(void (*procedure)());
void RunApplicationLoop();
void EndApplicationLoop();
void RunApplication();
// Forgets the hook, callbacks, procedures and quit state (tests).
void ResetShellCommands();
