// SPDX-License-Identifier: MIT

#include "cli/option_parser.h"

#include <algorithm>

namespace vorlane {
namespace {

const OptionSpec* FindLong(std::span<const OptionSpec> specs, std::string_view name) {
    const auto found = std::find_if(specs.begin(), specs.end(), [&](const OptionSpec& wanted) {
        return wanted.longName == name;
    });
    return found == specs.end() ? nullptr : &*found;
}

const OptionSpec* FindShort(std::span<const OptionSpec> specs, char name) {
    const auto found = std::find_if(specs.begin(), specs.end(), [&](const OptionSpec& wanted) {
        return wanted.shortName == name;
    });
    return found == specs.end() ? nullptr : &*found;
}

// Reads the arguments one by one, from the first.
class Parser {
public:
    Parser(std::span<const std::string> arguments, std::span<const OptionSpec> specs)
        : arguments_(arguments), specs_(specs) {}

    ParsedArguments Parse() && {
        bool optionsEnded = false;
        for (; next_ < arguments_.size();) {
            const std::string& argument = arguments_[next_++];
            if (!optionsEnded && argument == "--") {
                optionsEnded = true;
            } else if (optionsEnded || argument == "-" || !argument.starts_with('-')) {
                parsed_.operands.push_back(argument);
            } else if (argument.starts_with("--")) {
                Long(argument);
            } else {
                Shorts(argument);
            }
        }
        return std::move(parsed_);
    }

private:
    void Long(const std::string& argument) {
        const std::size_t equals = argument.find('=');
        const std::string name =
            argument.substr(2, equals == std::string::npos ? equals : equals - 2);
        const OptionSpec* wanted = FindLong(specs_, name);
        using Kind = OptionError::Kind;
        if (wanted == nullptr || (!wanted->takesValue && equals != std::string::npos)) {
            throw OptionError(Kind::kUnknownOption, name, argument);
        }
        if (!wanted->takesValue) return Add(*wanted, {});
        if (equals != std::string::npos) return Add(*wanted, argument.substr(equals + 1));
        Add(*wanted, TakeValue(name, "--" + name));
    }

    void Shorts(const std::string& argument) {
        for (std::size_t i = 1; i < argument.size(); ++i) {
            const OptionSpec* wanted = FindShort(specs_, argument[i]);
            if (wanted == nullptr) {
                throw OptionError(OptionError::Kind::kUnknownOption, argument.substr(i, 1),
                                  argument);
            }
            if (!wanted->takesValue) {
                Add(*wanted, {});
                continue;
            }
            if (i + 1 < argument.size()) return Add(*wanted, argument.substr(i + 1));
            return Add(*wanted, TakeValue(std::string(1, argument[i]), {'-', argument[i]}));
        }
    }

    std::string TakeValue(const std::string& name, const std::string& argument) {
        if (next_ == arguments_.size()) {
            throw OptionError(OptionError::Kind::kMissingValue, name, argument);
        }
        return arguments_[next_++];
    }

    void Add(const OptionSpec& wanted, std::string value) {
        parsed_.options.push_back({wanted.longName, std::move(value)});
    }

    std::span<const std::string> arguments_;
    std::span<const OptionSpec> specs_;
    std::size_t next_ = 0;
    ParsedArguments parsed_;
};

}  // namespace

bool ParsedArguments::Has(std::string_view longName) const {
    return std::any_of(options.begin(), options.end(),
                       [&](const Option& option) { return option.longName == longName; });
}

std::optional<std::string> ParsedArguments::Value(std::string_view longName) const {
    std::optional<std::string> value;
    for (const Option& option : options) {
        if (option.longName == longName) value = option.value;
    }
    return value;
}

ParsedArguments ParseArguments(std::span<const std::string> arguments,
                               std::span<const OptionSpec> specs) {
    return Parser(arguments, specs).Parse();
}

}  // namespace vorlane
