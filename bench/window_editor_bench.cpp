// The editor with a 50,000-line project: Open (load and colour every line),
// one keystroke in the middle (edit, colour the line, caret panels), Save,
// and F12 (save, build, write the image). Runs offscreen unless a display is
// chosen with QT_QPA_PLATFORM.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>

#include "editor/main_window.h"
#include "editor/scripted_dialogs.h"
#include "sample_program.h"

namespace {

using lintrel::MainWindow;
using lintrel::testing::ScriptedDialogs;

constexpr int kLines = 50000;

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
        const auto lines = lintrel::bench::sampleProgram("BASIC", lintrel::bench::SampleShape{kLines, 1, true});
        lineCount = static_cast<int>(lines.size());
        QFile file(project);
        file.open(QIODevice::WriteOnly);
        for (const auto& line : lines) {
            file.write(line.data(), static_cast<qint64>(line.size()));
            file.write("\r\n");
        }
        file.close();
        window = std::make_unique<MainWindow>(dialogs, folder.path());
        window->resize(1024, 640);
        window->show();
        window->setSaved(true);
        open();
    }
    void open() {
        dialogs.yesNoAnswers = {true};
        dialogs.openAnswers = {project};
        window->BitBtnLOADClick();
    }
};

Bench& bench() {
    static Bench instance;
    return instance;
}

void BM_Open(benchmark::State& state) {
    Bench& b = bench();
    for (auto _ : state) b.open();
    if (b.window->editor()->document()->blockCount() != b.lineCount) state.SkipWithError("the project did not load");
    state.counters["lines"] = b.lineCount;
}
BENCHMARK(BM_Open)->Name("Open_50000_lines")->Unit(benchmark::kMillisecond);

// A printable key in the middle of the text, as the editor receives it.
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
    }
    b.open();
}
BENCHMARK(BM_Keystroke)->Name("Keystroke_in_50000_lines")->Unit(benchmark::kMicrosecond);

void BM_Save(benchmark::State& state) {
    Bench& b = bench();
    for (auto _ : state) {
        if (!b.window->Save()) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_Save)->Name("Save_50000_lines")->Unit(benchmark::kMillisecond);

void BM_Build(benchmark::State& state) {
    Bench& b = bench();
    for (auto _ : state) b.window->BitBtnCOMPILLEClick();
    if (!b.dialogs.errors.isEmpty()) state.SkipWithError(qPrintable(b.dialogs.errors.first()));
}
BENCHMARK(BM_Build)->Name("F12_50000_lines")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
