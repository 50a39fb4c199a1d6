#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "DocxReader.h"
#include "PdfTools.h"
#include "RecordingOpener.h"
#include "compose/DocumentOpener.h"
#include "compose/PaperPrintForm.h"
#include "compose/PdfPaperWriter.h"
#include "compose/WordPaperWriter.h"

using namespace Qt::StringLiterals;

namespace helan::test {

namespace {

constexpr qint64 kBrokenPicture = 999;

// A picture of its own for every record; record 999 holds bytes that are no picture.
QByteArray picture(qint64 id, bool answer) {
    if (id == kBrokenPicture)
        return "no picture";
    QImage image(160 + int(id % 5) * 20, 90, QImage::Format_RGB32);
    image.fill(qRgb(int(id * 37 % 256), answer ? 200 : 90, 60));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

PaperRow row(const QString& type, const QString& stem, const QString& answer, qint64 id) {
    PaperRow r;
    r.type = type;
    r.stem1 = stem;
    r.answer = answer;
    r.recordId = id;
    r.score = 2;
    return r;
}

// Choice questions with options, fill-in questions, a reading group and
// questions to answer at length, the first `pictures` questions with a picture.
AssembledPaper examPaper(int questions, int pictures, bool optionLineBreak = false) {
    AssembledPaper paper;
    PaperSettings& s = paper.settings;
    s.courseName = u"物理"_s;
    s.compositionTime = u"20261209010203"_s;
    s.totalText = u"120"_s;
    s.similarityText = u"0"_s;
    s.paper = u"A卷"_s;
    s.generationTime = u"20261209060708"_s;
    s.majorLabels = {QString(), u"一"_s, u"二"_s, u"三"_s, u"四"_s};
    s.majorSuffix = u"、"_s;
    s.majorScoreNote = true;
    s.optionLineBreak = optionLineBreak;
    s.types = {PaperType{u"选择"_s, u"2"_s, false, u"40"_s, u"每小题只有一个选项正确"_s},
               PaperType{u"填空"_s, u"2"_s, false, u"30"_s, QString()},
               PaperType{u"阅读"_s, u"2"_s, true, u"4"_s, QString()},
               PaperType{u"问答"_s, u"2"_s, true, u"46"_s, QString()}};
    const int choices = questions * 2 / 5;
    const int fills = questions * 3 / 10;
    qint64 id = 1;
    for (int q = 0; q < questions; ++q) {
        const QString n = QString::number(q + 1);
        PaperRow r;
        if (q < choices) {
            r = row(u"选择"_s, u"关于力的第"_s + n + u"题，说法正确的是（ ）"_s, u"B"_s, id++);
            r.stem2 = u"A. 甲"_s + n + u"     B. 乙"_s + n + u"     C. 丙"_s + n + u"     D. 丁"_s + n + u"号     "_s;
        } else if (q < choices + fills) {
            r = row(u"填空"_s, u"第"_s + n + u"题：物体的质量为 ( ) 千克"_s, u"答"_s + n, id++);
        } else if (q < choices + fills + 3) {
            const int sub = q - choices - fills;
            r = row(u"阅读"_s, sub == 0 ? u"阅读材料第"_s + n + u"题\r\n材料的第二行"_s : u"阅读问第"_s + n + u"题"_s,
                    sub == 0 ? QString() : u"阅读答"_s + n, id++);
            r.groupNumber = QString::number(sub);
        } else {
            r = row(u"问答"_s, u"第"_s + n + u"题：说明牛顿第一定律的内容。"_s, u"问答答"_s + n + u"\r\n第二行"_s, id++);
        }
        if (q < pictures && !r.isTitle())
            r.stemPictureMark = u"√"_s;
        paper.rows.append(r);
    }
    return paper;
}

PaperHeader examHeader(PaperHeader::Page page) {
    PaperHeader h;
    h.on = true;
    h.examTitle = u"2026—2027学年第一学期期末考试"_s;
    h.subject = u"初中物理"_s;
    h.minutes = 120;
    h.numberCaption = u"考号"_s;
    h.notes = u"1. 答题前填写班级、姓名。\r\n2. 考试时间120分钟。"_s;
    h.page = page;
    return h;
}

// The texts of a .docx's paragraphs, empty ones left out.
QStringList docxTexts(const QString& path) {
    QStringList texts;
    for (const DocxReader::Paragraph& p : DocxReader(path).paragraphs())
        if (!PdfTools::squeezed(p.text).isEmpty())
            texts << p.text;
    return texts;
}

class PdfPaperWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PdfTools::installed({u"pdftotext"_s, u"pdffonts"_s, u"pdfimages"_s, u"pdfinfo"_s}))
            GTEST_SKIP() << "poppler-utils is not installed (scripts/setup installs it)";
        ASSERT_TRUE(m_dir.isValid());
    }

    // Writes both PDFs; true when nothing failed.
    bool writePdf(const AssembledPaper& paper) {
        m_paper = paper; // the writer keeps a reference
        m_writer = std::make_unique<PdfPaperWriter>(m_paper, picture, m_opener, m_dir.path() + u'/');
        m_writer->writePdfPaper();
        m_writer->writePdfAnswers();
        return m_writer->failures().isEmpty();
    }

    QTemporaryDir m_dir;
    RecordingOpener m_opener;
    AssembledPaper m_paper;
    std::unique_ptr<PdfPaperWriter> m_writer;
};

} // namespace

TEST_F(PdfPaperWriterTest, EveryTextOfTheWordDocumentInItsOrderAndEveryPageNumbered) {
    const AssembledPaper paper = examPaper(60, 20);
    ASSERT_TRUE(writePdf(paper)) << m_writer->failures().join(u'\n').toStdString();
    RecordingOpener wordOpener;
    WordPaperWriter word(paper, picture, wordOpener, m_dir.path() + u'/');
    word.writeWordPaper();
    word.writeWordAnswers();
    ASSERT_TRUE(word.failures().isEmpty());

    EXPECT_EQ(m_opener.opened, (QStringList{m_writer->paperPath(), m_writer->answersPath()}));
    EXPECT_TRUE(m_writer->paperPath().endsWith(paper.documentTitle(u"试题"_s) + u".pdf"_s));
    for (const auto& [pdf, docx] : {std::pair{m_writer->paperPath(), word.paperPath()},
                                    std::pair{m_writer->answersPath(), word.answersPath()}}) {
        const QStringList texts = docxTexts(docx);
        ASSERT_GT(texts.size(), 20);
        const QList<qsizetype> found = PdfTools::inOrder(PdfTools::text(pdf), texts);
        for (qsizetype i = 0; i < texts.size(); ++i)
            ASSERT_GE(found[i], 0) << "missing or out of order: " << texts[i].toStdString() << "\n"
                                   << PdfTools::squeezed(PdfTools::text(pdf)).left(400).toStdString();

        const int pages = PdfTools::pages(pdf);
        EXPECT_GT(pages, 1);
        for (int p = 1; p <= pages; ++p)
            EXPECT_TRUE(PdfTools::squeezed(PdfTools::text(pdf, p, p))
                            .contains(PdfTools::squeezed(PaperPrintForm::pageNumber(p, pages))))
                << "page " << p;
    }
}

TEST_F(PdfPaperWriterTest, TheFontsAreEmbeddedTheChineseOneAmongThem) {
    ASSERT_TRUE(writePdf(examPaper(10, 0)));
    const QStringList lines = PdfTools::run(u"pdffonts"_s, {m_writer->paperPath()}).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 2);
    bool chinese = false;
    const QRegularExpression columns(u"\\s(yes|no)\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+\\s*$"_s);
    for (const QString& line : lines.mid(2)) {
        const QRegularExpressionMatch m = columns.match(line);
        ASSERT_TRUE(m.hasMatch()) << line.toStdString();
        EXPECT_EQ(m.captured(1), u"yes"_s) << "not embedded: " << line.toStdString();
        chinese = chinese || line.contains(u"CJK"_s) || line.contains(u"SimSun"_s);
    }
    EXPECT_TRUE(chinese) << lines.join(u'\n').toStdString();
}

TEST_F(PdfPaperWriterTest, TwentyPicturesAreTwentyImages) {
    ASSERT_TRUE(writePdf(examPaper(60, 20)));
    const QStringList lines =
        PdfTools::run(u"pdfimages"_s, {u"-list"_s, m_writer->paperPath()}).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size() - 2, 20) << lines.join(u'\n').toStdString();
    EXPECT_EQ(PdfTools::run(u"pdfimages"_s, {u"-list"_s, m_writer->answersPath()}).split(u'\n', Qt::SkipEmptyParts).size(),
              2);
}

TEST_F(PdfPaperWriterTest, TheHeaderTakesThePlaceOfTheTitleLineWhichMovesToTheFooter) {
    AssembledPaper paper = examPaper(20, 2);
    paper.settings.header = examHeader(PaperHeader::Page::A4);
    ASSERT_TRUE(writePdf(paper));
    const QString first = PdfTools::squeezed(PdfTools::text(m_writer->paperPath(), 1, 1));
    const QStringList header{u"2026—2027学年第一学期期末考试"_s, u"初中物理"_s, u"考试时间：120分钟"_s, u"满分：120分"_s,
                             u"班级：＿＿＿＿＿＿＿＿＿＿"_s, u"姓名："_s, u"考号："_s, u"题号"_s, u"一"_s, u"二"_s, u"三"_s, u"四"_s,
                             u"总分"_s, u"得分"_s, u"注意事项："_s, u"1. 答题前填写班级、姓名。"_s, u"一、选择"_s};
    for (const qsizetype at : PdfTools::inOrder(first, header))
        EXPECT_GE(at, 0) << PdfTools::text(m_writer->paperPath(), 1, 1).toStdString();
    EXPECT_TRUE(first.startsWith(PdfTools::squeezed(header.first()))) << first.toStdString();
    // The internal title in the footer of every page, for matching paper and answers.
    const int pages = PdfTools::pages(m_writer->paperPath());
    for (int p = 1; p <= pages; ++p)
        EXPECT_TRUE(PdfTools::squeezed(PdfTools::text(m_writer->paperPath(), p, p))
                        .contains(PdfTools::squeezed(paper.documentTitle(u"试题"_s))));
    const QString answers = PdfTools::squeezed(PdfTools::text(m_writer->answersPath()));
    EXPECT_TRUE(answers.startsWith(u"2026—2027学年第一学期期末考试参考答案"_s)) << answers.toStdString();
    EXPECT_TRUE(answers.contains(PdfTools::squeezed(paper.documentTitle(u"答案"_s))));

    // Off: the title line is the first line, and there is no header.
    paper.settings.header.on = false;
    QTemporaryDir other;
    PdfPaperWriter plain(paper, picture, m_opener, other.path() + u'/');
    plain.writePdfPaper();
    const QString text = PdfTools::squeezed(PdfTools::text(plain.paperPath()));
    EXPECT_TRUE(text.startsWith(PdfTools::squeezed(paper.documentTitle(u"试题"_s))));
    EXPECT_FALSE(text.contains(u"题号"_s));
}

TEST_F(PdfPaperWriterTest, A3AndB4AreAcrossInTwoColumnsWithTheSealingLine) {
    struct Case {
        PaperHeader::Page page;
        double width;
        double height;
    };
    for (const Case& c : {Case{PaperHeader::Page::A3, 1190.55, 841.89}, Case{PaperHeader::Page::B4, 1031.81, 728.5}}) {
        AssembledPaper paper = examPaper(60, 4);
        paper.settings.header = examHeader(c.page);
        QTemporaryDir dir;
        PdfPaperWriter writer(paper, picture, m_opener, dir.path() + u'/');
        writer.writePdfPaper();
        writer.writePdfAnswers();
        ASSERT_TRUE(writer.failures().isEmpty());
        const QRegularExpressionMatch size = QRegularExpression(u"Page size:\\s+([\\d.]+) x ([\\d.]+) pts"_s)
                                                 .match(PdfTools::run(u"pdfinfo"_s, {writer.paperPath()}));
        ASSERT_TRUE(size.hasMatch());
        EXPECT_NEAR(size.captured(1).toDouble(), c.width, 1);
        EXPECT_NEAR(size.captured(2).toDouble(), c.height, 1);

        const QString page = PdfTools::squeezed(PdfTools::text(writer.paperPath(), 1, 1));
        for (const QString& seal : {u"密"_s, u"封"_s, u"线"_s, u"班级：＿＿＿＿＿＿＿＿＿＿"_s, u"姓名："_s, u"考号："_s})
            EXPECT_TRUE(page.contains(seal)) << seal.toStdString();
        // Questions in both halves of the first sheet.
        const auto half = [&](double from, double to) {
            return PdfTools::squeezed(PdfTools::run(
                u"pdftotext"_s, {u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, u"-x"_s, QString::number(int(from)), u"-y"_s, u"0"_s,
                                 u"-W"_s, QString::number(int(to - from)), u"-H"_s, QString::number(int(c.height)),
                                 writer.paperPath(), u"-"_s}));
        };
        EXPECT_TRUE(half(100, c.width / 2).contains(u"1.关于力的第1题"_s));
        EXPECT_TRUE(half(c.width / 2 + 10, c.width).contains(u"题"_s));
        EXPECT_FALSE(half(0, 99).contains(u"题"_s)) << "the sealing margin stays free of questions";
        // The answer sheet has no sealing line.
        EXPECT_FALSE(PdfTools::text(writer.answersPath(), 1, 1).contains(u"班级"_s));
    }
}

TEST_F(PdfPaperWriterTest, AQuestionStaysOnThePageOfItsPictureAndOptions) {
    // Four lines of options under every stem: without care some would be cut off.
    const AssembledPaper paper = examPaper(80, 12, true);
    ASSERT_TRUE(writePdf(paper));
    const int pages = PdfTools::pages(m_writer->paperPath());
    ASSERT_GT(pages, 2);
    QList<QString> pageTexts;
    for (int p = 1; p <= pages; ++p)
        pageTexts << PdfTools::squeezed(PdfTools::text(m_writer->paperPath(), p, p));
    const auto pageOf = [&](const QString& text) {
        for (int p = 0; p < pageTexts.size(); ++p)
            if (pageTexts[p].contains(text))
                return p;
        return -1;
    };
    for (int q = 1; q <= 32; ++q) {
        const QString n = QString::number(q);
        const int stem = pageOf(u"关于力的第"_s + n + u"题，"_s);
        ASSERT_GE(stem, 0) << q;
        EXPECT_EQ(pageOf(u"A.甲"_s + n + u"B."_s), stem) << "question " << q;
        EXPECT_EQ(pageOf(u"D.丁"_s + n + u"号"_s), stem) << "question " << q;
    }
    // A group's title with its first sub-question.
    EXPECT_EQ(pageOf(u"阅读材料第"_s), pageOf(u"1.阅读问第"_s));
}

TEST_F(PdfPaperWriterTest, BankTextIsPrintedAsTypedAndCopiesOutAsTyped) {
    AssembledPaper paper = examPaper(4, 0);
    paper.rows[0].stem1 = u"<b>一二三</b> & x=1，y=22\u0001 大⼤ 力\u000b下一行"_s;
    ASSERT_TRUE(writePdf(paper));
    const QString text = PdfTools::text(m_writer->paperPath());
    // 一 and 大 come out as ideographs, not as the radicals the font shares them with.
    EXPECT_TRUE(PdfTools::squeezed(text).contains(u"1.<b>一二三</b>&x=1，y=22大大力下一行"_s)) << text.toStdString();
}

TEST_F(PdfPaperWriterTest, PicturesThatCannotBeShownAndFilesThatExistAreNamedOnce) {
    AssembledPaper paper = examPaper(10, 0);
    paper.rows[1].recordId = kBrokenPicture;
    paper.rows[1].stemPictureMark = u"√"_s;
    paper.rows[1].answerPictureMark = u"√"_s;
    m_writer = std::make_unique<PdfPaperWriter>(paper, picture, m_opener, m_dir.path() + u'/');
    QFile taken(m_writer->answersPath());
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    m_writer->writePdfPaper();
    m_writer->writePdfAnswers();
    EXPECT_EQ(m_writer->failures(), (QStringList{u"第一大题第2题的图片无法显示"_s, u"第一大题第2题的答案图片无法显示"_s,
                                                 m_writer->answersPath()}));
    EXPECT_EQ(m_opener.opened, QStringList{m_writer->paperPath()});
    EXPECT_EQ(QFileInfo(m_writer->answersPath()).size(), 0) << "a file that was there is left as it was";
}

TEST(PdfGlyphNames, RadicalsAreNamedByTheirIdeographsAndNothingMoves) {
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"1 beginbfchar\n<0003> <2F00>\n<0004> <4E8C>\nendbfchar", "1 beginbfchar\n<0003> <4E00>\n<0004> <4E8C>\nendbfchar"},
        {"2 beginbfrange\n<0000> <0000> <0000>\n<0001> <0003> [<2F24> <0009> <0041> ]\nendbfrange",
         "2 beginbfrange\n<0000> <0000> <0000>\n<0001> <0003> [<5927> <0020> <0041> ]\nendbfrange"},
        // A source glyph number that happens to look like a radical stays.
        {"beginbfchar\n<2F00> <0041>\nendbfchar", "beginbfchar\n<2F00> <0041>\nendbfchar"},
        // A range running on from its first text is left alone.
        {"beginbfrange\n<0001> <0002> <2F00>\nendbfrange", "beginbfrange\n<0001> <0002> <2F00>\nendbfrange"},
        // Outside a map nothing changes.
        {"<2F00> stream", "<2F00> stream"},
    };
    for (const auto& [input, expected] : cases) {
        QByteArray pdf = input;
        PdfPaperWriter::nameGlyphsByIdeographs(pdf);
        EXPECT_EQ(pdf, expected);
    }
}

} // namespace helan::test
