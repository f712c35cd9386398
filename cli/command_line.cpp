// SPDX-License-Identifier: MIT

#include "cli/command_line.h"

#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_command.h"
#include "cli/messages.h"
#include "cli/option_parser.h"
#include "fileio/file_error.h"
#include "fileio/standard_streams.h"

namespace vorlane {
namespace {

// A command run as `vorlane NAME ARGUMENT...`. It parses its own arguments,
// writes its own help and errors, and returns the exit status. It gets the
// arguments from NAME on as the bytes they are, as file names need not be UTF-8.
struct Command {
    std::string_view name;
    ExitStatus (*run)(const std::vector<std::string>& arguments);
};

constexpr std::array kCommands{
    Command{"dedupe", RunBatchCommand},
    Command{"join", RunBatchCommand},
};

constexpr std::array kOptions{
    OptionSpec{'h', "help", false},
    OptionSpec{'V', "version", false},
};

const Command* FindCommand(std::string_view name) {
    for (const Command& command : kCommands) {
        if (name == command.name) return &command;
    }
    return nullptr;
}

constexpr std::string_view kUsage =
    "用法：vorlane [选项]\n"
    "      vorlane 命令 [参数…]\n";

std::string Help() {
    return std::string(kUsage) +
           "\n"
           "整理文本行列表：删除重复的行，或用分隔符把各行合并成一行。\n"
           "\n"
           "不带参数运行时打开窗口。在文本框中输入或粘贴列表（每行一项），然后：\n"
           "  点击“Vorlane”删除重复的行：在前面保留的内容中已出现过的行和空行被清出，\n"
           "    其余各行按原顺序保留，并报告原总数、处理后数和清出重复数；\n"
           "  点击“分隔符替换”把每个换行替换为输入的分隔符（默认为逗号），\n"
           "    使各行合并成一行。\n"
           "结果写回文本框，按 Ctrl+Z 可撤销。\n"
           "\n命令：\n" +
           std::string(BatchCommandList()) +
           "用 vorlane 命令 --help 查看各命令的用法。\n"
           "\n"
           "选项：\n"
           "  -h, --help     显示此帮助并退出\n"
           "  -V, --version  显示版本号并退出\n"
           "\n"
           "详细说明：man vorlane\n";
}

ExitStatus UsageError(const std::string& message) {
    const std::string text =
        "vorlane：" + message + "\n" + std::string(kUsage) + "用 vorlane --help 查看帮助。\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    return kExitUsage;
}

ExitStatus RunOptions(const std::vector<std::string>& arguments) {
    ParsedArguments parsed;
    try {
        parsed = ParseArguments(arguments, kOptions);
    } catch (const OptionError& error) {
        return UsageError("未知选项" + Quoted(error.name) + "。");
    }
    // A command's name counts only as the first argument; here it is stray too.
    if (!parsed.operands.empty()) {
        return UsageError("无法识别的参数" + Quoted(parsed.operands.front()) + "。");
    }
    if (parsed.Has("help")) return PrintAnswer(Help());
    if (parsed.Has("version")) return PrintAnswer("vorlane " VORLANE_VERSION "\n");
    return UsageError("缺少选项或命令。");
}

}  // namespace

int RunCommandLine(int argc, char* argv[]) {
    SecureStandardStreams();
    if (const Command* command = FindCommand(argv[1])) {
        return command->run({argv + 1, argv + argc});
    }
    return RunOptions({argv + 1, argv + argc});
}

}  // namespace vorlane
