// The view-choice dialogs of 30712, 30714 and 30716: their radio buttons,
// the view opened on OK, and the refusals that keep them open.
#include "place/tool/upview.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "upnextfixture.h"

namespace {

using UpViewTest = UpNextTest;

TEST_F(UpViewTest, EachCommandOffersItsViews) {
    struct Case {
        int32_t command;
        std::vector<std::string> lines;
        const char* opened;
    } cases[] = {
        {30712,
         {"DlgOpen 34830 ", "DlgRunModal", "DlgSetButton 8 30830 0 1 1",
          "DlgSetButton 8 30842 0 0 1", "DlgSetButton 8 30844 0 0 1", "DlgSetButton 8 30846 0 0 1",
          "DlgSetButton 8 30848 0 0 1", "DlgSetButton 8 30850 0 0 1", "DlgSetButton 8 30852 0 0 1",
          "DlgSetButton 8 30854 0 0 1", "DlgSetButton 8 30874 0 0 1"},
         "ViewInstall 30830"},
        {30716,
         {"DlgOpen 34833 ", "DlgRunModal", "DlgSetButton 8 30858 0 1 1",
          "DlgSetButton 8 30862 0 0 1", "DlgSetButton 8 30864 0 0 1", "DlgSetButton 8 30866 0 0 1",
          "DlgSetButton 8 30868 0 0 1"},
         "ViewInstall 30858"},
        {30714, {"DlgOpen 34850 ", "DlgRunModal", "DlgSetButton 8 30834 0 0 1"}, nullptr},
    };
    for (const Case& t : cases) {
        host.Take();
        host.script = {{{}, {}, true}, {{}, {}, false}};
        EXPECT_EQ(upViewCommand(t.command), 1);
        std::vector<std::string> lines = host.lines;
        if (t.opened) {
            EXPECT_EQ(lines.back(), t.opened) << t.command;
            lines.pop_back();
        } else {
            // Nothing preset: OK alerts and the dialog stays.
            EXPECT_EQ(lines.back(), "AlertMessage No window type selected");
            lines.pop_back();
        }
        EXPECT_EQ(lines, t.lines) << t.command;
    }
}

TEST_F(UpViewTest, ClosesOnlyWhenTheViewOpens) {
    host.views = {0, 1};
    host.script = {{{}, {{30858, 0}, {30864, 1}}, true}, {{}, {}, true}};
    EXPECT_EQ(upViewCommand(30716), 1);
    EXPECT_EQ(LinesOf("ViewInstall"),
              (std::vector<std::string>{"ViewInstall 30864", "ViewInstall 30864"}));
    EXPECT_TRUE(host.script.empty());
}

TEST_F(UpViewTest, OtherCommandsAreNotHandled) {
    for (int32_t command : {30710, 30713, 30718, 0}) {
        EXPECT_EQ(upViewCommand(command), 0);
    }
    EXPECT_TRUE(host.lines.empty());
}

} // namespace
