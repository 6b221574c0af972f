// The toolbox's text-record operations (the edit-text field's engine)
// installed over the text records of this layer, and the keyboard's Shift
// as the engine's Shift reader.
//
// Guarantees: a record handed out here is a TextRecord and goes back to
// DisposeTextRecord; a get copies at most the room given.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "toolbox/core/edittextdef.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/ui/textrecord.h"
#include "toolbox/ui/textstyle.h"

namespace {

// Parts of the field's font block.
constexpr uint32_t kFontBlockFont = 1;
constexpr uint32_t kFontBlockFace = 2;
constexpr uint32_t kFontBlockSize = 4;

// GetKeyState's bit for a key held down.
constexpr SHORT kKeyHeldBit = SHORT(0x8000);

// The Shift of the key being handed in, or the keyboard's.
int32_t g_keyShift = -1;

bool ShiftOfKey() {
    if (g_keyShift >= 0) return g_keyShift != 0;
    return (GetKeyState(VK_SHIFT) & kKeyHeldBit) != 0;
}

TextRecord* R(void* text) {
    return static_cast<TextRecord*>(text);
}

void* NewRecord(const Rect16* rect) {
    return NewTextRecord(rect, rect);
}
void Dispose(void* text) {
    DisposeTextRecord(R(text));
}
void SetText(void* text, const char* data, int32_t length) {
    ShowTextRecordText(data, length, R(text));
}
int32_t GetText(void* text, char* out, int32_t room) {
    TextRecord* r = R(text);
    if (out && room > 0) std::memcpy(out, r->text.data(), size_t(std::min(r->length, room)));
    return r->length;
}
void SetSelection(void* text, int32_t start, int32_t end) {
    ShowTextRecordSelection(start, end, R(text));
}
void GetSelection(void* text, int32_t* start, int32_t* end) {
    *start = R(text)->selStart;
    *end = R(text)->selEnd;
}
void Caret(void* text, bool on) {
    if (on)
        TextActivate(R(text));
    else
        TextDeactivate(R(text));
}
void Blink(void* text) {
    TextIdle(R(text));
}
void Key(void* text, uint16_t character, bool shift) {
    g_keyShift = shift ? 1 : 0;
    TextRecordKey(character, R(text));
    g_keyShift = -1;
}
void Click(void* text, const OsEventRecord* record) {
    TextClick(record->where, record->modifiers, false, R(text));
}
void SetFeature(void* text, int32_t feature, bool on) {
    TextRecord* r = R(text);
    if (feature == kTextFeatureSingle) {
        r->singleLine = on ? 1 : 0;
        TextCalcLines(r);
        return;
    }
    SetTextFeature(uint16_t(feature), on ? kTextFeatureSet : kTextFeatureClear, r);
}
void Edit(void* text, uint32_t tag, const char* data, int32_t length) {
    TextRecord* r = R(text);
    if (tag == kTagClear) TextRecordDelete(r);
    if (tag == kTagCopy) TextRecordCopy(r);
    if (tag == kTagCut) TextRecordCut(r);
    if (tag == kTagInsert) TextRecordInsert(data, length, r);
    if (tag == kTagPaste) TextRecordPaste(r);
}
void Fit(void* text, const Rect16* rect) {
    TextRecord* r = R(text);
    const Rect16& v = r->view;
    if (v.top == rect->top && v.left == rect->left && v.bottom == rect->bottom &&
        v.right == rect->right)
        return;
    r->destination = *rect;
    r->view = *rect;
    SetTextRecordStyle(r->style, kCopyStyleFont | kCopyStyleSize | kCopyStyleFace, r);
}
void ScrollTo(void* text, int32_t position) {
    TextRecord* r = R(text);
    uint16_t features = r->features;
    int32_t start = r->selStart, end = r->selEnd;
    r->features |= kTextFeatureAutoView;
    r->selStart = r->selEnd = std::clamp(position, 0, r->length);
    TextSelView(r);
    r->selStart = start;
    r->selEnd = end;
    r->features = features;
}
void ApplyFont(void* text, const EditFontBlock* font) {
    TextRecord* r = R(text);
    TextStyleRecord style = *r->style;
    uint32_t parts = 0;
    if (font->flags & kFontBlockFont) {
        style.fontNumber = int16_t(font->font);
        parts |= kCopyStyleFont;
    }
    if (font->flags & kFontBlockFace) {
        style.face = uint16_t(font->face);
        parts |= kCopyStyleFace;
    }
    if (font->flags & kFontBlockSize) {
        style.size = int16_t(font->size);
        parts |= kCopyStyleSize;
    }
    SetTextRecordStyle(&style, int32_t(parts), r);
}
int32_t DisplaySetting(void* text) {
    return R(text)->displaySetting;
}
void SetDisplaySetting(void* text, int32_t setting) {
    R(text)->displaySetting = setting;
}
void Draw(void* text, const Rect16* rect) {
    DrawTextRecord(rect, R(text));
}

} // namespace

void InstallTextRecordProcs() {
    SetTextShiftReader(&ShiftOfKey);
    TextRecordProcs procs{
        &NewRecord, &Dispose,  &SetText,   &GetText,        &SetSelection,      &GetSelection,
        &Caret,     &Blink,    &Key,       &Click,          &SetFeature,        &Edit,
        &Fit,       &ScrollTo, &ApplyFont, &DisplaySetting, &SetDisplaySetting, &Draw};
    SetTextRecordProcs(&procs);
}
