// The parameter names and types of event objects: which type each named
// parameter has, and how many bytes each type takes. Both tables are sorted
// by their four-character value and searched by binary search; an absent
// name gives type 0, an absent type size 0. Types that hold addresses
// ('wind', 'ctrl', 'menu', 'evrf', 'rgnh', 'graf') are pointer-sized, and
// 'hcmd' has the size of EventCommandRecord.
#pragma once
#include <cstddef>
#include <cstdint>

#include "toolbox/core/byteorder.h"

// The direct-object parameter's name and the "any type" wildcard.
constexpr uint32_t kEventParamDirectObject = FourCC("----");
constexpr uint32_t kEventTypeWildcard = FourCC("****");

// 'hcmd': a menu command.
struct EventCommandRecord {
    uint32_t attributes;
    uint32_t command;
    void* menu;
    uint16_t item;
};

struct EventParamNameEntry {
    uint32_t name;
    uint32_t type;
};
struct EventTypeSizeEntry {
    uint32_t type;
    uint32_t size;
};

extern const EventParamNameEntry EventParamNameTable[];
extern const size_t kEventParamNameCount;
extern const EventTypeSizeEntry EventTypeSizeTable[];
extern const size_t kEventTypeSizeCount;

// Type of a named parameter, 0 when the name is not in the table.
uint32_t EventParamTypeOfName(uint32_t name);
// Size in bytes of a type, 0 when the type is not in the table.
uint32_t EventTypeSize(uint32_t type);
