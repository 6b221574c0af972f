// Dispatch of the event loop's system side to the installed or the system
// procedures, and the count of returns from the system wait.
#include "toolbox/core/osinput.h"

namespace {
OsInputSource g_source{};
uint32_t g_waitReturns = 0;
void* g_frame = nullptr;
void* g_mdiClient = nullptr;
bool g_quitSeen = false;
int32_t g_paintDepth = 0;
} // namespace

void SetOsInputSource(const OsInputSource* source) {
    g_source = source ? *source : OsInputSource{};
}

void OsMouseClient(Point32* out) {
    g_source.mouseClient ? g_source.mouseClient(out) : PlatformMouseClient(out);
}

void OsMouseScreen(Point32* out) {
    g_source.mouseScreen ? g_source.mouseScreen(out) : PlatformMouseScreen(out);
}

uint16_t KeyModifiers() {
    return g_source.keyModifiers ? g_source.keyModifiers() : PlatformKeyModifiers();
}

bool OsButtonDown(int32_t button) {
    return g_source.buttonDown ? g_source.buttonDown(button) : PlatformButtonDown(button);
}

void MessagePump() {
    g_source.pump ? g_source.pump() : PlatformMessagePump();
}

bool OsMessageQueued() {
    return g_source.messageQueued ? g_source.messageQueued() : PlatformMessageQueued();
}

bool OsButtonMessageQueued() {
    return g_source.buttonMessageQueued ? g_source.buttonMessageQueued()
                                        : PlatformButtonMessageQueued();
}

void OsWaitMessage(uint32_t ms) {
    g_source.waitMessage ? g_source.waitMessage(ms) : PlatformWaitMessage(ms);
    ++g_waitReturns;
}

int16_t OsKeyScan(uint8_t character) {
    return g_source.keyScan ? g_source.keyScan(character) : PlatformKeyScan(character);
}

void OsCaptureMouse(void* window) {
    g_source.captureMouse ? g_source.captureMouse(window) : PlatformCaptureMouse(window);
}

void OsReleaseMouse() {
    g_source.releaseMouse ? g_source.releaseMouse() : PlatformReleaseMouse();
}

void OsExitProcess(int32_t code) {
    g_source.exitProcess ? g_source.exitProcess(code) : PlatformExitProcess(code);
}

uint32_t OsWaitReturnCount() {
    return g_waitReturns;
}

void SetOsFrameWindows(void* frame, void* mdiClient) {
    g_frame = frame;
    g_mdiClient = mdiClient;
}

void* OsFrameWindow() {
    return g_frame;
}
void* OsMdiClientWindow() {
    return g_mdiClient;
}
void OsNoteQuitSeen() {
    g_quitSeen = true;
}
bool OsQuitSeen() {
    return g_quitSeen;
}
void OsClearQuitSeen() {
    g_quitSeen = false;
}
bool InPaintDispatch() {
    return g_paintDepth > 0;
}
void OsPaintDispatchEnter() {
    ++g_paintDepth;
}
void OsPaintDispatchLeave() {
    --g_paintDepth;
}
