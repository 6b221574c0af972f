// Fixture of the database tests: fresh pools and errors (CoreTest), the
// built-in modules registered afresh, an empty journal, the trusted flag clear and the header of a new design.
#pragma once
#include <cstdint>
#include <cstring>

#include "db/altjournal.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/table23.h"
#include "support/fatal.h"

class DbTest : public CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        // Every module, hook and validation step as the program has them,
        // whatever an earlier test replaced.
        DbRegisterBuiltins();
        AltForget();
        DbSetTrusted(false);
        DbFree(); // every table module forgets what the last test left
        DbHeaderReset();
    }
    void TearDown() override {
        AltForget();
        DbFree();
        DbHeaderReset();
        CoreTest::TearDown();
    }

    // A new, valid, empty design.
    static void NewDesign() {
        DbHeaderReset();
        DbInit();
    }
};

// Reads a little-endian value of type T at a byte offset of an image.
template <typename T> T At(const void* image, int32_t offset) {
    T v;
    std::memcpy(&v, static_cast<const uint8_t*>(image) + offset, sizeof v);
    return v;
}
