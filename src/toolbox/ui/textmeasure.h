// Text measuring through an installed measurer (GDI in the Win32 build):
// tab stops, tab-expanded widths and shortening a text to a width with an
// ellipsis.
#pragma once
#include <cstdint>
#include <functional>

constexpr int32_t kTabStopLead = 5; // a stop must lie this far ahead
constexpr int32_t kCountToNul = 0x8000;
constexpr uint32_t kTabFlagsWidest = 7;
constexpr uint32_t kTabFlagMasked = 8;
constexpr int32_t kTruncateMiddle = 0x4000;
constexpr int32_t kTruncateFits = 0;
constexpr int32_t kTruncated = 1;
constexpr int32_t kTruncateTooNarrow = -1;
constexpr int32_t kCountedTextLongest = 255;

struct TextMeasurer {
    void* context;
    int32_t (*width)(void* context, const char* text, int32_t count);
};
// Installs the measurer (copied); null restores the default (every
// character 0 wide).
void SetTextMeasurer(const TextMeasurer* measurer);
// The measurer installed now (for putting it back).
TextMeasurer GetTextMeasurer();
// Width of the text (a count with kCountToNul: up to the NUL).
int32_t MeasureRawWidth(const char* text, int32_t count);
int32_t WidestCharWidth();

// The next multiple of the tab width at least kTabStopLead ahead of x.
int32_t NextTabStop(int32_t x, int32_t tabWidth);
int32_t MeasureTextWithTabs(const char* text, int32_t count, int32_t tabWidth, uint32_t flags);
// The runs between tabs (or the mask characters) with the x each starts
// at, in order; answers the whole width.
typedef std::function<void(const char* run, int32_t count, int32_t x)> TabRunVisitor;
int32_t WalkTextWithTabs(const char* text, int32_t count, int32_t tabWidth, uint32_t flags,
                         const TabRunVisitor& visit);
// The widths of every prefix (1 to count characters) through the measurer.
void MeasureTextFitRaw(const char* text, int32_t count, int32_t* widths);
// A counted text: kTruncateFits unchanged, kTruncated shortened (the
// middle replaced by "..." in kTruncateMiddle mode, else the end), or
// kTruncateTooNarrow.
int32_t TruncateTextToWidth(int32_t width, uint8_t* countedText, int32_t mode);
// The same on a NUL-terminated text of room `capacity`.
int32_t TruncateCTextToWidth(int32_t width, char* text, int32_t mode);
