#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "DocxReader.h"
#include "RecordingOpener.h"
#include "compose/DocumentOpener.h"
#include "compose/DocxDocument.h"
#include "compose/WordPaperWriter.h"

using namespace Qt::StringLiterals;
using helan::AssembledPaper;
using helan::DocxDocument;
using helan::PaperRow;
using helan::PaperType;
using helan::WordPaperWriter;
using helan::test::DocxReader;

using helan::test::RecordingOpener;

namespace {

QByteArray encoded(int width, int height, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// The start of a baseline JPEG: SOI, a JFIF segment, then the frame header.
QByteArray jpegHeader(int width, int height) {
    QByteArray b("\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20);
    b += QByteArray("\xff\xc0\x00\x11\x08", 5);
    b += char(height >> 8);
    b += char(height & 0xff);
    b += char(width >> 8);
    b += char(width & 0xff);
    b += QByteArray("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xff\xd9", 12);
    return b;
}

} // namespace

TEST(DocxDocument, picturesAreRecognisedByTheirBytes) {
    struct Case {
        QByteArray bytes;
        QString extension;
        QString contentType;
        int width;
        int height;
    };
    const QList<Case> cases{
        {encoded(30, 20, "PNG"), u"png"_s, u"image/png"_s, 30, 20},
        {encoded(31, 21, "BMP"), u"bmp"_s, u"image/bmp"_s, 31, 21},
        {jpegHeader(640, 480), u"jpeg"_s, u"image/jpeg"_s, 640, 480},
    };
    for (const Case& c : cases) {
        DocxDocument::Picture picture;
        ASSERT_TRUE(DocxDocument::readPictureHeader(c.bytes, picture)) << c.extension.toStdString();
        EXPECT_EQ(picture.extension, c.extension);
        EXPECT_EQ(picture.contentType, c.contentType);
        EXPECT_EQ(picture.width, c.width);
        EXPECT_EQ(picture.height, c.height);
    }
    DocxDocument::Picture none;
    EXPECT_FALSE(DocxDocument::readPictureHeader("not a picture", none));
    EXPECT_FALSE(DocxDocument::readPictureHeader(QByteArray(), none));
}

TEST(DocxDocument, savedPackageCarriesWhatWasTyped) {
    QTemporaryDir dir;
    DocxDocument doc;
    doc.setAlignment(1);
    doc.typeText(u"标题"_s);
    doc.typeParagraph();
    doc.setAlignment(0);
    doc.setLeftIndent(1.5);
    doc.setFirstLineIndent(-1.5);
    doc.setStyle(u"正文"_s);
    doc.setFontSize(14);
    doc.setBold(1);
    doc.typeText(u"一、"_s);
    doc.setBold(0);
    doc.setFontSize(10);
    doc.typeText(u"甲\r\n乙"_s);
    doc.typeParagraph();
    doc.setFirstLineIndent(0.01);
    doc.setLineSpacingRule(1);
    doc.setAlignmentName(u"wdAlignParagraphJustify"_s);
    doc.addPicture(encoded(2000, 100, "PNG"));
    doc.addPicture(jpegHeader(64, 32));
    doc.typeText(u"abc"_s);
    doc.typeBackspace();
    ASSERT_TRUE(doc.save(dir.filePath(u"t.docx"_s)));
    EXPECT_TRUE(doc.errors().isEmpty());

    const DocxReader docx(dir.filePath(u"t.docx"_s));
    ASSERT_TRUE(docx.opened());
    EXPECT_EQ(docx.problems(), QStringList());
    const QList<DocxReader::Paragraph> ps = docx.paragraphs();
    ASSERT_EQ(ps.size(), 3);
    EXPECT_EQ(ps[0].text, u"标题"_s);
    EXPECT_EQ(ps[0].alignment, u"center"_s);
    EXPECT_EQ(ps[1].text, u"一、甲\n乙"_s);
    EXPECT_EQ(ps[1].alignment, u"left"_s);
    EXPECT_EQ(ps[1].style, u"Normal"_s);
    EXPECT_EQ((std::tuple{ps[1].leftChars, ps[1].hangingChars}), (std::tuple{150, 150}));
    EXPECT_EQ(ps[1].halfPoints, (QList<int>{28, 20}));
    EXPECT_EQ(ps[1].bold, (QList<bool>{true, false}));
    // The new paragraph keeps the formatting of the one before until changed.
    EXPECT_EQ((std::tuple{ps[2].leftChars, ps[2].firstLineChars, ps[2].hangingChars}),
              (std::tuple{150, 1, 0}));
    EXPECT_EQ(ps[2].alignment, u"both"_s);
    EXPECT_TRUE(ps[2].oneAndHalfLines);
    EXPECT_EQ(ps[2].text, u"ab"_s);
    ASSERT_EQ(ps[2].pictures.size(), 2);
    EXPECT_EQ(docx.target(ps[2].pictures[0]), u"media/image1.png"_s);
    EXPECT_EQ(docx.target(ps[2].pictures[1]), u"media/image2.jpeg"_s);

    const QByteArray document = docx.parts().value(u"word/document.xml"_s);
    // 2000 pixels are narrowed to the text width; 64 × 32 stay at 9525 EMU a pixel.
    EXPECT_TRUE(document.contains("cx=\"5274310\" cy=\"263715\""));
    EXPECT_TRUE(document.contains("cx=\"609600\" cy=\"304800\""));
    const QString styles = QString::fromUtf8(docx.parts().value(u"word/styles.xml"_s));
    EXPECT_TRUE(styles.contains(u"w:eastAsia=\"宋体\""_s));
    EXPECT_TRUE(styles.contains(u"<w:aliases w:val=\"正文\"/>"_s));
}

TEST(DocxDocument, failuresAreReportedAndTheRestIsWritten) {
    QTemporaryDir dir;
    DocxDocument doc;
    doc.typeText(u"前"_s);
    doc.addPicture("garbage");
    doc.typeText(u"后"_s);
    ASSERT_TRUE(doc.save(dir.filePath(u"t.docx"_s)));
    EXPECT_EQ(doc.errors(), QStringList{u"图片无法识别"_s});
    EXPECT_EQ(DocxReader(dir.filePath(u"t.docx"_s)).paragraphs().value(0).text, u"前后"_s);

    const QString nowhere = dir.filePath(u"missing/t.docx"_s);
    EXPECT_FALSE(doc.save(nowhere));
    EXPECT_EQ(doc.errors().last(), nowhere);
}

namespace {

// One type of ten numbered questions (so the numbering reaches 10) whose answers
// run on, then a type with an answer line break.
AssembledPaper tenQuestions() {
    AssembledPaper paper;
    paper.settings.courseName = u"化学"_s;
    paper.settings.paper = u"A卷"_s;
    paper.settings.generationTime = u"20261209060708"_s;
    paper.settings.majorLabels = {QString(), u"一"_s, u"二"_s};
    paper.settings.majorSuffix = u"、"_s;
    paper.settings.majorScoreNote = true;
    paper.settings.optionLineBreak = true;
    paper.settings.types = {PaperType{u"选择"_s, u"2"_s, false, u"20"_s, u"单选"_s},
                            PaperType{u"简答"_s, u"5"_s, true, u"5"_s, QString()}};
    for (int i = 1; i <= 10; ++i) {
        PaperRow row;
        row.type = u"选择"_s;
        row.stem1 = u"题"_s + QString::number(i);
        row.stem2 = u"A. x     B. y     "_s;
        row.answer = u"A"_s;
        row.score = 2;
        paper.rows.append(row);
    }
    PaperRow last;
    last.type = u"简答"_s;
    last.stem1 = u"第一行\r\n第二行\r\n第三行"_s;
    last.stemPictureMark = u"√"_s;
    last.answer = u"答"_s;
    last.answerPictureMark = u"√"_s;
    last.score = 5;
    last.recordId = 9;
    paper.rows.append(last);
    return paper;
}

} // namespace

TEST(WordPaperWriter, paperOfTenQuestions) {
    QTemporaryDir dir;
    const AssembledPaper paper = tenQuestions();
    RecordingOpener opener;
    WordPaperWriter writer(
        paper, [](qint64, bool answer) { return encoded(answer ? 10 : 20, 10, "JPG"); }, opener,
        dir.path() + u'/');
    writer.writeWordPaper();
    EXPECT_TRUE(writer.failures().isEmpty());
    EXPECT_EQ(opener.opened, QStringList{writer.paperPath()});
    EXPECT_TRUE(writer.paperPath().endsWith(u"A卷  20261209060708  试题.docx"_s));

    const DocxReader docx(writer.paperPath());
    EXPECT_EQ(docx.problems(), QStringList());
    QList<DocxReader::Paragraph> ps = docx.paragraphs();
    ASSERT_GE(ps.size(), 8);
    EXPECT_EQ(ps[0].text, paper.documentTitle(u"试题"_s));
    EXPECT_EQ(ps[1].text, QString());
    EXPECT_EQ(ps[1].halfPoints, QList<int>{});
    EXPECT_EQ(ps[2].text, u"一、选择（每题2分，共20分）"_s);
    EXPECT_EQ(ps[2].bold, QList<bool>{true});
    EXPECT_EQ(ps[2].halfPoints, QList<int>{28});
    EXPECT_EQ(ps[3].text, u"单选"_s);
    EXPECT_EQ(ps[3].halfPoints, QList<int>{20});
    EXPECT_EQ(ps[4].text, u"1. 题1"_s);
    EXPECT_EQ((std::tuple{ps[4].leftChars, ps[4].hangingChars}), (std::tuple{150, 150}));
    EXPECT_EQ(ps[5].text, u"A. x     B. y     "_s);
    EXPECT_EQ((std::tuple{ps[5].leftChars, ps[5].firstLineChars}), (std::tuple{320, 1}));
    EXPECT_EQ(ps[6].text, QString()); // 选项换行: an empty paragraph after the options

    const auto numbered = [&](const QString& text) {
        for (const DocxReader::Paragraph& p : ps)
            if (p.text == text)
                return p;
        return DocxReader::Paragraph{};
    };
    EXPECT_EQ((std::tuple{numbered(u"9. 题9"_s).leftChars, numbered(u"9. 题9"_s).hangingChars}),
              (std::tuple{150, 150}));
    EXPECT_EQ((std::tuple{numbered(u"10. 题10"_s).leftChars, numbered(u"10. 题10"_s).hangingChars}),
              (std::tuple{100, 200}));

    // A stem of three lines: the first after its number, the rest indented under it,
    // then the picture in a paragraph of its own.
    bool found = false;
    for (qsizetype i = 0; i + 2 < ps.size(); ++i)
        if (ps[i].text == u"1. 第一行"_s) {
            found = true;
            EXPECT_EQ(ps[i + 1].text, u"第二行\n第三行"_s);
            EXPECT_EQ((std::tuple{ps[i + 1].leftChars, ps[i + 1].firstLineChars}), (std::tuple{320, 1}));
            EXPECT_EQ(ps[i + 2].pictures.size(), 1);
            EXPECT_EQ(docx.target(ps[i + 2].pictures.value(0)), u"media/image1.jpeg"_s);
        }
    EXPECT_TRUE(found);
}

TEST(WordPaperWriter, answerSheetRunsOnThenBreaksLines) {
    QTemporaryDir dir;
    const AssembledPaper paper = tenQuestions();
    RecordingOpener opener;
    WordPaperWriter writer(
        paper, [](qint64, bool) { return encoded(10, 10, "JPG"); }, opener, dir.path() + u'/');
    writer.writeWordAnswers();
    const DocxReader docx(writer.answersPath());
    EXPECT_EQ(docx.problems(), QStringList());
    const QList<DocxReader::Paragraph> ps = docx.paragraphs();
    ASSERT_EQ(ps.size(), 8);
    EXPECT_EQ(ps[0].text, paper.documentTitle(u"答案"_s));
    EXPECT_EQ(ps[2].text, u"一、选择（每题2分，共20分）"_s);
    QString runOn;
    for (int i = 1; i <= 10; ++i)
        runOn += QString::number(i) + u". A"_s + (i < 10 ? u"        "_s : QString());
    // The separator after the last answer is gone before the next heading.
    EXPECT_EQ(ps[3].text, runOn);
    EXPECT_EQ((std::tuple{ps[3].leftChars, ps[3].firstLineChars}), (std::tuple{100, 1}));
    EXPECT_EQ(ps[3].alignment, u"both"_s);
    EXPECT_TRUE(ps[3].oneAndHalfLines);
    EXPECT_EQ(ps[4].text, QString());
    EXPECT_EQ(ps[5].text, u"二、简答（每题5分，共5分）"_s);
    EXPECT_EQ(ps[5].leftChars, -10);
    EXPECT_EQ(ps[6].text, u"1. 答"_s);
    EXPECT_EQ((std::tuple{ps[6].leftChars, ps[6].hangingChars}), (std::tuple{150, 150}));
    EXPECT_EQ(ps[7].pictures.size(), 1);
}

TEST(WordPaperWriter, aFolderThatCannotBeWrittenIsReportedAndNothingOpened) {
    QTemporaryDir dir;
    const AssembledPaper paper = tenQuestions();
    RecordingOpener opener;
    WordPaperWriter writer(
        paper, [](qint64, bool) { return QByteArray("?"); }, opener, dir.path() + u"/missing/"_s);
    writer.writeWordPaper();
    writer.writeWordAnswers();
    EXPECT_TRUE(opener.opened.isEmpty());
    // Pictures that decode nowhere are named by their question, not embedded.
    EXPECT_EQ(writer.failures(), (QStringList{writer.paperPath(), u"第二大题第1题的图片无法显示"_s,
                                              writer.answersPath(), u"第二大题第1题的答案图片无法显示"_s}));
}

// Renders a paper and its answer sheet where LibreOffice is installed.
TEST(WordPaperWriter, rendersWithLibreOffice) {
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir dir;
    const AssembledPaper paper = tenQuestions();
    RecordingOpener opener;
    WordPaperWriter writer(
        paper, [](qint64, bool) { return encoded(40, 30, "PNG"); }, opener, dir.path() + u'/');
    writer.writeWordPaper();
    writer.writeWordAnswers();
    for (const QString& path : {writer.paperPath(), writer.answersPath()}) {
        QProcess process;
        process.start(soffice,
                      {u"--headless"_s, u"--convert-to"_s, u"pdf"_s, u"--outdir"_s, dir.path(), path});
        ASSERT_TRUE(process.waitForFinished(120000));
        QString pdf = path;
        pdf.replace(u".docx"_s, u".pdf"_s);
        EXPECT_GT(QFile(pdf).size(), 0) << pdf.toStdString();
    }
}
