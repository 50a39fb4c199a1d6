// The composition window on a generated bank of 10,000 questions over 20 types:
// rebuilding the paper state with 2,000 questions ticked, and ticking one group
// (its rule and the rebuild); and, for information, opening and the write-back
// on closing.
// Ends with one line per goal.
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "TwentyTypeBank.h"
#include "QuietPrompter.h"
#include "compose/BuiltInWordProcessor.h"
#include "compose/PaperComposer.h"
#include "model/CourseBank.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

using Clock = std::chrono::steady_clock;
using bench::kTypes;
constexpr int kTicked = 2000;
const QString kCourse = bench::courseName();

std::map<std::string, double> g_seconds;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void remember(benchmark::State& state, const char* key, double total) {
    if (state.iterations() > 0)
        g_seconds[key] = total / double(state.iterations());
}

struct Composer {
    RecordStore store;
    QuietPrompter prompter;
    BuiltInWordProcessor word;
    std::unique_ptr<PaperComposer> composer;
    int firstGroupSubQuestion = 0;
};

Composer& composer() {
    static Composer* c = [] {
        auto* made = new Composer;
        made->store.open(CourseBank::fileName(kCourse), kCourse);
        made->composer = std::make_unique<PaperComposer>(made->store, made->prompter, kCourse, made->word);
        made->composer->open();
        // Tick 2,000 questions for paper A, every row of a group with its title.
        GridModel& grid = made->composer->questionGrid();
        int ticked = 0;
        QString group;
        for (int r = 1; r < grid.rowCount(); ++r) {
            const QString number = grid.text(r, PaperComposer::GroupNumberColumn);
            const bool unit = number.isEmpty() || number == u"0"_s;
            if (unit && ticked >= kTicked)
                break;
            if (unit) {
                ++ticked;
                group = grid.text(r, PaperComposer::GroupNameColumn);
            }
            if (!grid.checked(r, PaperComposer::BlockedColumn)) {
                grid.setChecked(r, PaperComposer::PaperAColumn, true);
                grid.setChecked(r, PaperComposer::PaperBColumn, r % 3 == 0);
            }
        }
        for (int r = grid.rowCount() - 1; r >= 1 && !made->firstGroupSubQuestion; --r) {
            if (grid.text(r, PaperComposer::GroupNumberColumn) == u"1"_s &&
                !grid.checked(r, PaperComposer::BlockedColumn))
                made->firstGroupSubQuestion = r;
        }
        made->composer->recomputePaperState();
        return made;
    }();
    return *c;
}

void BM_RecomputePaperState(benchmark::State& state) {
    PaperComposer& c = *composer().composer;
    double total = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        c.recomputePaperState();
        total += since(t0);
    }
    if (c.totalText(PaperComposer::Paper::A).toInt() <= 0 ||
        c.paperTypeScores(PaperComposer::Paper::A).rowCount() != kTypes + 1)
        state.SkipWithError("paper A is not spread over every type");
    remember(state, "recompute", total);
}

// A click on a sub-question's A卷 box: the group follows and the state is rebuilt.
void BM_TickGroup(benchmark::State& state) {
    Composer& c = composer();
    GridModel& grid = c.composer->questionGrid();
    const int row = c.firstGroupSubQuestion;
    if (!row) {
        state.SkipWithError("no group");
        return;
    }
    double total = 0;
    bool on = true;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        Q_EMIT grid.events().leftButtonDown(0, 0, Qt::NoModifier);
        grid.setCursor(row, PaperComposer::PaperAColumn);
        Q_EMIT grid.events().leftButtonUp(0, 0, Qt::NoModifier);
        grid.editInPlace(row, PaperComposer::PaperAColumn, on);
        total += since(t0);
        on = !on;
    }
    if (!grid.checked(row - 1, PaperComposer::PaperAColumn) && !on)
        state.SkipWithError("the title did not follow");
    remember(state, "tick_group", total);
}

// What opening the window costs: the grid copy of the bank in group order, the
// type order table and the paper state.
void BM_OpenComposer(benchmark::State& state) {
    Composer& c = composer();
    double total = 0;
    for (auto _ : state) {
        PaperComposer opened(c.store, c.prompter, kCourse, c.word);
        const auto t0 = Clock::now();
        opened.open();
        total += since(t0);
    }
    // The time also holds the write-back of each closing; this is the opening alone.
    state.counters["open_ms"] =
        total * 1e3 / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
}

// What closing the window costs: 难度, 分值, 定分 and 屏蔽 of every row, in one batch.
void BM_WriteBackQuestions(benchmark::State& state) {
    PaperComposer& c = *composer().composer;
    for (auto _ : state) {
        if (!c.writeBackQuestions())
            state.SkipWithError("the write-back failed");
    }
}

BENCHMARK(BM_RecomputePaperState)->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickGroup)->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenComposer)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBackQuestions)->Iterations(3)->Unit(benchmark::kMillisecond);

void goal(const char* name, double figure, const char* unit, double target, const char* targetText) {
    const bool ok = figure > 0 && figure <= target;
    std::printf("goal %s: %.3f%s (target %s) %s\n", name, figure, unit, targetText, ok ? "ok" : "short");
}

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

    const auto s = [](const char* k) { return g_seconds.count(k) ? g_seconds[k] : 0.0; };
    std::printf("\n");
    goal("recompute_paper_state", s("recompute") * 1e3, " ms", 10.0, "<10 ms");
    goal("tick_group", s("tick_group") * 1e3, " ms", 10.0, "<10 ms");
    return 0;
}
