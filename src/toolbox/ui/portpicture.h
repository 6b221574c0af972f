// The picture a port records and the recorder's host over the drawing
// state: the stream goes to the picture's sink, widths come from the text
// measurer, and pen, colours, pattern, font and modes are read from the
// current state.
//
// Guarantees: a port records at most one picture; ending it leaves the port
// drawing again.
#pragma once
#include <cstdint>

#include "toolbox/core/picture.h"

struct WindowObject;

struct PictureStreamSink {
    void* context;
    int32_t (*write)(void* context, const void* bytes, int32_t count);
};

// The host of a recorder whose stream goes to the sink (kept by the
// caller for the recorder's life).
void MakePictureHost(PictureHost* host, PictureStreamSink* sink);
// Starts (recorder) or ends (null) the port's recording.
void SetPortPicture(const WindowObject* port, PictureRecorder* recorder);
PictureRecorder* PortPicture(const WindowObject* port);
