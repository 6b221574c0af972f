// The three-level command dispatch: the application (FrameCommand, then
// appCommand), the board window by WindowKind (BoardCommand, windowCommand,
// designCommand for the board views) and the active tool by ToolState
// (forwardCommand, toolCommand). Every entry answers 1 when it handled the
// command, 0 when not. Handlers may send further commands re-entrantly.
#pragma once
#include <cstdint>

// The menu-command callback's decision: the context-help latch swallows the
// command; FrameCommand; else the board window, unless the toolbox has just
// offered the command to it (it then declined already).
int32_t FrameCommandRoute(int32_t command, bool offeredToBoard);
int32_t FrameCommand(int32_t command);
int32_t appCommand(int32_t command);
int32_t BoardCommand(int32_t command);
int32_t windowCommand(int32_t command);
int32_t designCommand(int32_t command);
int32_t forwardCommand(int32_t command);
int32_t toolCommand(int32_t command);
int32_t noToolCommand(int32_t command);
// Changes the current view's tool (see designCommand's tool rows).
void selectTool(int32_t tool);
// The tool "Alternate &Tool" runs from the current one; 0 for none.
int32_t AlternateTool(int32_t toolState);
// Ends any running interaction: lets the tool event hook go (30026 to the
// board window, or to the hook itself without one), removes the idle task.
void CancelTracking();
// The tool event hook's answer to the command (0 without a hook).
int32_t ToolHookOffer(int32_t command);
