// 导出为Moodle XML… of a generated bank of 10,000 questions (with its pictures),
// and 从Moodle XML导入… of that file into an empty course, through the whole
// import (reading, picture checks, duplicate test, commits, title scores). Ends
// with one line per goal.
#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "DataFolderWriter.h"
#include "QuietPrompter.h"
#include "SyntheticBank.h"
#include "editor/BankEditor.h"
#include "editor/CourseTransfer.h"
#include "editor/MoodleTransfer.h"
#include "model/CourseBank.h"
#include "model/MoodleXmlReader.h"
#include "model/QuestionRecord.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kQuestions = 10000;
const QString kCourse = u"大题库"_s;

QString g_work;   // the data folder
QString g_export; // the folder the file goes to
std::map<std::string, double> g_seconds;
int g_pictures = 0;
int g_imported = 0;
qint64 g_fileBytes = 0;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Chooses the export folder, overwrites, opens the exported file and imports it.
class BenchPrompter : public QuietPrompter {
public:
    QString chooseFolder(const QString&, const QString&) override { return g_export; }
    bool yesNo(const QString&, const QString&) override { return true; }
    bool okCancel(const QString&, const QString&) override { return true; }
    QString openFile(const QString&, const QString&, const QString&) override {
        return QDir(g_export).filePath(kCourse + u".xml"_s);
    }
};

void BM_Export(benchmark::State& state) {
    RecordStore store;
    BenchPrompter prompter;
    if (!store.open(CourseBank::fileName(kCourse), kCourse)) {
        state.SkipWithError("cannot open the bank");
        return;
    }
    double total = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        MoodleExport exporter(store, prompter, kCourse);
        if (!exporter.run(kCourse)) {
            state.SkipWithError("the export failed");
            return;
        }
        total += since(t0);
        g_fileBytes = QFileInfo(exporter.writtenPath()).size();
    }
    g_seconds["export"] = total / double(state.iterations());
}

void BM_Import(benchmark::State& state) {
    double total = 0;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString course = u"空课程"_s + QString::number(++round);
        RecordStore store;
        BenchPrompter prompter;
        CourseBank bank(store, prompter);
        if (!bank.createCourseBank(course) || !store.open(CourseBank::fileName(course), course)) {
            state.SkipWithError("cannot create the empty course");
            return;
        }
        BankEditor editor(store, prompter, course, {});
        editor.open(1000);
        CourseTransfer transfer(editor, store, prompter, [] { return QString(); });
        state.ResumeTiming();

        const auto t0 = Clock::now();
        MoodleImport(prompter, transfer).run();
        total += since(t0);
        g_imported = transfer.importedCount();
        if (g_imported != kQuestions) {
            state.SkipWithError("not every question came in");
            return;
        }
    }
    g_seconds["import"] = total / double(state.iterations());
}

// The reading alone: the file parsed and every picture checked, nothing stored.
void BM_Read(benchmark::State& state) {
    double total = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        QFile file(QDir(g_export).filePath(kCourse + u".xml"_s));
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot open the file");
            return;
        }
        MoodleXmlReader::Result result = MoodleXmlReader::read(file);
        int pictures = 0;
        for (const auto& q : result.questions) {
            for (const auto* picture : {&q.stemPicture, &q.answerPicture})
                pictures += !picture->isEmpty() && MoodleImport::storedPicture(*picture).has_value();
        }
        benchmark::DoNotOptimize(pictures);
        total += since(t0);
    }
    g_seconds["read"] = total / double(state.iterations());
}

BENCHMARK(BM_Export)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import)->Iterations(3)->Unit(benchmark::kMillisecond);

void goal(const char* name, double figure, bool ok, const char* targetText) {
    std::printf("goal %s: %.3f s (target %s) %s\n", name, figure, targetText, ok ? "ok" : "short");
}

} // namespace

int main(int argc, char** argv) {
    // The import checks pictures with Qt's image readers.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    g_work = QDir(dir.path()).filePath(u"data"_s);
    g_export = QDir(dir.path()).filePath(u"out"_s);
    QDir().mkpath(g_work);
    QDir().mkpath(g_export);
    const QList<SampleQuestion> questions = SyntheticBank::generate(kQuestions, 1);
    for (const SampleQuestion& q : questions)
        g_pictures += !q.stemPictureData.isEmpty() + !q.answerPictureData.isEmpty();
    {
        DataFolderWriter writer(g_work);
        if (!writer.prepare(u"林老师"_s, u"lin2024"_s) ||
            !writer.addCourse(kCourse, QString(), QString(), questions)) {
            std::fprintf(stderr, "cannot write the bank: %s\n", qPrintable(writer.errorText()));
            return 1;
        }
    }
    QDir::setCurrent(g_work);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const auto s = [](const char* k) { return g_seconds.count(k) ? g_seconds[k] : 0.0; };
    std::printf("\n%d questions with %d pictures; the file is %.1f MB; export %.0f ms, import %.0f ms "
                "(%d added; reading the file and checking its pictures %.0f ms of it)\n",
                kQuestions, g_pictures, double(g_fileBytes) / (1024.0 * 1024.0), s("export") * 1e3,
                s("import") * 1e3, g_imported, s("read") * 1e3);
    goal("moodle_export_10000", s("export"), s("export") > 0 && s("export") < 3.0, "<3 s");
    goal("moodle_import_10000", s("import"), s("import") > 0 && s("import") < 3.0, "<3 s");
    return 0;
}
