// Pane frames and focus rings through a host that records them.
#include "toolbox/core/paneframe.h"

#include <gtest/gtest.h>

#include <string>

#include "pane_fixture.h"

namespace {

const PaneHost* FrameRecordingHost() {
    static const PaneHost host = [] {
        PaneHost h = *RecordingPaneHost();
        h.frameRect = [](PortRecord*, const Rect16* r, int16_t width, uint32_t) {
            HostCalls().push_back("frame " + std::to_string(width) + " " + RectText(*r));
        };
        h.frame3D = [](PortRecord*, const Rect16* r, int16_t ring) {
            HostCalls().push_back("frame3d " + std::to_string(ring) + " " + RectText(*r));
        };
        h.focusRing = [](PortRecord*, const Rect16* r, bool show) {
            HostCalls().push_back(std::string(show ? "ring " : "unring ") + RectText(*r));
        };
        return h;
    }();
    return &host;
}

class PaneFrames : public PaneFixture {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        MakeRoot(200, 300);
        SetPaneHost(FrameRecordingHost());
        const Rect16 r{10, 20, 60, 120};
        child_ = NewChildPane(root_, &r, kPaneFramed, nullptr);
        ASSERT_NE(child_, nullptr);
        child_->frameWidth = 1;
        HostCalls().clear();
    }
    PaneRecord* child_ = nullptr;
};

TEST_F(PaneFrames, SingleDoubleAndNoFrames) {
    std::string rect = RectText(PaneFrameRect(child_));
    DrawPaneFrame(child_);
    child_->flags |= kPaneDoubleFrame;
    DrawPaneFrame(child_);
    // A root pane's double frame is a single one.
    root_->flags |= kPaneFramed | kPaneDoubleFrame;
    root_->frameWidth = 1;
    DrawPaneFrame(root_);
    child_->flags |= kPaneHidden;
    DrawPaneFrame(child_);
    child_->flags &= ~(kPaneHidden | kPaneFramed);
    DrawPaneFrame(child_);
    ASSERT_EQ(HostCalls().size(), 3u);
    EXPECT_EQ(HostCalls()[0], "frame 1 " + rect);
    EXPECT_EQ(HostCalls()[1], "frame3d 2 " + rect);
    EXPECT_EQ(HostCalls()[2].rfind("frame 1 ", 0), 0u);
}

TEST_F(PaneFrames, FocusRingOutsideTheFrameAndErasedWithTheFrameAgain) {
    std::string rect = RectText(PaneFrameRect(child_));
    DrawPaneFocusRing(child_, true);
    DrawPaneFocusRing(child_, false);
    DrawPaneFocusRing(root_, true);
    child_->flags |= kPaneHidden;
    DrawPaneFocusRing(child_, true);
    ASSERT_EQ(HostCalls().size(), 3u);
    EXPECT_EQ(HostCalls()[0], "ring " + rect);
    EXPECT_EQ(HostCalls()[1], "unring " + rect);
    EXPECT_EQ(HostCalls()[2], "frame 1 " + rect);
}

} // namespace
