// The shell's command routing, menu enabling and quit protocol.
//
// Keeps: the command hook, the application-wide menu-enable callback, the
// quit-in-progress flag, the token of the application's loop level and the
// text and clipboard procedures. The command chain is rebuilt before every
// enabling walk from the front window: the focus window (when it is another
// window with a callback), the front window and its owners that have one,
// the application-wide callback, and last the standard entry, which always
// answers, so every item is decided.
#include "toolbox/core/shellcommands.h"

#include "toolbox/core/shelldefaults.h"

#include <cstring>

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/menubar.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowfocus.h"
#include "toolbox/core/windowlist.h"

namespace {

constexpr int32_t kChainLimit = 64;

// The window is found again by its sequence number before each call, as
// an earlier callback may have disposed it.
struct ChainEntry {
    WindowObject* window;
    int32_t sequence;
    WindowMenuEnableCallback callback;
};

CommandHook g_hook = nullptr;
WindowMenuEnableCallback g_appCallback = nullptr;
bool g_quitting = false;
int32_t g_loopToken = 0;
void (*g_loopEnd)() = nullptr;
ShellTextProcs g_text{};
ChainEntry g_chain[kChainLimit];
int32_t g_chainCount = 0;

void NoSelection(WindowObject*, int16_t, int32_t* start, int32_t* end) {
    *start = 0;
    *end = 0;
}
void NoEdit(WindowObject*, int16_t, uint32_t) {}
int32_t NoClipboard() {
    return 0;
}

WindowObject* FrontWindow() {
    return FindNextWindowOfKinds(nullptr, kKindsAny, 1);
}

// The front window's focus window, or the front window itself.
WindowObject* CommandTarget() {
    WindowObject* front = FrontWindow();
    if (!front) return nullptr;
    WindowObject* focus = FocusedWindowOf(front);
    return focus ? focus : front;
}

void ChainAdd(WindowObject* window, WindowMenuEnableCallback callback) {
    if (g_chainCount < kChainLimit)
        g_chain[g_chainCount++] = {window, window ? window->sequence : 0, callback};
}

void BuildCommandChain() {
    g_chainCount = 0;
    WindowObject* front = FrontWindow();
    WindowObject* focus = front ? FocusedWindowOf(front) : nullptr;
    if (focus && focus != front && focus->menuEnableCallback)
        ChainAdd(focus, focus->menuEnableCallback);
    for (WindowObject* w = front; w; w = w->owner)
        if (w->menuEnableCallback) ChainAdd(w, w->menuEnableCallback);
    if (g_appCallback) ChainAdd(nullptr, g_appCallback);
    ChainAdd(front, &StandardCommandProc);
}

bool EditCommand(uint32_t command) {
    return command >= kCommandCut && command <= kCommandClear;
}

struct EnableWalk {
    bool barChanged;
};

bool EnableItem(MenuListEntry* entry, int32_t item, uint32_t command, bool* descend, void* data) {
    *descend = true;
    if (command != 0 && MenuItemEnableQuery(entry, item, command))
        static_cast<EnableWalk*>(data)->barChanged = true;
    return true;
}

} // namespace

void SetShellTextProcs(const ShellTextProcs* procs) {
    g_text = procs ? *procs : ShellTextProcs{};
    if (!g_text.frontIsModalDialog) g_text.frontIsModalDialog = &FrontIsModalDialog;
    if (!g_text.itemSelection) g_text.itemSelection = &NoSelection;
    if (!g_text.editItem) g_text.editItem = &NoEdit;
    if (!g_text.clipboardTextLength) g_text.clipboardTextLength = &NoClipboard;
}

const ShellTextProcs& ShellText() {
    if (!g_text.frontIsModalDialog) SetShellTextProcs(nullptr);
    return g_text;
}

void SetCommandHook(CommandHook hook) {
    g_hook = hook;
}

WindowMenuEnableCallback SetMenuEnableCallback(WindowObject* window,
                                               WindowMenuEnableCallback callback) {
    WindowMenuEnableCallback& slot = window ? window->menuEnableCallback : g_appCallback;
    WindowMenuEnableCallback previous = slot;
    slot = callback;
    return previous;
}

int16_t FocusedEditTextItem(WindowObject* window) {
    if (!window || !DialogLayer().focusedItem) return 0;
    int16_t item = DialogLayer().focusedItem(window);
    if (item <= 0 || !DialogLayer().itemKind) return 0;
    return DialogLayer().itemKind(window, item) == kItemKindEditText ? item : 0;
}

bool StandardCommandProc(CommandQuery* query) {
    int16_t item = FocusedEditTextItem(query->window);
    int32_t start = 0, end = 0;
    if (item) ShellText().itemSelection(query->window, item, &start, &end);
    switch (query->command) {
    case kCommandNew:
    case kCommandQuitRequest:
    case kCommandPreferences:
        query->enabled = !query->modalInFront;
        break;
    case kCommandUndo:
        query->enabled = item != 0;
        break;
    case kCommandCut:
    case kCommandCopy:
    case kCommandClear:
        query->enabled = item != 0 && end > start;
        break;
    case kCommandPaste:
        query->enabled = item != 0 && ShellText().clipboardTextLength() > 0;
        break;
    default:
        query->enabled = 0;
        break;
    }
    return true;
}

int32_t StandardCommand(WindowObject* window, const WindowEvent* event) {
    uint32_t command = uint16_t(event->command.command);
    if (command == kCommandCloseWindow) {
        WindowObject* again = window ? WindowObjectFromId(window->sequence) : nullptr;
        if (!again) return kWindowEventNotHandled;
        SendWindowCloseEvent(again, false);
        return 0;
    }
    if (command == kCommandQuitRequest) {
        QuitApplicationRequest();
        return 0;
    }
    if (EditCommand(command)) {
        int16_t item = FocusedEditTextItem(window);
        if (!item) return kWindowEventNotHandled;
        ShellText().editItem(window, item, command);
        return 0;
    }
    return kWindowEventNotHandled;
}

int32_t ProcessCommand(const WindowEvent* event) {
    WindowObject* target = CommandTarget();
    int32_t sequence = target ? target->sequence : 0;
    if (g_hook && g_hook(target, event) != 0) return 0;
    if (target && !WindowObjectFromId(sequence)) return 0;
    return StandardCommand(target, event);
}

int32_t SendCommand(WindowObject* window, int16_t command, int16_t menu, int16_t item,
                    int16_t extra, uint8_t value, bool shift, bool control) {
    WindowEvent event{};
    event.type = kWindowEventCommand;
    event.command.menu = menu;
    event.command.command = command;
    event.command.item = item;
    event.command.extra = extra;
    event.command.value = value;
    event.command.shift = shift;
    event.command.control = control;
    if (!window) window = CommandTarget();
    if (!window) return ProcessCommand(&event);
    return EventDispatchToView(window, &event);
}

void MenuChoiceCommand(MenuRecord* menu, int32_t item, uint32_t modifiers, bool, bool value) {
    MenuListEntry* entry = MenuEntryOf(menu);
    if (!entry) return;
    int16_t font = 0;
    uint32_t command = ItemCommandOf(entry, item, &font);
    SendCommand(nullptr, int16_t(command), entry->menuId, int16_t(item), font, value,
                (modifiers & kChoiceShiftBit) != 0, (modifiers & kChoiceControlBit) != 0);
}

bool MenuItemEnableQuery(MenuListEntry* entry, int32_t item, uint32_t command) {
    CommandQuery query{};
    query.menu = entry;
    query.item = item;
    query.command = command;
    query.enabled = 1;
    bool wasChecked = item > 0 && ItemCheckedOf(entry, kItemByPosition, item);
    query.checked = wasChecked;
    query.modalInFront = ShellText().frontIsModalDialog();
    void* previous = DrawingLayer().currentPort ? DrawingLayer().currentPort() : nullptr;
    WindowObject* previousWindow = WindowObjectOfPort(previous);
    int32_t previousId = previousWindow ? previousWindow->sequence : 0;
    for (int32_t i = 0; i < g_chainCount; ++i) {
        WindowObject* window = g_chain[i].window;
        if (window && WindowObjectFromId(g_chain[i].sequence) != window) continue;
        query.window = window;
        if (window) MakeWindowCurrentPort(window);
        if (g_chain[i].callback(&query)) break;
    }
    // A callback that disposed the window current before leaves the port
    // its disposal fell back to.
    bool previousGone = previousWindow && WindowObjectFromId(previousId) != previousWindow;
    if (DrawingLayer().setCurrentPort && !previousGone) DrawingLayer().setCurrentPort(previous);
    if (item > 0 && (bool(query.checked) != wasChecked || query.mark != 0))
        SetItemMark(entry, kItemByPosition, item,
                    query.mark ? query.mark : (query.checked ? kMenuCheckMark : 0));
    if (item > 0 && query.text[0]) {
        query.text[kCommandQueryTextSize - 1] = 0;
        SetItemText(entry, kItemByPosition, item, query.text);
    }
    bool wasEnabled = ItemEnabledOf(entry, kItemByPosition, item);
    if (bool(query.enabled) == wasEnabled) return false;
    SetItemEnabled(entry, kItemByPosition, item, query.enabled != 0);
    return item == 0;
}

void UpdateMenuEnabling(int32_t) {
    BuildCommandChain();
    EnableWalk walk{false};
    MenuBarWalk(&EnableItem, &walk);
    if (walk.barChanged) RedrawMenuBar();
}

bool QuitInProgress() {
    return g_quitting;
}

bool QuitPermission() {
    if (g_quitting) return false;
    g_quitting = true;
    bool agreed = RequestCloseAllWindows();
    g_quitting = false;
    return agreed;
}

bool QuitApplicationRequest() {
    if (!QuitPermission()) return false;
    EndApplicationLoop();
    return true;
}

void SetShellLoopEndProc(void (*procedure)()) {
    g_loopEnd = procedure;
}

void RunApplicationLoop() {
    RunEventLoopLevel(nullptr, &g_loopToken, true);
    g_loopToken = 0;
    if (g_loopEnd) g_loopEnd();
}

void EndApplicationLoop() {
    if (!g_loopToken) return;
    EndEventLoopLevel(g_loopToken, false);
    g_loopToken = 0;
}

void RunApplication() {
    RedrawMenuBar();
    RunApplicationLoop();
    DisposeAllWindows();
}

void ResetShellCommands() {
    g_hook = nullptr;
    g_appCallback = nullptr;
    g_quitting = false;
    g_loopToken = 0;
    g_loopEnd = nullptr;
    g_chainCount = 0;
    SetShellTextProcs(nullptr);
}
