// The composition window on generated banks of 10,000 and 100,000 questions over
// 20 types: rebuilding the paper state with 2,000 questions ticked, ticking one
// group (its rule and the rebuild), opening the window; and, for information, the
// write-back on closing.
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

using bench::kLargeQuestions;

QString courseOf(int questions) {
    return questions == kLargeQuestions ? bench::largeCourseName() : kCourse;
}

const char* key(const char* name, int questions) {
    static std::map<std::string, std::string> keys;
    std::string& k = keys[std::string(name) + std::to_string(questions)];
    k = std::string(name) + (questions == kLargeQuestions ? "_100000" : "");
    return k.c_str();
}

// One store for both courses, as in the program: it keeps the type library open.
RecordStore& sharedStore() {
    static RecordStore* store = new RecordStore;
    return *store;
}

struct Composer {
    RecordStore& store = sharedStore();
    QuietPrompter prompter;
    BuiltInWordProcessor word;
    std::unique_ptr<PaperComposer> composer;
    int firstGroupSubQuestion = 0;
};

Composer& composer(int questions) {
    static std::map<int, Composer*> made;
    Composer*& c = made[questions];
    if (c)
        return *c;
    c = [questions] {
        const QString course = courseOf(questions);
        auto* made = new Composer;
        if (!made->store.open(CourseBank::fileName(course), course))
            std::fprintf(stderr, "the bank %s does not open\n", qPrintable(course));
        made->composer = std::make_unique<PaperComposer>(made->store, made->prompter, course, made->word);
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
    const int questions = int(state.range(0));
    PaperComposer& c = *composer(questions).composer;
    GridModel& grid = c.questionGrid();
    // Each rebuild follows a change: one ungrouped question in or out of paper B.
    int row = 1;
    while (row < grid.rowCount() && !grid.text(row, PaperComposer::GroupNumberColumn).isEmpty())
        ++row;
    double total = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        grid.setChecked(row, PaperComposer::PaperBColumn, !grid.checked(row, PaperComposer::PaperBColumn));
        c.recomputePaperState();
        total += since(t0);
    }
    if (c.totalText(PaperComposer::Paper::A).toInt() <= 0 ||
        c.paperTypeScores(PaperComposer::Paper::A).rowCount() != kTypes + 1)
        state.SkipWithError(("paper A is not spread over every type: " + std::to_string(c.paperTypeScores(PaperComposer::Paper::A).rowCount()) + " " + c.totalText(PaperComposer::Paper::A).toStdString()).c_str());
    remember(state, key("recompute", questions), total);
}

// A click on a sub-question's A卷 box: the group follows and the state is rebuilt.
void BM_TickGroup(benchmark::State& state) {
    const int questions = int(state.range(0));
    Composer& c = composer(questions);
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
    remember(state, key("tick_group", questions), total);
}

// What opening the window costs: the grid copy of the bank in group order, the
// type order table and the paper state.
// The store is opened afresh each time, as the program does for the window.
void BM_OpenComposer(benchmark::State& state) {
    const int questions = int(state.range(0));
    const QString course = courseOf(questions);
    QuietPrompter prompter;
    BuiltInWordProcessor word;
    double total = 0;
    for (auto _ : state) {
        RecordStore store;
        const auto t0 = Clock::now();
        if (!store.open(CourseBank::fileName(course), course)) {
            state.SkipWithError("the bank does not open");
            return;
        }
        PaperComposer opened(store, prompter, course, word);
        opened.open();
        total += since(t0);
        if (opened.questionGrid().rowCount() != questions + 1)
            state.SkipWithError("not every question was loaded");
    }
    remember(state, key("open", questions), total);
}

// What closing the window costs: 难度, 分值, 定分 and 屏蔽 of every row, in one batch.
void BM_WriteBackQuestions(benchmark::State& state) {
    PaperComposer& c = *composer(bench::kQuestions).composer;
    for (auto _ : state) {
        if (!c.writeBackQuestions())
            state.SkipWithError("the write-back failed");
    }
}

// First: the store holds a bank open for itself, so the others open theirs after.
BENCHMARK(BM_OpenComposer)->Arg(bench::kQuestions)->Arg(kLargeQuestions)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecomputePaperState)->Arg(bench::kQuestions)->Arg(kLargeQuestions)->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickGroup)->Arg(bench::kQuestions)->Arg(kLargeQuestions)->Iterations(50)->Unit(benchmark::kMillisecond);
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
    if (!bench::writeTwentyTypeFolder(dir.path(), error) || !bench::addLargeCourse(dir.path(), error)) {
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
    std::printf("opening the window on 10,000 questions: %.3f s\n", s("open"));
    goal("composer_open_100000", s("open_100000"), " s", 1.0, "<1 s");
    goal("recompute_paper_state_100000", s("recompute_100000") * 1e3, " ms", 5.0, "<5 ms");
    goal("tick_group_100000", s("tick_group_100000") * 1e3, " ms", 5.0, "<5 ms");
    return 0;
}
