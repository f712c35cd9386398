// SPDX-License-Identifier: MIT

#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlane {

// A command line that cannot be run as it is; what() is the one-line reason.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The arguments of `vorlane dedupe` and `vorlane join`.
struct BatchOptions {
    std::string command;  // "dedupe" or "join"
    std::string input = "-";
    std::optional<std::string> output;
    std::optional<std::string> encoding;
    std::optional<std::string> separator;  // join only
    bool help = false;
};

// Parses arguments[0] (the command) and the arguments after it. Throws
// UsageError for an unknown option, a missing value, a second input, or an
// empty file name or separator, before any work is done.
BatchOptions ParseBatchOptions(const std::vector<std::string>& arguments);

}  // namespace vorlane
