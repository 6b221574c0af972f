// The control record shared by the control layer and the control
// definitions: a control of a window standing on a native child window or
// on a definition procedure, the messages a definition procedure answers
// and the requests some of them carry.
//
// Guarantees: a record is valid while its signature is 'cntl' and its self
// pointer is its own address; a definition procedure is always called with
// the record it was created for.
#pragma once
#include <cstdint>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/rect.h"
#include "toolbox/core/reclist.h"

constexpr uint32_t kControlSignature = FourCC("cntl");

// Messages of a control definition procedure.
enum : int32_t {
    kControlDraw = 0,
    kControlHitTest = 1,
    kControlInitialise = 3,
    kControlDispose = 4,
    kControlAction = 8,
    kControlMoved = 10,
    kControlSized = 11,
    kControlTrack = 15,
    kControlFocus = 16,
    kControlKey = 17,
    kControlIdle = 18,
    kControlFeatures = 19,
    kControlSetData = 20,
    kControlGetData = 21,
    kControlLoseFocus = 22,
};

// Results of tag and focus requests.
constexpr int32_t kControlErrUnknownTag = -30581;
constexpr int32_t kControlErrNoFocus = -30582;
constexpr int32_t kControlErrWrongSize = -30591;

// Tags several kinds of control take.
constexpr uint32_t kTagFont = FourCC("font");
constexpr uint32_t kTagText = FourCC("text");

// Definition features (message 19).
constexpr int32_t kFeatureTakesFocus = 4;
constexpr int32_t kFeatureRedrawOnEnable = 0x10;
constexpr int32_t kFeatureTracksItself = 0x20;
constexpr int32_t kFeatureTaggedData = 0x40;

// Called with (control, part) for each step of a tracked part.
typedef void (*ControlActionProc)(ToolboxControlRecord* control, int16_t part);
// The action procedure that means "the definition's own action" (message 8).
inline ControlActionProc DefinitionActionProc() {
    return reinterpret_cast<ControlActionProc>(intptr_t(-1));
}

// Size of a control's text style block (font, size, face, justification).
constexpr int32_t kControlStyleBytes = 24;

struct ToolboxControlRecord {
    ToolboxControlRecord* next;        // next control of the owning window
    void* owner;                       // the owning window's native record
    void* nativeWindow;                // the child window, null when self-drawn
    ControlDefinitionProc definition;  // self-drawn: the definition procedure
    void* savedWindowProc;             // the child window's own procedure
    intptr_t data;                     // self-drawn: the definition's data word
    void* font;                        // the child window's font, null: the system's
    uint16_t highlight;                // 0 none, 10 pressed, 255 inactive, or a part
    uint8_t style[kControlStyleBytes]; // the control's text style block
    Rect16 bounds;                     // in the window's coordinates
    uint32_t signature;                // 'cntl'
    ToolboxControlRecord* self;        // the record's own address
    ControlActionProc action;          // null, a procedure or DefinitionActionProc()
    int32_t reference;                 // the creator's word
    int16_t variant;                   // low four bits of the definition number
    uint8_t flags;                     // 1 visible, 2 enabled, 4 native, 0x10, 0x20
    uint8_t type;                      // control type
    int32_t definitionKind;            // which self-drawn definition
    int32_t minimum, maximum, value;   // self-drawn controls; check boxes' maximum;
                                       // scroll bars' range
    int32_t page;                      // scroll bars' page
};

// The request of message 15: the point (window coordinates), the
// modifiers and the action procedure.
struct ControlTrackRequest {
    Point16 point;
    uint16_t modifiers;
    ControlActionProc action;
};

// A tagged-data request of messages 20 and 21.
struct ControlDataRequest {
    uint32_t tag;
    void* data;
    int32_t size;
    int32_t actualSize; // filled by a get
};

// The parameter of message 1: the point packed v high, h low.
inline intptr_t PackControlPoint(Point16 point) {
    return intptr_t((uint32_t(uint16_t(point.v)) << 16) | uint16_t(point.h));
}
inline Point16 UnpackControlPoint(intptr_t parameter) {
    return Point16{int16_t(uint16_t(uint32_t(parameter) >> 16)), int16_t(uint16_t(parameter))};
}
// The parameter of message 17: modifiers in bits 16-31, the key code in
// bits 8-15 and the character in bits 0-7.
inline intptr_t PackControlKey(uint16_t modifiers, uint8_t keyCode, uint8_t character) {
    return intptr_t((uint32_t(modifiers) << 16) | (uint32_t(keyCode) << 8) | character);
}
inline uint16_t ControlKeyModifiers(intptr_t parameter) {
    return uint16_t(uint32_t(parameter) >> 16);
}
inline uint8_t ControlKeyCharacter(intptr_t parameter) {
    return uint8_t(parameter);
}

// Whether the window owning a control is shown (the control layer
// installs the answer; until then every window counts as shown).
typedef bool (*ControlWindowShownProc)(const ToolboxControlRecord* control);
void SetControlWindowShownProc(ControlWindowShownProc procedure);
bool ControlWindowShown(const ToolboxControlRecord* control);
