// The modal script inside toolbox dialogs. The dialog's native window is
// subclassed for the private message and the grace timer; the step rides
// on the subclass and goes with the window. Every procedure here lets no
// exception out.
#include "toolbox/ui/modalscript_dialog_win32.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "toolbox/ui/dialog.h"
#include "toolbox/ui/dialogbuild.h"
#include "toolbox/ui/dialogops.h"
#include "toolbox/ui/modalscript.h"

namespace {

constexpr UINT_PTR kScriptSubclassId = 0x504C5653;
constexpr UINT_PTR kUnexpectedTimerId = 0x504C5654;
constexpr UINT_PTR kStartTimerId = 0x504C5655;
// The first action waits this long, so that the dialog has been drawn as
// a person would see it before answering.
constexpr UINT kStartDelayMs = 100;
constexpr char kScriptMessageName[] = "PelvaneModalScriptStep";

// The step in delivery and the dialog it belongs to.
struct Delivery {
    int32_t dialogId;
    ModalStep step;
    bool expected;
};

UINT ScriptMessage() {
    static UINT message = RegisterWindowMessageA(kScriptMessageName);
    return message;
}

// Virtual keys of the layer's key codes that have no character.
struct KeyCodeKey {
    int32_t code;
    UINT key;
};
constexpr KeyCodeKey kKeys[] = {
    {8, VK_BACK},   {9, VK_TAB},    {13, VK_RETURN}, {27, VK_ESCAPE}, {127, VK_DELETE},
    {301, VK_UP},   {302, VK_DOWN}, {303, VK_RIGHT}, {304, VK_LEFT},  {305, VK_PRIOR},
    {306, VK_NEXT}, {309, VK_HOME}, {310, VK_END},   {317, VK_CLEAR}, {399, VK_EXECUTE},
};

// Posts the key to the window with the keyboard focus, as the keyboard
// would.
void PostKey(HWND dialog, int32_t code) {
    HWND target = GetFocus();
    if (!target) target = dialog;
    UINT key = 0;
    for (const KeyCodeKey& k : kKeys)
        if (k.code == code) key = k.key;
    if (key == 0 && code > 0 && code < 256) {
        SHORT scan = VkKeyScanA(char(code));
        if (scan != -1) key = LOBYTE(scan);
    }
    if (key == 0) return;
    LPARAM lParam = 1 | (LPARAM(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16);
    PostMessageA(target, WM_KEYDOWN, key, lParam);
    PostMessageA(target, WM_KEYUP, key, lParam | (LPARAM(3) << 30));
}

void Perform(WindowObject* dialog, HWND native, const ModalAction& action) {
    switch (action.kind) {
    case kModalSetText:
        DialogItemSetText(dialog, action.item, action.text.c_str());
        break;
    case kModalSetValue:
        SetDialogItemValue(dialog, action.item, action.value);
        break;
    case kModalSendKey:
        PostKey(native, action.value);
        break;
    case kModalPress:
        PressDialogButton(dialog, action.item);
        break;
    case kModalDismiss:
        DismissDialogWithItem(dialog, action.item);
        break;
    }
}

LRESULT CALLBACK ScriptSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR id, DWORD_PTR data) {
    Delivery* delivery = reinterpret_cast<Delivery*>(data);
    try {
        if (message == ScriptMessage()) {
            size_t index = size_t(wParam);
            if (index < delivery->step.actions.size()) {
                // The next action's message goes behind whatever this one posts.
                PostMessageA(window, ScriptMessage(), index + 1, 0);
                if (WindowObject* dialog = WindowObjectFromId(delivery->dialogId))
                    Perform(dialog, window, delivery->step.actions[index]);
            }
            return 0;
        }
        if (message == WM_TIMER && wParam == kStartTimerId) {
            KillTimer(window, kStartTimerId);
            PostMessageA(window, ScriptMessage(), 0, 0);
            return 0;
        }
        if (message == WM_TIMER && wParam == kUnexpectedTimerId) {
            KillTimer(window, kUnexpectedTimerId);
            if (WindowObject* dialog = WindowObjectFromId(delivery->dialogId))
                DismissDialogWithItem(dialog, kModalUnexpectedItem);
            return 0;
        }
        if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(window, &ScriptSubclass, id);
            delete delivery;
        }
    } catch (...) {
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

void ModalScriptDialogShown(WindowObject* dialog) {
    if (!ModalScriptOn()) return;
    ToolboxDialogRecord* record = DialogRecordOf(dialog);
    HWND native = DialogNativeWindow(dialog);
    if (!record || !native) return;
    Delivery* delivery = new Delivery{dialog->sequence, {}, false};
    delivery->expected =
        ModalScriptTake(kModalToolboxDialog, record->templateNumber, &delivery->step);
    std::vector<std::string> texts;
    for (DialogItemRecord* item = record->items.head; item; item = item->next) {
        if (ItemKind(item) != kItemStaticText) continue;
        char text[kItemTextRoom] = {};
        DialogItemGetText(dialog, ItemNumber(item), text);
        texts.push_back(text);
    }
    char title[kItemTextRoom] = {};
    GetWindowTextA(native, title, sizeof title);
    ModalScriptRecord(kModalToolboxDialog, record->templateNumber, title, texts,
                      delivery->expected);
    if (!SetWindowSubclass(native, &ScriptSubclass, kScriptSubclassId,
                           reinterpret_cast<DWORD_PTR>(delivery))) {
        delete delivery;
        return;
    }
    if (delivery->expected)
        SetTimer(native, kStartTimerId, kStartDelayMs, nullptr);
    else
        SetTimer(native, kUnexpectedTimerId, kModalUnexpectedMs, nullptr);
}
