// SPDX-License-Identifier: MIT

#include "removal/internal/big_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vorlane::internal {
namespace {

// Sizes below, at and above the one from which memory is aligned to huge
// pages: each must hold what is written to it and be given back whole (the
// sanitizer build checks the giving back).
TEST(BigVector, HoldsItsValuesOnEitherSideOfHugePages) {
    for (const std::size_t bytes :
         {std::size_t{0}, std::size_t{8}, 2 * kHugePage - 8, 2 * kHugePage, 3 * kHugePage + 24}) {
        const std::size_t count = bytes / sizeof(std::uint64_t);
        BigVector<std::uint64_t> values(count);
        for (std::size_t i = 0; i < count; ++i) values[i] = i * 2654435761U;
        values.push_back(7);  // grows into new memory, copying the old
        for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(values[i], i * 2654435761U) << bytes;
        EXPECT_EQ(values.back(), 7U);
        if (bytes >= 2 * kHugePage) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(values.data()) % kHugePage, 0U) << bytes;
        }
    }
}

TEST(BigBuffer, HoldsItsValuesOnEitherSideOfHugePages) {
    for (const std::size_t count : {std::size_t{1}, kHugePage / 2, kHugePage}) {
        BigBuffer<std::uint32_t> buffer(count);
        EXPECT_EQ(buffer.size(), count);
        for (std::size_t i = 0; i < count; ++i) buffer[i] = static_cast<std::uint32_t>(i ^ 0x5A5A);
        for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(buffer[i], i ^ 0x5A5A) << count;
    }
}

}  // namespace
}  // namespace vorlane::internal
