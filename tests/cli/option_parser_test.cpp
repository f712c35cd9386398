// SPDX-License-Identifier: MIT

#include "cli/option_parser.h"

#include <gtest/gtest.h>

#include <array>

namespace vorlane {
namespace {

constexpr std::array kSpecs{
    OptionSpec{'o', "output", true},
    OptionSpec{'h', "help", false},
    OptionSpec{'V', "version", false},
    OptionSpec{'\0', "encoding", true},
};

// Options as "name=value" (flags as "name"), then "|", then the operands.
std::string Parsed(std::vector<std::string> arguments) {
    const ParsedArguments parsed = ParseArguments(arguments, kSpecs);
    std::string result;
    for (const auto& option : parsed.options) {
        result += std::string(option.longName);
        if (!option.value.empty()) result += "=" + option.value;
        result += " ";
    }
    result += "|";
    for (const std::string& operand : parsed.operands) result += " " + operand;
    return result;
}

TEST(OptionParser, TakesEveryFormOfOptionAndOperand) {
    const struct {
        std::vector<std::string> arguments;
        std::string parsed;
    } cases[] = {
        {{}, "|"},
        {{"in"}, "| in"},
        {{"-o", "out", "in"}, "output=out | in"},
        {{"-oout"}, "output=out |"},
        {{"--output", "out"}, "output=out |"},
        {{"--output=out"}, "output=out |"},
        {{"--output=a=b"}, "output=a=b |"},
        {{"--output", "-h"}, "output=-h |"},  // a value may start with a dash
        {{"-hV"}, "help version |"},
        {{"-ho", "x"}, "help output=x |"},
        {{"-hox"}, "help output=x |"},
        {{"-"}, "| -"},
        {{"--", "-h", "--output"}, "| -h --output"},
        {{"a", "--", "--"}, "| a --"},
        {{"--encoding", "GBK", "-h"}, "encoding=GBK help |"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parsed(c.arguments), c.parsed) << ::testing::PrintToString(c.arguments);
    }
}

TEST(OptionParser, ReportsUnknownOptionsAndMissingValues) {
    using Kind = OptionError::Kind;
    const struct {
        std::vector<std::string> arguments;
        Kind kind;
        std::string name;
        std::string argument;
    } cases[] = {
        {{"--bogus"}, Kind::kUnknownOption, "bogus", "--bogus"},
        {{"-x"}, Kind::kUnknownOption, "x", "-x"},
        {{"-hx"}, Kind::kUnknownOption, "x", "-hx"},
        {{"--help=3"}, Kind::kUnknownOption, "help", "--help=3"},
        {{"--out", "x"}, Kind::kUnknownOption, "out", "--out"},
        {{"-o"}, Kind::kMissingValue, "o", "-o"},
        {{"in", "--output"}, Kind::kMissingValue, "output", "--output"},
        {{"-ho"}, Kind::kMissingValue, "o", "-o"},
    };
    for (const auto& c : cases) {
        try {
            ParseArguments(c.arguments, kSpecs);
            ADD_FAILURE() << "no error for " << ::testing::PrintToString(c.arguments);
        } catch (const OptionError& error) {
            EXPECT_EQ(error.kind, c.kind) << c.argument;
            EXPECT_EQ(error.name, c.name);
            EXPECT_EQ(error.argument, c.argument);
        }
    }
}

TEST(OptionParser, TheLastValueOfAnOptionCounts) {
    const std::vector<std::string> arguments{"-o", "a", "--output=b"};
    const ParsedArguments parsed = ParseArguments(arguments, kSpecs);
    EXPECT_EQ(parsed.Value("output"), "b");
    EXPECT_FALSE(parsed.Value("encoding"));
    EXPECT_FALSE(parsed.Has("help"));
}

}  // namespace
}  // namespace vorlane
