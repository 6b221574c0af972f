// Fixture of the next-component, criteria, cluster and view-dialog tests:
// the tool's fixture with cluster parts and readers of the host's lines
// and of the last committed journal.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/altjournal.h"
#include "uptoolfixture.h"

class UpNextTest : public UpToolFixture {
  protected:
    // A component of the symbol at (x, y) with the flags and cluster master.
    int32_t Member(int32_t symbol, int32_t x, int32_t y, uint16_t flags, int16_t master) {
        Part p{x, y};
        p.flags = flags;
        p.master = master;
        return AddPart(symbol, p);
    }
    // The lines of the host that start with the prefix.
    std::vector<std::string> LinesOf(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& l : host.lines)
            if (l.rfind(prefix, 0) == 0) out.push_back(l);
        return out;
    }
    // The number of items of the last committed journal.
    static int32_t LastCommitItems() {
        if (!AltCanUndo()) return 0;
        AltUndo();
        const int32_t n = AltCount();
        AltPop(false);
        return n;
    }
};
