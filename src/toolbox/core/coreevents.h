// Core requests: the dispatch of the high-level requests that open the
// application, open documents and print documents ('eppc' kind 1 with the
// request kind in 'evti' and the path in 'Path').
//
// Guarantees: nothing is dispatched before the procedures are installed;
// a request whose parameters cannot be read calls nothing and answers the
// read's error; a path is always handed on terminated.
#pragma once
#include <cstdint>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/eventconvert.h"
#include "toolbox/core/eventobject.h"

constexpr uint32_t kCoreEventKind = 1;
constexpr uint32_t kCoreTypeShort = FourCC("shor");
// The longest 'Path' read, terminator included.
constexpr uint32_t kCorePathBufferSize = 512;

typedef void (*CoreOpenApplicationProc)();
typedef void (*CoreDocumentProc)(const char* path);

void InstallCoreEventProcs(CoreOpenApplicationProc openApplication, CoreDocumentProc openDocument,
                           CoreDocumentProc printDocument);
// Forgets the procedures (tests).
void ResetCoreEventProcs();
// 0 when handled; kEventNotHandled, or the error of a failed parameter read.
int32_t CoreEventDispatch(EventObject event);
// Reads 'Path' into a buffer of kCorePathBufferSize; 0 or the read's error.
int32_t CoreEventPath(EventObject event, char* out);
