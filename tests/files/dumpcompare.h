// Comparing two database dumps: the first line where they differ.
#pragma once
#include <gtest/gtest.h>

#include <sstream>
#include <string>

// Success when the dumps are equal; otherwise the number and both texts of
// the first differing line.
inline ::testing::AssertionResult DumpsEqual(const std::string& a, const std::string& b) {
    std::istringstream sa(a), sb(b);
    std::string la, lb;
    for (int line = 1;; ++line) {
        bool ea = !std::getline(sa, la);
        bool eb = !std::getline(sb, lb);
        if (ea && eb) return ::testing::AssertionSuccess();
        if (ea || eb || la != lb) {
            return ::testing::AssertionFailure()
                   << "dumps differ at line " << line
                   << ":\n  first:  " << (ea ? std::string("<end>") : la)
                   << "\n  second: " << (eb ? std::string("<end>") : lb);
        }
    }
}
