// The shell's key handler. The key event's code and character become the
// record the key commands match; a Control key left over brings the menus
// up to date and is consumed unless a menu answers it.
#include "toolbox/core/shellkeyhandler.h"

#include "toolbox/core/coreevents.h"
#include "toolbox/core/eventconvert.h"
#include "toolbox/core/keycommand.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/menucommands.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/ticks.h"

namespace {

constexpr uint32_t kTypeMagnitude = FourCC("magn");
constexpr uint32_t kTypeText = FourCC("TEXT");

} // namespace

bool FrontWindowIsOurs() {
    void* front = LoopHooks().frontNonFloatingWindow();
    return !front || FindPortOfNativeWindow(front) != nullptr;
}

bool KeyCommandHook(EventObject keyEvent) {
    uint32_t modifiers = 0, code = 0;
    char character = 0;
    EventParamGet(keyEvent, kParamModifiers, kTypeMagnitude, sizeof modifiers, &modifiers);
    EventParamGet(keyEvent, kParamKeyCode, kTypeMagnitude, sizeof code, &code);
    EventParamGet(keyEvent, kParamKeyChar, kTypeText, 1, &character);
    OsEventRecord record;
    OsNullRecord(&record);
    record.what = kOsWhatKeyDown;
    record.message = uintptr_t(((code & 0xFF) << 8) | uint8_t(character));
    record.modifiers = uint16_t(modifiers);
    record.when = GetTicks();
    return MatchKeyCommand(&record);
}

int32_t ShellKeyHandler(EventCallRef*, EventObject event, void*) {
    if (!event) return kEventNotHandled;
    uint32_t eventClass = (*event)->eventClass;
    uint32_t kind = (*event)->kind;
    if (eventClass == kEventClassHighLevel && kind == kHighLevelKind)
        return CoreEventDispatch(event);
    if (eventClass != kEventClassKeyboard || (kind != kKeyDownKind && kind != kKeyRepeatKind))
        return kEventNotHandled;
    if (!FrontWindowIsOurs()) return kEventNotHandled;
    if (KeyCommandHook(event)) return kEventResultOk;
    uint32_t modifiers = 0;
    EventParamGet(event, kParamModifiers, kTypeMagnitude, sizeof modifiers, &modifiers);
    if (!(modifiers & kRecordControlBit)) return kEventNotHandled;
    UpdateMenuBarMenus(0);
    MenuRecord* menu = nullptr;
    int32_t item = 0;
    if (MenuCommandKey(nullptr, event, kMenuKeyNoHilite, &menu, &item)) return kEventNotHandled;
    return kEventResultOk;
}
