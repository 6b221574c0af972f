// The view-choice dialogs of the menu commands "Database Spreadsheets...",
// "Graphics..." and "Strategy...": a "Window Type" group of radio buttons
// keyed by the view commands; OK opens the chosen view.
#pragma once
#include <cstdint>

enum : int32_t {
    kCmdDataWindows = 30712,     // "&Database Spreadsheets..."
    kCmdGraphicWindows = 30714,  // "&Graphics..."
    kCmdStrategyWindows = 30716, // "&Strategy..."
    kMsgDataWindow = 34830,      // dialog "Select Data Window"
    kMsgStrategyWindow = 34833,  // dialog "Select Strategy Window"
    kMsgNoWindowType = 34841,    // "No window type selected"
    kMsgGraphicWindow = 34850,   // dialog "Select Graphic Window"
};

// Runs the dialog of the command; 1 when the command is one of the three
// (whether or not a view was opened), else 0.
int32_t upViewCommand(int32_t command);
