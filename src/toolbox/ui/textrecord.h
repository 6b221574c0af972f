// Text records on screen: making a record over the current port, drawing
// its lines, the selection's highlight and the blinking caret, scrolling
// its view, tracking clicks, the editing operations that redraw what they
// changed, and TextBox, which draws wrapped text in a box. The layout and
// editing rules are the portable engine's (textengine.h); this layer only
// shows them.
//
// Guarantees: every drawing goes to the record's own port and leaves the
// port, pen, font, colours and clip as they were (set-ups nest, the first
// saves and the last restores); the caret is shown only while the record
// is active and the selection empty, and a redraw never leaves a stale
// caret or highlight behind.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"
#include "toolbox/ui/textengine.h"

struct TextStyleRecord;

// TextBox flags.
constexpr uint32_t kTextBoxNoClip = 0x10;
constexpr uint32_t kTextBoxNoErase = 0x1000;
constexpr uint32_t kTextBoxSingleLine = 0x2000;
constexpr uint32_t kTextBoxFlagsNotKept = 0x6000;

// Making, disposing and measuring.
TextRecord* NewTextRecord(const Rect16* destination, const Rect16* view);
void DisposeTextRecord(TextRecord* record);
// Takes the style (null: the current port's), re-measures the line height,
// ascent and character width; with a tab stop count the tab width follows.
void SetTextRecordStyle(const TextStyleRecord* style, int32_t mode, TextRecord* record);

// Drawing: the lines meeting the rectangle (null: the view), within the view.
void DrawTextRecord(const Rect16* rect, TextRecord* record);
void TextActivate(TextRecord* record);
void TextDeactivate(TextRecord* record);
// Blinks the caret when active, the selection empty and the time has come.
void TextIdle(TextRecord* record);
// Inverts the caret at once (active, empty selection only).
void TextBlinkCaret(TextRecord* record);
// Moves the destination by (dh, dv) within the engine's limits, moving the
// view's pixels and drawing only what was uncovered.
void TextScroll(int32_t dh, int32_t dv, TextRecord* record);
// With the auto-view feature: scrolls the caret line into the view.
void TextSelView(TextRecord* record);

// Editing on screen.
void ShowTextRecordText(const char* text, int32_t length, TextRecord* record);
void ShowTextRecordSelection(int32_t start, int32_t end, TextRecord* record);
void TextRecordKey(int32_t key, TextRecord* record);
bool TextRecordInsert(const char* text, int32_t length, TextRecord* record);
void TextRecordDelete(TextRecord* record);
void TextRecordCut(TextRecord* record);
void TextRecordCopy(TextRecord* record);
void TextRecordPaste(TextRecord* record);
bool TextRecordPasteFiltered(TextRecord* record, int32_t limit, bool (*filter)(char));
// A mouse down at the point (port coordinates): word and line selection by
// time and place, Shift or the extend flag extending; tracks while the
// button is down.
void TextClick(Point16 point, uint16_t modifiers, bool extend, TextRecord* record);

// Wrapped text in a rectangle. Tab setting: negative pixels, positive a
// count of character widths, 0 the default.
void TextBox(const char* text, int32_t length, const Rect16* rect, int16_t justification,
             int32_t tabSetting, uint32_t flags);

// Installs the records above as the toolbox's text-record operations.
void InstallTextRecordProcs();
