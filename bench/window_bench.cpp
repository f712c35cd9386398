// SPDX-License-Identifier: MIT

// The commands in the real window, on the offscreen platform, on a million
// lines (or VORLANE_BENCH_LINES): the typical list, and one where 5 % of the
// lines repeat earlier ones.
//  - Command1: reading the text box (against the document's raw text, the
//    least a read can cost), the removal alone, the edit that keeps the kept
//    lines, its undo, and the whole click up to the repainted window; the old
//    way of writing the result (replacing the whole text) for comparison.
//  - Command2: the whole click up to the repainted window, against pasting the
//    same list into an empty text box.
// At the end it prints the ratios that matter, from this run's figures.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <cstdio>
#include <map>
#include <random>

#include "qt/application.h"
#include "qt/form1.h"
#include "qt/qt_command_window.h"
#include "qt/qt_strings.h"
#include "removal/remove_duplicate_lines.h"
#include "testing/qt/window_test_support.h"
#include "testing/sample_texts.h"

namespace vorlane::bench {

using testing::TypicalList;
namespace {

// The length of both lists: a million lines, or VORLANE_BENCH_LINES.
std::size_t Lines() {
    static const std::size_t lines = [] {
        const int set = qEnvironmentVariableIntValue("VORLANE_BENCH_LINES");
        return set > 0 ? static_cast<std::size_t>(set) : std::size_t{1'000'000};
    }();
    return lines;
}

const std::u16string& Typical() {
    static const std::u16string text = TypicalList(Lines());
    return text;
}

// Lines() lines like the typical list's, every 20th of them a copy of an
// earlier one, each followed by CR LF. The other lines are kept lines of a
// longer typical list, so that exactly the copies (and the empty last line)
// are dropped.
const std::u16string& FivePercentRepeats() {
    static const std::u16string text = [] {
        const std::u16string distinct = RemoveDuplicateLines(TypicalList(Lines() * 3 / 2)).text;
        std::vector<std::u16string_view> lines;
        for (std::size_t start = 0; lines.size() < Lines();) {
            const std::size_t end = distinct.find(u"\r\n", start);
            lines.push_back(std::u16string_view(distinct).substr(start, end - start));
            start = end + 2;
        }
        std::mt19937_64 random(Lines());
        std::u16string result;
        for (std::size_t i = 0, next = 0; i < Lines(); ++i) {
            const bool repeat = i % 20 == 19;
            result += repeat
                          ? lines[std::uniform_int_distribution<std::size_t>(0, next - 1)(random)]
                          : lines[next++];
            result += u"\r\n";
        }
        return result;
    }();
    return text;
}

QPlainTextEdit* TextBoxOf(Form1& form) { return form.findChild<QPlainTextEdit*>("Text1"); }

// Runs `measured` on a fresh, painted window holding `text` with the caret and
// the view at its end, as after pasting it, and after `prepare`; neither
// setting up nor `prepare` is timed.
template <typename Prepare, typename Measured>
void OnWindowWith(benchmark::State& state, const std::u16string& text, Prepare prepare,
                  Measured measured) {
    for (auto _ : state) {
        state.PauseTiming();
        Form1 form;
        form.show();
        TextBoxOf(form)->setPlainText(ToQString(text));
        TextBoxOf(form)->moveCursor(QTextCursor::End);
        QtCommandWindow window(TextBoxOf(form), &form);
        prepare(form, window);
        QApplication::processEvents();
        state.ResumeTiming();
        measured(form, window);
    }
}

template <typename Measured>
void OnWindowWith(benchmark::State& state, const std::u16string& text, Measured measured) {
    OnWindowWith(
        state, text, [](Form1&, QtCommandWindow&) {}, measured);
}

void Click(Form1& form, const char* button) { form.findChild<QPushButton*>(button)->click(); }

void RawText(benchmark::State& state, const std::u16string& text) {
    OnWindowWith(state, text, [](Form1& form, QtCommandWindow&) {
        benchmark::DoNotOptimize(TextBoxOf(form)->document()->toRawText().size());
    });
}

void ReadText(benchmark::State& state, const std::u16string& text) {
    OnWindowWith(state, text, [](Form1&, QtCommandWindow& window) {
        benchmark::DoNotOptimize(window.ReadText().size());
    });
}

void RemoveLines(benchmark::State& state, const std::u16string& text) {
    for (auto _ : state) benchmark::DoNotOptimize(RemoveDuplicateLines(text).addedCount);
}

void KeepLines(benchmark::State& state, const std::u16string& text) {
    const std::vector<bool> kept = FindKeptLines(text);
    OnWindowWith(state, text, [&kept](Form1&, QtCommandWindow& window) { window.KeepLines(kept); });
}

void UndoKeepLines(benchmark::State& state, const std::u16string& text) {
    const std::vector<bool> kept = FindKeptLines(text);
    OnWindowWith(
        state, text, [&kept](Form1&, QtCommandWindow& window) { window.KeepLines(kept); },
        [](Form1& form, QtCommandWindow&) {
            TextBoxOf(form)->undo();
            QApplication::processEvents();
        });
}

void RewriteText(benchmark::State& state, const std::u16string& text) {
    const std::u16string kept = RemoveDuplicateLines(text).text;
    OnWindowWith(state, text, [&kept](Form1&, QtCommandWindow& window) { window.WriteText(kept); });
}

// The whole click: up to the summary, closed, and the window repainted.
void ClickCommand1AndCloseTheSummary(Form1& form, QtCommandWindow&) {
    const auto box = testing::AnswerMessageBox([&form] { Click(form, "Command1"); });
    if (!box.shown) throw std::logic_error("no summary after the click");
    QApplication::processEvents();
}

void ClickCommand1(benchmark::State& state, const std::u16string& text) {
    OnWindowWith(state, text, ClickCommand1AndCloseTheSummary);
}

// The same with the caret and the view at the start: the text box then lays
// out its first lines anew after the edit.
void ClickCommand1AtTheStart(benchmark::State& state, const std::u16string& text) {
    OnWindowWith(
        state, text,
        [](Form1& form, QtCommandWindow&) { TextBoxOf(form)->moveCursor(QTextCursor::Start); },
        ClickCommand1AndCloseTheSummary);
}

void Paste(benchmark::State& state, const std::u16string& text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
    OnWindowWith(
        state, {}, [](Form1& form, QtCommandWindow&) { TextBoxOf(form)->setFocus(); },
        [](Form1& form, QtCommandWindow&) {
            TextBoxOf(form)->paste();
            QApplication::processEvents();
        });
}

void ClickCommand2(benchmark::State& state, const std::u16string& text) {
    OnWindowWith(state, text, [](Form1& form, QtCommandWindow&) {
        const auto box = testing::AnswerInputBox([&form] { Click(form, "Command2"); },
                                                 [](QInputDialog* box) { box->accept(); });
        if (!box.shown) throw std::logic_error("no input box after the click");
        QApplication::processEvents();
    });
}

#define VORLANE_WINDOW_BENCH(function, iterations)                  \
    BENCHMARK_CAPTURE(function, typical, Typical())                 \
        ->Unit(benchmark::kMillisecond)                             \
        ->Iterations(iterations);                                   \
    BENCHMARK_CAPTURE(function, five_percent, FivePercentRepeats()) \
        ->Unit(benchmark::kMillisecond)                             \
        ->Iterations(iterations)

VORLANE_WINDOW_BENCH(RawText, 3);
VORLANE_WINDOW_BENCH(ReadText, 3);
VORLANE_WINDOW_BENCH(RemoveLines, 3);
VORLANE_WINDOW_BENCH(KeepLines, 3);
VORLANE_WINDOW_BENCH(UndoKeepLines, 3);
VORLANE_WINDOW_BENCH(ClickCommand1, 3);
BENCHMARK_CAPTURE(ClickCommand1AtTheStart, typical, Typical())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
VORLANE_WINDOW_BENCH(RewriteText, 1);
BENCHMARK_CAPTURE(Paste, typical, Typical())->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(ClickCommand2, typical, Typical())->Unit(benchmark::kMillisecond)->Iterations(3);

// The console report, then the ratios between cases of this run (the fastest
// repetition of each case when there are several).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
            auto [at, inserted] = seconds_.try_emplace(run.run_name.function_name, seconds);
            if (!inserted) at->second = std::min(at->second, seconds);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nRatios in this run:\n");
        Ratio("ReadText/typical", "RawText/typical", "");
        Ratio("ClickCommand1/typical", "RemoveLines/typical", "target <= 1.5, and <= 1.2 s");
        Ratio("ClickCommand1/five_percent", "RemoveLines/five_percent", "target <= 1.2");
        Ratio("KeepLines/typical", "RewriteText/typical", "");
        Ratio("KeepLines/five_percent", "RewriteText/five_percent", "");
        Ratio("ClickCommand2/typical", "Paste/typical", "target <= 1");
    }

private:
    void Ratio(const std::string& measured, const std::string& baseline, const char* target) {
        const auto m = seconds_.find(measured);
        const auto b = seconds_.find(baseline);
        if (m == seconds_.end() || b == seconds_.end()) return;
        std::printf("  %-28s %8.0f ms / %-24s %8.0f ms = %5.2f  %s\n", measured.c_str(),
                    m->second * 1e3, baseline.c_str(), b->second * 1e3, m->second / b->second,
                    target);
    }

    std::map<std::string, double> seconds_;
};

}  // namespace
}  // namespace vorlane::bench

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vorlane::SetUpApplication(app);
    benchmark::Initialize(&argc, argv);
    vorlane::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
