// The bank editor on generated banks of 10,000 and 100,000 questions (groups,
// choice questions, 5 % with pictures): opening the editor's logic beside the
// store's own open-and-read-all of the same bank, the memory the process needed
// for the larger one, leaving a row (rule check and duplicate check), and a
// question joining a group grown to 20 sub-questions (the group order and the
// title's score recomputed, all written).
// Ends with one line per goal.
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "QuietPrompter.h"
#include "SyntheticBank.h"
#include "editor/BankEditor.h"
#include "model/CourseBank.h"
#include "model/QuestionRecord.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kQuestions = 10000;
constexpr int kLargeQuestions = 100000;
const QString kCourse = u"大题库"_s;
const QString kLargeCourse = u"十万题库"_s;

QString courseOf(int questions) {
    return questions == kLargeQuestions ? kLargeCourse : kCourse;
}

// The process's peak resident memory so far, in MB (VmHWM).
double peakMegabytes() {
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}
int g_subQuestions = 0;

std::map<std::string, double> g_seconds;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void remember(benchmark::State& state, const char* key, double total) {
    if (state.iterations() > 0)
        g_seconds[key] = total / double(state.iterations());
}

int lineCount(int width, const QString& text) {
    const int perLine = std::max(width / 12, 1);
    return int(text.size() / perLine) + 1;
}

// Open the bank and read every field of every record through the store.
void BM_StoreOpenReadAll(benchmark::State& state) {
    double total = 0;
    for (auto _ : state) {
        RecordStore store;
        const auto t0 = Clock::now();
        if (!store.open(CourseBank::fileName(kCourse), kCourse)) {
            state.SkipWithError("the bank does not open");
            return;
        }
        const int count = store.recordCount();
        qsizetype bytes = 0;
        for (int k = 1; k <= count; ++k) {
            store.goTo(k);
            for (int f = 1; f <= QuestionRecord::kFieldCount; ++f) {
                const QVariant value = store.read(f);
                bytes += value.toByteArray().size();
            }
        }
        benchmark::DoNotOptimize(bytes);
        total += since(t0);
    }
    remember(state, "store_read_all", total);
}

// Open the bank and the editor on it: type list, every row, group order.
void BM_EditorOpen(benchmark::State& state) {
    const int questions = int(state.range(0));
    const QString course = courseOf(questions);
    double total = 0;
    QuietPrompter prompter;
    for (auto _ : state) {
        RecordStore store;
        const auto t0 = Clock::now();
        if (!store.open(CourseBank::fileName(course), course)) {
            state.SkipWithError("the bank does not open");
            return;
        }
        BankEditor editor(store, prompter, course, lineCount);
        editor.open(1200);
        benchmark::DoNotOptimize(editor.questionCount());
        total += since(t0);
        if (editor.grid().rowCount() != questions + 1)
            state.SkipWithError("not every question was loaded");
    }
    remember(state, questions == kLargeQuestions ? "editor_open_100000" : "editor_open", total);
    if (questions == kLargeQuestions)
        g_seconds["peak_mb"] = peakMegabytes();
}

// A click that leaves a choice question's row for another row: the row checks
// run on the row left.
void BM_LeaveRow(benchmark::State& state) {
    QuietPrompter prompter;
    RecordStore store;
    if (!store.open(CourseBank::fileName(kCourse), kCourse)) {
        state.SkipWithError("the bank does not open");
        return;
    }
    BankEditor editor(store, prompter, kCourse, lineCount);
    editor.open(1200);
    GridModel& grid = editor.grid();
    // Two choice questions far apart, so the walk crosses the grid.
    int first = 0;
    int second = 0;
    for (int r = grid.rowCount() - 1; r >= 1 && !second; --r) {
        if (grid.checked(r, BankEditor::ChoiceColumn) &&
            grid.text(r, BankEditor::GroupNumberColumn).isEmpty())
            (first ? second : first) = r;
    }
    if (!first || !second) {
        state.SkipWithError("no choice questions");
        return;
    }
    const auto clickOn = [&](int row) {
        Q_EMIT grid.events().leftButtonDown(0, 0, Qt::NoModifier);
        grid.setCursor(row, BankEditor::TypeColumn);
        Q_EMIT grid.events().leftButtonUp(0, 0, Qt::NoModifier);
    };
    clickOn(first);
    double total = 0;
    bool onFirst = true;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        clickOn(onFirst ? second : first);
        total += since(t0);
        onFirst = !onFirst;
    }
    if (!prompter.messages().isEmpty())
        state.SkipWithError("a row check complained");
    remember(state, "leave_row", total);
}

// One join through the 分组名 dialog: an ungrouped question of the type and
// difficulty of a title joins its group; between joins it leaves again (untimed).
void BM_GroupJoin(benchmark::State& state) {
    QuietPrompter prompter;
    RecordStore store;
    if (!store.open(CourseBank::fileName(kCourse), kCourse)) {
        state.SkipWithError("the bank does not open");
        return;
    }
    BankEditor editor(store, prompter, kCourse, lineCount);
    editor.open(1200);
    GridModel& grid = editor.grid();
    // The largest group, and an ungrouped question that may join it without a question.
    QHash<QString, int> sizes;
    for (int r = 1; r < grid.rowCount(); ++r)
        ++sizes[grid.text(r, BankEditor::GroupNameColumn)];
    QString group;
    for (auto it = sizes.cbegin(); it != sizes.cend(); ++it) {
        if (!it.key().isEmpty() && (group.isEmpty() || it.value() > sizes.value(group)))
            group = it.key();
    }
    int title = 0;
    for (int r = 1; r < grid.rowCount() && !title; ++r) {
        if (grid.text(r, BankEditor::GroupNameColumn) == group && grid.text(r, BankEditor::GroupNumberColumn) == u"0")
            title = r;
    }
    // Questions that may join it without a question asked: the first ones make
    // the group 20 sub-questions strong, the next one is timed.
    QList<qint32> joiners;
    for (int r = 1; r < grid.rowCount() && title; ++r) {
        if (grid.text(r, BankEditor::GroupNameColumn).isEmpty() &&
            grid.text(r, BankEditor::TypeColumn) == grid.text(title, BankEditor::TypeColumn) &&
            grid.text(r, BankEditor::DifficultyColumn) == grid.text(title, BankEditor::DifficultyColumn))
            joiners << grid.text(r, BankEditor::RecordIdColumn).toInt();
    }
    const int toAdd = 20 - (sizes.value(group) - 1);
    if (joiners.size() <= toAdd) {
        state.SkipWithError("too few questions can join the largest group");
        return;
    }
    qint32 joiner = 0;
    const auto nameDialog = [&](const QString& name) {
        for (int r = 1; r < grid.rowCount(); ++r) {
            if (grid.text(r, BankEditor::RecordIdColumn).toInt() == joiner) {
                editor.moveToCell(r, BankEditor::GroupNameColumn);
                break;
            }
        }
        Q_EMIT grid.events().doubleClick(0, 0, Qt::NoModifier);
        return editor.acceptTextDialog(name);
    };
    for (int k = 0; k < toAdd; ++k) {
        joiner = joiners.at(k);
        nameDialog(group);
    }
    joiner = joiners.at(toAdd);
    int subQuestions = 0;
    for (int r = 1; r < grid.rowCount(); ++r)
        subQuestions += grid.text(r, BankEditor::GroupNameColumn) == group ? 1 : 0;
    g_subQuestions = subQuestions - 1;
    double total = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        nameDialog(group);
        total += since(t0);
        nameDialog(QString());
    }
    if (!prompter.messages().isEmpty())
        state.SkipWithError("the join was refused");
    remember(state, "group_join", total);
}

BENCHMARK(BM_StoreOpenReadAll)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorOpen)->Arg(kQuestions)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeaveRow)->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GroupJoin)->Iterations(50)->Unit(benchmark::kMillisecond);
// Last, so that the peak memory read after it is the large bank's.
BENCHMARK(BM_EditorOpen)->Arg(kLargeQuestions)->Iterations(2)->Unit(benchmark::kMillisecond);

void goal(const char* name, double figure, const char* unit, double target, const char* targetText) {
    const bool ok = figure > 0 && figure <= target;
    std::printf("goal %s: %.3f%s (target %s) %s\n", name, figure, unit, targetText, ok ? "ok" : "short");
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    // The banks are generated in a child process: generating holds every question
    // in memory, which is not what the editor's peak memory is about.
    const pid_t child = fork();
    if (child == 0) {
        QString error;
        for (const int questions : {kQuestions, kLargeQuestions}) {
            SyntheticBank::Options options;
            options.questionCount = questions;
            options.courseName = courseOf(questions);
            if (!SyntheticBank::write(dir.path(), options, &error)) {
                std::fprintf(stderr, "cannot write the bank: %s\n", qPrintable(error));
                _exit(1);
            }
        }
        _exit(0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return 1;
    QCoreApplication app(argc, argv);
    QDir::setCurrent(dir.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const auto s = [](const char* k) { return g_seconds.count(k) ? g_seconds[k] : 0.0; };
    std::printf("\nstore open and read all %.1f ms; editor open %.1f ms; leaving a row %.3f ms\n",
                s("store_read_all") * 1e3, s("editor_open") * 1e3, s("leave_row") * 1e3);
    const double readAll = s("store_read_all");
    goal("editor_open_vs_store_read_all", readAll > 0 ? s("editor_open") / readAll : 0.0, "x", 2.0, "<=2x");
    goal("leave_row", s("leave_row") * 1e3, " ms", 20.0, "<20 ms");
    std::printf("a join into a group of %d sub-questions\n", g_subQuestions);
    goal("group_change_10000", s("group_join") * 1e3, " ms", 5.0, "<5 ms");
    goal("editor_open_100000", s("editor_open_100000"), " s", 1.0, "<1 s");
    goal("peak_rss_editor_100000", s("peak_mb"), " MB", 400.0, "<400 MB");
    return 0;
}
