// Costs in the real quiz window, offscreen: judging 101 positions and one
// quiz step (Next, then Back).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "app/window_set.h"
#include "bench_files.h"
#include "data/file_io.h"
#include "data/question_file.h"
#include "quiz/quiz_window.h"
#include "ui/prompt.h"
#include "ui/text_fit.h"
#include "window/shared_state.h"

namespace studyhop::bench {
namespace {

FileSystem fs;

class SilentPrompt : public Prompt {
public:
    PromptAnswer ask(const QString&, const QString&, PromptButtons) override {
        return PromptAnswer::Ok;
    }
};

struct QuizFixture {
    QuizFixture() : windows(prompt, fs, [] {}) {
        QDir::setCurrent(dir.path());
        encodeAndReplace(fs, "largest.qz2",
                         questionFileText(FileFormat::Current, largestTable(), kRows));
        windows.show(WindowId::Form1);
        windows.state().setF_name(QStringLiteral("largest.qz2"));
    }
    Form4* openQuiz() {
        windows.unload(WindowId::Form4);
        windows.unload(WindowId::Form6);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        windows.state().setFileState(FileState::Current);
        return showAs<Form4>(windows, WindowId::Form4);
    }
    QTemporaryDir dir;
    SilentPrompt prompt;
    WindowSet windows;
};

// Exit quiz runs show results over every one of the 101 positions.
void ShowResults101(benchmark::State& state) {
    QuizFixture fixture;
    for (auto _ : state) {
        state.PauseTiming();
        Form4* quiz = fixture.openQuiz();
        state.ResumeTiming();
        quiz->Command1_Click(0);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(ShowResults101)->Unit(benchmark::kMicrosecond);

void QuizStepNextThenBack(benchmark::State& state) {
    QuizFixture fixture;
    Form4* quiz = fixture.openQuiz();
    for (auto _ : state) {
        quiz->Command1_KeyDown(1, '1', 0);
        quiz->Command1_Click(1);
        quiz->Command1_Click(2);
        // What the user sees: the events of the step are handled, the window painted.
        QCoreApplication::processEvents();
    }
}
BENCHMARK(QuizStepNextThenBack)->Iterations(1000)->Unit(benchmark::kMicrosecond);

// The floors: the same, with every text set as it is, unfitted.
struct PlainTexts {
    PlainTexts() { setTextFittingEnabled(false); }
    ~PlainTexts() { setTextFittingEnabled(true); }
};

void ShowResults101Plain(benchmark::State& state) {
    const PlainTexts plain;
    ShowResults101(state);
}
BENCHMARK(ShowResults101Plain)->Unit(benchmark::kMicrosecond);

void QuizStepNextThenBackPlain(benchmark::State& state) {
    const PlainTexts plain;
    QuizStepNextThenBack(state);
}
BENCHMARK(QuizStepNextThenBackPlain)->Iterations(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace studyhop::bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
