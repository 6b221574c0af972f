// Controls in a real window: native child windows read back with the
// system's own calls, values and ranges, scroll bars, tags, hit parts,
// keys, focus, tracking and disposal.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "toolbox/core/child_process_win32.h"
#include "toolbox/core/edittextdef.h"
#include "toolbox/core/eventwait.h"
#include "toolbox/core/looptimer.h"
#include "toolbox/core/menurecord.h"
#include "toolbox/core/menutrack_win32.h"
#include "toolbox/core/native_fixture_win32.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/region.h"
#include "toolbox/core/systemtimes.h"
#include "toolbox/core/ticks.h"
#include "toolbox/core/windowclass.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/control_win32.h"
#include "toolbox/ui/controldefs.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/gditext_win32.h"
#include "toolbox/ui/xdlg.h"
#include "window_pixels_win32.h"

namespace {

constexpr LONG_PTR kChildStyles = WS_CHILD | WS_CLIPSIBLINGS;

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

// A small registered definition: records its messages, takes the focus
// and tagged data, hits part 3 everywhere inside.
int32_t g_features = kFeatureTakesFocus | kFeatureTaggedData;
int32_t RecordingDefinition(int16_t, ToolboxControlRecord*, int32_t message, intptr_t parameter) {
    Calls().push_back(std::to_string(message));
    switch (message) {
    case kControlHitTest:
        return 3;
    case kControlFeatures:
        return g_features;
    case kControlFocus:
        return int32_t(parameter);
    case kControlSetData:
        return reinterpret_cast<ControlDataRequest*>(parameter)->tag == FourCC("good")
                   ? 0
                   : kControlErrUnknownTag;
    default:
        return 0;
    }
}

// The messages of the recording definition with their controls and
// parameters.
struct Sent {
    ToolboxControlRecord* control;
    int32_t message;
    intptr_t parameter;
};
std::vector<Sent> g_sent;
int32_t LoggingDefinition(int16_t variant, ToolboxControlRecord* control, int32_t message,
                          intptr_t parameter) {
    g_sent.push_back(Sent{control, message, parameter});
    return RecordingDefinition(variant, control, message, parameter);
}
int CountSent(const ToolboxControlRecord* control, int32_t message) {
    int n = 0;
    for (const Sent& s : g_sent)
        n += s.control == control && s.message == message;
    return n;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

LONG_PTR StyleOf(HWND window) {
    return GetWindowLongPtrA(window, GWL_STYLE) & ~LONG_PTR(WS_VISIBLE);
}

// The style a window is created with (the system drops a radio button's
// tab stop afterwards).
LONG_PTR g_createdStyle = 0;
LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND)
        g_createdStyle = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->style;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Controls : public ShownFrameTest {
  protected:
    // The frame is shown without taking the activation from other programs'
    // windows (tests of theirs may run meanwhile).
    void SetUp() override {
        SetMainFrameParameters(nullptr, 0, 0, 0, 1000, 800, false);
        ASSERT_TRUE(PrepareNativeWindowTest());
        ShowWindow(FrameWindowHandle(), SW_SHOWNA);
        MessagePump();
        PrepareControls();
    }
    void PrepareControls() {
        InitDrawingGlobals(); // installs the control calls with the drawing layer
        InstallControlCalls();
        InstallGdiTextServices(); // fonts of the 'font' tag (earlier cases may drop them)
        window_ = Make(4, kOptionCloseBox, Rect16{100, 100, 400, 500});
        ASSERT_NE(window_, nullptr);
        ShowWindow(NativeWindowOf(window_), SW_SHOWNA);
        MessagePump();
        Calls().clear();
    }
    ToolboxControlRecord* New(int32_t definition, Rect16 bounds, int32_t value = 0,
                              int32_t minimum = 0, int32_t maximum = 1, const char* title = "t") {
        return ControlNew(window_, &bounds, title, true, value, minimum, maximum, definition, 7);
    }
    NativeWindowRecord* window_ = nullptr;
};

TEST_F(Controls, DefinitionsMakeTheirNativeClassesAndStyles) {
    struct Case {
        int32_t definition;
        const char* className;
        LONG_PTR style;
        uint8_t type;
    } cases[] = {
        {369, "Button", 0x12002, kControlCheckBox},
        {370, "Button", 0x12004, kControlRadioButton},
        {371, "Button", 0x2300, kControlPushButton},
        {0, "Button", 0x2300, kControlPushButton},
        {17, "ScrollBar", 1, kControlScrollBar},
        {288, "Static", 0, kControlStaticText},
        {160, "Button", 7, kControlGroupBox},
        {128, "SysTabControl32", 0x8000, kControlTabs},
        {80, "msctls_progress32", 1, kControlProgressBar},
    };
    HHOOK hook = SetWindowsHookExA(WH_CBT, &RecordCreation, nullptr, GetCurrentThreadId());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.definition);
        ToolboxControlRecord* control = New(c.definition, Rect16{10, 10, 60, 30}, 0, 0, 1, "Go");
        ASSERT_NE(control, nullptr);
        HWND child = ControlChild(control);
        ASSERT_TRUE(IsWindow(child));
        EXPECT_EQ(control->type, c.type);
        EXPECT_EQ(lstrcmpiA(ClassOf(child).c_str(), c.className), 0) << ClassOf(child);
        EXPECT_EQ(g_createdStyle, kChildStyles | c.style);
        LONG_PTR kept = c.type == kControlRadioButton ? c.style & ~LONG_PTR(WS_TABSTOP) : c.style;
        EXPECT_EQ(StyleOf(child) & ~kChildStyles, kept);
        EXPECT_EQ(StyleOf(child) & kChildStyles, kChildStyles);
        EXPECT_EQ(GetDlgCtrlID(child), kControlChildId);
        EXPECT_EQ(GetPropA(child, "TBWCNTRL"), control);
        EXPECT_EQ(ControlFromNativeWindow(child), control);
        EXPECT_EQ(GetParent(child), NativeWindowOf(window_));
        EXPECT_TRUE(IsWindowVisible(child));
        if (c.type != kControlStaticText && c.type != kControlProgressBar &&
            c.type != kControlScrollBar && c.type != kControlTabs) {
            EXPECT_EQ(TextOf(child), "Go");
        }
        ControlDispose(control);
        EXPECT_FALSE(IsWindow(child));
    }
    UnhookWindowsHookEx(hook);
    // A scroll bar wider than tall is horizontal.
    ToolboxControlRecord* bar = New(386, Rect16{0, 0, 16, 100});
    EXPECT_EQ(StyleOf(ControlChild(bar)) & ~kChildStyles, 0);
    EXPECT_EQ(FirstControlOf(window_), bar);
}

TEST_F(Controls, RegisteredAndMissingDefinitionsAreSelfDrawn) {
    RegisterControlDefinition(17, &RecordingDefinition);
    ToolboxControlRecord* field = New(272, Rect16{10, 10, 30, 100}, 0, 0, 0);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->type, kControlSelfDrawn);
    EXPECT_EQ(ControlChild(field), nullptr);
    EXPECT_EQ(field->definition, &RecordingDefinition);
    EXPECT_EQ(Calls().front(), "3"); // initialised first
    EXPECT_EQ(ControlHitPart(field, Point16{20, 50}), 3);
    EXPECT_EQ(ControlHitPart(field, Point16{40, 50}), 0);
    // 1000: no procedure; nothing drawn, every message answers 0.
    ToolboxControlRecord* none = New(1000, Rect16{40, 10, 60, 100}, 5, 0, 10);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->definition, nullptr);
    EXPECT_EQ(ControlHitPart(none, Point16{50, 50}), 0);
    EXPECT_EQ(SendControlMessage(none, kControlFeatures, 0), 0);
    EXPECT_EQ(ControlGetValue(none), 5);
    Calls().clear();
    ControlDispose(field);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"4"}));
}

TEST_F(Controls, ValuesFollowEachTypesRules) {
    ToolboxControlRecord* push = New(371, Rect16{10, 10, 30, 80});
    ControlSetValue(push, 5);
    EXPECT_EQ(ControlGetValue(push), 1);
    EXPECT_EQ(ControlGetHilite(push), kHighlightPressed);
    ControlSetValue(push, 0);
    EXPECT_EQ(ControlGetHilite(push), 0);
    ControlHilite(push, kHighlightPressed);
    EXPECT_EQ(ControlGetValue(push), 1);

    ToolboxControlRecord* check = New(369, Rect16{40, 10, 60, 80}, 1);
    HWND checkChild = ControlChild(check);
    EXPECT_EQ(ControlGetMaximum(check), 1);
    ControlSetMaximum(check, 5);
    EXPECT_EQ(ControlGetMaximum(check), 2);
    EXPECT_EQ(StyleOf(checkChild) & ~kChildStyles, 0x12005);
    ControlSetValue(check, 2);
    EXPECT_EQ(SendMessageA(checkChild, BM_GETCHECK, 0, 0), 2);
    ControlSetMaximum(check, 1);
    EXPECT_EQ(ControlGetValue(check), 1);
    EXPECT_EQ(StyleOf(checkChild) & ~kChildStyles, 0x12002);

    ToolboxControlRecord* radio = New(370, Rect16{70, 10, 90, 80});
    ControlSetValue(radio, 3);
    EXPECT_EQ(ControlGetValue(radio), 1);
    EXPECT_EQ(ControlGetMaximum(radio), 1);

    ToolboxControlRecord* tabs = New(128, Rect16{100, 10, 200, 300});
    EXPECT_EQ(ControlGetMinimum(tabs), 0);
    EXPECT_EQ(ControlGetMaximum(tabs), 0);
    ControlSetMaximum(tabs, 4);
    EXPECT_EQ(ControlGetMinimum(tabs), 1);
    ControlSetValue(tabs, 3);
    EXPECT_EQ(SendMessageA(ControlChild(tabs), TCM_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(ControlGetValue(tabs), 3);

    ToolboxControlRecord* progress = New(80, Rect16{210, 10, 230, 200}, 30, 10, 90);
    EXPECT_EQ(ControlGetValue(progress), 30);
    EXPECT_EQ(ControlGetMinimum(progress), 10);
    EXPECT_EQ(ControlGetMaximum(progress), 90);
    ControlSetValue(progress, 200);
    EXPECT_EQ(ControlGetValue(progress), 90);

    ToolboxControlRecord* drawn = New(1000, Rect16{240, 10, 260, 100}, 5, 0, 10);
    ControlSetValue(drawn, 50);
    EXPECT_EQ(ControlGetValue(drawn), 10);
    ControlSetMinimum(drawn, 20);
    EXPECT_EQ(ControlGetValue(drawn), 20);
    EXPECT_EQ(ControlGetMaximum(drawn), 20);
    ControlSetMaximum(drawn, 15);
    EXPECT_EQ(ControlGetValue(drawn), 20);
    EXPECT_EQ(ControlGetPageSize(drawn), 0);
}

TEST_F(Controls, AScrollBarWithNothingToScrollIsDisabledUntilItsRangeGrows) {
    ToolboxControlRecord* bar = New(17, Rect16{10, 10, 200, 26}, 0, 0, 0);
    HWND first = ControlChild(bar);
    EXPECT_TRUE(bar->flags & kControlNothingToScroll);
    EXPECT_FALSE(ControlIsEnabled(bar));
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetScrollBarInfo(first, OBJID_CLIENT, &info));
    EXPECT_TRUE(info.rgstate[1] & STATE_SYSTEM_UNAVAILABLE); // the up arrow
    EXPECT_TRUE(info.rgstate[5] & STATE_SYSTEM_UNAVAILABLE); // the down arrow
    EXPECT_EQ(ControlHitPart(bar, Point16{20, 15}), 0);
    ControlSetPageSize(bar, 5);
    ControlSetMaximum(bar, 10);
    EXPECT_FALSE(bar->flags & kControlNothingToScroll);
    EXPECT_TRUE(ControlIsEnabled(bar));
    HWND second = ControlChild(bar);
    EXPECT_TRUE(IsWindow(second));
    EXPECT_EQ(ControlFromNativeWindow(second), bar);
    EXPECT_TRUE(IsWindowVisible(second));
    SCROLLINFO native{};
    native.cbSize = sizeof native;
    native.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(second, SB_CTL, &native));
    EXPECT_EQ(native.nPage, 6u);
    EXPECT_EQ(native.nMax, 15);
    ControlSetValue(bar, 10);
    EXPECT_EQ(ControlGetValue(bar), 10);
    ControlSetValue(bar, 11);
    EXPECT_EQ(ControlGetValue(bar), 10);
    EXPECT_EQ(ControlGetMaximum(bar), 10);
    EXPECT_EQ(ControlGetPageSize(bar), 5);
    EXPECT_EQ(ControlHitPart(bar, Point16{100, 15}), kPartScrollBar);
    // Turned wider than tall, the bar is made again horizontal with its
    // position and page.
    Rect16 wide{10, 10, 26, 300};
    ControlMoveSize(bar, &wide);
    EXPECT_EQ(GetWindowLongA(ControlChild(bar), GWL_STYLE) & SBS_VERT, 0);
    EXPECT_EQ(ControlFromNativeWindow(ControlChild(bar)), bar);
    EXPECT_EQ(ControlGetValue(bar), 10);
    EXPECT_EQ(ControlGetPageSize(bar), 5);
    // Back to nothing: the position goes to the minimum.
    ControlSetMaximum(bar, 0);
    EXPECT_FALSE(ControlIsEnabled(bar));
    EXPECT_EQ(ControlGetValue(bar), 0);
}

TEST_F(Controls, TagsCheckSizesAndApplyStyles) {
    ToolboxControlRecord* push = New(371, Rect16{10, 10, 30, 80});
    uint8_t on = 1;
    EXPECT_EQ(ControlSetData(push, 0, FourCC("zzzz"), 1, &on), kControlErrUnknownTag);
    EXPECT_EQ(ControlSetData(push, 0, kTagDefault, 2, &on), kControlErrWrongSize);
    EXPECT_EQ(ControlSetData(push, 0, kTagDefault, 1, &on), 0);
    EXPECT_EQ(GetWindowLongPtrA(ControlChild(push), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    uint8_t read = 0;
    int32_t actual = 0;
    EXPECT_EQ(ControlGetData(push, 0, kTagDefault, 1, &read, &actual), 0);
    EXPECT_EQ(read, 1);
    on = 0;
    EXPECT_EQ(ControlSetData(push, 0, kTagDefault, 1, &on), 0);
    EXPECT_EQ(GetWindowLongPtrA(ControlChild(push), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);

    ControlSetTitle(push, "Cancel");
    char title[kControlTitleBytes];
    EXPECT_EQ(ControlGetTitle(push, title, sizeof title), 6);
    EXPECT_STREQ(title, "Cancel");
    ControlStyleBlock bigger{};
    bigger.flags = kStyleSize;
    bigger.size = 18;
    EXPECT_EQ(ControlSetData(push, 0, kTagFont, 24, &bigger), 0);
    EXPECT_NE(SendMessageA(ControlChild(push), WM_GETFONT, 0, 0), 0);

    ToolboxControlRecord* label = New(288, Rect16{40, 10, 60, 200});
    EXPECT_EQ(ControlGetTitle(label, title, sizeof title), 0);
    ControlStyleBlock style{};
    style.justification = -1;
    EXPECT_EQ(ControlSetData(label, 0, kTagFont, 20, &style), kControlErrWrongSize);
    EXPECT_EQ(ControlSetData(label, 0, kTagFont, 24, &style), 0);
    EXPECT_EQ(GetWindowLongPtrA(ControlChild(label), GWL_STYLE) & SS_TYPEMASK, SS_RIGHT);
    style.justification = 1;
    EXPECT_EQ(ControlSetData(label, 0, kTagFont, 24, &style), 0);
    EXPECT_EQ(GetWindowLongPtrA(ControlChild(label), GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
    EXPECT_EQ(ControlSetData(label, 0, kTagText, 5, "Hello"), 0);
    EXPECT_EQ(TextOf(ControlChild(label)), "Hello");
    char text[3];
    EXPECT_EQ(ControlGetData(label, 0, kTagText, 3, text, &actual), kControlErrWrongSize);
    EXPECT_EQ(actual, 5);

    ToolboxControlRecord* tabs = New(128, Rect16{100, 10, 200, 300});
    char tab[260] = "First";
    EXPECT_EQ(ControlSetData(tabs, 1, kTagTabInfo, 260, tab), 0);
    std::snprintf(tab, sizeof tab, "Second");
    EXPECT_EQ(ControlSetData(tabs, 2, kTagTabInfo, 260, tab), 0);
    EXPECT_EQ(ControlGetMaximum(tabs), 2);
    char back[260] = {};
    EXPECT_EQ(ControlGetData(tabs, 1, kTagTabInfo, 260, back, nullptr), 0);
    EXPECT_STREQ(back, "First");
    Rect16 page{};
    EXPECT_EQ(ControlGetData(tabs, 0, kTagRect, 8, &page, nullptr), 0);
    EXPECT_GT(page.top, 100);
    EXPECT_LT(page.bottom, 200);

    // Self-drawn: passed on only with feature 0x40.
    RegisterControlDefinition(40, &RecordingDefinition);
    ToolboxControlRecord* drawn = New(640, Rect16{210, 10, 230, 100});
    EXPECT_EQ(ControlSetData(drawn, 0, FourCC("good"), 0, nullptr), 0);
    EXPECT_EQ(ControlSetData(drawn, 0, FourCC("bad "), 0, nullptr), kControlErrUnknownTag);
    g_features = kFeatureTakesFocus;
    EXPECT_EQ(ControlSetData(drawn, 0, FourCC("good"), 0, nullptr), kControlErrUnknownTag);
    g_features = 0;
    EXPECT_EQ(SetControlFocus(drawn, 1), kControlErrNoFocus);
    g_features = kFeatureTakesFocus | kFeatureTaggedData;
}

TEST_F(Controls, HitPartsByTypeAndState) {
    struct Case {
        int32_t definition;
        int32_t part;
    } cases[] = {{371, 10}, {369, 11}, {370, 11}, {17, 253}, {288, 0}, {160, 0}, {80, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.definition);
        ToolboxControlRecord* control = New(c.definition, Rect16{10, 10, 40, 60}, 0, 0, 10);
        EXPECT_EQ(ControlHitPart(control, Point16{20, 20}), c.part);
        EXPECT_EQ(ControlHitPart(control, Point16{50, 20}), 0);
        ControlSetEnabled(control, false);
        EXPECT_EQ(ControlHitPart(control, Point16{20, 20}), 0);
        ControlSetEnabled(control, true);
        ControlHide(control, false);
        EXPECT_EQ(ControlHitPart(control, Point16{20, 20}), 0);
        EXPECT_FALSE(IsWindowVisible(ControlChild(control)));
        ControlDispose(control);
    }
    ToolboxControlRecord* tabs = New(128, Rect16{100, 10, 200, 300});
    ControlSetMaximum(tabs, 3);
    RECT second{};
    SendMessageA(ControlChild(tabs), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    Point16 at{int16_t(100 + (second.top + second.bottom) / 2),
               int16_t(10 + (second.left + second.right) / 2)};
    EXPECT_EQ(ControlHitPart(tabs, at), 2);
    int32_t part = 0;
    EXPECT_EQ(FindControlAt(window_, at, &part), tabs);
    EXPECT_EQ(part, 2);
    EXPECT_EQ(FindControlAt(window_, Point16{300, 400}, &part), nullptr);
}

int g_paneDraws = 0;
int16_t g_panePart = -1;
void DrawPane(ToolboxControlRecord*, int16_t part) {
    ++g_paneDraws;
    g_panePart = part;
}

TEST_F(Controls, TheToolboxsOwnSelfDrawnDefinitions) {
    // Icon button: the icon from the maximum, the sticky bit from 0x200.
    ToolboxControlRecord* button = New(32, Rect16{10, 10, 42, 42}, 0, 0x200, 128);
    EXPECT_EQ(CustomControlData(button) & 0xFFFF, 128);
    EXPECT_NE(CustomControlData(button) & ~intptr_t(0xFFFF), 0);
    EXPECT_EQ(ControlGetValue(button), 0);
    EXPECT_EQ(ControlGetMaximum(button), 1);
    EXPECT_EQ(ControlHitPart(button, Point16{20, 20}), kPartButton);
    int16_t icon = 200;
    EXPECT_EQ(ControlSetData(button, 0, kTagIconResource, 3, &icon), kControlErrWrongSize);
    EXPECT_EQ(ControlSetData(button, 0, kTagIconResource, 2, &icon), 0);
    EXPECT_EQ(CustomControlData(button) & 0xFFFF, 200);
    EXPECT_EQ(ControlSetData(button, 0, kTagLastState, 2, &icon), kControlErrUnknownTag);

    ToolboxControlRecord* triangle = New(64, Rect16{50, 10, 62, 22});
    EXPECT_EQ(ControlHitPart(triangle, Point16{55, 15}), kPartToggleTriangle);
    int16_t last = 1, back = 0;
    EXPECT_EQ(ControlSetData(triangle, 0, kTagLastState, 2, &last), 0);
    EXPECT_EQ(ControlGetData(triangle, 0, kTagLastState, 2, &back, nullptr), 0);
    EXPECT_EQ(back, 1);

    // User pane: drawn by its procedure with the part.
    Rect16 paneBounds{70, 10, 100, 100};
    ToolboxControlRecord* pane = ControlNew(window_, &paneBounds, "", false, 0, 0, 0, 256, 0);
    UserPaneDrawProc draw = &DrawPane;
    EXPECT_EQ(ControlSetData(pane, 0, kTagDrawProc, 4, &draw),
              sizeof(void*) == 4 ? 0 : kControlErrWrongSize);
    EXPECT_EQ(ControlSetData(pane, 0, kTagDrawProc, sizeof draw, &draw), 0);
    g_paneDraws = 0;
    ControlShow(pane);
    EXPECT_EQ(g_paneDraws, 1);
    EXPECT_EQ(g_panePart, 0);

    // Icon: the icon from the value; value, minimum and maximum 0; it
    // tracks itself.
    ToolboxControlRecord* picture = New(320, Rect16{110, 10, 142, 42}, 5, 1, 9);
    EXPECT_EQ(CustomControlData(picture), 5);
    EXPECT_EQ(ControlGetValue(picture), 0);
    EXPECT_EQ(ControlGetMaximum(picture), 0);
    EXPECT_EQ(ControlHitPart(picture, Point16{120, 20}), kPartIcon);
    EXPECT_EQ(ControlTrack(picture, Point16{120, 20}, 0, nullptr), kPartIcon);
}

TEST_F(Controls, APopupButtonTakesItsRangeFromItsMenu) {
    for (int32_t none : {0, -12345, 31999}) {
        ToolboxControlRecord* popup = New(400, Rect16{10, 10, 30, 150}, 1, none, 5);
        EXPECT_EQ(ControlGetValue(popup), 0);
        EXPECT_EQ(ControlGetMinimum(popup), 0);
        EXPECT_EQ(ControlGetMaximum(popup), 0);
        ControlDispose(popup);
    }
    MenuRecord* menu = NewMenuWithTitle(31000, "Units");
    for (const char* text : {"Mils", "Inches", "Microns"})
        InsertMenuItemText(menu, text, -1);
    ToolboxControlRecord* popup = New(400, Rect16{10, 10, 30, 150}, 0, 31000, 0);
    EXPECT_EQ(ControlGetValue(popup), 1);
    EXPECT_EQ(ControlGetMinimum(popup), 1);
    EXPECT_EQ(ControlGetMaximum(popup), 3);
    EXPECT_EQ(ControlHitPart(popup, Point16{20, 20}), kPartPopupButton);
    ControlSetValue(popup, 7);
    EXPECT_EQ(ControlGetValue(popup), 3);
    EXPECT_EQ(ControlSetData(popup, 0, kTagMenuHandle, sizeof menu, &menu), 0);
    EXPECT_EQ(ControlGetValue(popup), 1);
    MenuRecord* back = nullptr;
    EXPECT_EQ(ControlGetData(popup, 0, kTagMenuHandle, sizeof back, &back, nullptr), 0);
    EXPECT_EQ(back, menu);
    MenuRecord* empty = NewMenuWithTitle(31001, "Empty");
    EXPECT_EQ(ControlSetData(popup, 0, kTagMenuHandle, sizeof empty, &empty), 0);
    EXPECT_EQ(ControlGetMaximum(popup), 0);
    ControlDispose(popup);
    DisposeMenuRecord(empty);
    DisposeMenuRecord(menu);
}

TEST_F(Controls, ASelfDrawnControlWithoutAProcedureDrawsNothing) {
    HWND window = NativeWindowOf(window_);
    UpdateWindow(window);
    HDC dc = GetDC(window);
    std::vector<COLORREF> before;
    for (int x = 12; x < 60; x += 6)
        before.push_back(GetPixel(dc, x, 20));
    ToolboxControlRecord* none = New(1000, Rect16{10, 10, 30, 60});
    ControlShow(none);
    ControlHilite(none, 3);
    std::vector<COLORREF> after;
    for (int x = 12; x < 60; x += 6)
        after.push_back(GetPixel(dc, x, 20));
    ReleaseDC(window, dc);
    EXPECT_EQ(before, after);
    EXPECT_EQ(ControlTrack(none, Point16{20, 20}, 0, nullptr), 0);
}

// Messages the control's procedure passes on to the system's.
std::vector<UINT> g_passed;
WNDPROC g_system = nullptr;
LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_CHAR) g_passed.push_back(UINT(wParam));
    return CallWindowProcA(g_system, window, message, wParam, lParam);
}

TEST_F(Controls, RadioButtonsNeverGetArrowsAndTabNeverReachesAControl) {
    ToolboxControlRecord* radio = New(370, Rect16{10, 10, 30, 80});
    ToolboxControlRecord* push = New(371, Rect16{40, 10, 60, 80});
    for (ToolboxControlRecord* c : {radio, push}) {
        g_system = reinterpret_cast<WNDPROC>(c->savedWindowProc);
        c->savedWindowProc = reinterpret_cast<void*>(&Recorder);
        g_passed.clear();
        for (WPARAM key : {WPARAM(VK_DOWN), WPARAM(VK_LEFT), WPARAM(VK_TAB), WPARAM('A')})
            SendMessageA(ControlChild(c), WM_KEYDOWN, key, 0);
        SendMessageA(ControlChild(c), WM_CHAR, '\t', 0);
        SendMessageA(ControlChild(c), WM_CHAR, 'a', 0);
        if (c == radio)
            EXPECT_EQ(g_passed, (std::vector<UINT>{'A', 'a'}));
        else
            EXPECT_EQ(g_passed, (std::vector<UINT>{VK_DOWN, VK_LEFT, 'A', 'a'}));
        c->savedWindowProc = reinterpret_cast<void*>(g_system);
    }
    // Characters below 32 other than 8, 9 and 13 are dropped.
    RegisterControlDefinition(41, &RecordingDefinition);
    ToolboxControlRecord* drawn = New(656, Rect16{70, 10, 90, 80});
    Calls().clear();
    EXPECT_EQ(ControlHandleKey(drawn, 0, 1, 0), 0);
    EXPECT_EQ(ControlHandleKey(drawn, 0, 27, 0), 0);
    EXPECT_TRUE(Calls().empty());
    ControlHandleKey(drawn, 0, 13, 0);
    EXPECT_EQ(Calls().back(), "17");
    EXPECT_EQ(ControlHandleKey(push, 0, 'x', 0), kPartButton);
}

TEST_F(Controls, KeysForANativeControlGoToItsWindow) {
    ToolboxControlRecord* push = New(371, Rect16{10, 10, 30, 80});
    OsEventQueueReset();
    SetFocus(ControlChild(push));
    PostMessageA(ControlChild(push), WM_KEYDOWN, 'A', 0);
    PostMessageA(ControlChild(push), WM_CHAR, 'a', 0);
    MessagePump();
    OsEventRecord record{};
    EXPECT_TRUE(OsEventAvailable(kOsMaskKeyDown, &record));
}

TEST_F(Controls, FocusAdvancesWrappingAndSkipping) {
    ToolboxControlRecord* a = New(371, Rect16{10, 10, 30, 80});
    ToolboxControlRecord* hidden = New(371, Rect16{40, 10, 60, 80});
    ToolboxControlRecord* label = New(288, Rect16{70, 10, 90, 80});
    ToolboxControlRecord* disabled = New(369, Rect16{100, 10, 120, 80});
    ToolboxControlRecord* skipped = New(370, Rect16{130, 10, 150, 80});
    RegisterControlDefinition(42, &RecordingDefinition);
    ToolboxControlRecord* drawn = New(672, Rect16{160, 10, 180, 80});
    ToolboxControlRecord* b = New(369, Rect16{190, 10, 210, 80});
    ControlHide(hidden, false);
    ControlSetEnabled(disabled, false);
    skipped->flags |= kControlSkipTab;
    ToolboxControlRecord* focused = nullptr;
    EXPECT_EQ(AdvanceControlFocus(window_, kFocusNext), a);
    EXPECT_EQ(GetFocus(), ControlChild(a));
    GetFocusedControl(window_, &focused);
    EXPECT_EQ(focused, a);
    // The self-drawn holder keeps the focus while it moves inside itself
    // (the recording definition answers the part it was asked for).
    EXPECT_EQ(AdvanceControlFocus(window_, kFocusNext), drawn);
    Calls().clear();
    g_features = kFeatureTakesFocus;
    EXPECT_EQ(AdvanceControlFocus(window_, kFocusNext), drawn);
    EXPECT_EQ(AdvanceControlFocus(window_, kFocusPrevious), drawn);
    ClearControlFocus(window_);
    GetFocusedControl(window_, &focused);
    EXPECT_EQ(focused, nullptr);
    EXPECT_EQ(AdvanceControlFocus(window_, kFocusPrevious), b);
    EXPECT_EQ(GetFocus(), ControlChild(b));
    EXPECT_EQ(SetControlFocus(label, 1), kControlErrNoFocus);
    // Focus through the system reaches the record too.
    SetFocus(ControlChild(a));
    GetFocusedControl(window_, &focused);
    EXPECT_EQ(focused, a);
    ControlDispose(a);
    GetFocusedControl(window_, &focused);
    EXPECT_EQ(focused, nullptr);
    g_features = kFeatureTakesFocus | kFeatureTaggedData;
}

TEST_F(Controls, DisposingTheWindowDisposesEveryControlOnce) {
    RegisterControlDefinition(43, &RecordingDefinition);
    New(688, Rect16{10, 10, 30, 80});
    ToolboxControlRecord* push = New(371, Rect16{40, 10, 60, 80});
    HWND child = ControlChild(push);
    New(688, Rect16{70, 10, 90, 80});
    Calls().clear();
    DisposeNativeWindow(window_);
    made_.clear();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"4", "4"}));
    EXPECT_FALSE(IsWindow(child));
}

// One pass of the event loop's timers after the caret blink time.
void RunTimersAfterTheBlinkTime() {
    Sleep(DWORD(TicksToMs(CaretBlinkTicks()) + 60));
    RunDueLoopTimers(MainLoopTimerList());
}

TEST_F(Controls, AFocusedSelfDrawnControlGetsIdleTimeAndGivesTheFocusUpWhenDisabled) {
    RegisterControlDefinition(45, &LoggingDefinition);
    g_features = kFeatureTakesFocus;
    ToolboxControlRecord* field = New(720, Rect16{10, 10, 30, 80});
    ToolboxControlRecord* other = New(720, Rect16{40, 10, 60, 80});
    RunDueLoopTimers(MainLoopTimerList());
    EXPECT_FALSE(ControlIdleRunning());
    ASSERT_EQ(SetControlFocus(field, 1), 0);
    EXPECT_TRUE(ControlIdleRunning());
    g_sent.clear();
    RunTimersAfterTheBlinkTime();
    EXPECT_GE(CountSent(field, kControlIdle), 1);
    EXPECT_EQ(CountSent(other, kControlIdle), 0);

    // The idle time follows the focus; a hidden holder keeps the focus
    // but gets none.
    ASSERT_EQ(SetControlFocus(other, 1), 0);
    ControlHide(field, false);
    g_sent.clear();
    RunTimersAfterTheBlinkTime();
    EXPECT_EQ(CountSent(field, kControlIdle), 0);
    EXPECT_GE(CountSent(other, kControlIdle), 1);
    ControlHide(other, false);
    g_sent.clear();
    RunTimersAfterTheBlinkTime();
    EXPECT_EQ(CountSent(other, kControlIdle), 0);
    ControlShow(other);

    // Disabled, the holder is told to give the focus up (22 with 0); the
    // window forgets it and the idle time stops.
    g_sent.clear();
    ControlSetEnabled(other, false);
    ASSERT_FALSE(g_sent.empty());
    EXPECT_EQ(g_sent.front().control, other);
    EXPECT_EQ(g_sent.front().message, kControlLoseFocus);
    EXPECT_EQ(g_sent.front().parameter, 0);
    ToolboxControlRecord* focused = field;
    GetFocusedControl(window_, &focused);
    EXPECT_EQ(focused, nullptr);
    EXPECT_FALSE(ControlIdleRunning());
    g_sent.clear();
    RunTimersAfterTheBlinkTime();
    EXPECT_EQ(CountSent(other, kControlIdle), 0);
    // Disabling a control without the focus says nothing of it.
    ControlSetEnabled(other, true);
    ControlSetEnabled(other, false);
    EXPECT_EQ(CountSent(other, kControlLoseFocus), 0);

    // A disposed holder stops the idle time too.
    ControlShow(field);
    ASSERT_EQ(SetControlFocus(field, 1), 0);
    EXPECT_TRUE(ControlIdleRunning());
    ControlDispose(field);
    EXPECT_FALSE(ControlIdleRunning());

    // A disabled native control loses the system's focus as well.
    ToolboxControlRecord* push = New(371, Rect16{70, 10, 90, 80});
    ASSERT_EQ(SetControlFocus(push, 1), 0);
    EXPECT_EQ(GetFocus(), ControlChild(push));
    ControlSetEnabled(push, false);
    GetFocusedControl(window_, &focused);
    EXPECT_EQ(focused, nullptr);
    EXPECT_NE(GetFocus(), ControlChild(push));
    g_features = kFeatureTakesFocus | kFeatureTaggedData;
}

// The edit field answers the layer: focused it runs its caret, disabled it
// gives the focus up.
TEST_F(Controls, AnEditFieldDisabledWhileFocusedStopsItsCaret) {
    RegisterControlDefinition(17, &EditTextDefProc);
    ToolboxControlRecord* field = New(272, Rect16{10, 10, 30, 150}, 0, 0, 0);
    ASSERT_NE(EditTextDataOf(field), nullptr);
    ASSERT_EQ(SetControlFocus(field, 1), 0);
    EXPECT_EQ(EditTextDataOf(field)->focused, 1);
    EXPECT_NE(EditTextDataOf(field)->caretTimer, nullptr);
    EXPECT_TRUE(ControlIdleRunning());
    ControlSetEnabled(field, false);
    EXPECT_EQ(EditTextDataOf(field)->focused, 0);
    EXPECT_EQ(EditTextDataOf(field)->caretTimer, nullptr);
    EXPECT_FALSE(ControlIdleRunning());
    ControlDispose(field);
}

// The box of a child window's region; false when it has none.
bool ChildRegionBox(ToolboxControlRecord* control, RECT* box) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(ControlChild(control), region);
    if (kind != ERROR) GetRgnBox(region, box);
    DeleteObject(region);
    return kind != ERROR;
}

TEST_F(Controls, AShownChildIsClippedToItsOwnersClipAndVisibleArea) {
    ASSERT_NE(window_->state.clip, nullptr);
    RECT client{};
    GetClientRect(NativeWindowOf(window_), &client);
    ToolboxControlRecord* push = New(371, Rect16{10, 10, 30, 80});
    RECT box{};
    EXPECT_FALSE(ChildRegionBox(push, &box)); // wholly visible: no region

    // The owner's clip covers the button's left 35 pixels.
    Rect16 clip{0, 0, 200, 45};
    SetRegionToShortRect(window_->state.clip, &clip);
    ControlHide(push, false);
    ControlShow(push);
    ASSERT_TRUE(ChildRegionBox(push, &box));
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 35);
    EXPECT_EQ(box.bottom, 20);
    // Shown outside the clip, nothing of it is left.
    ToolboxControlRecord* below = New(371, Rect16{220, 10, 240, 80});
    EXPECT_TRUE(ChildRegionBox(below, &box));
    EXPECT_TRUE(IsRectEmpty(&box));

    // With the clip wide open again, the client area's edge clips.
    Rect16 open{-32767, -32767, 32767, 32767};
    SetRegionToShortRect(window_->state.clip, &open);
    ControlHide(push, false);
    ControlShow(push);
    EXPECT_FALSE(ChildRegionBox(push, &box));
    Rect16 edge{10, int16_t(client.right - 20), 30, int16_t(client.right + 40)};
    ToolboxControlRecord* cut = New(371, edge);
    ASSERT_TRUE(ChildRegionBox(cut, &box));
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(box.bottom, 20);
    // Moved wholly inside, it loses its region.
    Rect16 inside{40, 100, 60, 160};
    ControlMoveSize(cut, &inside);
    EXPECT_FALSE(ChildRegionBox(cut, &box));
}

// A registered definition that fills its bounds with one colour.
constexpr COLORREF kFillColour = RGB(200, 30, 40);
constexpr uint32_t kFillPixel = 0xC81E28; // the same as 0xRRGGBB
int32_t FillingDefinition(int16_t, ToolboxControlRecord* control, int32_t message, intptr_t) {
    if (message != kControlDraw) return 0;
    HWND window = ControlOwnerWindow(control);
    HDC dc = GetDC(window);
    RECT r = ControlNativeRect(control);
    HBRUSH brush = CreateSolidBrush(kFillColour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
    return 0;
}

TEST_F(Controls, SelfDrawnControlsDrawTheirPixelsAndNothingWithoutAProcedure) {
    HWND window = NativeWindowOf(window_);
    UpdateWindow(window);
    WindowPixels before = ReadWindowPixels(window);
    RegisterControlDefinition(46, &FillingDefinition);
    ToolboxControlRecord* filled = New(736, Rect16{10, 10, 30, 60});
    ToolboxControlRecord* none = New(1000, Rect16{40, 10, 60, 60});
    ControlHilite(none, 3);
    ControlSetValue(none, 1);
    WindowPixels after = ReadWindowPixels(window);
    EXPECT_EQ(after.Count(10, 10, 50, 20, kFillPixel), 50 * 20);
    EXPECT_EQ(after.Count(0, 0, 100, 10, kFillPixel) + after.Count(60, 10, 40, 20, kFillPixel), 0);
    int changed = 0;
    for (int y = 40; y < 60; ++y)
        for (int x = 10; x < 60; ++x)
            changed += after.At(x, y) != before.At(x, y);
    EXPECT_EQ(changed, 0);
    // Hidden, its area is left to the window's next update.
    ValidateRect(window, nullptr);
    ControlHide(filled, false);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_TRUE(update.left <= 10 && update.top <= 10 && update.right >= 60 && update.bottom >= 30);
}

std::vector<int16_t> g_steps;
void RecordStep(ToolboxControlRecord*, int16_t part) {
    g_steps.push_back(part);
}

TEST_F(Controls, ScrollNotificationsReachTheActionProcedure) {
    ToolboxControlRecord* bar = New(17, Rect16{10, 10, 200, 26}, 0, 0, 50);
    ControlSetActionProc(bar, &RecordStep);
    g_steps.clear();
    HWND parent = NativeWindowOf(window_);
    SendMessageA(parent, WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(ControlChild(bar)));
    SendMessageA(parent, WM_VSCROLL, SB_PAGEUP, reinterpret_cast<LPARAM>(ControlChild(bar)));
    SendMessageA(parent, WM_VSCROLL, SB_ENDSCROLL, reinterpret_cast<LPARAM>(ControlChild(bar)));
    EXPECT_EQ(g_steps, (std::vector<int16_t>{kPartLineDown, kPartPageUp}));
    // A caller's -1 takes the control's own procedure; the control's -1 is
    // the definition's action (message 8).
    RegisterControlDefinition(44, &RecordingDefinition);
    ToolboxControlRecord* drawn = New(704, Rect16{40, 40, 60, 60});
    g_features = kFeatureTakesFocus | kFeatureTaggedData | kFeatureTracksItself;
    ControlSetActionProc(drawn, DefinitionActionProc());
    ControlTrackRequest* seen = nullptr;
    static ControlTrackRequest s_request;
    ControlDefinitionProc keep = [](int16_t v, ToolboxControlRecord* c, int32_t m, intptr_t p) {
        if (m == kControlTrack) s_request = *reinterpret_cast<ControlTrackRequest*>(p);
        return RecordingDefinition(v, c, m, p);
    };
    drawn->definition = keep;
    ControlTrack(drawn, Point16{50, 50}, 0, DefinitionActionProc());
    seen = &s_request;
    EXPECT_EQ(seen->action, DefinitionActionProc());
    ControlSetActionProc(drawn, nullptr);
    ControlTrack(drawn, Point16{50, 50}, 0, DefinitionActionProc());
    EXPECT_EQ(seen->action, nullptr);
    g_features = kFeatureTakesFocus | kFeatureTaggedData;
}

// Tracking runs nested loops: each case in a process of its own.
class ControlTrackingChild : public Controls {
  protected:
    // A native control tracks only in the active program (it holds the
    // mouse capture meanwhile): these cases take the activation.
    void SetUp() override {
        ShownFrameTest::SetUp();
        PrepareControls();
        ShowWindow(NativeWindowOf(window_), SW_SHOW);
        MessagePump();
    }
};

void CALLBACK ReleaseAt(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    static POINT at;
    at = POINT{int(GetWindowLongPtrA(window, GWLP_USERDATA) & 0xFFFF),
               int(GetWindowLongPtrA(window, GWLP_USERDATA) >> 16)};
    PostMessageA(GetCapture() ? GetCapture() : window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// Posts the release to the capturing window after the delay, at a point
// of that window (x, y).
void ReleaseLater(HWND window, int x, int y, UINT delayMs) {
    SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(x | (y << 16)));
    SetTimer(window, 1, delayMs, &ReleaseAt);
}

TEST_F(ControlTrackingChild, PushButtonTracking) {
    if (!IsChildCase("PushButtonTracking")) GTEST_SKIP() << "runs in its own process";
    StartChildCaseWatchdog();
    ToolboxControlRecord* push = New(371, Rect16{10, 10, 40, 90});
    HWND child = ControlChild(push);
    PostMessageA(child, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    int32_t inside = ControlTrack(push, Point16{20, 30}, 0, nullptr);
    PostMessageA(child, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    int32_t outside = ControlTrack(push, Point16{20, 30}, 0, nullptr);
    std::printf("inside %d outside %d\n", inside, outside);
    ExitProcess(inside == kPartButton && outside == 0 ? 0 : kChildCaseFailedExit);
}

TEST_F(ControlTrackingChild, ScrollArrowTracking) {
    if (!IsChildCase("ScrollArrowTracking")) GTEST_SKIP() << "runs in its own process";
    StartChildCaseWatchdog();
    ToolboxControlRecord* bar = New(17, Rect16{10, 10, 210, 26}, 0, 0, 100);
    HWND child = ControlChild(bar);
    g_steps.clear();
    // The down arrow, held until the release 700 ms later; the pointer
    // stays over it (moves reported meanwhile carry its point).
    POINT arrow{8, 195};
    ClientToScreen(child, &arrow);
    SetCursorPos(arrow.x, arrow.y);
    ReleaseLater(child, 8, 195, 700);
    ControlTrack(bar, Point16{205, 18}, 0, &RecordStep);
    size_t downs = 0;
    for (int16_t s : g_steps)
        downs += s == kPartLineDown;
    std::printf("steps %zu downs %zu value %d\n", g_steps.size(), downs, ControlGetValue(bar));
    // Every step the bar reports is the arrow's part (how often it repeats
    // is the system's: it stops when the program loses the mouse capture).
    ExitProcess(downs >= 1 && downs == g_steps.size() ? 0 : kChildCaseFailedExit);
}

TEST_F(ControlTrackingChild, TabTracking) {
    if (!IsChildCase("TabTracking")) GTEST_SKIP() << "runs in its own process";
    StartChildCaseWatchdog();
    ToolboxControlRecord* tabs = New(128, Rect16{100, 10, 200, 300});
    ControlSetMaximum(tabs, 3);
    RECT third{};
    SendMessageA(ControlChild(tabs), TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
    Point16 at{int16_t(100 + (third.top + third.bottom) / 2),
               int16_t(10 + (third.left + third.right) / 2)};
    int32_t part = ControlTrack(tabs, at, 0, nullptr);
    std::printf("part %d value %d\n", part, ControlGetValue(tabs));
    ExitProcess(part == 3 && ControlGetValue(tabs) == 3 ? 0 : kChildCaseFailedExit);
}

TEST_F(ControlTrackingChild, PopupTracking) {
    if (!IsChildCase("PopupTracking")) GTEST_SKIP() << "runs in its own process";
    StartChildCaseWatchdog();
    InstallMenuHook();
    MenuRecord* menu = NewMenuWithTitle(31002, "Units");
    for (const char* text : {"Mils", "Inches", "Microns"})
        InsertMenuItemText(menu, text, -1);
    ToolboxControlRecord* popup = New(400, Rect16{10, 10, 30, 150}, 0, 31002, 0);
    // The menu opens with nothing highlighted: the first Down reaches entry 1.
    for (WPARAM key : {WPARAM(VK_DOWN), WPARAM(VK_DOWN), WPARAM(VK_RETURN)}) {
        PostMessageA(FrameWindowHandle(), WM_KEYDOWN, key, 1);
        PostMessageA(FrameWindowHandle(), WM_KEYUP, key, 0xC0000001);
    }
    int32_t part = ControlTrack(popup, Point16{20, 20}, 0, nullptr);
    std::printf("part %d value %d\n", part, ControlGetValue(popup));
    ExitProcess(part == kPartPopupButton && ControlGetValue(popup) == 2 ? 0 : kChildCaseFailedExit);
}

// The input source of a held button: the pointer at a point of the frame's
// client area, moved away after some polls, and the button released after
// more.
struct HeldButton {
    Point32 at, away;
    int polls, moveAfter, releaseAfter;
};
HeldButton g_held{};
bool g_highlighted = false;

void HeldPointer(Point32* out) {
    *out = g_held.polls >= g_held.moveAfter ? g_held.away : g_held.at;
}
bool HeldButtonDown(int32_t) {
    return ++g_held.polls < g_held.releaseAfter;
}
void NoteHighlight(ToolboxControlRecord* c, int16_t) {
    g_highlighted = g_highlighted || c->highlight == kPartButton;
}

// A self-drawn button: the pointer is followed with the part highlighted
// while over it, until the release.
TEST_F(Controls, ASelfDrawnButtonFollowsThePointerUntilTheRelease) {
    ToolboxControlRecord* button = New(32, Rect16{20, 20, 60, 60}, 0, 0, 128);
    POINT inside{40, 40}, outside{200, 200};
    MapWindowPoints(NativeWindowOf(window_), FrameWindowHandle(), &inside, 1);
    MapWindowPoints(NativeWindowOf(window_), FrameWindowHandle(), &outside, 1);
    OsInputSource source{};
    source.mouseClient = &HeldPointer;
    source.buttonDown = &HeldButtonDown;
    SetOsInputSource(&source);
    struct Case {
        int moveAfter;
        int32_t part;
    } cases[] = {{1000, kPartButton}, {3, 0}};
    for (const Case& c : cases) {
        g_held = HeldButton{{inside.y, inside.x}, {outside.y, outside.x}, 0, c.moveAfter, 8};
        g_highlighted = false;
        EXPECT_EQ(ControlTrack(button, Point16{40, 40}, 0, &NoteHighlight), c.part);
        EXPECT_TRUE(g_highlighted);
        EXPECT_EQ(button->highlight, 0);
    }
    SetOsInputSource(nullptr);
}

// The 0xRRGGBB pixel of a system colour shifted by steps on each channel.
uint32_t ShiftedPixel(int index, int steps) {
    COLORREF c = GetSysColor(index);
    auto channel = [&](int v) { return uint32_t(std::clamp(v + steps, 0, 255)); };
    return channel(GetRValue(c)) << 16 | channel(GetGValue(c)) << 8 | channel(GetBValue(c));
}

// A sticky icon button (option 0x200) stays down after a click released on
// it, until its value is set back; a plain one springs back.
TEST_F(Controls, AStickyIconButtonStaysDownAfterAClick) {
    ToolboxControlRecord* plain = New(32, Rect16{20, 20, 60, 60}, 0, 0, 128);
    ToolboxControlRecord* sticky = New(32, Rect16{20, 80, 60, 120}, 0, 0x200, 128);
    OsInputSource source{};
    source.mouseClient = &HeldPointer;
    source.buttonDown = &HeldButtonDown;
    SetOsInputSource(&source);
    POINT outside{200, 200};
    MapWindowPoints(NativeWindowOf(window_), FrameWindowHandle(), &outside, 1);
    struct Case {
        ToolboxControlRecord* button;
        int moveAfter;
        int32_t part, value;
    } cases[] = {
        {plain, 1000, kPartButton, 0},
        {sticky, 3, 0, 0},              // released outside: still up
        {sticky, 1000, kPartButton, 1}, // released on it: down
        {sticky, 1000, kPartButton, 1}, // and it stays down
    };
    for (const Case& c : cases) {
        const Rect16& b = c.button->bounds;
        POINT inside{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
        MapWindowPoints(NativeWindowOf(window_), FrameWindowHandle(), &inside, 1);
        g_held = HeldButton{{inside.y, inside.x}, {outside.y, outside.x}, 0, c.moveAfter, 8};
        Point16 press{int16_t((b.top + b.bottom) / 2), int16_t((b.left + b.right) / 2)};
        EXPECT_EQ(ControlTrack(c.button, press, 0, nullptr), c.part);
        EXPECT_EQ(ControlGetValue(c.button), c.value);
    }
    SetOsInputSource(nullptr);
    // Down, the upper edge is drawn in the darker tone, up in the lighter.
    uint32_t light = ShiftedPixel(COLOR_BTNSHADOW, 42), dark = ShiftedPixel(COLOR_BTNSHADOW, -43);
    WindowPixels pixels = ReadWindowPixels(NativeWindowOf(window_));
    EXPECT_EQ(pixels.At(30, 21), light);
    EXPECT_EQ(pixels.At(90, 21), dark);
    ControlSetValue(sticky, 0);
    pixels = ReadWindowPixels(NativeWindowOf(window_));
    EXPECT_EQ(pixels.At(90, 21), light);
}

TEST(ControlTracking, APopupTakesTheChosenEntry) {
    EXPECT_EQ(RunChildCase("ControlTrackingChild", "PopupTracking"), 0);
}

TEST(ControlTracking, PressAndReleaseOnAPushButton) {
    EXPECT_EQ(RunChildCase("ControlTrackingChild", "PushButtonTracking"), 0);
}

TEST(ControlTracking, HoldingTheDownArrowStepsWithPart21) {
    EXPECT_EQ(RunChildCase("ControlTrackingChild", "ScrollArrowTracking"), 0);
}

TEST(ControlTracking, AClickOnATabAnswersItsIndexPlusOne) {
    EXPECT_EQ(RunChildCase("ControlTrackingChild", "TabTracking"), 0);
}

} // namespace
