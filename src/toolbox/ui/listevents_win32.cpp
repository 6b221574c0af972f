// The list view's event callback: the previous callback first, then
// update drawing, geometry on resizing, the window's scroll events as row
// steps, mouse selection with tracking, keys (moves, typed selection and
// the keys of an edited cell) and the owner's notification.
//
// Guarantees: a click in any list starts typed selection afresh; a
// callback that disposes the window ends the handling at once; an edit
// that cannot end keeps the edited cell.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "toolbox/core/inputmessage.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/shellcommands.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/ticks.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowrects.h"
#include "toolbox/ui/listscroll.h"
#include "toolbox/ui/listviewparts.h"
#include "toolbox/ui/scrollsteps.h"
#include "toolbox/ui/textrecord.h"
#include "toolbox/ui/textscrap.h"

namespace {

constexpr uint8_t kEventShift = 1;
constexpr int32_t kNavigationKeys[] = {kListKeyTab,  kListKeyBackTab, kListKeyReturn, kListKeyUp,
                                       kListKeyDown, kListKeyHome,    kListKeyEnd};
constexpr int32_t kEditMoveTriesMax = 10000;
constexpr DWORD kTrackPauseMs = 10;
constexpr uint32_t kAutoScrollPassTicks = 3;
// The Edit menu itself, enabled while a cell is edited.
constexpr uint32_t kListEditMenu = 300;
constexpr int32_t kListMsgPaste = 13;
constexpr int32_t kListPasteHandled = 1;
// The item number in an item event's item word (the kind above it).
constexpr uint32_t kDialogItemNumberMask = 0xFFFF;

// Characters a cell takes from a paste: printable, tabs and above 127.
bool CellCharacter(char c) {
    auto u = static_cast<unsigned char>(c);
    return u == '\t' || (u >= 32 && u != 127);
}

bool Alive(WindowObject* window, int32_t id) {
    return WindowObjectFromId(id) == window;
}

bool Inside(const Rect16& r, Point16 p) {
    return p.v >= r.top && p.v < r.bottom && p.h >= r.left && p.h < r.right;
}

void Notify(ListView* view, bool doubleClick) {
    if (!view->previous) return;
    WindowEvent event{};
    event.type = kWindowEventControl;
    event.control.value = kListNotifyValue;
    event.control.controlValue = doubleClick ? 1 : 0;
    view->previous(view->window, &event);
}

// The mouse in the window's content coordinates; false without a window.
bool MouseInWindow(ListView* view, Point16* out) {
    auto* port = static_cast<PortRecord*>(view->window->port);
    HWND hwnd =
        port ? NativeWindowOf(static_cast<NativeWindowRecord*>(port->nativeWindow)) : nullptr;
    POINT p;
    if (!hwnd || !GetCursorPos(&p)) return false;
    ScreenToClient(hwnd, &p);
    // The window's own coordinates (a child pane's start at its surface).
    auto* list = static_cast<const SurfaceList*>(view->window->surfaceList);
    Point32 local = list ? PanePointToSurface(view->window, list, p.y, p.x) : Point32{p.y, p.x};
    *out = Point16{int16_t(local.v), int16_t(local.h)};
    return true;
}

void SelectRange(ListView* view, int32_t anchor, int32_t pointer, bool toggle, bool state) {
    int32_t lo = std::min(anchor, pointer), hi = std::max(anchor, pointer);
    ListRecord* list = &view->model;
    for (int32_t row = 0; row < list->rowCount; ++row) {
        bool in = row >= lo && row <= hi;
        if (in)
            SetListRowSelected(list, row, toggle ? state : true);
        else if (!toggle && ListRowSelected(list, row))
            SetListRowSelected(list, row, false);
    }
}

int32_t RowOfPoint(ListView* view, Point16 p, bool* beyond) {
    uint32_t at = ListRowAtPoint(&view->model, p.v - RowWindowContent(view->window).top);
    *beyond = (at & kListRowBeyond) != 0;
    return int32_t(at & ~kListRowBeyond);
}

// Steps 4 to 8 of a click: the selection modes and the tracking.
void TrackSelection(ListView* view, const WindowEvent* event, int32_t row, bool beyond,
                    int32_t answer, bool doubleClick) {
    ListRecord* list = &view->model;
    int32_t id = view->window->sequence;
    WindowObject* window = view->window;
    bool multi = list->options & kListMultiSelect;
    bool shift = event->mouse.shift, control = event->mouse.control;
    bool toggle = multi && control && !shift;
    bool extend = multi && shift;
    if (answer & kListClickDrag) {
        toggle = true;
        view->dragRow = row;
    }
    std::vector<int32_t> selectedBefore = ListSelectedRows(view);
    ListSelectionSnapshot shown = ListSnapSelection(view);
    int32_t dropRow = row; // where the pointer row ends
    if (!toggle && !extend && !(beyond && (list->options & kListKeepOnClickBelow)))
        SetListRowSelected(list, -1, false);
    if (!multi && !toggle && !extend && list->selectedCount > 0)
        for (int32_t r = NextSelectedRow(list, 0); r >= 0; r = NextSelectedRow(list, r + 1))
            SetListRowSelected(list, r, false);
    if (list->rowCount > 0 && !(beyond && (list->options & kListKeepOnClickBelow))) {
        int32_t anchor = row;
        if (extend && list->selectedCount > 0) {
            int32_t first = NextSelectedRow(list, 0), last = first;
            for (int32_t r = first; r >= 0; r = NextSelectedRow(list, r + 1))
                last = r;
            anchor = std::abs(row - first) > std::abs(row - last) ? first : last;
        }
        bool state = !ListRowSelected(list, row);
        bool ranged = extend || (multi && (list->options & kListDragSelect));
        int32_t pointer = row;
        if (multi && (ranged || toggle))
            SelectRange(view, anchor, pointer, toggle, state);
        else
            SetListRowSelected(list, row, true);
        ListShowSelection(view, shown);
        while (PollMouseStillDown(0) && Alive(window, id)) {
            Point16 mouse;
            if (!MouseInWindow(view, &mouse)) break;
            Rect16 content = RowWindowContent(window);
            uint32_t passStart = GetTicks();
            bool scrolled = mouse.v < content.top || mouse.v >= content.bottom;
            if (mouse.v < content.top)
                ListScroll(window, kStepRowUp, 0);
            else if (mouse.v >= content.bottom)
                ListScroll(window, kStepRowDown, 0);
            // A pass that scrolled lasts at least kAutoScrollPassTicks.
            while (scrolled && TicksSince(passStart) < kAutoScrollPassTicks)
                Sleep(kTrackPauseMs);
            bool out;
            int32_t under = RowOfPoint(view, mouse, &out);
            if (under == pointer) {
                Sleep(kTrackPauseMs);
                continue;
            }
            pointer += under > pointer ? 1 : -1;
            shown = ListSnapSelection(view);
            if (!multi || !(ranged || toggle)) {
                anchor = pointer;
                SelectRange(view, pointer, pointer, false, true);
            } else {
                SelectRange(view, anchor, pointer, toggle, state);
            }
            ListShowSelection(view, shown);
        }
        dropRow = pointer;
    } else {
        ListShowSelection(view, shown);
    }
    if (!Alive(window, id)) return;
    bool anyChange = ListSelectedRows(view) != selectedBefore;
    if (view->dragRow >= 0) {
        ListParams params{};
        params.row = view->dragRow;
        params.targetRow = dropRow;
        int32_t flags = ListAsk(view, kListMsgDropRow, &params);
        view->dragRow = -1;
        if (!Alive(window, id)) return;
        if (flags & (kListDropRedraw | kListDropRedrawNow))
            for (int32_t r = std::min(params.row, dropRow); r <= std::max(params.row, dropRow);
                 ++r) {
                if (flags & kListDropRedrawNow)
                    RedrawListRow(window, r);
                else
                    InvalidateListRow(window, r);
            }
    }
    if (anyChange || doubleClick) Notify(view, doubleClick);
}

int32_t Click(ListView* view, WindowEvent* event, bool doubleClick) {
    ListResetTypeSelect();
    ListRecord* list = &view->model;
    Point16 p = event->mouse.point;
    uint16_t modifiers = event->mouse.shift ? kModShift : 0;
    if (list->editRow >= 0 && view->editText &&
        Inside(ListCellRect(view, list->editRow, list->editPart), p)) {
        ListParams params{};
        params.row = list->editRow;
        params.part = list->editPart;
        params.event = event;
        int32_t answer = ListAsk(view, kListMsgEditClick, &params);
        if (answer & kListClickHandled) return 1;
        if (!(answer & kListClickTrack)) {
            TextClick(p, modifiers, false, view->editText);
            return 1;
        }
    }
    bool beyond = false;
    int32_t row = list->rowCount > 0 ? RowOfPoint(view, p, &beyond) : -1;
    ListParams params{};
    params.row = row;
    params.event = event;
    params.rect = ListRowRect(view, row);
    int32_t answer = ListAsk(view, kListMsgMouseDown, &params);
    if (answer & kListClickHandled) return 1;
    if (answer & kListClickNotifyOnly) {
        Notify(view, doubleClick);
        return 1;
    }
    if ((list->options & kListEditCells) && params.part > 0 && row >= 0 && !beyond) {
        if (row == list->editRow && params.part == list->editPart) {
            TextClick(p, modifiers, false, view->editText);
            return 1;
        }
        if (!(answer & kListClickKeep)) SetListRowSelected(list, -1, false);
        if (!SetListEditCell(view->window, row, params.part)) return 1;
        if (view->editText) TextClick(p, modifiers, false, view->editText);
        if (!(answer & kListClickTrack)) return 1;
    }
    TrackSelection(view, event, row, beyond, answer, doubleClick);
    return 1;
}

void TellTextChanged(ListView* view) {
    ListParams changed{};
    changed.row = view->model.editRow;
    changed.part = view->model.editPart;
    changed.editText = view->editText;
    ListAsk(view, kListMsgTextChanged, &changed);
}

bool IsNavigationKey(int32_t key) {
    return std::find(std::begin(kNavigationKeys), std::end(kNavigationKeys), key) !=
           std::end(kNavigationKeys);
}

void EditKey(ListView* view, WindowEvent* event, int32_t key) {
    ListRecord* list = &view->model;
    bool navigation = IsNavigationKey(key);
    ListParams params{};
    params.row = list->editRow;
    params.part = list->editPart;
    params.event = event;
    int32_t answer = ListAsk(view, navigation ? kListMsgEditMoveKey : kListMsgEditKey, &params);
    if (answer & kListKeyHandled) {
        if (answer & kListKeyBeep) MessageBeep(0);
        return;
    }
    if (navigation && !(answer & kListKeyAsText)) {
        int32_t parts = std::max<int32_t>(answer & kListKeyPartsMask, list->editPart);
        int32_t row = list->editRow, part = list->editPart;
        for (int32_t tries = 0; tries < kEditMoveTriesMax; ++tries) {
            if (!ListNextEditCell(list, key, parts, &row, &part)) return;
            ListParams candidate{};
            candidate.row = row;
            candidate.part = part;
            if (!(ListAsk(view, kListMsgMoveCell, &candidate) & kListResultMoveAgain)) break;
        }
        SetListEditCell(view->window, row, part);
        return;
    }
    if (!view->editText) return;
    int32_t length = view->editText->length;
    std::vector<char> before(view->editText->text.begin(), view->editText->text.begin() + length);
    TextRecordKey(key, view->editText);
    TextRecord* text = view->editText;
    if (text->length != length || !std::equal(before.begin(), before.end(), text->text.begin()))
        TellTextChanged(view);
}

// Cut, copy, paste and delete on the edited cell; false for other commands
// or without an edited cell.
bool EditCommand(ListView* view, uint32_t command) {
    TextRecord* text = view->editText;
    if (view->model.editRow < 0 || !text) return false;
    switch (command) {
    case kCommandCut:
        TextRecordCut(text);
        break;
    case kCommandCopy:
        TextRecordCopy(text);
        return true;
    case kCommandPaste: {
        ListParams params{};
        params.row = view->model.editRow;
        params.part = view->model.editPart;
        params.editText = text;
        if (!(ListAsk(view, kListMsgPaste, &params) & kListPasteHandled))
            TextRecordPasteFiltered(text, kListCellTextMax, &CellCharacter);
        break;
    }
    case kCommandClear:
        TextRecordDelete(text);
        break;
    default:
        return false;
    }
    TellTextChanged(view);
    return true;
}

void Key(ListView* view, WindowEvent* event) {
    ListRecord* list = &view->model;
    int32_t key = event->key.character;
    bool shift = event->key.modifiers & kEventShift;
    if (list->editRow >= 0) {
        EditKey(view, event, key);
        return;
    }
    ListParams params{};
    params.event = event;
    int32_t answer = ListAsk(view, kListMsgKey, &params);
    if (answer & kListKeyHandled) {
        if (answer & kListKeyBeep) MessageBeep(0);
        return;
    }
    int32_t target = -1;
    ListSelectionSnapshot shown = ListSnapSelection(view);
    std::vector<int32_t> selectedBefore = ListSelectedRows(view);
    if (ListKeyTarget(list, key) >= 0) {
        target = ListKeyTarget(list, key);
        ListKeyMove(list, key, shift);
    } else if (key >= kTextKeyFirstPrintable && key <= kTextKeyLastPrintable) {
        target = ListTypeSelect(list, char(key), shift);
        if (target == kTypeSelectOutside) MessageBeep(0);
    }
    ListShowSelection(view, shown);
    bool changed = ListSelectedRows(view) != selectedBefore;
    if (target >= 0) ScrollListToRow(view->window, target, false);
    if (changed) Notify(view, false);
}

} // namespace

bool ListMenuEnable(CommandQuery* query) {
    ListView* view = ListViewOf(query->window);
    if (!view) return false;
    if (view->previousMenuEnable && view->previousMenuEnable(query)) return true;
    TextRecord* text = view->editText;
    if (view->model.editRow < 0 || !text) return false;
    bool selection = text->selStart != text->selEnd;
    switch (query->command) {
    case kListEditMenu:
        query->enabled = 1;
        return true;
    case kCommandPaste:
        query->enabled = ClipboardTextLength() > 0;
        return true;
    case kCommandCut:
    case kCommandCopy:
    case kCommandClear:
        query->enabled = selection;
        return true;
    default:
        return false;
    }
}

bool ListActiveCellFromEvent(const WindowEvent* event, int32_t value, int32_t keyValue,
                             WindowObject* window, int32_t part, int32_t keyPart) {
    ListView* view = ListViewOf(window);
    if (!event || !view || view->model.rowCount == 0) return false;
    if (event->type == kWindowEventKey) {
        if (int32_t(event->key.character) != keyValue) return false;
        return SetListEditCell(window, view->model.rowCount - 1, keyPart);
    }
    if (event->type != kWindowEventDialogItem && event->type != kWindowEventControl) return false;
    if (int32_t(event->control.item & kDialogItemNumberMask) != value) return false;
    return SetListEditCell(window, 0, part);
}

int32_t ListHandleEvent(WindowObject* window, WindowEvent* event) {
    ListView* view = ListViewOf(window);
    if (!view) return 0;
    int32_t id = window->sequence;
    int32_t answer = view->previous ? view->previous(window, event) : 0;
    if (!Alive(window, id)) return answer;
    switch (event->type) {
    case kWindowEventUpdate:
        ListDrawArea(view, event->update.rect);
        return 1;
    case kWindowEventResize:
        ListUpdateGeometry(view);
        return answer;
    case kWindowEventScroll:
        if (event->scroll.bar != 0) return answer;
        ListScroll(window, ScrollStepFromEvent(kScrollEventFirst + event->scroll.action),
                   event->scroll.newValue);
        return 1;
    case kWindowEventScrollTo:
        ListScroll(window, kStepToRow,
                   event->scrollTo.v / std::max<int32_t>(view->model.rowHeight, 1));
        return 1;
    case kWindowEventMouseDown:
    case kWindowEventDoubleClick:
        return Click(view, event, event->type == kWindowEventDoubleClick);
    case kWindowEventKey:
        Key(view, event);
        return 1;
    case kWindowEventCommand:
        return EditCommand(view, uint16_t(event->command.command)) ? 1 : answer;
    case kWindowEventFocus:
        // A focus move away is refused while the edit cannot end.
        if (!event->focus.gains && view->model.editRow >= 0 && !SetListEditCell(window, -1, 0))
            event->focus.refuse = 1;
        return answer;
    case kWindowEventDispose:
        ListDisposeView(window, view);
        return answer;
    default:
        return answer;
    }
}
