// The portable half of the shell's start: what the shell installs into the
// layers below it. The shell's key handler answers 'eppc' 1 on the
// toolbox's receiver; dropped files are taken on the application-level
// receiver.
#include "toolbox/core/shellstart.h"

#include "toolbox/core/bitmapbits.h"
#include "toolbox/core/coreevents.h"
#include "toolbox/core/edittextdef.h"
#include "toolbox/core/eventconvert.h"
#include "toolbox/core/eventreceiver.h"
#include "toolbox/core/helptaglist.h"
#include "toolbox/core/keycommand.h"
#include "toolbox/core/menucommands.h"
#include "toolbox/core/menulist.h"
#include "toolbox/core/menusinit.h"
#include "toolbox/core/mousefollow.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/reclist.h"
#include "toolbox/core/shellapphandler.h"
#include "toolbox/core/shellcommands.h"
#include "toolbox/core/shellrequests.h"
#include "toolbox/core/startuprequest.h"

namespace {

constexpr uint32_t kButtonFaceDefault = 0xC0C0C0;

// Index byte (bits 24-31) and 0xRRGGBB.
constexpr uint32_t kStoredColours[kShellColourCount] = {
    0x0BFFFFFF, 0x07000000, 0x01FF0000, 0x0200FF00, 0x030000FF, 0x06FFFF00, 0x0400FFFF, 0x05FF00FF,
    0x0ABBBBBB, 0x09808080, 0x00800000, 0x00008000, 0x00000080, 0x00808000, 0x00008080, 0x00800080,
};

ShellColour g_colours[kShellColourCount] = {};
uint32_t g_background = kButtonFaceDefault;
RelocatableBlock g_folderAlias = nullptr;

int32_t QuitFromFrame() {
    return QuitApplicationRequest() ? 1 : 0;
}

const EventTypeSpec kRequestType{kEventClassHighLevel, kCoreEventKind};

} // namespace

const ShellColour* ShellColourTable() {
    return g_colours;
}

uint32_t ShellBackgroundColour() {
    return g_background;
}

void SetShellBackgroundColour(uint32_t rgb) {
    g_background = rgb;
}

RelocatableBlock ShellProgramFolderAlias() {
    return g_folderAlias;
}

void InstallClipboardHooks() {
    const ToolboxStartProcs& start = ToolboxStart();
    if (start.suspendResumeClipboard) {
        ShellAppProcs app = ShellApp();
        app.suspendResume = start.suspendResumeClipboard;
        SetShellAppProcs(&app);
    }
    if (start.clipboardTextLength) {
        ShellTextProcs text = ShellText();
        text.clipboardTextLength = start.clipboardTextLength;
        SetShellTextProcs(&text);
    }
}

void InitShellResources() {
    ShellAppProcs app = ShellApp();
    app.updateCursor = &RequestMouseMovedUpdate;
    app.endContentClick = &EndPortContentClick;
    SetShellAppProcs(&app);
    if (g_folderAlias) HeapHandleFree(g_folderAlias);
    g_folderAlias =
        ToolboxStart().programFolderAlias ? ToolboxStart().programFolderAlias() : nullptr;
    SetFrameCloseHook(&QuitFromFrame);
    SetProcessCommandProc(&ProcessCommand);
    MenuListInit(&UpdateMenuEnabling, &MenuChoiceCommand);
    KeyCommandRegister(kKeyLeftArrow, kKeyCommandControl, kCommandPreviousTab);
    KeyCommandRegister(kKeyRightArrow, kKeyCommandControl, kCommandNextTab);
    SetInvertMonochrome();
    InstallHelpTagLists();
    for (int32_t i = 0; i < kShellColourCount; ++i)
        g_colours[i] = {uint8_t(kStoredColours[i] >> 24), kStoredColours[i] & 0xFFFFFF};
    RegisterControlDefinition(int16_t(kEditTextGroup), &EditTextDefProc);
    RunToolboxStep(ToolboxStart().registerControlDefinitions);
    EventReceiverPushHandler(ApplicationLevelReceiver(), &DropRequestHandler, 1, &kRequestType,
                             nullptr, nullptr);
}

void StartShellAfterFrame(int32_t barId) {
    MenusInitialise(kMenusKeepFrame);
    InstallClipboardHooks();
    InitShellResources();
    RunToolboxStep(ToolboxStart().fontsInitialise);
    RunToolboxStep(ToolboxStart().initialiseDrawing);
    if (barId == 0) return;
    if (SavedMenuBar* bar = MenuBarNew(barId)) {
        MenuBarSet(bar);
        DisposeMenuBarList(bar);
    }
    RedrawMenuBar();
}
