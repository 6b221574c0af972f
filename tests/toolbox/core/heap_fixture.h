// Test support for the allocator: a recording error handler and a fixture
// that installs it and gives each test its own pool.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"

inline std::vector<int32_t>& HeapErrorsSeen() {
    static std::vector<int32_t> seen;
    return seen;
}

inline int32_t RecordingHeapErrorHandler(const HeapErrorRecord* record) {
    HeapErrorsSeen().push_back(record->code);
    return 0;
}

class HeapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MemInit(0, -1);
        previous_ = SetHeapErrorHandler(&RecordingHeapErrorHandler);
        HeapErrorsSeen().clear();
    }
    void TearDown() override {
        for (HeapPool* p : pools_) HeapPoolDestroy(p);
        SetHeapErrorHandler(&SilentHeapErrorHandler);
    }
    // A fresh pool that the test may fill and that is destroyed afterwards.
    HeapPool* Pool(uint16_t options = kPoolStandard) {
        HeapPool* p = NewHeapPool(options);
        pools_.push_back(p);
        return p;
    }
    int32_t LastError() const { return HeapErrorsSeen().empty() ? 0 : HeapErrorsSeen().back(); }

  private:
    std::vector<HeapPool*> pools_;
    HeapErrorHandler previous_ = nullptr;
};
