#include "toolbox/core/edittextdef.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "heap_fixture.h"
#include "toolbox/core/edges.h"
#include "toolbox/core/looptimer.h"
#include "toolbox/core/region.h"
#include "toolbox/core/systemtimes.h"
#include "toolbox/core/timertask.h"

namespace {

// A recording text record: one line per call, and the text and selection.
struct FakeText {
    std::string text;
    int32_t start = 0, end = 0;
    int32_t setting = 1;
};

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

FakeText* T(void* text) {
    return static_cast<FakeText*>(text);
}

const TextRecordProcs kRecording = {
    [](const Rect16*) -> void* { return new FakeText; },
    [](void* t) { delete T(t); },
    [](void* t, const char* d, int32_t n) { T(t)->text.assign(d, size_t(n)); },
    [](void* t, char* out, int32_t room) {
        int32_t n = int32_t(T(t)->text.size());
        if (out) T(t)->text.copy(out, size_t(std::min(n, room)));
        return n;
    },
    [](void* t, int32_t s, int32_t e) {
        T(t)->start = s;
        T(t)->end = e;
    },
    [](void* t, int32_t* s, int32_t* e) {
        *s = T(t)->start;
        *e = T(t)->end;
    },
    [](void*, bool on) { Calls().push_back(on ? "caret on" : "caret off"); },
    [](void*) { Calls().push_back("blink"); },
    [](void*, uint16_t c, bool shift) {
        Calls().push_back("key " + std::string(1, char(c)) + (shift ? " shift" : ""));
    },
    [](void*, const OsEventRecord*) { Calls().push_back("click"); },
    [](void*, int32_t f, bool) { Calls().push_back("feature " + std::to_string(f)); },
    [](void*, uint32_t tag, const char*, int32_t) {
        char name[5] = {char(tag >> 24), char(tag >> 16), char(tag >> 8), char(tag), 0};
        Calls().push_back(std::string("edit ") + name);
    },
    [](void*, const Rect16*) {},
    [](void*, int32_t p) { Calls().push_back("scroll " + std::to_string(p)); },
    [](void*, const EditFontBlock*) { Calls().push_back("font"); },
    [](void* t) { return T(t)->setting; },
    [](void* t, int32_t s) { T(t)->setting = s; },
    [](void* t, const Rect16*) { Calls().push_back("draw " + std::to_string(T(t)->setting)); },
};

// The sunken edge as drawn: the rectangle grown by 2.
const EdgeDrawProcs kEdges = {
    [](const Rect16* r, int32_t) {
        Rect16 g = GrownRect(*r, kEdgeOuterGrow);
        Calls().push_back("edge " + std::to_string(g.top) + "," + std::to_string(g.left));
    },
    nullptr,
    nullptr,
};

class EditText : public HeapTest {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        SetTextRecordProcs(&kRecording);
        SetEdgeDrawProcs(&kEdges);
        Calls().clear();
        control_.bounds = {10, 20, 30, 120};
        control_.flags = kVisible | kEnabled;
        EditTextDefProc(2, &control_, kControlInitialise, 0);
    }
    void TearDown() override {
        EditTextDefProc(0, &control_, kControlDispose, 0);
        SetTextRecordProcs(nullptr);
        SetEdgeDrawProcs(nullptr);
        HeapTest::TearDown();
    }
    int32_t Set(uint32_t tag, const void* data, int32_t size) {
        ControlDataRequest r{tag, const_cast<void*>(data), size, 0};
        return EditTextDefProc(0, &control_, kControlSetData, intptr_t(&r));
    }
    FakeText* Text() { return T(Data()->text); }
    EditTextData* Data() { return EditTextDataOf(&control_); }
    static constexpr uint8_t kVisible = 1, kEnabled = 2;
    ToolboxControlRecord control_{};
};

TEST_F(EditText, AnswersOfTheSimpleMessages) {
    EXPECT_EQ(Calls(), (std::vector<std::string>{"font", "feature 1", "feature 8"}));
    auto hit = [&](int16_t v, int16_t h) {
        return EditTextDefProc(0, &control_, kControlHitTest, PackControlPoint({v, h}));
    };
    EXPECT_EQ(hit(15, 50), 5);
    EXPECT_EQ(hit(30, 50), 0);
    control_.highlight = 255;
    EXPECT_EQ(hit(15, 50), 0);
    control_.highlight = 0;
    control_.flags = kVisible;
    EXPECT_EQ(hit(15, 50), 0);
    control_.flags = kVisible | kEnabled;
    // The field tracks its own clicks (0x20) and takes keys through 17.
    EXPECT_EQ(EditTextDefProc(0, &control_, kControlFeatures, 0), 380);
    EXPECT_TRUE(kEditTextFeatures & kFeatureTracksItself);
    Calls().clear();
    EXPECT_EQ(EditTextDefProc(0, &control_, kControlKey, PackControlKey(kEditShiftBit, 0, 'a')), 5);
    ControlTrackRequest click{{15, 50}, 0, nullptr};
    EXPECT_EQ(EditTextDefProc(0, &control_, kControlTrack, intptr_t(&click)), 5);
    static int32_t s_filter = 0;
    EditFilterProc filter = [](ToolboxControlRecord*, int16_t*, int16_t*, uint16_t*) {
        return s_filter;
    };
    EXPECT_EQ(Set(kTagFilter, &filter, sizeof filter), 0);
    EXPECT_EQ(EditTextDefProc(0, &control_, kControlTrack, intptr_t(&click)), 0);
    s_filter = 1;
    EXPECT_EQ(EditTextDefProc(0, &control_, kControlTrack, intptr_t(&click)), 5);
    EXPECT_EQ(Calls(),
              (std::vector<std::string>{"key a shift", "click", "edge 8,18", "draw 1", "click"}));
    RegionRecord* region = NewRegion();
    EditTextDefProc(0, &control_, kControlMoved, intptr_t(region));
    Rect16 bounds{};
    RegionBounds(region, &bounds);
    EXPECT_EQ(bounds.top, 6);
    EXPECT_EQ(bounds.right, 124);
    EditTextDefProc(0, &control_, kControlSized, intptr_t(region));
    EXPECT_TRUE(IsRegionEmpty(region));
    DisposeRegion(region);
    // An inactive field draws with the display setting 257, then restores it.
    control_.highlight = 255;
    Calls().clear();
    EditTextDefProc(0, &control_, kControlDraw, 0);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"edge 8,18", "draw 257"}));
    EXPECT_EQ(Text()->setting, 1);
}

TEST_F(EditText, FocusSelectsAllAndRunsTheCaretTask) {
    EXPECT_EQ(EditTextDefProc(0, &control_, kControlFocus, 1), 5);
    EXPECT_EQ(Text()->start, 0);
    EXPECT_EQ(Text()->end, kSelectAllEnd);
    ASSERT_NE(Data()->caretTimer, nullptr);
    EXPECT_EQ(Data()->caretTimer->timer->intervalMs, uint32_t(CaretBlinkTicks() / 2 * kTicksMs));
    Text()->start = 3;
    EXPECT_EQ(EditTextDefProc(0, &control_, kControlFocus, 0), 0);
    EXPECT_EQ(Data()->caretTimer, nullptr);
    EXPECT_EQ(Calls().back(), "scroll 3");
    EXPECT_EQ(Calls()[Calls().size() - 2], "caret off");
}

TEST_F(EditText, TaggedData) {
    EXPECT_EQ(Set(kTagText, "0123456789", 10), 0);
    EXPECT_EQ(Text()->text, "0123456789");
    char buffer[4];
    ControlDataRequest get{kTagText, buffer, 4, 0};
    EXPECT_EQ(EditTextDefProc(0, &control_, kControlGetData, intptr_t(&get)), kControlErrWrongSize);
    EXPECT_EQ(get.actualSize, 10);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    int16_t sel[4] = {2, 5, 0, 0};
    // 'sele' of 8 bytes is refused; of 4 applies only while active and focused.
    int32_t before = Text()->end;
    EXPECT_EQ(Set(kTagSelection, sel, 8), kControlErrWrongSize);
    EXPECT_EQ(Set(kTagSelection, sel, 4), 0);
    EXPECT_EQ(Text()->end, before);
    Data()->focused = 1;
    EXPECT_EQ(Set(kTagSelection, sel, 4), 0);
    EXPECT_EQ(Text()->start, 2);
    EXPECT_EQ(Text()->end, 5);
    Data()->focused = 0;
    EXPECT_EQ(Set(kTagTextHandle, nullptr, 0), kControlErrUnknownTag);
    EXPECT_EQ(Set(FourCC("zzzz"), nullptr, 0), kControlErrUnknownTag);
    EditFontBlock font{};
    EXPECT_EQ(Set(kTagFont, &font, 20), kControlErrWrongSize);
    EXPECT_EQ(Set(kTagFont, &font, 24), 0);
    EXPECT_EQ(Set(kTagFilter, &font, 8 + 1), kControlErrWrongSize);
    Calls().clear();
    for (uint32_t tag : {kTagClear, kTagCopy, kTagCut, kTagInsert, kTagPaste})
        EXPECT_EQ(Set(tag, "x", 1), 0);
    std::vector<std::string> edits;
    for (const std::string& c : Calls())
        if (c.rfind("edit", 0) == 0) edits.push_back(c);
    EXPECT_EQ(edits, (std::vector<std::string>{"edit CLER", "edit COPY", "edit CUT ", "edit ISRT",
                                               "edit PAST"}));
    void* handle = nullptr;
    ControlDataRequest than{kTagTextHandle, &handle, sizeof handle, 0};
    EXPECT_EQ(EditTextDefProc(0, &control_, kControlGetData, intptr_t(&than)), 0);
    EXPECT_EQ(handle, Data()->text);
}

} // namespace
