// Key and mouse-button message rules over the low-level queue; the
// virtual key of a character comes from the input source's key scan.
#include "toolbox/core/inputmessage.h"

#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/osinput.h"

namespace {
// The last key value posted (key code << 8 | character); 0 after a key up.
uint32_t g_lastKey = 0;
bool g_haveLastKey = false;

constexpr uint32_t kNcButtonFirst = kOsMsgNcLeftDown;
constexpr uint32_t kClientButtonFirst = kOsMsgLeftDown;
constexpr uint32_t kMessagesPerButton = 3; // down, up, double-click

void PostKey(uint32_t value) {
    uint16_t what = (g_haveLastKey && g_lastKey == value) ? kOsWhatAutoKey : kOsWhatKeyDown;
    g_lastKey = value;
    g_haveLastKey = true;
    PostOsEvent(what, value);
}

} // namespace

bool KeyDownPosts(uint32_t vk) {
    return vk == kVkClear || (vk >= kVkPageUp && vk <= kVkDown) || vk == kVkExecute || vk == kVkDelete ||
           vk == kVkHelp || (vk >= kVkF1 && vk <= kVkF24);
}

void KeyMessageToOsEvent(void*, uint32_t message, uint32_t key) {
    switch (message) {
    case kOsMsgChar: {
        uint32_t code = uint32_t(OsKeyScan(uint8_t(key))) & 0xFF;
        PostKey((code << 8) | (key & 0xFF));
        break;
    }
    case kOsMsgKeyDown:
        if (KeyDownPosts(key)) PostKey((key & 0xFF) << 8);
        break;
    case kOsMsgKeyUp:
        PostOsEvent(kOsWhatKeyUp, g_lastKey);
        g_lastKey = 0;
        g_haveLastKey = false;
        break;
    default:
        break;
    }
}

bool MouseMessageButton(uint32_t message, int32_t* button, bool* down) {
    uint32_t first;
    if (message >= kOsMsgLeftDown && message <= kOsMsgMiddleDouble)
        first = kClientButtonFirst;
    else if (message >= kOsMsgNcLeftDown && message <= kOsMsgNcMiddleDouble)
        first = kNcButtonFirst;
    else
        return false;
    uint32_t offset = message - first;
    *button = int32_t(offset / kMessagesPerButton);
    *down = offset % kMessagesPerButton != 1;
    return true;
}

void MouseButtonMessage(void* window, uint32_t message) {
    int32_t button;
    bool down;
    if (!MouseMessageButton(message, &button, &down)) return;
    if (down) {
        OsCaptureMouse(window);
        PostOsEvent(kOsWhatMouseDown, uintptr_t(button));
    } else {
        OsReleaseMouse();
        PostOsEvent(kOsWhatMouseUp, uintptr_t(button));
    }
}

void ResetKeyMessageState() {
    g_lastKey = 0;
    g_haveLastKey = false;
}

int32_t MouseButtonDown(int32_t button) {
    return OsButtonDown(button) ? kMouseButtonIsDown : 0;
}

bool PollMouseStillDown(int32_t button) {
    if (OsButtonMessageQueued()) MessagePump();
    if (FindQueuedOsEvent(kOsMaskMouseDown | kOsMaskMouseUp, nullptr, button + 1, false, false))
        return false;
    return OsButtonDown(button);
}

bool PollMouseReleased(int32_t button) {
    if (OsButtonMessageQueued()) MessagePump();
    if (FindQueuedOsEvent(kOsMaskMouseUp, nullptr, button + 1, false, true)) return true;
    return !OsButtonDown(button);
}

bool MouseButtonStillDown(int32_t button) {
    return PollMouseStillDown(button);
}
