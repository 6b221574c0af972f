// The portable rules of list-box items.
#include "toolbox/ui/listboxitem.h"

#include <cstring>

bool ListBoxTakesFocus(uint32_t options) {
    return (options & (kListBoxNoSelection | kListBoxCycleMarks)) == 0;
}

uint32_t ListBoxListOptions(uint32_t options) {
    return ((options & kListBoxMultiple) ? kListMultiSelect : 0) |
           ((options & kListBoxSecondOption) ? kListKeepOnClickBelow : 0);
}

bool ListBoxShowsMarks(uint32_t options) {
    return (options & (kListBoxNewRowsMarked | kListBoxCycleMarks)) != 0;
}

bool IsSeparatorRowText(const char* text) {
    return text && std::strcmp(text, kSeparatorText) == 0;
}

int32_t ListBoxRowHeight(int32_t ascent, int32_t descent, int32_t leading) {
    return ascent + descent + leading + 1;
}

uint8_t CycleRowMark(uint8_t mark, uint32_t options, uint8_t rowFlags) {
    if (!(options & kListBoxCycleMarks) || (rowFlags & kRowDisabled)) return mark;
    if (options & kListBoxThreeStates) {
        if (mark == kMarkNewRow) return kMarkSecond;
        if (mark == kMarkSecond) return kMarkThird;
        return kMarkNewRow;
    }
    if (mark == kMarkNewRow) return kMarkSecond;
    if (mark == kMarkSecond) return kMarkNewRow;
    if (mark == kMarkNone)
        return (options & kListBoxFirstMarkFive) ? kMarkFirstAlternative : kMarkFirst;
    return kMarkNone;
}

int32_t MarkCellLeft(uint8_t mark) {
    return mark == 0 ? 0 : kMarkCellSize * (mark - 1);
}
