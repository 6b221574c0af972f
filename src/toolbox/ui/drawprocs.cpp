// The standard drawing procedures and the drawing interface. Each standard
// procedure (slots 0 to 9) first hands the call to the picture the current
// port records; otherwise an empty shape draws nothing, a scaled port's
// coordinates become device units with the pen scaled for the call, and
// the current state's primitive draws. Slots 10 to 17 are never recorded.
#include "toolbox/ui/drawprocs.h"

#include <cstring>
#include <vector>

#include "toolbox/core/region.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/core/windowscale.h"
#include "toolbox/ui/drawgeometry.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/gdiplain.h"
#include "toolbox/ui/portfocus.h"
#include "toolbox/ui/portpicture.h"
#include "toolbox/ui/portscale.h"
#include "toolbox/ui/textmeasure.h"

namespace {
// The current port and its sequence number: a port disposed since it was
// made current is no longer answered (records made without a number, as
// tests do, are trusted).
WindowObject* g_portRecord = nullptr;
int32_t g_portSequence = 0;

// The last port other than a window made current, found again when the
// window layer makes its state current.
WindowObject* g_recent = nullptr;
int32_t g_recentSequence = 0;

// The id table's removal count when the port was last found alive.
uint32_t g_portCheckedAt = 0;

WindowObject* LivePort() {
    if (!g_portRecord || !g_portSequence || g_portCheckedAt == WindowIdRemovals())
        return g_portRecord;
    if (WindowObjectFromId(g_portSequence) != g_portRecord) {
        g_portRecord = nullptr;
        g_portSequence = 0;
        return nullptr;
    }
    g_portCheckedAt = WindowIdRemovals();
    return g_portRecord;
}
DrawingProcTable g_standard{};
bool g_standardFilled = false;

PictureRecorder* Recording() {
    return PortPicture(LivePort());
}

// The current port's scale; false when it is not scaled.
bool PortScaleOf(PortScale* out) {
    const WindowObject* port = LivePort();
    if (!port || !(port->flags & kWindowFlagScaled)) return false;
    *out = PortScale{port->horizontalScale, port->verticalScale, kScaleBothAxes, 1, 1};
    bool h = port->horizontalScale != kScaleOne, v = port->verticalScale != kScaleOne;
    if (!h && !v) return false;
    if (!h) out->axes = kScaleOnlyVertical;
    if (!v) out->axes = kScaleOnlyHorizontal;
    return true;
}

uint32_t Packed(Point32 p) {
    return uint32_t(uint16_t(p.v)) | uint32_t(uint16_t(p.h)) << 16;
}

// Scales pen and pen location for one call and puts them back after it.
class ScaledCall {
  public:
    explicit ScaledCall(bool convertPen) {
        scaled_ = PortScaleOf(&scale_);
        if (!scaled_) return;
        DrawingSettings& s = CurrentState()->settings;
        penSize_ = s.penSize;
        s.penSize = ScalePenSize(&scale_, penSize_);
        if (convertPen) ScalePointToDevice(&scale_, &s.penLocation, 1);
        convertPen_ = convertPen;
    }
    ~ScaledCall() {
        if (!scaled_) return;
        DrawingSettings& s = CurrentState()->settings;
        s.penSize = penSize_;
        if (convertPen_) UnscalePoints(&scale_, &s.penLocation, 1);
    }
    bool scaled() const { return scaled_; }
    const PortScale* scale() const { return &scale_; }
    Rect32 Device(const Rect16* rect) const {
        Rect32 r;
        Rect32FromRect(rect, &r);
        ScaleRectToDevice(&scale_, &r);
        return r;
    }
    Point32 Device(int32_t h, int32_t v) const {
        Point32 p{v, h};
        ScalePointToDevice(&scale_, &p, 1);
        return p;
    }

  private:
    PortScale scale_{};
    bool scaled_ = false;
    bool convertPen_ = false;
    int32_t penSize_ = 0;
};

int32_t ResolveCount(const char* chars, int32_t count) {
    return (count & kCountNulFlag) ? int32_t(std::strlen(chars)) : count;
}

// The text scale of the current port (percent per axis): only a port
// scaled on both axes draws text at its text scale.
Point32 PortTextScale() {
    PortScale scale;
    const WindowObject* port = LivePort();
    if (!port || !PortScaleOf(&scale) || scale.axes != kScaleBothAxes)
        return Point32{kTextScaleFull, kTextScaleFull};
    return Point32{port->percentVertical, port->percentHorizontal};
}

void StdText(const char* chars, int32_t count) {
    count = ResolveCount(chars, count);
    if (PictureRecorder* r = Recording()) return PictureRecordText(r, chars, count);
    ScaledCall call(true);
    Point32 denominator{kTextScaleFull, kTextScaleFull};
    StatePrimitives().text(count, chars, PortTextScale(), denominator);
}

void StdLineTo(int32_t h, int32_t v) {
    if (PictureRecorder* r = Recording()) return PictureRecordLine(r, h, v, 0, false);
    {
        ScaledCall call(true);
        Point32 p = call.scaled() ? call.Device(h, v) : Point32{v, h};
        StatePrimitives().lineToPacked(Packed(p));
    }
    MovePenTo(h, v);
}

void StdCentredLineTo(int32_t h, int32_t v, int32_t value) {
    if (PictureRecorder* r = Recording()) return PictureRecordLine(r, h, v, uint8_t(value), true);
    {
        ScaledCall call(true);
        DrawingSettings& s = CurrentState()->settings;
        Point32 end = call.scaled() ? call.Device(h, v) : Point32{v, h};
        int32_t width = s.penSize;
        if (width > 1) {
            int32_t shift = width / 2;
            if (call.scaled() && call.scale()->vFactor > kScaleOne && (width & 1))
                shift -= call.scale()->vFactor / kScaleOne / 2;
            s.penLocation.h -= shift;
            s.penLocation.v -= shift;
            end.h -= shift;
            end.v -= shift;
        }
        // The hanging line moves both ends back down and right.
        StatePrimitives().lineToPacked(Packed(end));
    }
    MovePenTo(h, v);
}

void StdRect(const Rect16* rect, int32_t verb) {
    if (PictureRecorder* r = Recording()) return PictureRecordRect(r, rect, verb);
    if (!rect || RectIsEmpty(rect)) return;
    ScaledCall call(false);
    if (!call.scaled()) return StatePrimitives().rect16(verb, rect);
    Rect32 device = call.Device(rect);
    StatePrimitives().rect32(verb, &device);
}

void StdOval(const Rect16* rect, int32_t verb) {
    if (PictureRecorder* r = Recording()) return PictureRecordOval(r, rect, verb);
    if (!rect || RectIsEmpty(rect)) return;
    ScaledCall call(false);
    if (!call.scaled()) return StatePrimitives().oval16(verb, rect);
    Rect32 device = call.Device(rect);
    StatePrimitives().oval32(verb, &device);
}

void StdRoundRect(const Rect16* rect, int16_t cornerWidth, int16_t cornerHeight, int32_t verb) {
    if (PictureRecorder* r = Recording())
        return PictureRecordRoundRect(r, rect, cornerWidth, cornerHeight, verb);
    if (!rect || RectIsEmpty(rect)) return;
    ScaledCall call(false);
    if (!call.scaled()) return StatePrimitives().roundRect16(verb, rect, cornerWidth, cornerHeight);
    Rect32 device = call.Device(rect);
    Point32 corner = call.Device(cornerWidth, cornerHeight);
    StatePrimitives().roundRect32(verb, &device, corner.h, corner.v);
}

void StdArc(const Rect16* rect, int16_t startAngle, int16_t arcAngle, int32_t verb) {
    if (PictureRecorder* r = Recording())
        return PictureRecordArc(r, rect, startAngle, arcAngle, verb);
    if (!rect || RectIsEmpty(rect)) return;
    ScaledCall call(false);
    if (!call.scaled()) return StatePrimitives().arc16(verb, rect, startAngle, arcAngle);
    Rect32 device = call.Device(rect);
    StatePrimitives().arc32(verb, &device, int32_t(startAngle) * 10, int32_t(arcAngle) * 10);
}

void StdPolygon(const Point16* points, int32_t count, int32_t verb) {
    if (PictureRecorder* r = Recording()) return PictureRecordPolygon(r, points, count, verb);
    if (!points || count < 1) return;
    {
        ScaledCall call(false);
        std::vector<Point32> device(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i)
            device[size_t(i)] = call.scaled() ? call.Device(points[i].h, points[i].v)
                                              : Point32{points[i].v, points[i].h};
        std::vector<uint8_t> storage(size_t(kPolygonHead) + sizeof(Point16) * size_t(count));
        auto* polygon = reinterpret_cast<PolygonRecord*>(storage.data());
        polygon->byteSize = int32_t(storage.size());
        Rect16 bounds;
        SetEmptyBoundsRect(&bounds);
        for (int32_t i = 0; i < count; ++i) {
            Point16 p;
            PointToShort(&device[size_t(i)], &p);
            PolygonPoints(polygon)[i] = p;
            Rect16 one{p.v, p.h, int16_t(p.v + 1), int16_t(p.h + 1)};
            RectUnion(&bounds, &one, &bounds);
        }
        polygon->bounds = bounds;
        StatePrimitives().polygonRecord(verb, polygon);
    }
    if (verb == kVerbFrame) MovePenTo(points[count - 1].h, points[count - 1].v);
}

void StdRegion(const RegionRecord* region, int32_t verb) {
    if (PictureRecorder* r = Recording()) return PictureRecordRegion(r, region, verb);
    if (!region) return;
    PortScale scale;
    if (!PortScaleOf(&scale)) return StatePrimitives().region(verb, region);
    // A scaled port draws a device copy.
    RegionRecord* device = PortRegionToDevice(LivePort(), const_cast<RegionRecord*>(region), false);
    if (!device) return;
    StatePrimitives().region(verb, device);
    DisposeRegion(device);
}

void StdBits(void* bitmap, const Rect16* source, const Rect16* destination, int32_t mode) {
    const DrawingState* state = CurrentState();
    if (!bitmap || !destination || RectIsEmpty(destination)) return;
    if (state->dcKind == kStateDcBitmap && state->target == bitmap) return; // its own port
    ScaledCall call(false);
    Rect32 dst;
    if (call.scaled())
        dst = call.Device(destination);
    else
        Rect32FromRect(destination, &dst);
    Rect32 src;
    if (source) Rect32FromRect(source, &src);
    StatePrimitives().bits(bitmap, source ? &src : nullptr, &dst, mode);
}

void StdText32(const char* chars, int32_t count) {
    StatePrimitives().text(ResolveCount(chars, count), chars, Point32{100, 100}, Point32{100, 100});
}
void StdLineTo32(int32_t h, int32_t v) {
    StatePrimitives().lineTo(h, v);
}
void StdRect32(const Rect32* rect, int32_t verb) {
    if (rect && !Rect32IsEmpty(rect)) StatePrimitives().rect32(verb, rect);
}
void StdOval32(const Rect32* rect, int32_t verb) {
    if (rect && !Rect32IsEmpty(rect)) StatePrimitives().oval32(verb, rect);
}
void StdArc32(const Rect32* rect, int32_t startAngle, int32_t arcAngle, int32_t verb) {
    if (rect && !Rect32IsEmpty(rect)) StatePrimitives().arc32(verb, rect, startAngle, arcAngle);
}
void StdPolygon32(const Point32* points, const int32_t*, int32_t count, int32_t verb) {
    if (points && count >= 2) StatePrimitives().polygon32(verb, points, count);
}
// The rotated shapes draw through GDI directly: a deferred focus is settled
// first.
void SettleForDirectDrawing() {
    if (CurrentState()->procTable == &DeferredFocusPrimitives()) SettleDeferredFocus();
}

void StdRotatedRect(Point32 centre, Point32 size, int32_t corner, int32_t rotation, int32_t verb) {
    SettleForDirectDrawing();
    if (size.h >= 1 && size.v >= 1) PlainRotatedRect(centre, size, corner, rotation, verb);
}
void StdRotatedArc(Point32 centre, Point32 size, int32_t startAngle, int32_t arcAngle,
                   int32_t rotation, int32_t verb) {
    SettleForDirectDrawing();
    if (size.h >= 1 && size.v >= 1)
        PlainRotatedArc(centre, size, startAngle, arcAngle, rotation, verb);
}
} // namespace

void FillStandardProcs(DrawingProcTable* table) {
    *table = DrawingProcTable{
        &StdText,    &StdLineTo, &StdRect,  &StdOval,          &StdRoundRect,   &StdArc,
        &StdPolygon, &StdRegion, &StdBits,  &StdCentredLineTo, &StdText32,      &StdLineTo32,
        &StdRect32,  &StdOval32, &StdArc32, &StdPolygon32,     &StdRotatedRect, &StdRotatedArc};
}

const DrawingPrimitiveTable& PlainPrimitives() {
    static DrawingPrimitiveTable table{};
    static bool filled = false;
    if (!filled) {
        FillPlainPrimitives(&table);
        filled = true;
    }
    return table;
}

const DrawingPrimitiveTable& StatePrimitives() {
    const DrawingState* state = CurrentState();
    return state->procTable ? *static_cast<const DrawingPrimitiveTable*>(state->procTable)
                            : PlainPrimitives();
}

void SetCurrentPortRecord(WindowObject* port) {
    g_portRecord = port;
    g_portSequence = port ? port->sequence : 0;
    g_portCheckedAt = WindowIdRemovals();
}

WindowObject* RecentPortOfState(const DrawingState* state) {
    if (!g_recentSequence || WindowObjectFromId(g_recentSequence) != g_recent) return nullptr;
    return g_recent->port == state ? g_recent : nullptr;
}

WindowObject* SetCurrentPort(WindowObject* port) {
    WindowObject* previous = LivePort();
    SetCurrentPortRecord(port);
    if (port && port->type != kWindowTypeNative) {
        g_recent = port;
        g_recentSequence = port->sequence;
    }
    if (!port)
        MakeStateCurrent(nullptr);
    else if (port->type == kWindowTypeNative)
        FocusWindowPort(port);
    else
        MakeStateCurrent(static_cast<DrawingState*>(port->port));
    return previous;
}

WindowObject* CurrentPort() {
    return LivePort();
}

bool CurrentPortScale(PortScale* out) {
    return PortScaleOf(out);
}

int32_t TextWidthAtPortScale(int32_t width) {
    int32_t percent = PortTextScale().h;
    if (percent == kTextScaleFull || percent <= 0) return width;
    return int32_t(int64_t(width) * percent / kTextScaleFull);
}

void DrawTextWithTabs(const char* text, int32_t count, int32_t tabWidth, uint32_t flags) {
    Point32 start = CurrentState()->settings.penLocation;
    int32_t width =
        WalkTextWithTabs(text, count, tabWidth, flags, [&](const char* run, int32_t n, int32_t x) {
            MovePenTo(start.h + x, start.v);
            DrawTextRun(run, n);
        });
    MovePenTo(start.h + width, start.v);
}

const DrawingProcTable& CurrentProcs() {
    if (!g_standardFilled) {
        FillStandardProcs(&g_standard);
        g_standardFilled = true;
    }
    const WindowObject* port = LivePort();
    if (port && port->drawingProcs)
        return *static_cast<const DrawingProcTable*>(port->drawingProcs);
    return g_standard;
}

void DrawTextRun(const char* chars, int32_t count) {
    CurrentProcs().text(chars, count);
}
void DrawLineToPoint(int32_t h, int32_t v) {
    CurrentProcs().lineTo(h, v);
}
void DrawLineBy(int32_t dh, int32_t dv) {
    const Point32& pen = CurrentState()->settings.penLocation;
    CurrentProcs().lineTo(pen.h + dh, pen.v + dv);
}
void DrawCentredLineTo(int32_t h, int32_t v, int32_t value) {
    CurrentProcs().centredLineTo(h, v, value);
}
void DrawRectShape(const Rect16* rect, int32_t verb) {
    CurrentProcs().rect(rect, verb);
}
void DrawOvalShape(const Rect16* rect, int32_t verb) {
    CurrentProcs().oval(rect, verb);
}
void DrawRoundRectShape(const Rect16* rect, int16_t cornerWidth, int16_t cornerHeight,
                        int32_t verb) {
    CurrentProcs().roundRect(rect, cornerWidth, cornerHeight, verb);
}
void DrawArcShape(const Rect16* rect, int16_t startAngle, int16_t arcAngle, int32_t verb) {
    CurrentProcs().arc(rect, startAngle, arcAngle, verb);
}
void DrawPolygonShape(const Point16* points, int32_t count, int32_t verb) {
    CurrentProcs().polygon(points, count, verb);
}
void DrawRegionShape(const RegionRecord* region, int32_t verb) {
    CurrentProcs().region(region, verb);
}
void CopyBitsThroughPort(void* bitmap, const Rect16* source, const Rect16* destination,
                         int32_t mode) {
    CurrentProcs().bits(bitmap, source, destination, mode);
}

void DrawRectWithVerb(const Rect16* rect, int32_t verb) {
    if (rect && !RectIsEmpty(rect)) StatePrimitives().rect16(verb, rect);
}
void DrawRegionWithVerb(const RegionRecord* region, int32_t verb) {
    if (region) StatePrimitives().region(verb, region);
}

void FillRectWithPattern(const Rect16* rect, const Pattern8* pattern) {
    PenSettings saved;
    SavePenSettings(&saved);
    SetPenPattern(pattern);
    ExchangePenMode(kPenModeCopy);
    DrawRectWithVerb(rect, kVerbPaint);
    RestorePenSettings(&saved);
}

void DrawEtchedLine(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    constexpr uint32_t kEtchGrey = 0x808080, kEtchWhite = 0xFFFFFF;
    PenSettings saved;
    SavePenSettings(&saved);
    uint32_t foreground = GetForegroundColourValue();
    ResetPen();
    bool horizontal = (right - left) >= (bottom - top);
    if (horizontal)
        bottom = top;
    else
        right = left;
    SetForegroundColour(kEtchGrey);
    MovePenTo(left, top);
    DrawLineToPoint(right, bottom);
    SetForegroundColour(kEtchWhite);
    int32_t dh = horizontal ? 0 : 1, dv = horizontal ? 1 : 0;
    MovePenTo(left + dh, top + dv);
    DrawLineToPoint(right + dh, bottom + dv);
    SetForegroundColour(foreground);
    RestorePenSettings(&saved);
}
