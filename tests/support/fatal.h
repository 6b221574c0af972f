// Test support: internal errors become C++ exceptions, so a test can check
// the code of a fatal error without a death test.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "headless/headless.h"

struct FatalError {
    int32_t code;
    std::string detail;
};

inline void ThrowingFatalHook(int32_t code, const char* detail) {
    throw FatalError{code, detail ? detail : ""};
}

// Base fixture of the core's tests: fresh state, throwing fatal display.
class CoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        HeadlessSetFatalHook(&ThrowingFatalHook);
        HeadlessReset();
    }
    void TearDown() override { HeadlessReset(); }
};

// Runs stmt and expects it to end in the fatal display with the code.
#define EXPECT_FATAL(stmt, expectedCode)                                                    \
    do {                                                                                   \
        bool plvFatalSeen = false;                                                         \
        try {                                                                              \
            stmt;                                                                          \
        } catch (const FatalError& plvFatal) {                                             \
            plvFatalSeen = true;                                                           \
            EXPECT_EQ(plvFatal.code, int32_t(expectedCode)) << "detail: " << plvFatal.detail; \
        }                                                                                  \
        EXPECT_TRUE(plvFatalSeen) << "expected fatal error " << (expectedCode);            \
    } while (0)

// Runs stmt and expects it to end in the fatal display with the code and
// exactly the detail text.
#define EXPECT_FATAL_DETAIL(stmt, expectedCode, expectedDetail)                              \
    do {                                                                                   \
        bool plvFatalSeen = false;                                                         \
        try {                                                                              \
            stmt;                                                                          \
        } catch (const FatalError& plvFatal) {                                             \
            plvFatalSeen = true;                                                           \
            EXPECT_EQ(plvFatal.code, int32_t(expectedCode));                               \
            EXPECT_EQ(plvFatal.detail, std::string(expectedDetail));                       \
        }                                                                                  \
        EXPECT_TRUE(plvFatalSeen) << "expected fatal error " << (expectedCode);            \
    } while (0)
