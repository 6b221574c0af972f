// The modal script's queue: steps taken only by the dialog they name, the
// log lines, and the script off until a step is pushed.
#include <gtest/gtest.h>

#include "toolbox/ui/modalscript.h"

namespace {

TEST(ModalScriptTest, StepsGoOnlyToTheDialogTheyName) {
    ModalScriptReset();
    EXPECT_FALSE(ModalScriptOn());
    ModalScriptRecord(kModalMessageBox, 0, "Pelvane", {"x"}, true);
    EXPECT_TRUE(ModalScriptLog().empty()); // nothing logged while off
    ModalStep step{kModalToolboxDialog, 8002, {{kModalPress, 1, 0, ""}}, false, ""};
    ModalScriptPush(step);
    ModalScriptPush({kModalMessageBox, 0, {}, false, ""});
    ModalScriptPush({kModalToolboxDialog, 0, {}, false, ""});
    EXPECT_TRUE(ModalScriptOn());
    ModalStep taken;
    EXPECT_FALSE(ModalScriptTake(kModalMessageBox, 0, &taken));       // not first
    EXPECT_FALSE(ModalScriptTake(kModalToolboxDialog, 1002, &taken)); // other template
    ASSERT_TRUE(ModalScriptTake(kModalToolboxDialog, 8002, &taken));
    ASSERT_EQ(taken.actions.size(), 1u);
    EXPECT_EQ(taken.actions[0].item, 1);
    EXPECT_TRUE(ModalScriptTake(kModalMessageBox, 0, &taken));
    EXPECT_TRUE(ModalScriptTake(kModalToolboxDialog, 4711, &taken)); // 0: any
    EXPECT_FALSE(ModalScriptTake(kModalToolboxDialog, 4711, &taken));
    EXPECT_EQ(ModalScriptPending(), 0);
    ModalScriptRecord(kModalToolboxDialog, 8002, "", {"Sure?"}, true);
    ModalScriptRecord(kModalMessageBox, 0, "Pelvane", {"Error:  #5"}, false);
    ASSERT_EQ(ModalScriptLog().size(), 2u);
    EXPECT_EQ(ModalScriptLog()[0], "dialog 8002 \"\" \"Sure?\"");
    EXPECT_EQ(ModalScriptLog()[1], "unexpected message \"Pelvane\" \"Error:  #5\"");
    ModalScriptReset();
    EXPECT_TRUE(ModalScriptLog().empty());
    EXPECT_FALSE(ModalScriptOn());
}

} // namespace
