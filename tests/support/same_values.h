// Comparison of pixel or sample sequences that says where they differ rather
// than printing every value: the sizes, the number of differing values and
// the first of them.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>

template <typename Actual, typename Expected>
::testing::AssertionResult SameValues(const Actual& actual, const Expected& expected) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << actual.size() << " values, expected " << expected.size();
    size_t differing = 0, first = 0;
    for (size_t i = 0; i < actual.size(); ++i)
        if (actual[i] != expected[i] && differing++ == 0) first = i;
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " values differ; the first, at " << first << ", is "
                                         << +actual[first] << ", expected " << +expected[first];
}
