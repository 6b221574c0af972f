// The edit-text control definition: an editable text record inside the
// control's rectangle, drawn in a sunken edge, with a blinking caret while
// focused, and the field's text, selection, font and filter exchanged as
// tagged data.
//
// Guarantees: tagged data of a wrong size changes nothing; a get never
// copies more than the caller's buffer; the caret task exists exactly
// while the field holds the focus.
#pragma once
#include <cstdint>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/controlrecord.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/rect.h"

struct RegionRecord;
struct TimerTask;

constexpr int32_t kEditTextPart = 5;
constexpr int32_t kEditTextFeatures = 380;
constexpr int32_t kEditTextGroup = 17;
constexpr int32_t kEditTextFocusOutset = 4;
constexpr int32_t kSelectAllEnd = 32000;
constexpr int32_t kInactiveDisplaySetting = 257;
constexpr int16_t kEditTextVariantFeature8 = 2;
constexpr int32_t kTextFeatureSingle = 1;
constexpr int32_t kTextFeatureVariant = 8;
constexpr int32_t kTicksMs = 17;
constexpr uint32_t kEditShiftBit = 0x200;
constexpr int32_t kFilterAccepts = 1;
// Tags of the field's data.
constexpr uint32_t kTagSelection = FourCC("sele");
constexpr uint32_t kTagFilter = FourCC("fltr");
constexpr uint32_t kTagTextHandle = FourCC("than");
constexpr uint32_t kTagClear = FourCC("CLER");
constexpr uint32_t kTagCopy = FourCC("COPY");
constexpr uint32_t kTagCut = FourCC("CUT ");
constexpr uint32_t kTagInsert = FourCC("ISRT");
constexpr uint32_t kTagPaste = FourCC("PAST");

// The font block ('font', 24 bytes).
struct EditFontBlock {
    uint32_t flags; // 1 font, 2 face, 4 size, 0x20 first, 0x40 second display setting
    int32_t font;
    int32_t size;
    int32_t face;
    int32_t firstSetting;  // default 1
    int32_t secondSetting; // default 0
};
static_assert(sizeof(EditFontBlock) == 24, "the font block is 24 bytes");

typedef int32_t (*EditFilterProc)(ToolboxControlRecord* control, int16_t* v, int16_t* h,
                                  uint16_t* modifiers);

// The text-record operations the field uses (the text layer installs
// them).
struct TextRecordProcs {
    void* (*newRecord)(const Rect16* rect);
    void (*dispose)(void* text);
    void (*setText)(void* text, const char* data, int32_t length);
    // The text's length; copies at most room bytes.
    int32_t (*getText)(void* text, char* out, int32_t room);
    void (*setSelection)(void* text, int32_t start, int32_t end);
    void (*getSelection)(void* text, int32_t* start, int32_t* end);
    void (*caret)(void* text, bool on);
    void (*blinkCaret)(void* text);
    void (*key)(void* text, uint16_t character, bool shift);
    void (*click)(void* text, const OsEventRecord* record);
    void (*setFeature)(void* text, int32_t feature, bool on);
    // The edit tags 'CLER', 'COPY', 'CUT ', 'ISRT' (with its text), 'PAST'.
    void (*edit)(void* text, uint32_t tag, const char* data, int32_t length);
    void (*fit)(void* text, const Rect16* rect);
    void (*scrollTo)(void* text, int32_t position);
    void (*applyFont)(void* text, const EditFontBlock* font);
    int32_t (*displaySetting)(void* text);
    void (*setDisplaySetting)(void* text, int32_t setting);
    void (*draw)(void* text, const Rect16* rect);
};
void SetTextRecordProcs(const TextRecordProcs* procs);

// The field's state, kept as the control's data word.
struct EditTextData {
    void* text;
    TimerTask* caretTimer;
    EditFilterProc filter;
    EditFontBlock font;
    uint8_t focused; // the field shows its caret and selection as focused
};

// The field's definition procedure: a click is tracked through message 15
// (its features declare 0x20), a key comes with message 17, message 18 is
// the caret blink and 22 gives up the focus.
int32_t EditTextDefProc(int16_t variant, ToolboxControlRecord* control, int32_t message,
                        intptr_t parameter);
EditTextData* EditTextDataOf(const ToolboxControlRecord* control);
