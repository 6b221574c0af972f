// The key-command list (newest first) and its accelerator entries.
#include "toolbox/core/keycommand.h"

#include <cstdlib>
#include <cstring>

#include "toolbox/core/accelerators.h"

namespace {
KeyCommandEntry* g_entries = nullptr;
int32_t g_count = 0;
KeyCommandSender g_sender = nullptr;

void RebuildAccelerators() {
    auto* accels = static_cast<AcceleratorEntry*>(
        std::calloc(size_t(g_count ? g_count : 1), sizeof(AcceleratorEntry)));
    if (!accels) return;
    for (int32_t i = 0; i < g_count; ++i) {
        uint16_t flags = kAccelVirtualKey | kAccelNoInvert;
        if (g_entries[i].modifiers & kKeyCommandControl) flags |= kAccelControl;
        if (g_entries[i].modifiers & kKeyCommandShift) flags |= kAccelShift;
        if (g_entries[i].modifiers & kKeyCommandAlt) flags |= kAccelAlt;
        accels[i] =
            AcceleratorEntry{flags, uint16_t(g_entries[i].key), uint16_t(kKeyCommandFirstId + i)};
    }
    SetAcceleratorEntries(accels, g_count);
    std::free(accels);
}

uint16_t RecordBitsOfEntry(int16_t modifiers) {
    uint16_t bits = 0;
    if (modifiers & kKeyCommandShift) bits |= kModShift;
    if (modifiers & kKeyCommandControl) bits |= kModControl;
    if (modifiers & kKeyCommandAlt) bits |= kModAlt;
    return bits;
}
} // namespace

int16_t KeyCommandBitsOfRecord(uint16_t modifiers) {
    int16_t bits = 0;
    if (modifiers & kModShift) bits |= kKeyCommandShift;
    if (modifiers & kRecordControlBit) bits |= kKeyCommandControl;
    if (modifiers & kModAlt) bits |= kKeyCommandAlt;
    return bits;
}

int32_t KeyCommandRegister(int16_t key, int16_t modifiers, int16_t command) {
    modifiers &= kKeyCommandModifierMask;
    if (command == 0 || modifiers == 0) return kKeyCommandBadArgument;
    for (int32_t i = 0; i < g_count; ++i) {
        if (g_entries[i].key == key && g_entries[i].modifiers == modifiers) {
            g_entries[i].command = command;
            RebuildAccelerators();
            return 0;
        }
    }
    auto* grown = static_cast<KeyCommandEntry*>(
        std::realloc(g_entries, size_t(g_count + 1) * sizeof(KeyCommandEntry)));
    if (!grown) return kKeyCommandNoMemory;
    g_entries = grown;
    std::memmove(g_entries + 1, g_entries, size_t(g_count) * sizeof(KeyCommandEntry));
    g_entries[0] = KeyCommandEntry{key, modifiers, command};
    ++g_count;
    RebuildAccelerators();
    return 0;
}

bool MatchKeyCommand(const OsEventRecord* record) {
    int16_t bits = KeyCommandBitsOfRecord(record->modifiers);
    if (bits == 0) return false;
    int16_t key = int16_t((record->message >> 8) & 0xFF);
    for (int32_t i = 0; i < g_count; ++i) {
        if (g_entries[i].key == key && g_entries[i].modifiers == bits) {
            if (g_sender) g_sender(g_entries[i].command, record);
            return true;
        }
    }
    return false;
}

bool KeyCommandAccelerator(uint32_t id) {
    if (id < kKeyCommandFirstId || id >= uint32_t(kKeyCommandFirstId + g_count)) return false;
    const KeyCommandEntry& entry = g_entries[id - kKeyCommandFirstId];
    OsEventEntry* posted = nullptr;
    if (PostOsEventRecord(kOsWhatKeyDown, uintptr_t(uint16_t(entry.key) & 0xFF) << 8, &posted) !=
            kOsPostOk ||
        !posted)
        return false;
    posted->record.modifiers =
        uint16_t((posted->record.modifiers & ~kKeyCommandRecordBits & ~kModControl) |
                 RecordBitsOfEntry(entry.modifiers));
    return true;
}

int32_t KeyCommandCount() {
    return g_count;
}

const KeyCommandEntry* KeyCommandAt(int32_t index) {
    return index >= 0 && index < g_count ? &g_entries[index] : nullptr;
}

void SetKeyCommandSender(KeyCommandSender sender) {
    g_sender = sender;
}

void ClearKeyCommands() {
    std::free(g_entries);
    g_entries = nullptr;
    g_count = 0;
    RebuildAccelerators();
}
