// Fonts and text on GDI. Families are numbered in the order the system
// reports them on the display; fonts come from the cache, made from
// LogFontFor; text is drawn at the pen with the current position updated
// and the pen read back.
#include "toolbox/ui/gditext_win32.h"

#include <cstring>
#include <vector>

#include "toolbox/ui/colour.h"
#include "toolbox/ui/drawcounters.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/fontcache.h"
#include "toolbox/ui/fontlist.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/gdiobjects_win32.h"
#include "toolbox/ui/logfont.h"
#include "toolbox/ui/textmeasure.h"
#include "toolbox/ui/transfermode.h"
#include "toolbox/ui/xdlg.h"

namespace {
constexpr BYTE kSwissVariable = 34; // VARIABLE_PITCH | FF_SWISS
constexpr BYTE kModernFixed = 49;   // FIXED_PITCH | FF_MODERN
constexpr LONG kBoldAbove = 550;
constexpr int32_t kScreenResolution = 96;

bool g_enumerated = false;
bool g_initialised = false;
FontInfo g_menuFont{};
bool g_menuFontRead = false;

LOGFONTA NativeLogFont(const LogFontSpec& spec) {
    LOGFONTA font{};
    font.lfHeight = spec.height;
    font.lfEscapement = spec.escapement;
    font.lfOrientation = spec.orientation;
    font.lfWeight = spec.weight;
    font.lfItalic = spec.italic;
    font.lfUnderline = spec.underline;
    font.lfCharSet = DEFAULT_CHARSET;
    std::memcpy(font.lfFaceName, spec.faceName, sizeof font.lfFaceName);
    return font;
}

void* MakeFont(const FontKey* key) {
    LOGFONTA font =
        NativeLogFont(LogFontFor(key->number, key->size, key->face, 0, key->resolution));
    HFONT made = CreateFontIndirectA(&font);
    if (made) ++DrawingCounters().fontsCreated;
    return made;
}
void DestroyFont(void* font) {
    DeleteObject(static_cast<HFONT>(font));
}

int32_t GdiWidth(void*, const char* text, int32_t count) {
    return MeasureTextWidth(text, count, false);
}

// A family the system reports again (for another character set) keeps its
// first number.
int CALLBACK AddFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD type, LPARAM) {
    for (int32_t i = 0; i < FontCount(); ++i) {
        char name[kFontNameCapacity];
        if (std::strcmp(FontNameAt(i, name, sizeof name), font->lfFaceName) == 0) return 1;
    }
    FontListAppend(font->lfFaceName, !(type & (RASTER_FONTTYPE | DEVICE_FONTTYPE)));
    return 1;
}

// The face GDI picks for a zero-height font of the pitch and family.
void ChosenFace(BYTE pitchAndFamily, char* out) {
    BYTE precision = CurrentDrawing.oldSystem ? OUT_TT_PRECIS : OUT_TT_ONLY_PRECIS;
    HFONT font = CreateFontA(0, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, precision, 0, 0,
                             pitchAndFamily, nullptr);
    HDC dc = SharedMemoryDC();
    HGDIOBJ before = SelectObject(dc, font);
    out[0] = 0;
    GetTextFaceA(dc, kFontNameCapacity, out);
    SelectObject(dc, before);
    DeleteObject(font);
}

FontInfo InfoOfLogFont(const LOGFONTA& font, HDC dc) {
    FontInfo info{};
    info.number = FontNumberFromName(font.lfFaceName);
    if (!info.number) info.number = kSystemFontNumber;
    if (font.lfHeight < 0) {
        info.size = int16_t(-font.lfHeight * kPointsPerInch / kScreenResolution);
    } else {
        TEXTMETRICA metrics{};
        HFONT made = CreateFontIndirectA(&font);
        HGDIOBJ before = SelectObject(dc, made);
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, before);
        DeleteObject(made);
        info.size = int16_t(metrics.tmHeight - metrics.tmInternalLeading);
    }
    if (font.lfWeight > kBoldAbove) info.face |= kFaceBold;
    if (font.lfItalic) info.face |= kFaceItalic;
    if (font.lfUnderline) info.face |= kFaceUnderline;
    return info;
}

// Runs `use` on the shared memory context with the current state's font
// selected (for a state that holds no device context).
template <typename Use> void WithStateFontOnShared(Use use) {
    const DrawingSettings& s = CurrentState()->settings;
    HFONT font = static_cast<HFONT>(
        FontCreateCached(s.fontNumber, s.pointSize, s.faceStyle, s.textResolution));
    HDC shared = SharedMemoryDC();
    HGDIOBJ before = SelectObject(shared, font);
    use(shared);
    SelectObject(shared, before);
    ReleaseCachedFont(font);
}

// The font for the state's settings, outside the cache when rotated.
HFONT FontForSettings(const DrawingSettings& s) {
    int32_t degrees = WholeDegrees(s.textAngle);
    if (degrees == 0)
        return static_cast<HFONT>(
            FontCreateCached(s.fontNumber, s.pointSize, s.faceStyle, s.textResolution));
    LOGFONTA font = NativeLogFont(
        LogFontFor(s.fontNumber, s.pointSize, s.faceStyle, s.textAngle, s.textResolution));
    HFONT made = CreateFontIndirectA(&font);
    if (made) ++DrawingCounters().fontsCreated;
    return made;
}
} // namespace

void InstallGdiTextServices() {
    TextMeasurer measurer{nullptr, &GdiWidth};
    SetTextMeasurer(&measurer);
    FontMaker maker{&MakeFont, &DestroyFont};
    SetFontMaker(&maker);
    SetTemplateFontLookup(&FontNumberFromName);
}

void FontEnumerate() {
    if (g_enumerated) return;
    g_enumerated = true;
    FontListReset();
    HDC info = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    EnumFontFamiliesA(info ? info : SharedMemoryDC(), nullptr, &AddFamily, 0);
    if (info) DeleteDC(info);
    FontListSort();
    char face[kFontNameCapacity];
    ChosenFace(kSwissVariable, face);
    SetSystemFaceName(face);
    SetApplicationFaceName(FontNumberFromName("Microsoft Sans Serif") ? "Microsoft Sans Serif"
                                                                      : "MS Sans Serif");
    SetApplicationFaceStyle(kApplicationFaceSize, 0);
}

void FontsInitialise() {
    if (g_initialised) return;
    g_initialised = true;
    FontEnumerate();
    char face[kFontNameCapacity];
    ChosenFace(kModernFixed, face);
    SetFixedFaceName(face);
}

void ApplyStateFont(DrawingState* state) {
    DrawingApplied& a = state->applied;
    const DrawingSettings& s = state->settings;
    bool same = a.font && a.fontNumber == s.fontNumber && a.pointSize == s.pointSize &&
                a.face == s.faceStyle && a.textAngle == s.textAngle;
    HDC dc = StateDC(state);
    if (same) {
        if (state->dirty & kStateDirtyFont) SelectObject(dc, a.font);
        state->dirty &= ~kStateDirtyFont;
        return;
    }
    HFONT font = FontForSettings(s);
    if (!font) return;
    SelectObject(dc, font);
    if (a.font) ReleaseCachedFont(a.font);
    a.font = font;
    a.fontNumber = s.fontNumber;
    a.pointSize = s.pointSize;
    a.face = s.faceStyle;
    a.textAngle = s.textAngle;
    a.angleDegrees = int16_t(WholeDegrees(s.textAngle));
    state->dirty &= ~kStateDirtyFont;
}

int32_t MeasureTextWidth(const char* text, int32_t count, bool scaled) {
    if (count & kCountToNul) count = int32_t(std::strlen(text));
    if (count <= 0) return 0;
    DrawingState* state = CurrentState();
    SIZE size{};
    HDC dc = static_cast<HDC>(PreparePortDC(state, false, kStateDirtyFont));
    if (dc)
        GetTextExtentPoint32A(dc, text, count, &size);
    else
        WithStateFontOnShared(
            [&](HDC shared) { GetTextExtentPoint32A(shared, text, count, &size); });
    return scaled ? TextWidthAtPortScale(size.cx) : size.cx;
}

void MeasureTextFit(const char* text, int32_t count, int32_t* widths, bool scaled) {
    if (count & kCountToNul) count = int32_t(std::strlen(text));
    if (count <= 0) return;
    std::vector<INT> prefix(size_t(count), 0);
    SIZE size{};
    HDC dc = static_cast<HDC>(PreparePortDC(CurrentState(), false, kStateDirtyFont));
    if (dc)
        GetTextExtentExPointA(dc, text, count, 0, nullptr, prefix.data(), &size);
    else
        WithStateFontOnShared([&](HDC shared) {
            GetTextExtentExPointA(shared, text, count, 0, nullptr, prefix.data(), &size);
        });
    for (int32_t i = 0; i < count; ++i)
        widths[i] = scaled ? TextWidthAtPortScale(prefix[size_t(i)]) : prefix[size_t(i)];
}

int32_t MeasureCharWidth(char character, bool scaled) {
    return MeasureTextWidth(&character, 1, scaled);
}

void GetStateFontMetrics(FontMetricsRecord* out) {
    TEXTMETRICA metrics{};
    HDC dc = static_cast<HDC>(PreparePortDC(CurrentState(), false, kStateDirtyFont));
    if (dc) {
        GetTextMetricsA(dc, &metrics);
    } else {
        WithStateFontOnShared([&](HDC shared) { GetTextMetricsA(shared, &metrics); });
    }
    *out = FontMetricsRecord{int16_t(metrics.tmAscent), int16_t(metrics.tmDescent),
                             int16_t(metrics.tmMaxCharWidth), int16_t(metrics.tmExternalLeading),
                             int16_t(metrics.tmInternalLeading)};
}

void FontMetricsFor(int16_t number, int16_t size, uint16_t face, FontMetricsRecord* out) {
    DrawingSettings saved = CurrentState()->settings;
    SetTextFontNumber(number);
    SetTextPointSize(size);
    SetTextFaceStyle(uint8_t(face));
    GetStateFontMetrics(out);
    SetTextFontNumber(saved.fontNumber);
    SetTextPointSize(saved.pointSize);
    SetTextFaceStyle(saved.faceStyle);
}

bool FontInfoOfGdiFont(HFONT font, FontInfo* out) {
    LOGFONTA logFont{};
    if (!GetObjectA(font, sizeof logFont, &logFont)) return false;
    *out = InfoOfLogFont(logFont, SharedMemoryDC());
    return true;
}

FontInfo MenuFontInfo(bool refresh) {
    if (g_menuFontRead && !refresh) return g_menuFont;
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        g_menuFont = InfoOfLogFont(metrics.lfMenuFont, SharedMemoryDC());
        g_menuFontRead = true;
    }
    return g_menuFont;
}
