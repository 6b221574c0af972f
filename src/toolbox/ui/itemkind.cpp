// Item kinds by definition number, and the default definition of each
// kind for items that code creates without a template. Both are tables:
// a definition's family (definition >> 4) indexes the first; the kind
// indexes the second.
#include "toolbox/ui/xdlg.h"

namespace {

// Definitions from this number up make no item.
constexpr int32_t kFirstUnknownDefinition = 432;
constexpr int32_t kFamilyShift = 4;
constexpr int32_t kVariantMask = 0xF;

// Families of the button family's variants.
constexpr int32_t kCheckVariant = 1;
constexpr int32_t kRadioVariant = 2;

struct FamilyKind {
    int32_t family;
    DialogItemKind kind;
};
// Family 0 and 23 (buttons) are decided by their variant.
constexpr int32_t kButtonFamily = 0;
constexpr int32_t kStandardButtonFamily = 23;
constexpr FamilyKind kFamilies[] = {
    {1, kItemScrollBar},   {24, kItemScrollBar},  {2, kItemIconButton}, {4, kItemToggleButton},
    {5, kItemProgressBar}, {8, kItemTabs},        {10, kItemGroupBox},  {16, kItemUserPane},
    {17, kItemEditText},   {18, kItemStaticText}, {20, kItemIcon},      {22, kItemListBox},
    {25, kItemPopup},
};

struct KindDefault {
    DialogItemKind kind;
    int16_t definition;
    int16_t maximum;
    uint32_t variantFlag; // an item flag that picks the variant, or 0
    int16_t variantDefinition;
};
constexpr KindDefault kDefaults[] = {
    {kItemPushButton, 368, 1, 0, 0},
    {kItemCheckBox, 369, 1, 0, 0},
    {kItemRadioButton, 370, 1, 0, 0},
    {kItemScrollBar, 386, 0, 0, 0},
    {kItemEditText, 272, 0, kItemFlagPassword, 274},
    {kItemStaticText, 288, 0, 0, 0},
    {kItemListBox, 352, 0, kItemFlagListVariant, 353},
    {kItemPopup, 401, 0, 0, 0},
    {kItemGroupBox, 160, 0, 0, 0},
    {kItemIcon, 321, 0, 0, 0},
    {kItemTabs, 128, 0, kItemFlagSmallVariant, 129},
    {kItemIconButton, 33, 0, kItemFlagSmallVariant, 32},
    {kItemToggleButton, 64, 1, 0, 0},
};

} // namespace

DialogItemKind ItemKindForDefinition(int32_t definition) {
    int32_t d = definition & 0xFFFF;
    if (d >= kFirstUnknownDefinition) return kItemNone;
    int32_t family = d >> kFamilyShift;
    if (family == kButtonFamily || family == kStandardButtonFamily) {
        switch (d & kVariantMask) {
        case kCheckVariant:
            return kItemCheckBox;
        case kRadioVariant:
            return kItemRadioButton;
        default:
            return kItemPushButton;
        }
    }
    for (const FamilyKind& f : kFamilies)
        if (f.family == family) return f.kind;
    return kItemNone;
}

bool DefaultDefinitionForKind(DialogItemKind kind, uint32_t itemFlags, int16_t* definition,
                              int16_t* maximum) {
    for (const KindDefault& k : kDefaults) {
        if (k.kind != kind) continue;
        bool variant = k.variantFlag && (itemFlags & k.variantFlag);
        *definition = variant ? k.variantDefinition : k.definition;
        *maximum = k.maximum;
        return true;
    }
    return false;
}
