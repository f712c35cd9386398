// SPDX-License-Identifier: MIT

#include "text_hash.h"

#include <random>

namespace vorlane::text_hash {

const Keys& ProcessKeys() {
    static const Keys keys = [] {
#ifdef VORLANE_WEAK_HASH
        std::mt19937_64 random(20261207);  // the same collisions in every run
#else
        std::random_device random;  // the system's random source
#endif
        const auto draw = [&random] {
            return (std::uint64_t{random()} << 32) ^ std::uint64_t{random()};
        };
        constexpr std::uint64_t kLowest = std::uint64_t{1} << 32;
        Keys drawn{};
        drawn.base = kLowest + draw() % (kModulus - kLowest);
        for (std::uint64_t& word : drawn.word) word = draw() | 1;
        return drawn;
    }();
    return keys;
}

}  // namespace vorlane::text_hash
