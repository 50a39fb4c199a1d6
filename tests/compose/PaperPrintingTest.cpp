#include <QBuffer>
#include <QFile>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "ComposerFixture.h"
#include "PdfTools.h"
#include "base/RandomSource.h"
#include "RecordingOpener.h"
#include "compose/DocumentOpener.h"
#include "compose/PaperGeneration.h"
#include "compose/PaperPages.h"
#include "compose/PaperPrinting.h"
#include "compose/PdfPaperWriter.h"

using namespace Qt::StringLiterals;

namespace helan::test {

namespace {

AssembledPaper twoQuestions() {
    AssembledPaper paper;
    paper.settings.courseName = u"化学"_s;
    paper.settings.paper = u"B卷"_s;
    paper.settings.generationTime = u"20261209060708"_s;
    paper.settings.majorLabels = {QString(), u"一"_s};
    paper.settings.majorSuffix = u". "_s;
    paper.settings.types = {PaperType{u"问答"_s, u"5"_s, true, u"10"_s, QString()}};
    for (const QString& stem : {u"水的化学式是什么？"_s, u"氧气有什么性质？"_s}) {
        PaperRow row;
        row.type = u"问答"_s;
        row.stem1 = stem;
        row.answer = stem.left(2) + u"的答案"_s;
        row.score = 5;
        paper.rows.append(row);
    }
    return paper;
}

// A print dialog that "prints" into a PDF, so that what reached the printer can be read.
struct FakeDialog {
    PaperPrinting::Outcome answer = PaperPrinting::Outcome::Printed;
    QString pdfPath;
    int shown = 0;
    QPageLayout layout;
    QString job;

    PaperPrinting::PrintDialog dialog() {
        return [this](const QPageLayout& offered, const QString& name, const PaperPrinting::Paint& paint) {
            ++shown;
            layout = offered;
            job = name;
            if (answer == PaperPrinting::Outcome::Cancelled)
                return answer;
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            bool painted = false;
            {
                QPdfWriter printer(&buffer);
                printer.setPageLayout(offered);
                printer.setResolution(600); // not the layout's: the pages scale to the printer
                painted = paint(printer);
            }
            // Read back as the PDF writer's files are, with the ideographs named.
            PdfPaperWriter::nameGlyphsByIdeographs(bytes);
            QFile file(pdfPath);
            if (!painted || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                return PaperPrinting::Outcome::Failed;
            return answer;
        };
    }
};

} // namespace

TEST(PaperPrinting, PrintsThePaperThenTheAnswerSheetInOneJobOrNothingWhenCancelled) {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FakeDialog fake;
    fake.pdfPath = dir.path() + u"/printed.pdf"_s;
    PaperPrinting printing(prompter, fake.dialog());

    // Nothing generated yet: said, and no dialog.
    printing.print();
    EXPECT_EQ(prompter.messages(), QStringList{u"本次还没有生成试卷。"_s});
    EXPECT_EQ(fake.shown, 0);
    prompter.clear();

    const AssembledPaper paper = twoQuestions();
    printing.remember(paper, {});
    fake.answer = PaperPrinting::Outcome::Cancelled;
    printing.print();
    EXPECT_EQ(fake.shown, 1);
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_FALSE(QFile::exists(fake.pdfPath));

    fake.answer = PaperPrinting::Outcome::Printed;
    printing.print();
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_EQ(fake.job, paper.documentTitle(u"试题"_s));
    EXPECT_EQ(fake.layout.pageSize().id(), QPageSize::A4);
    if (!PdfTools::installed({u"pdftotext"_s, u"pdfinfo"_s}))
        GTEST_SKIP() << "poppler-utils is not installed";
    const QString text = PdfTools::text(fake.pdfPath);
    const QList<qsizetype> order = PdfTools::inOrder(
        text, {paper.documentTitle(u"试题"_s), u"1. 水的化学式是什么？"_s, u"2. 氧气有什么性质？"_s,
               paper.documentTitle(u"答案"_s), u"1. 水的的答案"_s, u"2. 氧气的答案"_s});
    EXPECT_FALSE(order.contains(-1)) << text.toStdString();
    // The answer sheet on a sheet of its own, each numbered on its own.
    EXPECT_EQ(PdfTools::pages(fake.pdfPath), 2);
    EXPECT_TRUE(PdfTools::squeezed(PdfTools::text(fake.pdfPath, 2, 2)).contains(u"第1页共1页"_s));
}

TEST(PaperPrinting, AJobThePrinterRefusedIsSaidOnce) {
    ScriptedPrompter prompter;
    FakeDialog fake;
    fake.answer = PaperPrinting::Outcome::Failed;
    fake.pdfPath = u"/nonexistent-folder/printed.pdf"_s;
    PaperPrinting printing(prompter, fake.dialog());
    printing.remember(twoQuestions(), {});
    printing.print();
    EXPECT_EQ(prompter.messages(), QStringList{PaperPrinting::failedMessage()});
    EXPECT_EQ(PaperPrinting::failedMessage(), u"试卷和答案未能打印，请检查打印机后再试。"_s);
}

TEST(PaperPages, TwoColumnSheetsComeAcrossAndTheAnswerSheetHasNoSealingMargin) {
    AssembledPaper paper = twoQuestions();
    paper.settings.header.on = true;
    paper.settings.header.page = PaperHeader::Page::B4;
    const PaperPages sheets(paper, {}, PaperPages::Kind::Paper);
    EXPECT_EQ(sheets.columns(), 2);
    EXPECT_EQ(sheets.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(sheets.pageLayout().pageSize().id(), QPageSize::JisB4);
    EXPECT_EQ(sheets.sheetCount(), 1);
    paper.settings.header.on = false; // off: A4 upright, whatever page was chosen
    const PaperPages plain(paper, {}, PaperPages::Kind::Answers);
    EXPECT_EQ(plain.columns(), 1);
    EXPECT_EQ(plain.pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_EQ(plain.pageLayout().pageSize().id(), QPageSize::A4);
}

class PdfGenerationTest : public ComposerFixture {
protected:
    void SetUp() override {
        ComposerFixture::SetUp();
        writeNumbering(5);
        for (const QString& stem : {u"判一"_s, u"判二"_s})
            m_ids << addRecord(question(u"判断"_s, 2).withStem(stem));
        openComposer();
        for (const qint32 id : m_ids)
            tick(id, P::Paper::A);
        composer().hooks().generatePaper = [this](PaperComposer& c, const QString& paper) {
            PaperGeneration generation(m_random, m_opener, m_out.path() + u'/');
            m_paper = generation.generatePaper(c, paper);
        };
    }

    QList<qint32> m_ids;
    RandomSource m_random{1};
    RecordingOpener m_opener;
    QTemporaryDir m_out;
    AssembledPaper m_paper;
};

TEST_F(PdfGenerationTest, PdfOutputWritesTwoPdfFilesAndOpensPrinting) {
    int printed = 0;
    composer().hooks().printPapers = [&](PaperComposer&) { ++printed; };
    EXPECT_FALSE(composer().printEnabled());
    composer().printPapers();
    EXPECT_EQ(printed, 0);

    composer().setOutput(P::Output::Pdf);
    EXPECT_EQ(composer().output(), P::Output::Pdf);
    EXPECT_FALSE(composer().wordSelected());
    composer().generatePaper(P::Paper::A);
    ASSERT_EQ(m_opener.opened.size(), 2);
    EXPECT_TRUE(m_opener.opened[0].endsWith(m_paper.documentTitle(u"试题"_s) + u".pdf"_s));
    EXPECT_TRUE(m_opener.opened[1].endsWith(m_paper.documentTitle(u"答案"_s) + u".pdf"_s));
    for (const QString& path : m_opener.opened) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().startsWith("%PDF"));
    }
    EXPECT_TRUE(m_prompter.messages().isEmpty()) << m_prompter.messages().join(u'\n').toStdString();

    EXPECT_TRUE(composer().printEnabled());
    composer().printPapers();
    EXPECT_EQ(printed, 1);
}

TEST_F(PdfGenerationTest, WithoutAWordProcessorHtmlAndPdfCanStillBeChosen) {
    m_word.installed = false;
    reopenComposer();
    EXPECT_EQ(composer().output(), P::Output::Html);
    composer().setOutput(P::Output::Word);
    EXPECT_EQ(composer().output(), P::Output::Html);
    composer().setOutput(P::Output::Pdf);
    EXPECT_EQ(composer().output(), P::Output::Pdf);
}

} // namespace helan::test
