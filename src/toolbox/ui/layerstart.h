// What the drawing half of the toolbox gives the toolbox's start-up: the
// standard drawing procedures, the drawing globals and fonts before the
// main frame, the arrow cursor, the default drawing settings, the cursor
// resources, text editing and the current drawing state, the clipboard's
// suspend/resume hook and text length, and the program folder's alias.
//
// Guarantees: installing keeps every start-up entry this layer does not
// fill (the native frame and menu hook, the control definitions); each
// entry may run again without making anything twice.
#pragma once

// Fills this layer's entries of the toolbox's start-up procedures; run
// before the application shell starts (InstallDrawingLayer runs it).
void InstallLayerStartProcs();
