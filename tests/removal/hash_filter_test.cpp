// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "removal/internal/text_hash.h"

namespace vorlane::text_hash {
namespace {

std::vector<std::uint64_t> RandomHashes(std::size_t count, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::vector<std::uint64_t> hashes(count);
    for (std::uint64_t& hash : hashes) hash = random();
    return hashes;
}

// A filter may let absent hashes through but must never turn away one it was
// given: not when it holds fewer or more than it expected (its words rounded
// up to a power of two, or not), nor when it looks at two bits of each hash.
TEST(HashFilter, NeverTurnsAwayAHashItWasGiven) {
    struct Case {
        std::size_t expected;
        std::size_t added;
    };
    for (const bool weak : {false, true}) {
        WeakenForTesting(weak);
        for (const Case c : {Case{0, 0}, Case{0, 3}, Case{1, 1}, Case{5, 5}, Case{7, 70},
                             Case{1000, 10}, Case{100'003, 100'003}}) {
            HashFilter filter(c.expected);
            const std::vector<std::uint64_t> hashes = RandomHashes(c.added, c.expected + 1);
            for (const std::uint64_t hash : hashes) filter.Add(hash);
            for (const std::uint64_t hash : hashes) {
                ASSERT_TRUE(filter.MayContain(hash)) << c.expected << " " << c.added << weak;
                ASSERT_TRUE(filter.Has(filter.Locate(hash)));
            }
        }
    }
    WeakenForTesting(false);
}

// Filled to four hashes a word, a filter lets through about one absent hash
// in 120 (three bits of a word): under one in a hundred, whether it has few
// words or many. Two bits per hash would let through one in 60.
TEST(HashFilter, LetsThroughFewAbsentHashes) {
    WeakenForTesting(false);
    for (const std::size_t count : {std::size_t{4096}, std::size_t{131'072}}) {
        HashFilter filter(count);
        for (const std::uint64_t hash : RandomHashes(count, 1)) filter.Add(hash);
        std::size_t through = 0;
        const std::vector<std::uint64_t> absent = RandomHashes(1'000'000, 2);
        for (const std::uint64_t hash : absent) through += filter.MayContain(hash) ? 1 : 0;
        EXPECT_LT(through, absent.size() / 100) << count;
        EXPECT_GT(through, absent.size() / 200) << count;  // sized as said, not larger
    }
}

}  // namespace
}  // namespace vorlane::text_hash
