// SPDX-License-Identifier: MIT

#include "batch/batch_command.h"

#include <csignal>
#include <new>

#include "batch/dedupe_command.h"
#include "batch/join_command.h"
#include "batch/read_input.h"
#include "cli/messages.h"
#include "fileio/file_error.h"
#include "fileio/utf8_bytes.h"

namespace vorlane {
namespace {

// Warns in one line about what a replaced file could not keep.
void WarnAboutWhatWasNotKept(const BatchOptions& options, const OutputFile& output) {
    if (output.notKept().empty()) return;
    PrintErrorLine("注意：新的" + Quoted(*options.output) + "未能保留原文件的" + output.notKept());
}

ExitStatus Run(const BatchOptions& options) {
    if (options.help) return PrintAnswer(BatchHelp());
    const std::optional<TextEncoding> named = NamedEncoding(options);
    // A reader that goes away, or a file too large for the limit, is reported
    // like any other write error.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    OutputFile output(options.output.value_or("-"));
    if (options.command == "join") {
        Join(options, named, output);
        WarnAboutWhatWasNotKept(options, output);
        return kExitSuccess;
    }
    const DuplicateRemovalResult counts = Dedupe(options, named, output);
    WarnAboutWhatWasNotKept(options, output);
    return PrintLine(EncodeUtf8(FormatRemovalSummary(counts))) ? kExitSuccess : kExitFailure;
}

}  // namespace

ExitStatus RunBatchCommand(const std::vector<std::string>& arguments) {
    const std::string command = arguments.empty() ? "" : arguments[0];
    try {
        return Run(ParseBatchOptions(arguments));
    } catch (const UsageError& error) {
        PrintErrorLine(std::string(error.what()) + "（用法见“vorlane " + command + " --help”）");
        return kExitUsage;
    } catch (const FileError& error) {
        PrintErrorLine(error.what());
    } catch (const std::bad_alloc&) {
        PrintErrorLine("内存不足，无法完成操作");
    }
    return kExitFailure;
}

}  // namespace vorlane
