// SPDX-License-Identifier: MIT

#include "text_hash.h"

#include <random>

namespace vorlane::text_hash {

Keys KeysFrom(std::uint64_t seed) {
    std::mt19937_64 random(seed);
    constexpr std::uint64_t kLowest = std::uint64_t{1} << 32;
    Keys keys{};
    keys.base = kLowest + random() % (kModulus - kLowest);
    for (std::uint64_t& word : keys.word) word = random() | 1;
    return keys;
}

const Keys& ProcessKeys() {
#ifdef VORLANE_WEAK_HASH
    static const Keys keys = KeysFrom(20261207);  // the same collisions in every run
#else
    static const Keys keys = [] {
        std::random_device device;  // the system's random source
        return KeysFrom((std::uint64_t{device()} << 32) ^ device());
    }();
#endif
    return keys;
}

}  // namespace vorlane::text_hash
