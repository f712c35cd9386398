// SPDX-License-Identifier: MIT

#include "batch/batch_command.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <new>
#include <optional>
#include <stdexcept>
#include <utility>

#include "batch/progress_line.h"
#include "batch/write_kept_lines.h"
#include "fileio/file_error.h"
#include "fileio/input_text.h"
#include "fileio/output_file.h"
#include "fileio/text_encoding.h"
#include "fileio/text_writer.h"
#include "fileio/utf8_bytes.h"
#include "removal/remove_duplicate_lines.h"
#include "text/replace_line_breaks.h"

namespace vorlane {
namespace {

// The help of both commands, in three parts: the list of commands in the
// middle is also the program's own.
constexpr std::string_view kUsage = R"(用法：
  vorlane dedupe [文件] [-o 输出文件] [--encoding 编码]
  vorlane join [文件] [-s 分隔符] [-o 输出文件] [--encoding 编码]

)";

constexpr std::string_view kCommandList =
    R"(  dedupe  去除重复行：按顺序保留在此前保留的行中尚未出现的行（与前面某行相同，
          或是其中的一部分，都算已出现），并去掉空行；在标准错误上报告
          原总数、处理后数和清出重复数。
  join    把所有行用分隔符连成一行。
)";

constexpr std::string_view kDetails = R"(
  省略文件或写“-”时读取标准输入；结果写到标准输出。

选项：
  -o, --output 输出文件   把结果写入该文件；全部写完才替换原文件，
                          所以输出文件可以就是输入文件
  -s, --separator 分隔符  join 用的分隔符，按输入的原样使用，不能为空，
                          默认为“,”
      --encoding 编码     输入和输出的编码，如 GB18030、GBK、BIG5、SHIFT_JIS；
                          默认为 UTF-8，其中无效的字节原样保留；
                          带 BOM 的 UTF-8 和 UTF-16 会自动识别并照样写回
  -h, --help              显示本帮助

  CR LF、单独的 LF 和单独的 CR 都算一个换行。输出的换行沿用输入中第一个换行
  的写法（没有换行时用 LF）；输入以换行结尾时，输出也以换行结尾。

  退出状态：0 完成；1 读写错误或数据错误；2 用法错误。

示例：
  vorlane dedupe 名单.txt -o 名单.txt
  vorlane dedupe --encoding GB18030 旧名单.txt > 新名单.txt
  cut -f1 表格.tsv | vorlane join -s "、"
)";

// A command line that cannot be run as it is.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string command;
    std::string input = "-";
    std::optional<std::string> output;
    std::optional<std::string> encoding;
    std::optional<std::string> separator;
    bool help = false;
};

std::string Quoted(std::string_view text) { return "“" + std::string(text) + "”"; }

// An option's name, and its value when it is attached (--name=value, -oVALUE).
std::pair<std::string, std::optional<std::string>> SplitOption(const std::string& argument) {
    if (!argument.starts_with("--")) {
        if (argument.size() <= 2) return {argument, std::nullopt};
        return {argument.substr(0, 2), argument.substr(2)};
    }
    const std::size_t equals = argument.find('=');
    if (equals == std::string::npos) return {argument, std::nullopt};
    return {argument.substr(0, equals), argument.substr(equals + 1)};
}

// Where the value of the option `name` goes, or nullptr for an unknown option.
std::optional<std::string>* ValueOf(Options& options, std::string_view name) {
    if (name == "-o" || name == "--output") return &options.output;
    if (name == "--encoding") return &options.encoding;
    const bool isJoin = options.command == "join";
    if (isJoin && (name == "-s" || name == "--separator")) return &options.separator;
    return nullptr;
}

bool IsBatchCommand(std::string_view name) { return name == "dedupe" || name == "join"; }

Options ParseOptions(const std::vector<std::string>& arguments) {
    if (arguments.empty() || !IsBatchCommand(arguments[0])) throw UsageError("没有这个命令");
    Options options;
    options.command = arguments[0];
    bool inputGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (optionsEnded || argument == "-" || !argument.starts_with('-')) {
            if (inputGiven) {
                throw UsageError("多余的参数" + Quoted(argument) + "：只能给一个输入文件");
            }
            options.input = argument;
            inputGiven = true;
        } else if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else {
            const auto [name, value] = SplitOption(argument);
            std::optional<std::string>* target = ValueOf(options, name);
            if (target == nullptr) throw UsageError("未知的选项" + Quoted(argument));
            if (!value && i + 1 == arguments.size()) {
                throw UsageError("选项" + Quoted(name) + "需要一个值");
            }
            *target = value ? *value : arguments[++i];
        }
    }
    if (options.separator && options.separator->empty()) throw UsageError("分隔符不能为空");
    return options;
}

InputText ReadAndDecode(const Options& options, const std::optional<TextEncoding>& named,
                        ProgressLine& progress) {
    progress.Stage("正在读取");
    return ReadInputText(options.input, named,
                         [&progress](std::uint64_t done, std::uint64_t total) {
                             if (total > 0) progress.Stage("正在读取", total);
                             progress.Advance(done);
                         });
}

DuplicateRemovalResult Dedupe(const Options& options, const std::optional<TextEncoding>& named) {
    ProgressLine progress;
    OutputFile output(options.output.value_or("-"));
    const InputText input = ReadAndDecode(options, named, progress);
    progress.Stage("正在去除重复行");
    const std::vector<bool> kept =
        input.hasLines() ? FindKeptLines(input.text()) : std::vector<bool>();
    TextWriter writer(output, input.encoding());
    WriteKeptLines(input, kept, writer, &progress);
    writer.Finish();
    output.Commit();
    DuplicateRemovalResult counts;
    counts.pieceCount = static_cast<std::int64_t>(kept.size());
    counts.addedCount = std::count(kept.begin(), kept.end(), true);
    counts.duplicateCount = counts.pieceCount - counts.addedCount;
    return counts;
}

// Joins the lines of the input as they are read, piece by piece, when no
// error can come after output has begun: the output goes to a temporary file,
// or the input is UTF-8 as recognised by default, which nothing is invalid in.
// Otherwise the whole input is decoded first.
void Join(const Options& options, const std::optional<TextEncoding>& named) {
    ProgressLine progress;
    OutputFile output(options.output.value_or("-"));
    const std::u16string separator = DecodeUtf8(options.separator.value_or(","));
    std::optional<TextWriter> writer;
    const auto startWriting = [&](const TextEncoding& encoding) {
        if (!encoding.CanEncode(separator)) {
            throw UsageError("分隔符中有无法用 " + encoding.name() + " 编码写出的字符");
        }
        writer.emplace(output, encoding);
    };
    // Pieces never end inside a CR LF, so joining them one by one joins the whole.
    const auto joinPiece = [&](std::u16string_view piece, const TextEncoding& encoding) {
        if (!writer) {
            if (!output.isTemporary() && encoding.form() != TextEncoding::Form::kUtf8) return false;
            startWriting(encoding);
        }
        writer->Write(ReplaceLineBreaks(piece, separator));
        return true;
    };
    progress.Stage("正在连接");
    const InputText rest = ReadInputText(
        options.input, named,
        [&progress](std::uint64_t done, std::uint64_t total) {
            if (total > 0) progress.Stage("正在连接", total);
            progress.Advance(done);
        },
        joinPiece);
    if (!writer) startWriting(rest.encoding());
    // What was not taken in pieces as it came, in pieces of the same kind.
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    const std::u16string_view text = rest.text();
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = std::min(start + kPiece, text.size());
        const bool cutsPair = (text[end - 1] & 0xFC00) == 0xD800;  // after a high surrogate
        if (end < text.size() && (text[end - 1] == u'\r' || cutsPair)) ++end;
        joinPiece(text.substr(start, end - start), rest.encoding());
        start = end;
    }
    if (rest.endsWithLineBreak()) writer->Write(LineBreakText(rest.firstLineBreak()));
    writer->Finish();
    output.Commit();
}

void PrintLine(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
}

int Run(const Options& options) {
    if (options.help) {
        for (const std::string_view part : {kUsage, kCommandList, kDetails}) {
            std::fwrite(part.data(), 1, part.size(), stdout);
        }
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    std::optional<TextEncoding> named;
    if (options.encoding) {
        named = TextEncoding::Find(*options.encoding);
        if (!named) throw UsageError("未知的编码" + Quoted(*options.encoding));
    }
    // A reader that goes away is reported like any other write error.
    std::signal(SIGPIPE, SIG_IGN);
    if (options.command == "join") {
        Join(options, named);
    } else {
        PrintLine(EncodeUtf8(FormatRemovalSummary(Dedupe(options, named))));
    }
    return 0;
}

}  // namespace

std::string_view BatchCommandList() { return kCommandList; }

int RunBatchCommand(const std::vector<std::string>& arguments) {
    const std::string command = arguments.empty() ? "" : arguments[0];
    try {
        return Run(ParseOptions(arguments));
    } catch (const UsageError& error) {
        PrintLine("vorlane：" + std::string(error.what()) + "（用法见“vorlane " + command +
                  " --help”）");
        return 2;
    } catch (const FileError& error) {
        PrintLine("vorlane：" + std::string(error.what()));
    } catch (const std::bad_alloc&) {
        PrintLine("vorlane：内存不足，无法完成操作");
    }
    return 1;
}

}  // namespace vorlane
