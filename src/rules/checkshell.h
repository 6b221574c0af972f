// Services of the board window that the check sweeps call beyond the
// common shell services: the beep of a window that cannot be checked, the
// repaint of the whole front window, the context-menu steps, and the two
// options dialogs of the "Auto" menu's check runs. pelvane.exe takes them
// from the shell; native programs and tests from the headless stand-ins.
#pragma once
#include <cstdint>

// The short warning beep.
void UBeep();
// Invalidates the whole front window so that it repaints.
void InvalidateFrontWindow();
// The context-menu steps of a running tool.
void NotImplemented();
void NotImplemented2();
void NotImplemented3();
void NotImplemented4();
// The DRC sweep options dialog: true when confirmed (it sets CheckOptions).
bool DrcSweepOptionsDialog();
// The test-point sweep dialog: true when confirmed (it sets CheckOptions).
bool TestPtOptionsDialog();
// Paints one marker of the router's map at a board point; the codes 0, 2
// and 7 pick its colour.
void PaintMapCell(int32_t x, int32_t y, int32_t code);
// The front window's active layer.
int32_t FrontActiveLayer();
