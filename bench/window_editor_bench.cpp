// The editor with a 50,000-line project: Open (load and colour every line),
// one keystroke in the middle (edit, colour the line, caret panels, repaint),
// Save, F12 (save, build, write the image), and the resident memory with the
// project open. Runs offscreen unless a display is chosen with QT_QPA_PLATFORM.
//
// Built twice by bench/window_compare.sh: against this tree, where the gutter
// (both columns) and the current-line highlight are on, and with
// LINTREL_BENCH_TODAY against the window as it was before them, so that both
// are measured side by side in one run. This tree also has the outline open.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <algorithm>
#include <fstream>
#include <string>

#include "editor/main_window.h"
#include "editor/scripted_dialogs.h"
#include "sample_program.h"

#ifndef LINTREL_BENCH_TODAY
#include "editor/code_editor.h"
#include "editor/line_numbering.h"
#include "system/options_file.h"
#endif

namespace {

using lintrel::MainWindow;
using lintrel::testing::ScriptedDialogs;

constexpr int kLines = 50000;

// "VmRSS" or "VmHWM" of this process, in MB.
double memoryMb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) / 1024.0;
    }
    return 0;
}

struct Bench {
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
    QString project;
    int lineCount = 0;

    Bench() {
        QDir(folder.path()).mkpath(QStringLiteral("Exports"));
        QDir(folder.path()).mkpath(QStringLiteral("Projects"));
        project = folder.filePath(QStringLiteral("Projects/big.lpj"));
        // BASIC has no line-number or address limit, so F12 goes all the way.
        const auto lines =
            lintrel::bench::sampleProgram("BASIC", lintrel::bench::SampleShape{kLines, 1, true});
        lineCount = static_cast<int>(lines.size());
        QFile file(project);
        file.open(QIODevice::WriteOnly);
        for (const auto& line : lines) {
            file.write(line.data(), static_cast<qint64>(line.size()));
            file.write("\r\n");
        }
        file.close();
        window = std::make_unique<MainWindow>(dialogs, folder.path());
#ifndef LINTREL_BENCH_TODAY
        lintrel::Options options;
        options.currentLine = true;  // the gutter's two columns are on by default
        window->applyOptions(options);
#endif
        window->resize(1024, 640);
        window->show();
#ifndef LINTREL_BENCH_TODAY
        window->findChild<QAction*>(QStringLiteral("Outline1"))->trigger();  // the labels listed beside
#endif
        window->setSaved(true);
        open();
    }
    void open() {
        dialogs.yesNoAnswers = {true};
        dialogs.openAnswers = {project};
        window->BitBtnLOADClick();
    }
    // Until the gutter shows the numbers of the text as it is now.
    void waitForGutter() {
#ifndef LINTREL_BENCH_TODAY
        while (!window->lineNumbering()->isCurrent())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
        window->codeEditor()->gutter()->repaint();
#endif
    }
};

// Made by the first benchmark that runs; gone before the application is.
std::unique_ptr<Bench> instance;

Bench& bench() {
    if (!instance) instance = std::make_unique<Bench>();
    return *instance;
}

template <typename B>
B* withRange(B* benchmark) {
    return benchmark
        ->ComputeStatistics(
            "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ComputeStatistics(
            "max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}

// Open: load the file and colour every line; in this tree also until the
// gutter's numbers are current.
void BM_Open(benchmark::State& state) {
    Bench& b = bench();
    for (auto _ : state) {
        b.open();
        b.waitForGutter();
    }
    if (b.window->editor()->document()->blockCount() != b.lineCount)
        state.SkipWithError("the project did not load");
    state.counters["lines"] = b.lineCount;
    state.counters["rss_MB"] = memoryMb("VmRSS");
}
BENCHMARK(BM_Open)->Name("Open_50000_lines")->Unit(benchmark::kMillisecond)->Apply([](auto* b) {
    withRange(b);
});

// A printable key in the middle of the text, as the editor receives it, and
// the repaint it causes.
void BM_Keystroke(benchmark::State& state) {
    Bench& b = bench();
    QPlainTextEdit* editor = b.window->editor();
    QTextCursor cursor(editor->document()->findBlockByNumber(kLines / 2));
    editor->setTextCursor(cursor);
    editor->centerCursor();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("A"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("A"));
        QApplication::sendEvent(editor, &press);
        QApplication::sendEvent(editor, &release);
        editor->viewport()->repaint();
#ifndef LINTREL_BENCH_TODAY
        b.window->codeEditor()->gutter()->repaint();
#endif
    }
    b.open();
}
BENCHMARK(BM_Keystroke)->Name("Keystroke_in_50000_lines")->Unit(benchmark::kMicrosecond)->Apply([](auto* b) {
    withRange(b);
});

#ifndef LINTREL_BENCH_TODAY
// From the last key (Return in the middle, which moves every later number)
// until the gutter shows the new numbers.
void BM_GutterCurrent(benchmark::State& state) {
    Bench& b = bench();
    QPlainTextEdit* editor = b.window->editor();
    editor->setTextCursor(QTextCursor(editor->document()->findBlockByNumber(kLines / 2)));
    b.waitForGutter();
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(editor, &press);
        QElapsedTimer timer;
        timer.start();
        b.waitForGutter();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
    b.open();
}
BENCHMARK(BM_GutterCurrent)
    ->Name("Gutter_current_after_last_key")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Apply([](auto* b) { withRange(b); });

// The only numbering work done on the window's thread: the copy of the text.
void BM_NumberingCopy(benchmark::State& state) {
    Bench& b = bench();
    for (auto _ : state) benchmark::DoNotOptimize(b.window->editor()->document()->toRawText());
}
BENCHMARK(BM_NumberingCopy)
    ->Name("Gutter_text_copy_on_window_thread")
    ->Unit(benchmark::kMillisecond)
    ->Apply([](auto* b) { withRange(b); });
#endif

void BM_Save(benchmark::State& state) {
    Bench& b = bench();
    for (auto _ : state) {
        if (!b.window->Save()) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_Save)->Name("Save_50000_lines")->Unit(benchmark::kMillisecond)->Apply([](auto* b) {
    withRange(b);
});

void BM_Build(benchmark::State& state) {
    Bench& b = bench();
    for (auto _ : state) b.window->BitBtnCOMPILLEClick();
    if (!b.dialogs.errors.isEmpty()) state.SkipWithError(qPrintable(b.dialogs.errors.first()));
    state.counters["peak_MB"] = memoryMb("VmHWM");
}
BENCHMARK(BM_Build)->Name("F12_50000_lines")->Unit(benchmark::kMillisecond)->Apply([](auto* b) {
    withRange(b);
});

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    instance.reset();
    return 0;
}
