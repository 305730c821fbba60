// Checks on a program's or a report's text that show the whole text when they fail.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace arkivo::test {

inline void ExpectHas(const std::string& text, const std::string& part) {
    EXPECT_NE(text.find(part), std::string::npos) << "no \"" << part << "\" in:\n" << text;
}

inline void ExpectLacks(const std::string& text, const std::string& part) {
    EXPECT_EQ(text.find(part), std::string::npos) << "\"" << part << "\" in:\n" << text;
}

}  // namespace arkivo::test
