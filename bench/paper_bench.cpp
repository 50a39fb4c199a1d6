// Paper generation: a paper of 100 questions (five types, choice questions with
// shuffled options, 20 pictures) assembled and written with its answer sheet, as
// HTML, as .docx and as PDF, into a temporary folder; the viewer is not opened.
// Ends with one line per goal.
#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "base/Prompter.h"
#include "base/RandomSource.h"
#include "compose/DocumentOpener.h"
#include "compose/HtmlPaperWriter.h"
#include "compose/PaperAssembly.h"
#include "compose/PdfPaperWriter.h"
#include "compose/WordPaperWriter.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

using Clock = std::chrono::steady_clock;
std::map<std::string, double> g_seconds; // mean seconds per iteration

class NoOpener : public DocumentOpener {
public:
    bool openDocument(const QString&) override { return true; }
};

class SilentPrompter : public Prompter {
public:
    void message(const QString&, const QString&, Icon) override {}
    bool okCancel(const QString&, const QString&) override { return false; }
    bool yesNo(const QString&, const QString&) override { return false; }
    std::optional<QString> input(const QString&, const QString&, const QString&, bool) override { return {}; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<unsigned int> chooseColour(unsigned int) override { return {}; }
};

struct Inputs {
    QList<PaperRow> work;
    PaperSettings settings;
    QList<QByteArray> pictures;
};

// A photograph-like picture: a gradient with noise, as JPEG when the codec is
// there, else PNG.
QByteArray makePicture(int seed) {
    QImage image(480, 320, QImage::Format_RGB32);
    QRandomGenerator random{quint32(seed)};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x + seed * 7) % 256, (y * 2) % 256, int(random.bounded(64)) + 96));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", 85)) {
        buffer.seek(0);
        bytes.clear();
        image.save(&buffer, "PNG");
    }
    return bytes;
}

const Inputs& inputs() {
    static const Inputs in = [] {
        Inputs i;
        PaperSettings& s = i.settings;
        s.courseName = u"物理"_s;
        s.compositionTime = u"20261209010203"_s;
        s.totalText = u"300"_s;
        s.similarityText = u"0"_s;
        s.paper = u"A卷"_s;
        s.generationTime = u"20261209060708"_s;
        s.majorLabels = {QString(), u"一"_s, u"二"_s, u"三"_s, u"四"_s, u"五"_s};
        s.majorSuffix = u". "_s;
        s.majorScoreNote = true;
        s.optionLineBreak = true;
        s.optionSuffix = u". "_s;
        const QStringList types{u"判断"_s, u"选择"_s, u"填空"_s, u"名词"_s, u"问答"_s};
        for (const QString& t : types)
            s.types.append(PaperType{t, u"3"_s, t == u"问答"_s, u"60"_s, t + u"题的说明"_s});
        for (int q = 0; q < 100; ++q) {
            PaperRow row;
            row.type = types[q % 5];
            row.stem1 =
                u"第"_s + QString::number(q) + u"题：关于力学的陈述（ ）正确与否，请说明理由。\r\n第二行"_s;
            row.answer = u"答案的文字，第"_s + QString::number(q) + u"题"_s;
            row.score = 3;
            row.recordId = q + 1;
            if (row.type == u"选择"_s) {
                row.choice = true;
                row.stem2 = u"甲方案\r\n乙方案\r\n丙方案\r\n丁方案"_s;
                row.answer = u"乙方案"_s;
            }
            if (q % 5 == 0) {
                row.stemPictureMark = u"√"_s;
                i.pictures.append(makePicture(q));
            }
            i.work.append(row);
        }
        return i;
    }();
    return in;
}

AssembledPaper assemble(RandomSource& random) {
    static SilentPrompter prompter;
    AssembledPaper paper;
    paper.settings = inputs().settings;
    PaperAssembly assembly(random, prompter, {});
    assembly.assemblePaper(inputs().work, paper);
    return paper;
}

QByteArray picture(qint64 id, bool) {
    return inputs().pictures.value(int((id - 1) / 5));
}

template <typename Write> void run(benchmark::State& state, const char* key, Write write) {
    QTemporaryDir dir;
    NoOpener opener;
    RandomSource random(1);
    inputs();
    double total = 0;
    int iteration = 0;
    for (auto _ : state) {
        // Files are only ever written new: every iteration has a folder of its own.
        const QString folder = dir.path() + u'/' + QString::number(++iteration) + u'/';
        if (!QDir().mkpath(folder))
            state.SkipWithError("no folder to write into");
        const auto t0 = Clock::now();
        const AssembledPaper paper = assemble(random);
        if (!write(paper, opener, folder))
            state.SkipWithError("a file could not be written");
        total += std::chrono::duration<double>(Clock::now() - t0).count();
    }
    g_seconds[key] = total / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
}

void BM_HtmlPaperAndAnswers(benchmark::State& state) {
    run(state, "html", [](const AssembledPaper& paper, NoOpener& opener, const QString& folder) {
        HtmlPaperWriter writer(paper, picture, opener, folder);
        writer.writeHtmlPaper();
        writer.writeHtmlAnswers();
        return writer.failures().isEmpty();
    });
}

void BM_DocxPaperAndAnswers(benchmark::State& state) {
    run(state, "docx", [](const AssembledPaper& paper, NoOpener& opener, const QString& folder) {
        WordPaperWriter writer(paper, picture, opener, folder);
        writer.writeWordPaper();
        writer.writeWordAnswers();
        return writer.failures().isEmpty();
    });
}

// Laid out by the program itself, fonts and pictures embedded.
void BM_PdfPaperAndAnswers(benchmark::State& state) {
    run(state, "pdf", [](const AssembledPaper& paper, NoOpener& opener, const QString& folder) {
        PdfPaperWriter writer(paper, picture, opener, folder);
        writer.writePdfPaper();
        writer.writePdfAnswers();
        return writer.failures().isEmpty();
    });
}

BENCHMARK(BM_HtmlPaperAndAnswers)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DocxPaperAndAnswers)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdfPaperAndAnswers)->Iterations(10)->Unit(benchmark::kMillisecond);

void goal(const char* name, double figure, double target) {
    const bool ok = figure > 0 && figure <= target;
    std::printf("goal %s: %.3f s (target <%.1f s) %s\n", name, figure, target, ok ? "ok" : "short");
}

} // namespace

int main(int argc, char** argv) {
    // Fonts for the PDF need a GUI application; no window is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    qsizetype pictureBytes = 0;
    for (const QByteArray& bytes : inputs().pictures)
        pictureBytes += bytes.size();
    std::printf("pictures: %d, %s, %lld KB in all\n", int(inputs().pictures.size()),
                inputs().pictures.value(0).startsWith("\xff\xd8") ? "JPEG" : "PNG",
                qint64(pictureBytes / 1024));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\n");
    goal("html_paper_and_answers", g_seconds["html"], 0.3);
    goal("docx_paper_and_answers", g_seconds["docx"], 0.3);
    goal("pdf_paper_and_answers", g_seconds["pdf"], 1.0);
    return 0;
}
