// Offscreen bitmaps: the bitmap record an offscreen port draws into (a
// monochrome device bitmap at depth 1, a top-down DIB section at every
// other depth), its pixels as a block, RT_BITMAP resources and BMP streams
// decoded into records, and the offscreen ports over them.
//
// Guarantees: a failed make or decode leaves no record behind; a record is
// attached to at most one port and a port holds at most one record; pixels
// written with more bytes than the bitmap holds change nothing.
#pragma once
#include <cstdint>

#include "toolbox/core/bmpread.h"
#include "toolbox/core/drawingstate.h"
#include "toolbox/core/heap.h"

struct WindowObject;

struct BitmapRecord {
    int16_t height;
    int16_t width;
    WindowObject* port; // the offscreen port it is attached to, or null
    void* bitmap;       // the GDI bitmap
    void* bits;         // the DIB section's pixels; null for depth 1
    int16_t depth;
};

// The record of an offscreen port: the drawing state first, so the port's
// state is its record.
struct OffscreenPort {
    DrawingState state;
    BitmapRecord* bitmap;
};

// Depth 0 is the display's (32 read as 24); the bitmap starts white. Null
// when the record or the bitmap cannot be made.
BitmapRecord* NewBitmapRecord(HeapPool* heap, int32_t width, int32_t height, int32_t depth,
                              bool standardColours);
void DisposeBitmapRecord(BitmapRecord* bitmap);
// A new pointer block of row bytes x height holding the pixels; null when
// out of memory.
void* CopyBitmapBits(HeapPool* heap, const BitmapRecord* bitmap);
// Ignored when length exceeds row bytes x height.
void SetBitmapRecordBits(BitmapRecord* bitmap, const void* data, int32_t length);

// Decodes a BMP read through the procedure (with its 14-byte file header
// when fileHeader is set) into *out; resolution, when given, receives the
// horizontal and vertical dots per inch. 0 or an error code; on an error
// *out is null.
int32_t DecodeBitmapStream(BmpReadProc read, void* user, bool fileHeader, int16_t* resolution,
                           BitmapRecord** out);
// The RT_BITMAP resource of the program, or null.
BitmapRecord* BitmapFromResource(int32_t resourceId);

// A type-1 window object over a new drawing state bound to the bitmap
// (which may be null); null when out of memory.
WindowObject* NewOffscreenPort(BitmapRecord* bitmap, uint32_t flags, void* userData);
// The bitmap attached before (null when none); only for offscreen ports
// (else null and nothing changes).
BitmapRecord* AttachBitmapToPort(WindowObject* port, BitmapRecord* bitmap);
// The bitmap of an offscreen port; null for other ports.
BitmapRecord* PortBitmap(const WindowObject* port);
// Detaches the port's bitmap and frees its drawing state (window disposal).
void DisposeOffscreenState(WindowObject* port);
