// Print ports: the print job a type-2 window object draws into.
//
// The system prints nothing: no print job is ever set up, so NewPrintPort
// answers null. A job made by other means (tests) still gets the print
// port's answers: its page as the surface rectangle, scale 1.0, never
// shown, and the job ended once when its window object is disposed.
#pragma once
#include "toolbox/core/drawingstate.h"
#include "toolbox/core/rect.h"
#include "toolbox/core/windowobject.h"

struct PrintJob {
    DrawingState state; // first: the job is its record's drawing state
    Rect16 page;        // the printable page in device units
    void (*end)(PrintJob* job);
    bool ended;
};

// Null: the system prints nothing.
WindowObject* NewPrintPort(void* printRecord, const char* documentName, bool ask);
// The job of a print port, or null for any other record.
PrintJob* PrintJobOf(const WindowObject* window);
// Ends the job once (its end procedure, when it has one).
void EndPrintJob(PrintJob* job);
