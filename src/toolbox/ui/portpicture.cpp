// Recording ports and the picture host. Ports are few, so the recording
// ones are kept in a short list.
#include "toolbox/ui/portpicture.h"

#include <cstring>
#include <vector>

#include "toolbox/ui/colour.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/fontlist.h"
#include "toolbox/ui/textmeasure.h"

namespace {
struct Recording {
    const WindowObject* port;
    PictureRecorder* recorder;
};
std::vector<Recording> g_recording;

int32_t SinkWrite(void* context, const void* bytes, int32_t count) {
    auto* sink = static_cast<PictureStreamSink*>(context);
    return sink->write(sink->context, bytes, count);
}
int32_t HostTextWidth(void*, const char* text, int32_t length) {
    return MeasureRawWidth(text, length);
}
void HostMovePen(void*, int32_t h, int32_t v) {
    MovePenTo(h, v);
}
bool HostFontName(void*, int16_t number, char* name, int32_t capacity) {
    return FontNameFromNumber(number, name, capacity) == 0 && name[0];
}
void HostState(void*, PictureDrawState* out) {
    const DrawingSettings& s = CurrentState()->settings;
    *out = PictureDrawState{};
    out->pen = s.penLocation;
    out->foreground = ColourValueOf(s.foreground);
    out->background = ColourValueOf(s.background);
    std::memcpy(out->pattern, s.penPattern.rows, sizeof out->pattern);
    out->fontNumber = s.fontNumber;
    out->textSize = s.pointSize;
    out->textFace = s.faceStyle;
    out->textMode = s.textMode;
    out->penMode = s.penMode;
    out->penSize = s.penSize;
}
} // namespace

void MakePictureHost(PictureHost* host, PictureStreamSink* sink) {
    *host = PictureHost{sink, &SinkWrite, &HostTextWidth, &HostMovePen, &HostFontName, &HostState};
}

void SetPortPicture(const WindowObject* port, PictureRecorder* recorder) {
    for (size_t i = 0; i < g_recording.size(); ++i) {
        if (g_recording[i].port != port) continue;
        if (recorder)
            g_recording[i].recorder = recorder;
        else
            g_recording.erase(g_recording.begin() + long(i));
        return;
    }
    if (recorder) g_recording.push_back(Recording{port, recorder});
}

PictureRecorder* PortPicture(const WindowObject* port) {
    if (!port) return nullptr;
    for (const Recording& r : g_recording)
        if (r.port == port) return r.recorder;
    return nullptr;
}
