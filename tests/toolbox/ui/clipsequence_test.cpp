// The clipboard change number's private-format fallback over an injected
// clipboard.
#include <gtest/gtest.h>

#include "toolbox/ui/clipsequence.h"

namespace {

struct FakeClipboard {
    bool hasSystem = false;
    uint32_t system = 0;
    bool hasPrivate = false;
    uint32_t stored = 0;
    int writes = 0;
};

bool System(void* c, uint32_t* out) {
    auto* clip = static_cast<FakeClipboard*>(c);
    *out = clip->system;
    return clip->hasSystem;
}
bool Read(void* c, uint32_t* out) {
    auto* clip = static_cast<FakeClipboard*>(c);
    *out = clip->stored;
    return clip->hasPrivate;
}
void Write(void* c, uint32_t number) {
    auto* clip = static_cast<FakeClipboard*>(c);
    clip->hasPrivate = true;
    clip->stored = number;
    ++clip->writes;
}

TEST(ClipboardSequence, FallbackCountsChangesByOthers) {
    FakeClipboard clip;
    ClipboardSequenceAccess access{&clip, &System, &Read, &Write};
    SetClipboardSequenceAccess(&access);
    EXPECT_EQ(ClipboardSequenceNumber(), 1u);
    EXPECT_EQ(ClipboardSequenceNumber(), 1u);
    EXPECT_EQ(clip.writes, 1);
    clip.hasPrivate = false; // another program put new contents
    EXPECT_EQ(ClipboardSequenceNumber(), 2u);
    EXPECT_EQ(clip.stored, 2u);
    EXPECT_EQ(CurrentClipboardSequence(), 2u);
    SetClipboardSequenceAccess(nullptr);
}

TEST(ClipboardSequence, SystemNumberWins) {
    FakeClipboard clip;
    clip.hasSystem = true;
    clip.system = 41;
    ClipboardSequenceAccess access{&clip, &System, &Read, &Write};
    SetClipboardSequenceAccess(&access);
    EXPECT_EQ(ClipboardSequenceNumber(), 41u);
    EXPECT_EQ(clip.writes, 0);
    SetClipboardSequenceAccess(nullptr);
}

} // namespace
