// Low-level records turned into event objects, and the event classes and
// kinds the event loop waits for as a mask of low-level codes.
#pragma once
#include <cstdint>

#include "toolbox/core/eventobject.h"
#include "toolbox/core/eventreceiver.h"
#include "toolbox/core/oseventqueue.h"

constexpr uint32_t kEventClassMouse = FourCC("mous");
constexpr uint32_t kEventClassKeyboard = FourCC("keyb");
constexpr uint32_t kEventClassWindow = FourCC("wind");
constexpr uint32_t kEventClassApplication = FourCC("appl");
constexpr uint32_t kEventClassHighLevel = FourCC("eppc");

constexpr uint32_t kMouseDownKind = 1;
constexpr uint32_t kMouseUpKind = 2;
constexpr uint32_t kMouseMovedKind = 5;
constexpr uint32_t kMouseDraggedKind = 6;
constexpr uint32_t kMouseWheelKind = 10;
constexpr uint32_t kKeyDownKind = 1;
constexpr uint32_t kKeyRepeatKind = 2;
constexpr uint32_t kKeyUpKind = 3;
constexpr uint32_t kWindowUpdateKind = 1;
constexpr uint32_t kWindowActivatedKind = 5;
constexpr uint32_t kWindowDeactivatedKind = 6;
constexpr uint32_t kApplicationResumeKind = 1;
constexpr uint32_t kApplicationSuspendKind = 2;
constexpr uint32_t kHighLevelKind = 1;

constexpr uint32_t kParamMouseLocation = FourCC("mloc");
constexpr uint32_t kParamModifiers = FourCC("kmod");
constexpr uint32_t kParamMouseButton = FourCC("mbtn");
constexpr uint32_t kParamKeyChar = FourCC("kchr");
constexpr uint32_t kParamKeyCode = FourCC("kcod");
constexpr uint32_t kParamWheelAxis = FourCC("mwax");
constexpr uint32_t kParamWheelDelta = FourCC("mwdl");
constexpr uint32_t kParamWindow = FourCC("wind");
constexpr uint32_t kParamWindowPart = FourCC("wdpc");
constexpr uint32_t kParamRequestKind = FourCC("evti");
constexpr uint32_t kParamPath = FourCC("Path");
constexpr uint32_t kParamDropIndex = FourCC("DrpI");
constexpr uint32_t kParamDropCount = FourCC("DrpC");
constexpr uint32_t kTypeCString = FourCC("cstr");
constexpr uint32_t kTypeWindowPart = FourCC("wdpt");

constexpr int32_t kEventNoConversion = -9868;
constexpr int32_t kEventTimedOut = -9875;
constexpr int32_t kEventLoopEnded = -9876;

// The mask of everything when no list is given.
constexpr uint16_t kEventMaskNoList = 0xC17E;
// One wheel notch.
constexpr int32_t kWheelDeltaStep = 120;

// The mask of the listed classes and kinds (no list: kEventMaskNoList).
uint16_t EventMaskFromTypes(int32_t count, const EventTypeSpec* types);
// 0 with a new event in out, kEventNoConversion (out null) when the record
// has no event form or memory ran out.
int32_t EventObjectFromOsEvent(const OsEventRecord* record, EventObject* out);
