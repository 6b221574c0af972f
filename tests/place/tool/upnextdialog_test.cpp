// The "Select Next" dialog: its layout by candidate count (radio columns,
// labels, the name field beyond 30 candidates) and its choices and
// refusals, run through the recording host's script.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "place/tool/upnext.h"
#include "upnextfixture.h"

namespace {

class UpNextDialogTest : public UpNextTest {
  protected:
    void SetUp() override {
        UpNextTest::SetUp();
        for (int32_t i = 1; i <= 31; ++i)
            list.push_back(int16_t(Place(two, i * 1000, 0, kPlCompUnplaced)));
    }
    int32_t Run(int32_t n) {
        host.Take();
        return UpNextDialog(list[0], n, list.data());
    }
    std::vector<int16_t> list;
};

TEST_F(UpNextDialogTest, LayoutByCandidateCount) {
    struct Case {
        int32_t n;
        int32_t columns; // 0: the name field
        const char* firstLabel;
    } cases[] = {
        {31, 0, nullptr},
        {30, 3, "P1.2                "},
        {20, 3, "P1.2                "},
        {19, 2, "P1.2                "},
        {11, 2, "P1.2                "},
        {10, 2, "P1.2 TWO"},
        {1, 2, "P1.2 TWO"},
    };
    for (const Case& t : cases) {
        EXPECT_EQ(Run(t.n), 0) << t.n; // cancelled
        EXPECT_EQ(host.lines.front(), "DlgOpen 52510 ");
        const std::vector<std::string> radios = LinesOf("DlgSetButton 8 ");
        if (t.columns == 0) {
            EXPECT_TRUE(radios.empty());
            EXPECT_TRUE(host.Saw("DlgSetStaticText 0 52519 31 Components 0 1"));
            EXPECT_TRUE(host.Saw("DlgSetItem 52561 P1 20"));
            continue;
        }
        ASSERT_EQ(int32_t(radios.size()), t.n);
        const std::string c = std::to_string(t.columns);
        EXPECT_EQ(radios.front(), "DlgSetButton 8 52571 " + c + " 1 1") << t.n;
        EXPECT_EQ(radios.back(), "DlgSetButton 8 " + std::to_string(52570 + t.n) + " " + c +
                                     (t.n == 1 ? " 1 1" : " 0 1"));
        EXPECT_EQ(LinesOf("DlgSetText").front(), std::string("DlgSetText 52571 0 ") + t.firstLabel);
        EXPECT_TRUE(LinesOf("DlgSetStaticText").empty());
    }
}

TEST_F(UpNextDialogTest, ChoiceAmongRadios) {
    list = {3, 0, 5};
    host.script = {{{}, {{52571, 0}}, true}, {{}, {{52573, 1}}, true}};
    EXPECT_EQ(Run(3), 5);
    // The empty entry has no button; OK with none set keeps the dialog.
    EXPECT_EQ(LinesOf("DlgSetButton"), (std::vector<std::string>{"DlgSetButton 8 52571 2 1 1",
                                                                 "DlgSetButton 8 52573 2 0 1"}));
    EXPECT_EQ(LinesOf("AlertMessage"),
              (std::vector<std::string>{"AlertMessage No component selected"}));
}

TEST_F(UpNextDialogTest, ChoiceByName) {
    host.script = {{{{kMsgNextName, "nosuch"}}, {}, true}, {{{kMsgNextName, "P7"}}, {}, true}};
    EXPECT_EQ(Run(31), 7);
    EXPECT_EQ(LinesOf("AlertMessage"),
              (std::vector<std::string>{"AlertMessage Component name not found"}));
    host.script = {{{}, {}, true}};
    EXPECT_EQ(Run(31), 1); // the preset name
}

} // namespace
