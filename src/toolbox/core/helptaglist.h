// Help tags of one window: the list of tagged dialog items and rectangles
// with their texts, the entry under a point, and where the shared popup
// goes for a tag.
//
// Guarantees: a dialog item has at most one tag (a second add answers the
// first entry and changes nothing); removing the last tag disposes the
// list and clears the window's link to it; an empty text never shows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "toolbox/core/rect.h"

struct SurfaceList;

constexpr double kHelpTagShowDelay = 0.5; // seconds
constexpr int16_t kHelpTagFont = 1;
constexpr int16_t kHelpTagSize = 8;
constexpr uint8_t kHelpTagKindItem = 1;
constexpr uint8_t kHelpTagKindRect = 0;
constexpr uint8_t kHelpTagItemSurface = 255;
constexpr int32_t kHelpTagAnySurface = -2;
// Questions to a list's text callback, and its placement answers.
constexpr int32_t kHelpTagAskText = 1;
constexpr int32_t kHelpTagAskPlacement = 2;
constexpr int32_t kHelpTagAskTextColour = 3;
constexpr int32_t kHelpTagAskBackColour = 4;
constexpr int32_t kHelpTagAnswered = 0x10000;
constexpr int32_t kHelpTagAtMouse = 0;
constexpr int32_t kHelpTagBelowTarget = 0x10000;
constexpr int32_t kHelpTagRightOfTarget = 0x20000;
constexpr int32_t kHelpTagBaselineAtPoint = 0x40000;
// The popup's margins: text width + 6 by ascent + descent + 2, text at
// (2, ascent + 1), at the mouse 8 below and 14 right, 2 pixels inside the
// screen.
constexpr int32_t kHelpTagExtraWidth = 6;
constexpr int32_t kHelpTagExtraHeight = 2;
constexpr int32_t kHelpTagTextLeft = 2;
constexpr int32_t kHelpTagTextDrop = 1;
constexpr int32_t kHelpTagMouseBelow = 8;
constexpr int32_t kHelpTagMouseRight = 14;
constexpr int32_t kHelpTagScreenMargin = 2;

struct HelpTagList;
// (list, entry index, question, buffer) -> kHelpTagAnswered when answered.
typedef int32_t (*HelpTagTextProc)(HelpTagList* list, int32_t entry, int32_t question,
                                   void* buffer);

struct HelpTagRecord {
    void* item;  // kind 1
    Rect16 rect; // otherwise
    int16_t value;
    uint8_t kind;
    uint8_t surface;
    std::string text;
};

struct HelpTagList {
    SurfaceList* surfaceList;
    HelpTagTextProc textProc;
    double showDelay;
    int16_t font, size;
    uint8_t face, armed;
    std::vector<HelpTagRecord> entries;
};

// The rectangle of a dialog item (the dialog layer installs it; until then
// items have none).
void SetHelpTagItemRectProc(bool (*procedure)(void* item, Rect16* out));
bool HelpTagItemRect(void* item, Rect16* out);

// The window's list (its surface list's link), or null.
HelpTagList* HelpTagListOf(SurfaceList* list);
int32_t HelpTagAdd(SurfaceList* list, uint8_t surface, uint8_t kind, void* item, const Rect16* rect,
                   int16_t value, const char* text);
void HelpTagRemove(SurfaceList* list, void* item);
void DisposeHelpTagList(void* tags);
// Told of every list about to be disposed (the popup forgets it).
void SetHelpTagListDisposingProc(void (*procedure)(HelpTagList* list));
// Lets surface lists dispose their help tags with themselves.
void InstallHelpTagLists();
int32_t HelpTagAtPoint(const HelpTagList* list, int32_t surface, Point16 point);
// The entry's rectangle in its window (an item's from the dialog layer);
// false when the entry does not exist or its item has no rectangle.
bool HelpTagEntryRect(const HelpTagList* list, int32_t entry, Rect16* out);
bool HelpTagEntryHolds(const HelpTagList* list, int32_t entry, Point16 point);
// The callback's text, else the stored one.
std::string HelpTagText(HelpTagList* list, int32_t entry);

// Where the popup of a text of the given metrics goes (screen
// coordinates): at the mouse, one pixel below or right of the target, or
// with the baseline at the given point; kept 2 pixels inside the screen.
Rect16 HelpTagPopupRect(int32_t placement, Point16 mouse, const Rect16& target, Point16 given,
                        int32_t textWidth, int32_t ascent, int32_t descent, const Rect16& screen);
