// Dialog templates: the "XDLG" resource, its reading, item kinds and the
// arithmetic that places a dialog.
//
// The resource (all 16-bit values signed, little-endian; a padded string
// is its text and zero, plus one zero byte when that length is odd):
//   header: top, left, bottom, right, item count, template flags (6 x 2),
//           title (padded), style block (template flag 1; style flags 1)
//   item:   top, left, bottom, right, definition, number, flags (7 x 2),
//           extra block by definition & 0x7FF0 (32: icon, option flags;
//           320: icon, unused; else a style block under the item flags),
//           text (padded; tabs: padded page names ended by an empty one)
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "toolbox/core/memblock.h"
#include "toolbox/core/rect.h"

// Template flags.
constexpr int16_t kTemplateHasStyle = 1;
constexpr int16_t kTemplateSpecialTexts = 2;
constexpr int16_t kTemplateSmallFont = 4;
constexpr int16_t kTemplatePixels = 8;

// Style flags read from a style block (an item's flags govern its block).
constexpr int16_t kStyleBlockJustification = 2;
constexpr int16_t kStyleBlockFont = 1;

// ControlStyleBlock flags.
constexpr int16_t kStyleFont = 1;
constexpr int16_t kStyleFace = 2;
constexpr int16_t kStyleSize = 4;
constexpr int16_t kStyleJustification = 0x40;
// Font numbers of the system fonts.
constexpr int16_t kSystemFont = -1;
constexpr int16_t kSmallSystemFont = -2;

// A control's own text style (24 bytes, zero-filled before use).
struct ControlStyleBlock {
    int16_t flags;
    int16_t font;
    int16_t size;
    int16_t face;
    int16_t unused;
    int16_t justification;
    uint8_t pad[12];
};
static_assert(sizeof(ControlStyleBlock) == 24, "ControlStyleBlock is 24 bytes");

// Template texts keep at most this many characters.
constexpr int32_t kTemplateTextChars = 255;

// Definition families (definition & 0x7FF0) that shape an item's extra
// block and parsed values.
constexpr int16_t kDefPushButton = 0;
constexpr int16_t kDefIconButton = 32;
constexpr int16_t kDefProgressBar = 80;
constexpr int16_t kDefTabs = 128;
constexpr int16_t kDefSmallTabs = 129;
constexpr int16_t kDefUserPane = 256;
constexpr int16_t kDefIcon = 320;
constexpr int16_t kDefStandardButton = 368;
constexpr int16_t kDefIconButtonLarge = 33;
constexpr int16_t kDefFamilyMask = 0x7FF0;

// One item as read from a template.
struct TemplateItem {
    int16_t definition;
    int16_t maximum; // 1 for push buttons; the icon for icon buttons
    int16_t minimum; // the option flags of icon buttons
    int16_t value;   // the icon of icons
    Rect16 bounds;   // scaled
    ControlStyleBlock style;
    int16_t number;
    int16_t flags;
    char text[kTemplateTextChars + 1]; // tab page names joined by "|"
};

// A loaded template: scaled bounds, the item cursor (-1 before the first)
// and the byte position of the next item, the dialog's style and title,
// and the resource's bytes after the header.
struct XDlgTemplate {
    Rect16 bounds;
    int16_t itemCount;
    int16_t cursor;
    int32_t nextByte;
    int16_t flags;
    ControlStyleBlock style;
    char title[kTemplateTextChars + 1];
    RelocatableBlock data;
};

// The template's resource ('XDlg', number), or null when it is missing,
// malformed or memory runs out.
XDlgTemplate* LoadDialogTemplate(int32_t number);
// The same from bytes given (copied).
XDlgTemplate* ParseDialogTemplate(const void* bytes, int32_t size);
// The next item; false after the last (at once without items) and for a
// malformed item.
bool ReadTemplateItem(XDlgTemplate* tmpl, TemplateItem* item);
void DisposeDialogTemplate(XDlgTemplate* tmpl);

// The screen's vertical dots per inch the templates are scaled to (96,
// which scales nothing, until set).
void SetTemplateDpi(int32_t dpi);
int32_t TemplateDpi();
// value x dpi / 96, halves away from zero.
int32_t ScaleTemplateValue(int32_t value);
// Positions scaled, sizes scaled apart from them.
void ScaleTemplateRect(Rect16* rect);

// Looks up a font face name for a style block (the drawing layer installs
// its font service; until then every name is the system font).
typedef int16_t (*TemplateFontLookup)(const char* name);
void SetTemplateFontLookup(TemplateFontLookup lookup);

// ---- item kinds -------------------------------------------------------------

enum DialogItemKind : int16_t {
    kItemNone = 0,
    kItemPushButton = 1,
    kItemCheckBox = 2,
    kItemRadioButton = 3,
    kItemScrollBar = 4,
    kItemEditText = 5,
    kItemStaticText = 6,
    kItemListBox = 7,
    kItemPopup = 8,
    kItemGroupBox = 9,
    kItemIcon = 10,
    kItemTabs = 11,
    kItemIconButton = 12,
    kItemToggleButton = 13,
    kItemProgressBar = 14,
    kItemUserPane = 15,
};

// Item flags that choose a variant of a kind's default definition.
constexpr uint32_t kItemFlagSmallVariant = 0x20000;
constexpr uint32_t kItemFlagListVariant = 0x40000;
constexpr uint32_t kItemFlagPassword = 0x80000;

DialogItemKind ItemKindForDefinition(int32_t definition);
// The default definition and maximum of a kind for items made by code;
// false for a kind without one.
bool DefaultDefinitionForKind(DialogItemKind kind, uint32_t itemFlags, int16_t* definition,
                              int16_t* maximum);

// ---- special texts ----------------------------------------------------------

// With template flag 2: turns an item whose text is special into its
// special item ("ICN#n" buttons, "$UserDrawn", "$ProgressBar", "$Tab").
void ApplySpecialText(TemplateItem* item);

// The visible page names of a tab item's text ("|"-separated; "\" takes
// the next character literally; "#" and digits end the visible name;
// names cut at 60 characters).
constexpr size_t kTabNameChars = 60;
std::vector<std::string> TabPageNames(const char* text);

// ---- placement --------------------------------------------------------------

// Places bounds in area by the placement code: 0 leaves them; 1 (or a free
// third of 1 pixel or less) puts the dialog at the top; 2 leaves a third
// of the free height above, 4 two thirds; centred across. Halves round
// toward zero.
void PlaceDialogBounds(Rect32* bounds, const Rect32* area, int32_t code);
