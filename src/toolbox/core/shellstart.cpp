// The portable half of the shell's start: what the shell installs into the
// layers below it. The request dispatch answers 'eppc' 1 on the toolbox's
// receiver; dropped files are taken on the application-level receiver.
#include "toolbox/core/shellstart.h"

#include "toolbox/core/bitmapbits.h"
#include "toolbox/core/coreevents.h"
#include "toolbox/core/eventconvert.h"
#include "toolbox/core/eventreceiver.h"
#include "toolbox/core/helptaglist.h"
#include "toolbox/core/keycommand.h"
#include "toolbox/core/menucommands.h"
#include "toolbox/core/menulist.h"
#include "toolbox/core/shellapphandler.h"
#include "toolbox/core/shellcommands.h"
#include "toolbox/core/shellrequests.h"
#include "toolbox/core/startuprequest.h"

namespace {

int32_t QuitFromFrame() {
    return QuitApplicationRequest() ? 1 : 0;
}

int32_t RequestHandler(EventCallRef*, EventObject event, void*) {
    return CoreEventDispatch(event);
}

const EventTypeSpec kRequestType{kEventClassHighLevel, kCoreEventKind};
const EventTypeSpec kApplicationTypes[] = {
    {kEventClassApplication, 1}, {kEventClassApplication, 2}, {kEventClassMouse, 2},
    {kEventClassMouse, 5},       {kEventClassMenu, 1},        {kEventClassMenu, 2},
    {kEventClassMenu, 8},
};

} // namespace

void InstallShellProcedures() {
    SetFrameCloseHook(&QuitFromFrame);
    SetProcessCommandProc(&ProcessCommand);
    MenuListInit(&UpdateMenuEnabling, &MenuChoiceCommand);
    KeyCommandRegister(kKeyLeftArrow, kKeyCommandControl, kCommandPreviousTab);
    KeyCommandRegister(kKeyRightArrow, kKeyCommandControl, kCommandNextTab);
    SetInvertMonochrome();
    InstallHelpTagLists();
    EventReceiverPushHandler(ApplicationEventReceiver(), &RequestHandler, 1, &kRequestType, nullptr,
                             nullptr);
    EventReceiverPushHandler(ApplicationLevelReceiver(), &ShellApplicationHandler,
                             int32_t(sizeof kApplicationTypes / sizeof kApplicationTypes[0]),
                             kApplicationTypes, nullptr, nullptr);
    EventReceiverPushHandler(ApplicationLevelReceiver(), &DropRequestHandler, 1, &kRequestType,
                             nullptr, nullptr);
}
