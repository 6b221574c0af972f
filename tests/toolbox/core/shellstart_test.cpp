#include "toolbox/core/shellstart.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolbox/core/bitmapbits.h"
#include "toolbox/core/coreevents.h"
#include "toolbox/core/edittextdef.h"
#include "toolbox/core/reclist.h"
#include "toolbox/core/eventconvert.h"
#include "toolbox/core/keycommand.h"
#include "toolbox/core/menulist.h"
#include "toolbox/core/menusinit.h"
#include "toolbox/core/mousefollow.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/shellapphandler.h"
#include "toolbox/core/shellcommands.h"
#include "toolbox/core/shellrequests.h"
#include "toolbox/core/startuprequest.h"
#include "window_fixture.h"

namespace {

int g_opened = 0;

class ShellStart : public WindowFixture {
  protected:
    void TearDown() override {
        EventReceiverClearHandlers(ApplicationEventReceiver());
        EventReceiverClearHandlers(ApplicationLevelReceiver());
        ClearKeyCommands();
        ClearInvertMonochrome();
        SetFrameCloseHook(nullptr);
        ResetShellRequests();
        ResetShellCommands();
        SetShellAppProcs(nullptr);
        MenuListReset();
        if (ToolboxGlobalBlock().sharedRegion) DisposeRegion(ToolboxGlobalBlock().sharedRegion);
        ToolboxGlobalBlock() = ToolboxGlobals{};
        WindowFixture::TearDown();
    }
};

TEST_F(ShellStart, TheShellsProceduresReachTheLayers) {
    static std::vector<std::string> steps;
    steps.clear();
    ToolboxStartProcs procs{};
    procs.registerControlDefinitions = [] { steps.push_back("control definitions"); };
    procs.fontsInitialise = [] { steps.push_back("fonts"); };
    procs.initialiseDrawing = [] { steps.push_back("drawing"); };
    procs.suspendResumeClipboard = [](uint8_t background) {
        steps.push_back("clipboard " + std::to_string(background));
    };
    procs.clipboardTextLength = [] { return int32_t(5); };
    procs.programFolderAlias = [] {
        steps.push_back("alias");
        return NewRelocatableBlock(nullptr, 4);
    };
    SetToolboxStartProcs(&procs);
    StartShellAfterFrame(0);
    SetToolboxStartProcs(nullptr);
    EXPECT_EQ(steps,
              (std::vector<std::string>{"alias", "control definitions", "fonts", "drawing"}));
    // The clipboard hooks reach the shell; the alias is kept.
    ShellApp().suspendResume(1);
    EXPECT_EQ(steps.back(), "clipboard 1");
    EXPECT_EQ(ShellText().clipboardTextLength(), 5);
    ASSERT_NE(ShellProgramFolderAlias(), nullptr);
    EXPECT_EQ(RelocatableBlockSize(ShellProgramFolderAlias()), 4);
    // Edit-text definitions (17 x 16 + variant) find the field's procedure.
    EXPECT_EQ(FindControlDefinition(kEditTextGroup * 16), &EditTextDefProc);
    EXPECT_TRUE(InvertMonochromeSet());
    // The default colours: white at index 11, black at 7, the last purple.
    EXPECT_EQ(ShellColourTable()[0].index, 11);
    EXPECT_EQ(ShellColourTable()[0].rgb, 0xFFFFFFu);
    EXPECT_EQ(ShellColourTable()[1].index, 7);
    EXPECT_EQ(ShellColourTable()[15].rgb, 0x800080u);
    // The application handler brings the cursor up to date and ends
    // content clicks through the window layer.
    EXPECT_EQ(ShellApp().updateCursor, &RequestMouseMovedUpdate);
    EXPECT_EQ(ShellApp().endContentClick, &EndPortContentClick);
    EXPECT_EQ(InstalledMenuUpdate(), &UpdateMenuEnabling);
    EXPECT_EQ(InstalledMenuChoice(), &MenuChoiceCommand);
    ASSERT_EQ(KeyCommandCount(), 2);
    for (int32_t i = 0; i < 2; ++i) {
        const KeyCommandEntry* k = KeyCommandAt(i);
        EXPECT_EQ(k->modifiers, kKeyCommandControl);
        EXPECT_EQ(k->command, k->key == kKeyLeftArrow ? kCommandPreviousTab : kCommandNextTab);
    }
    // The frame's close runs the quit request: a refusal keeps the window.
    WindowObject* w = MakeWindow();
    Reactions()[kWindowEventClose] = [](WindowObject*, WindowEvent*) {
        RefuseClose();
        return int32_t(1);
    };
    EXPECT_EQ(CallFrameCloseHook(), 0);
    EXPECT_NE(WindowObjectFromId(w->sequence), nullptr);
    Reactions().clear();
    EXPECT_EQ(CallFrameCloseHook(), 1);
    // An open-application request on the toolbox's receiver reaches the
    // application's handler.
    g_opened = 0;
    InstallCoreEventHandlers([] { ++g_opened; }, nullptr, nullptr, nullptr, nullptr);
    int16_t kind = 0;
    EventObject e = nullptr;
    ASSERT_EQ(EventObjectNew(kEventClassHighLevel, kCoreEventKind, &e), 0);
    EventParamSet(e, kParamRequestKind, kCoreTypeShort, sizeof kind, &kind);
    EXPECT_EQ(SendEventToReceiver(e, ApplicationEventReceiver()), 0);
    EXPECT_EQ(g_opened, 1);
    EventObjectRelease(e);
}

} // namespace
