// SPDX-License-Identifier: MIT

#pragma once

// A fixture for tests that run twice: with hashes as they are, and with most
// of them colliding, which sends every search down its rare paths.

#include <gtest/gtest.h>

#include "removal/internal/text_hash.h"

namespace vorlane::testing {

class BothHashModes : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { text_hash::WeakenForTesting(GetParam()); }
    void TearDown() override { text_hash::WeakenForTesting(false); }
};

inline std::string HashModeName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "WeakHashes" : "KeyedHashes";
}

}  // namespace vorlane::testing

#define VORLANE_IN_BOTH_HASH_MODES(Suite) \
    INSTANTIATE_TEST_SUITE_P(, Suite, ::testing::Bool(), ::vorlane::testing::HashModeName)
