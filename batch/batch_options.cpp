// SPDX-License-Identifier: MIT

#include "batch/batch_options.h"

#include <array>
#include <span>

#include "cli/option_parser.h"
#include "fileio/file_error.h"

namespace vorlane {
namespace {

constexpr std::array kDedupeOptions{
    OptionSpec{'o', "output", true},
    OptionSpec{'\0', "encoding", true},
    OptionSpec{'h', "help", false},
};

constexpr std::array kJoinOptions{
    OptionSpec{'o', "output", true},
    OptionSpec{'\0', "encoding", true},
    OptionSpec{'h', "help", false},
    OptionSpec{'s', "separator", true},
};

ParsedArguments Parse(const std::vector<std::string>& arguments, bool isJoin) {
    const std::span<const std::string> rest(arguments.begin() + 1, arguments.end());
    try {
        return isJoin ? ParseArguments(rest, kJoinOptions) : ParseArguments(rest, kDedupeOptions);
    } catch (const OptionError& error) {
        if (error.kind == OptionError::Kind::kMissingValue) {
            throw UsageError("选项" + Quoted(error.argument) + "需要一个值");
        }
        throw UsageError("未知的选项" + Quoted(error.argument));
    }
}

}  // namespace

BatchOptions ParseBatchOptions(const std::vector<std::string>& arguments) {
    if (arguments.empty() || (arguments[0] != "dedupe" && arguments[0] != "join")) {
        throw UsageError("没有这个命令");
    }
    BatchOptions options;
    options.command = arguments[0];
    const ParsedArguments parsed = Parse(arguments, options.command == "join");
    if (parsed.operands.size() > 1) {
        throw UsageError("多余的参数" + Quoted(parsed.operands[1]) + "：只能给一个输入文件");
    }
    if (!parsed.operands.empty()) options.input = parsed.operands[0];
    options.output = parsed.Value("output");
    options.encoding = parsed.Value("encoding");
    options.separator = parsed.Value("separator");
    options.help = parsed.Has("help");
    if (options.input.empty()) throw UsageError("输入文件名不能为空");
    if (options.output && options.output->empty()) throw UsageError("输出文件名不能为空");
    if (options.separator && options.separator->empty()) throw UsageError("分隔符不能为空");
    return options;
}

}  // namespace vorlane
