// The edit-text field over a text record. Focus selects everything and
// starts the caret task (half the caret blink time in ticks of 17 ms);
// losing it stops the task, switches the caret off and scrolls back to the
// selection start. Sets and gets check sizes before touching anything.
// The field's state is the control's data word; the control's bounds,
// visibility and activity are read from the control record.
#include "toolbox/core/edittextdef.h"

#include <cstdlib>
#include <cstring>

#include "toolbox/core/edges.h"
#include "toolbox/core/region.h"
#include "toolbox/core/systemtimes.h"
#include "toolbox/core/ticks.h"
#include "toolbox/core/timertask.h"

namespace {

TextRecordProcs g_text{};

constexpr int32_t kFirstSettingDefault = 1;
constexpr int32_t kTextGrowLimit = 1 << 20;

bool Ready() {
    return g_text.newRecord != nullptr;
}

void BlinkTask(TimerTask*, void* userData) {
    auto* data = static_cast<EditTextData*>(userData);
    if (data->text) g_text.blinkCaret(data->text);
}

bool Inside(const Rect16& r, Point16 p) {
    return p.v >= r.top && p.v < r.bottom && p.h >= r.left && p.h < r.right;
}

constexpr uint8_t kVisibleFlag = 1;
constexpr uint8_t kEnabledFlag = 2;
constexpr uint16_t kInactiveHighlight = 255;

bool Visible(const ToolboxControlRecord* control) {
    return (control->flags & kVisibleFlag) != 0;
}
bool Active(const ToolboxControlRecord* control) {
    return (control->flags & kEnabledFlag) && control->highlight != kInactiveHighlight;
}
bool Drawable(const ToolboxControlRecord* control) {
    return Visible(control) && ControlWindowShown(control);
}

void Draw(ToolboxControlRecord* control) {
    EditTextData* data = EditTextDataOf(control);
    bool active = Active(control);
    g_text.fit(data->text, &control->bounds);
    DrawSunkenEdge(&control->bounds, kSunkenEdgeNative);
    int32_t saved = g_text.displaySetting(data->text);
    if (!active) g_text.setDisplaySetting(data->text, kInactiveDisplaySetting);
    g_text.draw(data->text, &control->bounds);
    if (!active) g_text.setDisplaySetting(data->text, saved);
}

int32_t Focus(ToolboxControlRecord* control, intptr_t part) {
    EditTextData* data = EditTextDataOf(control);
    int32_t answer = 0;
    if (part != 0 && !data->focused && Active(control)) {
        g_text.setSelection(data->text, 0, kSelectAllEnd);
        g_text.caret(data->text, true);
        if (!data->caretTimer)
            InstallTimerTask(CaretBlinkTicks() / 2 * kTicksMs, 0, &BlinkTask, data,
                             &data->caretTimer);
        data->focused = 1;
        answer = kEditTextPart;
    } else if (data->focused) {
        if (data->caretTimer) RemoveTimerTask(data->caretTimer);
        data->caretTimer = nullptr;
        g_text.caret(data->text, false);
        int32_t start = 0, end = 0;
        g_text.getSelection(data->text, &start, &end);
        g_text.scrollTo(data->text, start);
        data->focused = 0;
    }
    if (!Visible(control)) g_text.fit(data->text, &control->bounds);
    return answer;
}

int32_t SetData(ToolboxControlRecord* control, ControlDataRequest* request) {
    EditTextData* data = EditTextDataOf(control);
    const char* bytes = static_cast<const char*>(request->data);
    switch (request->tag) {
    case kTagText: {
        g_text.setText(data->text, bytes, request->size);
        int32_t start = 0, end = 0;
        g_text.getSelection(data->text, &start, &end);
        g_text.setSelection(data->text, start < request->size ? start : request->size,
                            request->size);
        break;
    }
    case kTagTextHandle:
        return kControlErrUnknownTag;
    case kTagSelection: {
        if (request->size != 4) return kControlErrWrongSize;
        if (!Active(control) || !data->focused) return 0;
        int16_t range[2];
        std::memcpy(range, bytes, sizeof range);
        g_text.setSelection(data->text, range[0], range[1]);
        break;
    }
    case kTagClear:
    case kTagCopy:
    case kTagCut:
    case kTagInsert:
    case kTagPaste:
        g_text.edit(data->text, request->tag, bytes, request->size);
        break;
    case kTagFont:
        if (request->size != int32_t(sizeof(EditFontBlock))) return kControlErrWrongSize;
        std::memcpy(&data->font, bytes, sizeof data->font);
        g_text.applyFont(data->text, &data->font);
        g_text.setSelection(data->text, 0, 0);
        break;
    case kTagFilter:
        if (request->size != int32_t(sizeof(EditFilterProc))) return kControlErrWrongSize;
        std::memcpy(&data->filter, bytes, sizeof data->filter);
        break;
    default:
        return kControlErrUnknownTag;
    }
    if (Drawable(control)) Draw(control);
    return 0;
}

// Copies at most the buffer of the stored bytes and reports their size.
int32_t GiveData(ControlDataRequest* request, const void* bytes, int32_t size) {
    request->actualSize = size;
    int32_t n = size < request->size ? size : request->size;
    if (n > 0 && request->data) std::memcpy(request->data, bytes, size_t(n));
    return request->size < size ? kControlErrWrongSize : 0;
}

int32_t GetData(ToolboxControlRecord* control, ControlDataRequest* request) {
    EditTextData* data = EditTextDataOf(control);
    switch (request->tag) {
    case kTagText: {
        int32_t length = g_text.getText(data->text, nullptr, 0);
        if (length < 0 || length > kTextGrowLimit) return kControlErrWrongSize;
        char* copy = static_cast<char*>(std::malloc(size_t(length) + 1));
        if (!copy) return kControlErrWrongSize;
        g_text.getText(data->text, copy, length);
        int32_t result = GiveData(request, copy, length);
        std::free(copy);
        return result;
    }
    case kTagSelection: {
        int32_t start = 0, end = 0;
        g_text.getSelection(data->text, &start, &end);
        int16_t range[2] = {int16_t(start), int16_t(end)};
        return GiveData(request, range, sizeof range);
    }
    case kTagFont:
        return GiveData(request, &data->font, sizeof data->font);
    case kTagFilter:
        return GiveData(request, &data->filter, sizeof data->filter);
    case kTagTextHandle:
        return GiveData(request, &data->text, sizeof data->text);
    default:
        return kControlErrUnknownTag;
    }
}

} // namespace

void SetTextRecordProcs(const TextRecordProcs* procs) {
    g_text = procs ? *procs : TextRecordProcs{};
}

EditTextData* EditTextDataOf(const ToolboxControlRecord* control) {
    return control ? reinterpret_cast<EditTextData*>(control->data) : nullptr;
}

namespace {

// A click tracked by the field: the text record takes it as a mouse-down
// record at the point.
int32_t Track(ToolboxControlRecord* control, const ControlTrackRequest* request) {
    EditTextData* data = EditTextDataOf(control);
    if (!Active(control) || !request) return 0;
    OsEventRecord record{};
    record.what = kOsWhatMouseDown;
    record.when = CurrentTicks();
    record.where = request->point;
    record.whereV = request->point.v;
    record.whereH = request->point.h;
    record.modifiers = request->modifiers;
    if (data->filter) {
        int16_t v = record.where.v, h = record.where.h;
        uint16_t modifiers = record.modifiers;
        if (data->filter(control, &v, &h, &modifiers) != kFilterAccepts) return 0;
    }
    g_text.click(data->text, &record);
    return kEditTextPart;
}

} // namespace

int32_t EditTextDefProc(int16_t variant, ToolboxControlRecord* control, int32_t message,
                        intptr_t parameter) {
    if (!control || !Ready()) return 0;
    if (message == kControlInitialise) {
        auto* data = static_cast<EditTextData*>(std::calloc(1, sizeof(EditTextData)));
        if (!data) return 0;
        data->font.firstSetting = kFirstSettingDefault;
        data->text = g_text.newRecord(&control->bounds);
        control->data = reinterpret_cast<intptr_t>(data);
        g_text.applyFont(data->text, &data->font);
        g_text.fit(data->text, &control->bounds);
        g_text.setFeature(data->text, kTextFeatureSingle, true);
        if (variant == kEditTextVariantFeature8)
            g_text.setFeature(data->text, kTextFeatureVariant, true);
        return 0;
    }
    EditTextData* data = EditTextDataOf(control);
    if (!data) return 0;
    switch (message) {
    case kControlDraw:
        if (Drawable(control)) Draw(control);
        return 0;
    case kControlHitTest: {
        Point16 p = UnpackControlPoint(parameter);
        return Visible(control) && Active(control) && Inside(control->bounds, p) ? kEditTextPart
                                                                                 : 0;
    }
    case kControlDispose:
        if (data->caretTimer) RemoveTimerTask(data->caretTimer);
        g_text.dispose(data->text);
        std::free(data);
        control->data = 0;
        return 0;
    case kControlMoved: {
        Rect16 r = GrownRect(control->bounds, kEditTextFocusOutset);
        SetRegionToShortRect(reinterpret_cast<RegionRecord*>(parameter), &r);
        return 0;
    }
    case kControlSized:
        SetRegionEmpty(reinterpret_cast<RegionRecord*>(parameter));
        return 0;
    case kControlKey:
        g_text.key(data->text, ControlKeyCharacter(parameter),
                   (ControlKeyModifiers(parameter) & kEditShiftBit) != 0);
        return kEditTextPart;
    case kControlFocus:
        return Focus(control, parameter);
    case kControlTrack:
        return Track(control, reinterpret_cast<const ControlTrackRequest*>(parameter));
    case kControlIdle:
        if (Visible(control) && Active(control) && data->focused) g_text.blinkCaret(data->text);
        return 0;
    case kControlFeatures:
        return kEditTextFeatures;
    case kControlSetData:
        return SetData(control, reinterpret_cast<ControlDataRequest*>(parameter));
    case kControlGetData:
        return GetData(control, reinterpret_cast<ControlDataRequest*>(parameter));
    case kControlLoseFocus:
        if (parameter == 0 && data->focused) Focus(control, 0);
        return 0;
    default:
        return 0;
    }
}
