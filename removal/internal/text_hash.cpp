// SPDX-License-Identifier: MIT

#include "removal/internal/text_hash.h"

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

namespace {

Keys& MutableProcessKeys() {
    static Keys keys = [] {
        std::random_device device;  // the system's random source
        return KeysFrom((std::uint64_t{device()} << 32) ^ device());
    }();
    return keys;
}

}  // namespace

const Keys& ProcessKeys() { return MutableProcessKeys(); }

void WeakenForTesting(bool weak) {
    MutableProcessKeys() = KeysFrom(20261207);
    tableBits = weak ? 0x3 : ~std::uint64_t{0};   // four values: most texts collide
    filterBits = weak ? 0x6 : ~std::uint64_t{0};  // partly other bits
}

}  // namespace vorlane::text_hash
