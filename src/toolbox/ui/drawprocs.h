// The drawing interface: the 18-slot procedure table of a port, the 16
// primitive entries of a state, the standard procedures and the calls the
// application draws through.
//
// The standard procedures hand a call to the picture the current port
// records, convert a scaled port's coordinates to device units, and call
// the current state's primitive (the plain GDI primitives when the state
// has no table). With no current port the standard table and the current
// state are used, so a free-standing state can be drawn on before any
// window exists.
#pragma once
#include <cstdint>

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/rect.h"
#include "toolbox/core/rect16ops.h"

struct RegionRecord;
struct WindowObject;
struct DrawingState;

constexpr int32_t kCountNulFlag = 0x8000;
constexpr int32_t kRegionVerbLast = 3; // the region primitive ignores verbs above

struct DrawingProcTable {
    void (*text)(const char* chars, int32_t count);
    void (*lineTo)(int32_t h, int32_t v);
    void (*rect)(const Rect16* rect, int32_t verb);
    void (*oval)(const Rect16* rect, int32_t verb);
    void (*roundRect)(const Rect16* rect, int16_t cornerWidth, int16_t cornerHeight, int32_t verb);
    void (*arc)(const Rect16* rect, int16_t startAngle, int16_t arcAngle, int32_t verb);
    void (*polygon)(const Point16* points, int32_t count, int32_t verb);
    void (*region)(const RegionRecord* region, int32_t verb);
    void (*bits)(void* bitmap, const Rect16* source, const Rect16* destination, int32_t mode);
    void (*centredLineTo)(int32_t h, int32_t v, int32_t value);
    void (*text32)(const char* chars, int32_t count);
    void (*lineTo32)(int32_t h, int32_t v);
    void (*rect32)(const Rect32* rect, int32_t verb);
    void (*oval32)(const Rect32* rect, int32_t verb);
    void (*arc32)(const Rect32* rect, int32_t startAngle, int32_t arcAngle, int32_t verb);
    void (*polygon32)(const Point32* points, const int32_t* values, int32_t count, int32_t verb);
    void (*rotatedRect)(Point32 centre, Point32 size, int32_t corner, int32_t rotation,
                        int32_t verb);
    void (*rotatedArc)(Point32 centre, Point32 size, int32_t startAngle, int32_t arcAngle,
                       int32_t rotation, int32_t verb);
};

// Primitive entries act on the current state; shape entries take the verb
// first. Arc angles: tenths of a degree (32-bit) or degrees (16-bit).
struct DrawingPrimitiveTable {
    void (*text)(int32_t count, const char* chars, Point32 numerator, Point32 denominator);
    void (*lineTo)(int32_t h, int32_t v);
    void (*lineToPacked)(uint32_t packed); // v low half, h high half; hanging pen
    void (*rect32)(int32_t verb, const Rect32* rect);
    void (*rect16)(int32_t verb, const Rect16* rect);
    void (*roundRect32)(int32_t verb, const Rect32* rect, int32_t cornerWidth,
                        int32_t cornerHeight);
    void (*roundRect16)(int32_t verb, const Rect16* rect, int16_t cornerWidth,
                        int16_t cornerHeight);
    void (*oval32)(int32_t verb, const Rect32* rect);
    void (*oval16)(int32_t verb, const Rect16* rect);
    void (*arc32)(int32_t verb, const Rect32* rect, int32_t startTenths, int32_t arcTenths);
    void (*arc16)(int32_t verb, const Rect16* rect, int16_t startDegrees, int16_t arcDegrees);
    void (*polygon32)(int32_t verb, const Point32* points, int32_t count);
    void (*polygonRecord)(int32_t verb, const PolygonRecord* polygon);
    void (*region)(int32_t verb, const RegionRecord* region);
    void (*bits)(void* bitmap, const Rect32* source, const Rect32* destination, int32_t mode);
    void (*prepare)();
};

void FillStandardProcs(DrawingProcTable* table);
// The plain primitives (GDI in the Win32 build; natively they only move
// the pen).
void FillPlainPrimitives(DrawingPrimitiveTable* table);
const DrawingPrimitiveTable& PlainPrimitives();
// The current state's primitives.
const DrawingPrimitiveTable& StatePrimitives();

// The current port (null: none) and making a port current: an offscreen or
// print port makes its own state current, null the default state. The
// previous port is answered.
WindowObject* SetCurrentPort(WindowObject* port);
WindowObject* CurrentPort();
// The current port's scale; false when it is not scaled.
struct PortScale;
bool CurrentPortScale(PortScale* out);
// Only the current port record, nothing focused or made current.
void SetCurrentPortRecord(WindowObject* port);
// The last offscreen or print port made current, when it is alive and
// draws into the state; else null.
WindowObject* RecentPortOfState(const DrawingState* state);
constexpr int32_t kTextScaleFull = 100; // percent
// A width measured in the state's font at the current port's text scale
// (a port scaled on both axes draws text at its text percentages).
int32_t TextWidthAtPortScale(int32_t width);
// Draws the text at the pen with tabs moved to their stops (as
// MeasureTextWithTabs measures); the pen ends after the text.
void DrawTextWithTabs(const char* text, int32_t count, int32_t tabWidth, uint32_t flags);

// The current port's table (the standard one with no port or none set).
const DrawingProcTable& CurrentProcs();

// The drawing interface.
void DrawTextRun(const char* chars, int32_t count);
void DrawLineToPoint(int32_t h, int32_t v);
void DrawLineBy(int32_t dh, int32_t dv);
void DrawCentredLineTo(int32_t h, int32_t v, int32_t value);
void DrawRectShape(const Rect16* rect, int32_t verb);
void DrawOvalShape(const Rect16* rect, int32_t verb);
void DrawRoundRectShape(const Rect16* rect, int16_t cornerWidth, int16_t cornerHeight,
                        int32_t verb);
void DrawArcShape(const Rect16* rect, int16_t startAngle, int16_t arcAngle, int32_t verb);
void DrawPolygonShape(const Point16* points, int32_t count, int32_t verb);
void DrawRegionShape(const RegionRecord* region, int32_t verb);
void CopyBitsThroughPort(void* bitmap, const Rect16* source, const Rect16* destination,
                         int32_t mode);
// Through the state's primitives.
void DrawRectWithVerb(const Rect16* rect, int32_t verb);
void DrawRegionWithVerb(const RegionRecord* region, int32_t verb);
// Paints the rectangle with the pattern in mode 0; the pen is restored.
void FillRectWithPattern(const Rect16* rect, const Pattern8* pattern);
// Along the longer side of the spanned rectangle a grey line and beside it
// a white one; pen and foreground restored.
void DrawEtchedLine(int32_t left, int32_t top, int32_t right, int32_t bottom);

// Aliases of the names the toolbox core knows.
inline void PenLineTo(int32_t h, int32_t v) {
    DrawLineToPoint(h, v);
}
