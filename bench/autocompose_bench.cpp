// Automatic composition on a generated bank of 10,000 questions over 20 types:
// the two-paper loop, attempt after attempt, with a plan of 60 questions over
// 10 rows of the type table. The window yields to the event loop once per
// attempt, so an attempt has to stay well under a millisecond.
// Ends with one line per goal.
#include <chrono>
#include <cstdio>
#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "QuietPrompter.h"
#include "TwentyTypeBank.h"
#include "autocompose/AutoComposeRun.h"
#include "autocompose/AutoComposer.h"
#include "base/RandomSource.h"
#include "compose/BuiltInWordProcessor.h"
#include "compose/PaperComposer.h"
#include "model/CourseBank.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

using Clock = std::chrono::steady_clock;
using A = AutoComposer;
constexpr int kAttempts = 1000;
constexpr int kPlanRows = 10;
constexpr int kPerRow = 6;

// Confirms every run; the final messages are only kept.
class ConfirmingPrompter : public QuietPrompter {
public:
    bool okCancel(const QString&, const QString&) override { return true; }
};

struct Session {
    RecordStore store;
    ConfirmingPrompter prompter;
    BuiltInWordProcessor word;
    RandomSource random{1};
    std::unique_ptr<PaperComposer> composer;
    std::unique_ptr<AutoComposer> window;
    std::unique_ptr<AutoComposeRun> run;
};

Session& session() {
    static Session* s = [] {
        auto* made = new Session;
        const QString course = bench::courseName();
        made->store.open(CourseBank::fileName(course), course);
        made->composer = std::make_unique<PaperComposer>(made->store, made->prompter, course, made->word);
        made->composer->open();
        made->composer->startAutoComposition();
        made->window = std::make_unique<AutoComposer>(*made->composer, made->prompter, course);
        made->window->open();
        // Six questions from each of the ten rows with the most to choose from
        // (the table is sorted by 可选题数, ascending).
        GridModel& types = made->window->typeTable();
        for (int i = 0; i < kPlanRows; ++i) {
            const int row = types.rowCount() - 1 - i;
            types.setCursor(row, A::ChosenColumn);
            made->window->beginCountEdit();
            types.setText(row, A::ChosenColumn, QString::number(kPerRow));
            made->window->applyCountChange();
        }
        made->window->setPaperChoice(true, true);
        made->window->setSimilarityLimit(u"10"_s);
        made->run = std::make_unique<AutoComposeRun>(*made->window, made->random);
        return made;
    }();
    return *s;
}

double g_attemptSeconds = 0;
int g_planQuestions = 0;
int g_planRows = 0;
int g_runs = 0;

// One attempt per step(), as the window drives it; a run that ends (success or
// retries used up) is started again at once.
void BM_TwoPaperAttempts(benchmark::State& state) {
    Session& s = session();
    g_planQuestions = s.window->chosenTotal();
    g_planRows = s.window->compositionPlan().rowCount() - 1;
    double total = 0;
    int attempts = 0;
    for (auto _ : state) {
        for (int i = 0; i < kAttempts; ++i) {
            // The start of a run (confirmation, plan order) is not an attempt.
            if (!s.run->running()) {
                s.run->startOrStop();
                ++g_runs;
            }
            const auto t0 = Clock::now();
            s.run->step();
            total += std::chrono::duration<double>(Clock::now() - t0).count();
        }
        attempts += kAttempts;
    }
    if (s.composer->totalText(PaperComposer::Paper::A).toInt() <= 0)
        state.SkipWithError("no paper was composed");
    g_attemptSeconds = total / attempts;
    state.counters["attempt_us"] = g_attemptSeconds * 1e6;
}

BENCHMARK(BM_TwoPaperAttempts)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QString error;
    if (!bench::writeTwentyTypeFolder(dir.path(), error)) {
        std::fprintf(stderr, "cannot write the bank: %s\n", qPrintable(error));
        return 1;
    }
    QDir::setCurrent(dir.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double figure = g_attemptSeconds * kAttempts;
    const bool planOk = g_planQuestions == kPlanRows * kPerRow && g_planRows == kPlanRows;
    std::printf("\nplan: %d questions over %d rows; %d runs for %d attempts\n", g_planQuestions, g_planRows,
                g_runs, 3 * kAttempts);
    std::printf("goal two_paper_1000_attempts: %.3f s (target <1 s) %s\n", figure,
                figure > 0 && figure < 1.0 && planOk ? "ok" : "short");
    return 0;
}
