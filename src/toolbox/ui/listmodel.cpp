// Rows, cells, selection, geometry, key moves, typed selection and the
// moves of the edited cell of a list view.
#include "toolbox/ui/listmodel.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t (*gTicks)() = nullptr;
char gTypeBuffer[kTypeSelectBufferMax];
int32_t gTypeLength = 0;
uint32_t gTypeLastTick = 0;
const ListRecord* gTypeList = nullptr;

uint32_t Now() {
    return gTicks != nullptr ? gTicks() : 0;
}

int32_t Ask(ListRecord* list, int32_t message, ListParams* params) {
    return list->procedure != nullptr ? list->procedure(list, message, params) : 0;
}

void Recount(ListRecord* list) {
    int32_t count = 0;
    for (int32_t row = BitSetNextMember(list->selection, -1); row >= 0 && row < list->rowCount;
         row = BitSetNextMember(list->selection, row))
        ++count;
    list->selectedCount = count;
}

void Assign(ListRecord* list, int32_t row, bool select) {
    if (ListRowSelected(list, row) == select) return;
    if (select) {
        if (!BitSetInclude(list->selection, row)) return;
        ++list->selectedCount;
    } else {
        BitSetExclude(list->selection, row);
        --list->selectedCount;
    }
    ListNoteChangedRow(list, row);
}

void SelectAlone(ListRecord* list, int32_t row) {
    for (int32_t r = NextSelectedRow(list, 0); r >= 0; r = NextSelectedRow(list, r + 1))
        if (r != row) Assign(list, r, false);
    Assign(list, row, true);
}

} // namespace

bool InitListRecord(ListRecord* list, uint32_t options, int32_t cellSize, int16_t rowHeight,
                    int32_t contentHeight, ListProcedure procedure) {
    *list = ListRecord{};
    list->selection = NewBitSet(nullptr, 0);
    if (list->selection == nullptr) return false;
    list->procedure = procedure;
    list->options = options;
    list->cellSize = std::max(cellSize, 0);
    list->rowHeight = std::max<int16_t>(rowHeight, 1);
    list->firstChanged = kListNoChangedRow;
    list->editRow = -1;
    ListComputeGeometry(list, contentHeight);
    return true;
}

void DisposeListRecord(ListRecord* list) {
    if (list->options & kListReportDeletes) DeleteListRows(list, 0, -1);
    DisposeBitSet(list->selection);
    list->selection = nullptr;
    list->cells.clear();
    if (gTypeList == list) gTypeList = nullptr;
}

void ListComputeGeometry(ListRecord* list, int32_t contentHeight) {
    list->contentHeight = contentHeight;
    list->visibleRows = std::max(contentHeight, 0) / list->rowHeight;
    if ((list->options & kListPartialRowVisible) && contentHeight % list->rowHeight != 0)
        ++list->visibleRows;
    list->lastFirstRow = std::max(list->rowCount - list->visibleRows, 0);
    list->firstVisible = std::clamp(list->firstVisible, 0, list->lastFirstRow);
}

uint32_t ListRowAtPoint(const ListRecord* list, int32_t v) {
    int32_t row = (v < 0 ? -1 : v / list->rowHeight) + list->firstVisible;
    int32_t last = std::min(list->firstVisible + list->visibleRows, list->rowCount) - 1;
    if (row > last) return uint32_t(std::max(last, 0)) | kListRowBeyond;
    return uint32_t(std::max(row, 0));
}

bool InsertListRows(ListRecord* list, int32_t row, const void* data, int32_t count) {
    if (count <= 0) return true;
    if (row < 0 || row > list->rowCount) row = list->rowCount;
    if (!ResizeBitSet(list->selection, list->rowCount + count)) return false;
    size_t size = size_t(list->cellSize);
    list->cells.insert(list->cells.begin() + long(size * size_t(row)), size * size_t(count), 0);
    if (data != nullptr && size > 0)
        std::memcpy(list->cells.data() + size * size_t(row), data, size * size_t(count));
    ShiftBitSetRun(list->selection, row, list->rowCount - row + count, count, 0);
    list->rowCount += count;
    ListComputeGeometry(list, list->contentHeight);
    ListNoteChangedRow(list, row);
    return true;
}

void DeleteListRows(ListRecord* list, int32_t row, int32_t count) {
    if (row < 0 || row >= list->rowCount) return;
    if (count < 0 || count > list->rowCount - row) count = list->rowCount - row;
    if (count == 0) return;
    if (list->options & kListReportDeletes) {
        for (int32_t r = row + count - 1; r >= row; --r) {
            ListParams params = MakeListParams(r, 0, nullptr, 0);
            Ask(list, kListMsgDeleteRow, &params);
        }
    }
    size_t size = size_t(list->cellSize);
    list->cells.erase(list->cells.begin() + long(size * size_t(row)),
                      list->cells.begin() + long(size * size_t(row + count)));
    ShiftBitSetRun(list->selection, row, list->rowCount - row, -count, 0);
    list->rowCount -= count;
    if (list->editRow >= list->rowCount) {
        list->editRow = -1;
        list->editPart = 0;
    }
    Recount(list);
    ListComputeGeometry(list, list->contentHeight);
    ListNoteChangedRow(list, row);
}

int32_t GetListCell(const ListRecord* list, int32_t row, void* data) {
    // Rows before 0 lie before the cell block: ignored like rows past the end.
    if (list->cellSize == 0 || row < 0 || row >= list->rowCount) return 0;
    std::memcpy(data, list->cells.data() + size_t(list->cellSize) * size_t(row),
                size_t(list->cellSize));
    return list->cellSize;
}

void SetListCell(ListRecord* list, int32_t row, const void* data) {
    if (list->cellSize == 0 || row < 0 || row >= list->rowCount) return;
    uint8_t* cell = list->cells.data() + size_t(list->cellSize) * size_t(row);
    if (data != nullptr)
        std::memcpy(cell, data, size_t(list->cellSize));
    else
        std::memset(cell, 0, size_t(list->cellSize));
    ListNoteChangedRow(list, row);
}

bool ListRowSelected(const ListRecord* list, int32_t row) {
    return row >= 0 && row < list->rowCount && BitSetContains(list->selection, row);
}

bool SetListRowSelected(ListRecord* list, int32_t row, bool select) {
    int32_t before = list->selectedCount;
    bool multiple = list->options & kListMultiSelect;
    if (row < 0 && multiple) {
        for (int32_t r = 0; r < list->rowCount; ++r)
            Assign(list, r, select);
        return list->selectedCount != before;
    }
    if (row < 0) row = select ? 0 : NextSelectedRow(list, 0);
    if (row < 0 || row >= list->rowCount) return false;
    if (select && !multiple)
        SelectAlone(list, row);
    else
        Assign(list, row, select);
    return list->selectedCount != before;
}

int32_t NextSelectedRow(const ListRecord* list, int32_t row) {
    int32_t next = BitSetNextMember(list->selection, std::max(row, 0) - 1);
    return next >= 0 && next < list->rowCount ? next : -1;
}

uint32_t SetListOptions(ListRecord* list, uint32_t set, uint32_t clear) {
    uint32_t previous = list->options;
    list->options =
        (list->options | (set & kListChangeableOptions)) & ~(clear & kListChangeableOptions);
    return previous;
}

void ListNoteChangedRow(ListRecord* list, int32_t row) {
    list->firstChanged = std::min(list->firstChanged, std::max(row, 0));
}

bool SetListDrawingEnabled(ListRecord* list, bool on, int32_t* redrawFrom) {
    *redrawFrom = kListNoChangedRow;
    if (on) {
        ++list->drawingLevel;
        if (list->drawingLevel == 0) {
            *redrawFrom = list->firstChanged;
            list->firstChanged = kListNoChangedRow;
        }
    } else {
        if (list->drawingLevel == 0) list->firstChanged = kListNoChangedRow;
        --list->drawingLevel;
    }
    return list->drawingLevel >= 0;
}

int32_t ListKeyTarget(const ListRecord* list, int32_t key) {
    if (list->rowCount == 0) return -1;
    int32_t page = std::max(list->visibleRows - 1, 1);
    int32_t first = NextSelectedRow(list, 0);
    int32_t last = first < 0 ? -1 : BitSetLastMember(list->selection);
    last = std::min(last, list->rowCount - 1);
    // With nothing selected the move starts before row 0.
    int32_t from = first;
    int32_t target;
    switch (key) {
    case kListKeyUp:
        target = first < 0 ? 0 : from - 1;
        break;
    case kListKeyDown:
        target = first < 0 ? 0 : last + 1;
        break;
    case kListKeyPageUp:
        target = first < 0 ? 0 : from - page;
        break;
    case kListKeyPageDown:
        target = first < 0 ? page - 1 : last + page;
        break;
    case kListKeyHome:
        target = 0;
        break;
    case kListKeyEnd:
        target = list->rowCount - 1;
        break;
    default:
        return -1;
    }
    return std::clamp(target, 0, list->rowCount - 1);
}

bool ListKeyMove(ListRecord* list, int32_t key, bool shift) {
    int32_t target = ListKeyTarget(list, key);
    if (target < 0) return false;
    int32_t before = list->selectedCount;
    bool was = ListRowSelected(list, target);
    if (shift && (list->options & kListMultiSelect))
        Assign(list, target, true);
    else
        SelectAlone(list, target);
    return !was || list->selectedCount != before;
}

void SetListTickSource(uint32_t (*ticks)()) {
    gTicks = ticks;
}

void ListResetTypeSelect() {
    gTypeLength = 0;
    gTypeList = nullptr;
}

const char* ListTypeSelectText(int32_t* length) {
    *length = gTypeLength;
    return gTypeBuffer;
}

int32_t ListTypeSelect(ListRecord* list, char c, bool shift) {
    uint32_t now = Now();
    if (gTypeList != list || now - gTypeLastTick > uint32_t(kTypeSelectTicks)) gTypeLength = 0;
    gTypeList = list;
    gTypeLastTick = now;
    if (gTypeLength < kTypeSelectBufferMax) gTypeBuffer[gTypeLength++] = c;
    ListParams params = MakeListParams(-1, 0, gTypeBuffer, gTypeLength);
    if (!(Ask(list, kListMsgFindRow, &params) & kListResultFound)) return -1;
    if (params.row < 0 || params.row >= list->rowCount) return kTypeSelectOutside;
    if (shift && (list->options & kListMultiSelect))
        Assign(list, params.row, true);
    else
        SelectAlone(list, params.row);
    return params.row;
}

bool ListNextEditCell(const ListRecord* list, int32_t key, int32_t parts, int32_t* row,
                      int32_t* part) {
    if (list->rowCount == 0 || parts <= 0) return false;
    int32_t r = *row, p = *part;
    int32_t last = list->rowCount - 1;
    switch (key) {
    case kListKeyTab:
    case kListKeyReturn:
        if (++p > parts) {
            p = 1;
            r = r >= last ? 0 : r + 1;
        }
        break;
    case kListKeyBackTab:
        if (--p < 1) {
            p = parts;
            r = r <= 0 ? last : r - 1;
        }
        break;
    case kListKeyUp:
        if (r <= 0) return false;
        --r;
        break;
    case kListKeyDown:
        if (r >= last) return false;
        ++r;
        break;
    case kListKeyHome:
        r = 0;
        p = 1;
        break;
    case kListKeyEnd:
        r = last;
        p = 1;
        break;
    default:
        return false;
    }
    *row = r;
    *part = p;
    return true;
}

bool SetListEditCell(ListRecord* list, int32_t row, int32_t part) {
    if (list->editRow >= 0) {
        ListParams params = MakeListParams(list->editRow, list->editPart, nullptr, 0);
        if (!(Ask(list, kListMsgBeforeEndEdit, &params) & kListResultNothingToStore) &&
            !(Ask(list, kListMsgStoreEdit, &params) & kListResultStored))
            return false;
        Ask(list, kListMsgBeginEndEdit, &params);
        list->editRow = -1;
        list->editPart = 0;
    } else if (row >= 0 && part > 0) {
        for (int32_t r = NextSelectedRow(list, 0); r >= 0; r = NextSelectedRow(list, r + 1))
            Assign(list, r, false);
    }
    if (row < 0 || part <= 0 || row >= list->rowCount) return true;
    list->editRow = row;
    list->editPart = int16_t(part);
    ListParams params = MakeListParams(row, part, nullptr, 0);
    Ask(list, kListMsgCellText, &params);
    Ask(list, kListMsgBeginEndEdit, &params);
    return true;
}

int32_t ListPasteCount(const char* text, int32_t length, int32_t textLength,
                       int32_t selectionLength) {
    int32_t count = 0;
    while (count < length) {
        auto c = static_cast<unsigned char>(text[count]);
        if (c < 32 && c != '\t') break;
        if (c == 127) break;
        ++count;
    }
    int32_t room = kListCellTextMax - (textLength - selectionLength);
    return std::clamp(count, 0, std::max(room, 0));
}
