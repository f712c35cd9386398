// SPDX-License-Identifier: MIT

#pragma once

// The one parser of the program's options and its commands' options, in the
// manner of getopt_long: "-o VALUE", "-oVALUE", "--output VALUE",
// "--output=VALUE", short flags together ("-hV"), "--" ends the options and
// "-" is an operand. Arguments are taken as the bytes they are.

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

struct OptionSpec {
    char shortName;  // '\0' for none
    std::string_view longName;
    bool takesValue;
};

struct ParsedArguments {
    struct Option {
        std::string_view longName;  // from its OptionSpec
        std::string value;          // empty for a flag
    };
    std::vector<Option> options;  // in the order given
    std::vector<std::string> operands;

    bool Has(std::string_view longName) const;
    // The value of the option's last occurrence.
    std::optional<std::string> Value(std::string_view longName) const;
};

// An argument the specs do not allow. `name` is the option's name without
// its dashes ("x", "output"), `argument` the whole argument as given.
class OptionError : public std::runtime_error {
public:
    enum class Kind { kUnknownOption, kMissingValue };
    OptionError(Kind kind, std::string name, std::string argument)
        : std::runtime_error(argument),
          kind(kind),
          name(std::move(name)),
          argument(std::move(argument)) {}

    Kind kind;
    std::string name;
    std::string argument;
};

ParsedArguments ParseArguments(std::span<const std::string> arguments,
                               std::span<const OptionSpec> specs);

}  // namespace vorlane
