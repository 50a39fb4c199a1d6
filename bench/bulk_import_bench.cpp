// 从Word/文本导入 of a large paper: a .docx of 200 questions in four major
// questions (choice questions with their options on one line, fill-in, true or
// false, questions to answer), 40 of them with a picture, and an answer section
// at the end, written by the project's own .docx writer. Timed: reading the
// file, parsing the convention, checking the pictures and building every row of
// the preview with its rule check, as the window shows it. Beside it (not in the
// goal) the records as they would be stored, pictures converted. Ends with one
// line per goal.
#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "QuietPrompter.h"
#include "compose/DocxDocument.h"
#include "editor/PaperImport.h"
#include "model/CourseBank.h"
#include "model/QuestionTypeLibrary.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kQuestions = 200;
constexpr int kPictures = 40;
const QString kCourse = u"大题库"_s;

QString g_paper;
std::map<std::string, double> g_seconds;
int g_rows = 0;
int g_pictures = 0;
QString g_summary;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

QByteArray picture(int k) {
    QImage image(320 + k, 200, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((k * 37) % 360, 120, 230));
    for (int x = 0; x < image.width(); x += 8)
        for (int y = 0; y < image.height(); y += 8)
            image.setPixel(x, y, qRgb(x % 256, y % 256, k % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, k % 2 ? "PNG" : "JPEG");
    return bytes;
}

bool writePaper(const QString& path) {
    DocxDocument d;
    d.setAlignment(1);
    d.typeText(u"期末考试  试题"_s);
    d.typeParagraph();
    d.setAlignment(0);
    const QStringList headings{u"一、选择题（每小题2分，共100分）"_s, u"二、填空题（每小题2分，共100分）"_s,
                               u"三、判断题（每小题1分，共50分）"_s, u"四、解答题（每小题5分，共250分）"_s};
    QStringList answers;
    int pictures = 0;
    for (int k = 0; k < kQuestions; ++k) {
        const int section = k / (kQuestions / 4);
        const int n = k % (kQuestions / 4) + 1;
        if (n == 1) {
            d.typeParagraph();
            d.setFontSize(14);
            d.setBold(1);
            d.typeText(headings[section]);
            d.setFontSize(10);
            d.setBold(0);
            answers << headings[section];
        }
        d.typeParagraph();
        const QString no = QString::number(k + 1);
        switch (section) {
        case 0:
            d.typeText(QString::number(n) + u". 第"_s + no + u"题：下列说法中正确的是（ ）"_s);
            d.typeParagraph();
            d.typeText(u"A. 选项甲"_s + no + u"     B. 选项乙"_s + no + u"     C. 选项丙"_s + no +
                       u"     D. 选项丁"_s + no + u"     "_s);
            answers << QString::number(n) + u". "_s + QString(QChar(u'A' + k % 4));
            break;
        case 1:
            d.typeText(QString::number(n) + u". 第"_s + no + u"题：床前明月光，______。"_s);
            answers << QString::number(n) + u". 答案"_s + no;
            break;
        case 2:
            d.typeText(QString::number(n) + u". 第"_s + no + u"题：地球是圆的。"_s);
            answers << QString::number(n) + (k % 2 ? u". √"_s : u". ×"_s);
            break;
        default:
            d.typeText(QString::number(n) + u". 第"_s + no + u"题：已知三角形的两边长分别为3和4，"_s);
            d.typeParagraph();
            d.typeText(u"求第三边的取值范围，并说明理由。"_s);
            answers << QString::number(n) + u". 解：1<x<7。"_s;
            answers << u"由三角形三边关系可得。"_s;
            break;
        }
        if (k % (kQuestions / kPictures) == 0) {
            d.typeParagraph();
            d.addPicture(picture(pictures++));
        }
    }
    d.typeParagraph();
    d.typeText(u"参考答案"_s);
    for (const QString& line : answers) {
        d.typeParagraph();
        d.typeText(line);
    }
    g_pictures = pictures;
    return d.save(path);
}

bool prepareFolder() {
    RecordStore store;
    QuietPrompter prompter;
    CourseBank bank(store, prompter);
    QuestionTypeLibrary library(store, prompter);
    return bank.createCourseBank(kCourse) && library.openTypeLibrary() == OpenOutcome::Ready;
}

void BM_ReadAndPreview(benchmark::State& state) {
    double total = 0;
    for (auto _ : state) {
        RecordStore store;
        QuietPrompter prompter;
        store.open(CourseBank::fileName(kCourse), kCourse);
        const auto t0 = Clock::now();
        PaperImport import(store, prompter, kCourse);
        if (!import.read(g_paper)) {
            state.SkipWithError("the paper was not read");
            return;
        }
        int shown = 0;
        for (int k = 0; k < import.rowCount(); ++k) {
            const PaperImport::Row row = import.row(k);
            shown += row.stem.isEmpty() ? 0 : 1;
        }
        g_summary = import.summary();
        total += since(t0);
        g_rows = shown;
    }
    g_seconds["preview"] = total / double(state.iterations());
}

void BM_Records(benchmark::State& state) {
    RecordStore store;
    QuietPrompter prompter;
    store.open(CourseBank::fileName(kCourse), kCourse);
    PaperImport import(store, prompter, kCourse);
    if (!import.read(g_paper)) {
        state.SkipWithError("the paper was not read");
        return;
    }
    double total = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        QList<bool> incomplete;
        benchmark::DoNotOptimize(import.records(&incomplete));
        total += since(t0);
    }
    g_seconds["records"] = total / double(state.iterations());
}

BENCHMARK(BM_ReadAndPreview)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Records)->Iterations(3)->Unit(benchmark::kMillisecond);

void goal(const char* name, double figure, const char* unit, bool ok, const char* targetText) {
    std::printf("goal %s: %.3f%s (target %s) %s\n", name, figure, unit, targetText, ok ? "ok" : "short");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    g_paper = QDir(dir.path()).filePath(u"期末考试.docx"_s);
    if (!prepareFolder() || !writePaper(g_paper)) {
        std::fprintf(stderr, "cannot write the paper or the course\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const auto s = [](const char* k) { return g_seconds.count(k) ? g_seconds[k] : 0.0; };
    std::printf("\npaper of %d questions with %d pictures: read and shown in the preview logic in %.1f ms "
                "(%d rows); its records with pictures converted in %.1f ms\n",
                kQuestions, g_pictures, s("preview") * 1e3, g_rows, s("records") * 1e3);
    std::printf("%s\n", qPrintable(g_summary));
    goal("bulk_import_200", s("preview"), " s",
         s("preview") > 0 && s("preview") < 1.0 && g_rows == kQuestions, "<1 s");
    return 0;
}
