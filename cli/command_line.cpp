// SPDX-License-Identifier: MIT

#include "cli/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <array>
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_command.h"
#include "fileio/file_error.h"

namespace vorlane {
namespace {

// A command run as `vorlane NAME ARGUMENT...`. It parses its own arguments,
// writes its own help and errors, and returns the exit status. It gets the
// arguments from NAME on as the bytes they are, as file names need not be UTF-8.
struct Command {
    std::string_view name;
    int (*run)(const std::vector<std::string>& arguments);
};

constexpr std::array kCommands{
    Command{"dedupe", RunBatchCommand},
    Command{"join", RunBatchCommand},
};

const Command* FindCommand(std::string_view name) {
    for (const Command& command : kCommands) {
        if (name == command.name) return &command;
    }
    return nullptr;
}

QString Usage() {
    return QStringLiteral(
        "用法：vorlane [选项]\n"
        "      vorlane 命令 [参数…]\n");
}

QString CommandList() {
    return QStringLiteral("\n命令：\n") + QString::fromUtf8(BatchCommandList()) +
           QStringLiteral("用 vorlane 命令 --help 查看各命令的用法。\n");
}

QString Help() {
    return Usage() +
           QStringLiteral(
               "\n"
               "整理文本行列表：删除重复的行，或用分隔符把各行合并成一行。\n"
               "\n"
               "不带参数运行时打开窗口。在文本框中输入或粘贴列表（每行一项），然后：\n"
               "  点击“Vorlane”删除重复的行：在前面保留的内容中已出现过的行和空行被清出，\n"
               "    其余各行按原顺序保留，并报告原总数、处理后数和清出重复数；\n"
               "  点击“分隔符替换”把每个换行替换为输入的分隔符（默认为逗号），\n"
               "    使各行合并成一行。\n"
               "结果写回文本框，按 Ctrl+Z 可撤销。\n") +
           CommandList() +
           QStringLiteral(
               "\n"
               "选项：\n"
               "  -h, --help     显示此帮助并退出\n"
               "  -V, --version  显示版本号并退出\n"
               "\n"
               "详细说明：man vorlane\n");
}

// Writes `text` as UTF-8 and flushes it; false if that failed (errno says why).
bool Write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    const auto size = static_cast<std::size_t>(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stream) == size && std::fflush(stream) == 0;
}

// Prints an answer on standard output. Failing to write it, e.g. to a full
// disk, is an error, so that a script never takes a cut-off answer for a whole one.
int Answer(const QString& text) {
    if (Write(stdout, text)) return kExitSuccess;
    const QString reason = QString::fromStdString(DescribeSystemError(errno));
    Write(stderr, QStringLiteral("vorlane：无法写入标准输出：%1\n").arg(reason));
    return kExitFailure;
}

int UsageError(const QString& message) {
    Write(stderr, QStringLiteral("vorlane：%1\n").arg(message) + Usage() +
                      QStringLiteral("用 vorlane --help 查看帮助。\n"));
    return kExitUsage;
}

}  // namespace

int RunCommandLine(int argc, char* argv[]) {
    if (const Command* command = FindCommand(argv[1])) {
        return command->run({argv + 1, argv + argc});
    }

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORLANE_VERSION));
    // Qt's Simplified Chinese texts, for the parser's own error messages.
    QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_zh_CN"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&translator);
    }

    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("V"), QStringLiteral("version")});
    parser.addOptions({help, version});
    if (!parser.parse(QCoreApplication::arguments())) return UsageError(parser.errorText());

    // A command's name counts only as the first argument; here it is stray too.
    const QStringList arguments = parser.positionalArguments();
    if (!arguments.isEmpty()) {
        return UsageError(QStringLiteral("无法识别的参数“%1”。").arg(arguments.first()));
    }
    if (parser.isSet(help)) return Answer(Help());
    if (parser.isSet(version)) return Answer(QStringLiteral("vorlane " VORLANE_VERSION "\n"));
    return UsageError(QStringLiteral("缺少选项或命令。"));
}

}  // namespace vorlane
