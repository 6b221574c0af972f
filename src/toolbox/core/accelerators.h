// The accelerator entries the message pump translates key messages with:
// stored here, built into a native table by the pump when marked.
#pragma once
#include <cstdint>

// Accelerator flags.
constexpr uint8_t kAccelVirtualKey = 0x01;
constexpr uint8_t kAccelNoInvert = 0x02;
constexpr uint8_t kAccelShift = 0x04;
constexpr uint8_t kAccelControl = 0x08;
constexpr uint8_t kAccelAlt = 0x10;
// Room is kept in steps of this many entries.
constexpr int32_t kAccelRoomStep = 16;

// 6 bytes each, like the system's table entries.
struct AcceleratorEntry {
    uint16_t flags;
    uint16_t key;
    uint16_t command;
};

// Copies the entries (false without memory: the old ones stay) and marks
// the table for rebuilding.
bool SetAcceleratorEntries(const AcceleratorEntry* entries, int32_t count);
const AcceleratorEntry* AcceleratorEntries(int32_t* count);
int32_t AcceleratorRoom();
// True once after every change (the pump rebuilds then).
bool TakeAcceleratorRebuild();
