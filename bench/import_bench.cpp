// 导入 of a generated source bank of 10,000 questions (30 % of them duplicates of
// the destination, groups among them, a few group names the destination uses)
// into a generated bank of 10,000. Beside it, on the same data, the duplicate test
// of every source record two ways: by a scan of the editor grid, and through a
// hash index of the grid's joined stem texts and answers (built inside the timed
// part, as the import relies on one). Ends with one line per goal.
#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "DataFolderWriter.h"
#include "QuietPrompter.h"
#include "SyntheticBank.h"
#include "editor/BankEditor.h"
#include "editor/CourseTransfer.h"
#include "editor/DuplicateIndex.h"
#include "model/CourseBank.h"
#include "model/QuestionRecord.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kQuestions = 10000;
constexpr int kDuplicates = 3000;
// The scan is measured on every tenth source record and scaled up.
constexpr int kScanStride = 10;
const QString kCourse = u"大题库"_s;
const QString kSourceCourse = u"来源"_s;

QString g_template; // the destination's files, copied afresh for every run
QString g_source;   // the source bank's .edb
std::map<std::string, double> g_seconds;
int g_imported = 0;
int g_duplicates = 0;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Chooses the source in the file dialog; every other question is answered as the
// quiet prompter does (a group conflict is skipped).
class BenchPrompter : public QuietPrompter {
public:
    QString openFile(const QString&, const QString&, const QString&) override { return g_source; }
};

bool copyBank(const QString& fromFolder, const QString& toFolder) {
    for (const QString& ext : {u".edb"_s, u".edt"_s}) {
        QFile::remove(QDir(toFolder).filePath(kCourse + ext));
        if (!QFile::copy(QDir(fromFolder).filePath(kCourse + ext), QDir(toFolder).filePath(kCourse + ext)))
            return false;
    }
    return true;
}

void BM_Import(benchmark::State& state) {
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!copyBank(g_template, QDir::currentPath())) {
            state.SkipWithError("cannot copy the destination");
            return;
        }
        RecordStore store;
        BenchPrompter prompter;
        store.open(CourseBank::fileName(kCourse), kCourse);
        BankEditor editor(store, prompter, kCourse, {});
        editor.open(1000);
        CourseTransfer transfer(editor, store, prompter, [] { return QString(); });
        state.ResumeTiming();

        const auto t0 = Clock::now();
        transfer.importCourse();
        total += since(t0);
        g_imported = transfer.importedCount();
        g_duplicates = transfer.duplicateCount();
    }
    g_seconds["import"] = total / double(state.iterations());
}

struct Key {
    QString stem;
    QString answer;
};

// The joined stem texts and answers of the source records, every stride-th one.
QList<Key> sourceKeys(RecordStore& store, int stride) {
    QList<Key> keys;
    store.open(g_source, u"源"_s, QString(), true);
    for (int i = 1; i <= store.recordCount(); i += stride) {
        store.goTo(i);
        keys.append({store.readText(QuestionRecord::StemText1) + store.readText(QuestionRecord::StemText2),
                     store.readText(QuestionRecord::Answer)});
    }
    store.close(u"源"_s);
    return keys;
}

// The duplicate test as a scan: for each source record, the grid rows in order
// until one has the same joined stem texts and answer.
void BM_GridScan(benchmark::State& state) {
    if (!copyBank(g_template, QDir::currentPath())) {
        state.SkipWithError("cannot copy the destination");
        return;
    }
    RecordStore store;
    BenchPrompter prompter;
    store.open(CourseBank::fileName(kCourse), kCourse);
    BankEditor editor(store, prompter, kCourse, {});
    editor.open(1000);
    const GridModel& grid = editor.grid();
    const QList<Key> keys = sourceKeys(store, kScanStride);
    double total = 0;
    int found = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        found = 0;
        for (const Key& key : keys) {
            for (int r = 1; r < grid.rowCount(); ++r) {
                if (grid.text(r, BankEditor::StemText1Column) + grid.text(r, BankEditor::StemText2Column) ==
                        key.stem &&
                    grid.text(r, BankEditor::AnswerColumn) == key.answer) {
                    ++found;
                    break;
                }
            }
        }
        total += since(t0);
    }
    benchmark::DoNotOptimize(found);
    g_seconds["scan"] = total / double(state.iterations()) * kScanStride;
}

// The same test through a hash index of the grid, building the index included.
void BM_IndexLookup(benchmark::State& state) {
    if (!copyBank(g_template, QDir::currentPath())) {
        state.SkipWithError("cannot copy the destination");
        return;
    }
    RecordStore store;
    BenchPrompter prompter;
    store.open(CourseBank::fileName(kCourse), kCourse);
    BankEditor editor(store, prompter, kCourse, {});
    editor.open(1000);
    const GridModel& grid = editor.grid();
    const QList<Key> keys = sourceKeys(store, 1);
    double total = 0;
    int found = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        DuplicateIndex index;
        for (int r = 1; r < grid.rowCount(); ++r)
            index.set(qint32(grid.text(r, BankEditor::RecordIdColumn).toInt()),
                      grid.text(r, BankEditor::StemText1Column), grid.text(r, BankEditor::StemText2Column),
                      grid.text(r, BankEditor::AnswerColumn));
        found = 0;
        for (const Key& key : keys)
            found += index.containsOther(key.stem, key.answer, 0) ? 1 : 0;
        total += since(t0);
    }
    benchmark::DoNotOptimize(found);
    g_seconds["index"] = total / double(state.iterations());
}

BENCHMARK(BM_Import)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridScan)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexLookup)->Iterations(5)->Unit(benchmark::kMillisecond);

void goal(const char* name, double figure, const char* unit, bool ok, const char* targetText) {
    std::printf("goal %s: %.3f%s (target %s) %s\n", name, figure, unit, targetText, ok ? "ok" : "short");
}

bool writeFolders(const QString& root) {
    const QList<SampleQuestion> destination = SyntheticBank::generate(kQuestions, 1);
    // The first 3,000 of the destination's questions, then 7,000 others; most of
    // their groups renamed so that only a few names clash.
    QList<SampleQuestion> source = destination.mid(0, kDuplicates);
    QList<SampleQuestion> fresh = SyntheticBank::generate(kQuestions - kDuplicates, 2);
    for (SampleQuestion& q : fresh) {
        const int index = q.groupName.mid(2).toInt();
        if (!q.groupName.isEmpty() && index % 10 != 0)
            q.groupName = u"新"_s + q.groupName;
    }
    source += fresh;

    const QString destFolder = QDir(root).filePath(u"dest"_s);
    const QString sourceFolder = QDir(root).filePath(u"source"_s);
    for (const auto& [folder, name, questions] :
         {std::tuple{destFolder, kCourse, destination}, std::tuple{sourceFolder, kSourceCourse, source}}) {
        QDir().mkpath(folder);
        DataFolderWriter writer(folder);
        if (!writer.prepare(u"林老师"_s, u"lin2024"_s) ||
            !writer.addCourse(name, QString(), QString(), questions)) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(name), qPrintable(writer.errorText()));
            return false;
        }
    }
    g_template = destFolder;
    g_source = QDir(sourceFolder).filePath(CourseBank::fileName(kSourceCourse));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!writeFolders(dir.path()))
        return 1;
    const QString work = QDir(dir.path()).filePath(u"work"_s);
    QDir().mkpath(work);
    // The type library and catalogue the import reads live beside the bank.
    for (const QString& file : QDir(g_template).entryList(QDir::Files)) {
        if (!file.startsWith(kCourse))
            QFile::copy(QDir(g_template).filePath(file), QDir(work).filePath(file));
    }
    QDir::setCurrent(work);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const auto s = [](const char* k) { return g_seconds.count(k) ? g_seconds[k] : 0.0; };
    std::printf("\nimport %.1f ms (%d added, %d duplicates); duplicate test of the 10,000 source records: "
                "grid scan %.1f ms (every %dth record, scaled), hash index %.1f ms (building it included); "
                "the grid scan alone takes %.1fx the whole import\n",
                s("import") * 1e3, g_imported, g_duplicates, s("scan") * 1e3, kScanStride, s("index") * 1e3,
                s("import") > 0 ? s("scan") / s("import") : 0.0);
    const double ratio = s("index") > 0 ? s("scan") / s("index") : 0.0;
    goal("duplicate_test_vs_grid_scan", ratio, "x", ratio >= 20.0, ">=20x");
    goal("import_10000_into_10000", s("import"), " s", s("import") > 0 && s("import") < 5.0, "<5 s");
    return 0;
}
