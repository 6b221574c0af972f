// A component's Place outline (kind 10) and Insertion outline (kind 11),
// read through the journal and placed where a component record puts it
// (the last obstacle of each kind counts), and the query shape the
// shoving and clearing passes use: the Insertion outline, else the Place
// outline.
#pragma once
#include <cstdint>
#include <memory>

#include "db/records.h"

struct PlCompOutlines {
    std::unique_ptr<Obstacle> place, insertion; // null when missing
    // The Insertion outline, else the Place outline; null for neither.
    const Obstacle* Query() const { return insertion ? insertion.get() : place.get(); }
};

PlCompOutlines PlCompOutlinesOf(int32_t c, const Component* record);
