// Key commands: registered key combinations (a virtual key with Shift,
// Control and Alt bits) that send a command. Each entry answers the
// accelerator id kKeyCommandFirstId + its index, and the accelerator
// entries of the message pump are rebuilt from the list on every change.
//
// Guarantees: one entry per key and modifier bits (registering again
// replaces the command); a key record without Shift, Control or Alt never
// matches an entry.
#pragma once
#include <cstdint>

#include "toolbox/core/oseventqueue.h"

// Entry modifier bits.
constexpr int16_t kKeyCommandShift = 1;
constexpr int16_t kKeyCommandControl = 2;
constexpr int16_t kKeyCommandAlt = 4;
constexpr int16_t kKeyCommandModifierMask = 7;
// Record bits compared by MatchKeyCommand: Shift, Control, Alt.
constexpr uint16_t kKeyCommandRecordBits = 0x3200;
constexpr uint16_t kRecordControlBit = 0x1000;
constexpr uint16_t kKeyCommandFirstId = 13000;
constexpr int32_t kKeyCommandBadArgument = 87;
constexpr int32_t kKeyCommandNoMemory = 8;

struct KeyCommandEntry {
    int16_t key;
    int16_t modifiers;
    int16_t command;
};

// 0; 87 for command 0 or no modifier bit; 8 without memory.
int32_t KeyCommandRegister(int16_t key, int16_t modifiers, int16_t command);
// True when an entry matched and its command was sent.
bool MatchKeyCommand(const OsEventRecord* record);
// Posts the key down of the entry behind an accelerator id; false for an
// id without entry.
bool KeyCommandAccelerator(uint32_t id);
int32_t KeyCommandCount();
const KeyCommandEntry* KeyCommandAt(int32_t index);
// The entry bits of a record's modifiers (0 when none of Shift, Control,
// Alt is held).
int16_t KeyCommandBitsOfRecord(uint16_t modifiers);

typedef void (*KeyCommandSender)(int16_t command, const OsEventRecord* record);
// Null: matched commands are dropped.
void SetKeyCommandSender(KeyCommandSender sender);
void ClearKeyCommands();
