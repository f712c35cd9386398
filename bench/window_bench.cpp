// SPDX-License-Identifier: MIT

// The Command1 click in the real window, on the offscreen platform, on the
// typical list of a million lines: the click as a whole, and its three parts
// on their own: reading the text box, removing duplicate lines, and writing
// the result into the text box.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>

#include "application.h"
#include "form1.h"
#include "qt_command_window.h"
#include "remove_duplicate_lines.h"
#include "sample_texts.h"
#include "window_test_support.h"

namespace vorlane::bench {
namespace {

constexpr std::size_t kLines = 1'000'000;

const std::u16string& Input() {
    static const std::u16string text = TypicalList(kLines);
    return text;
}

const std::u16string& Kept() {
    static const std::u16string text = RemoveDuplicateLines(Input()).text;
    return text;
}

QPlainTextEdit* TextBoxOf(Form1& form) { return form.findChild<QPlainTextEdit*>("Text1"); }

// Runs `measured` on a fresh window holding `text`; setting up is not timed.
template <typename Measured>
void OnWindowWith(benchmark::State& state, const std::u16string& text, Measured measured) {
    for (auto _ : state) {
        state.PauseTiming();
        Form1 form;
        form.show();
        QtCommandWindow window(TextBoxOf(form), &form);
        window.WriteText(text);
        QApplication::processEvents();
        state.ResumeTiming();
        measured(form, window);
        state.PauseTiming();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void ReadText(benchmark::State& state) {
    OnWindowWith(state, Input(), [](Form1&, QtCommandWindow& window) {
        benchmark::DoNotOptimize(window.ReadText().size());
    });
}

void RemoveLines(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(RemoveDuplicateLines(Input()).addedCount);
}

void WriteResult(benchmark::State& state) {
    OnWindowWith(state, Input(), [](Form1&, QtCommandWindow& window) { window.WriteText(Kept()); });
}

void ClickCommand1(benchmark::State& state) {
    OnWindowWith(state, Input(), [](Form1& form, QtCommandWindow&) {
        auto* button = form.findChild<QPushButton*>("Command1");
        const auto box = testing::AnswerMessageBox([button] { button->click(); });
        if (!box.shown) throw std::logic_error("no summary after the click");
    });
}

BENCHMARK(ReadText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(RemoveLines)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(WriteResult)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ClickCommand1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace vorlane::bench

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vorlane::SetUpApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
