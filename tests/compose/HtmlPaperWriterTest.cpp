#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QUrl>

#include "RecordingOpener.h"
#include "compose/DocumentOpener.h"
#include "compose/HtmlPaperWriter.h"

using namespace Qt::StringLiterals;
using helan::AssembledPaper;
using helan::HtmlPaperWriter;
using helan::PaperRow;
using helan::PaperSettings;
using helan::PaperType;

using helan::test::RecordingOpener;

namespace {

PaperRow row(const QString& group, const QString& stem, const QString& type, const QString& answer,
             qint64 id) {
    PaperRow r;
    r.groupNumber = group;
    r.stem1 = stem;
    r.type = type;
    r.answer = answer;
    r.recordId = id;
    r.score = 5;
    return r;
}

// Two types, one choice type whose answers run on and one with an answer line
// break, a group, pictures in stems and answers, blank openings of both kinds.
AssembledPaper smallPaper() {
    AssembledPaper paper;
    PaperSettings& s = paper.settings;
    s.courseName = u"物理"_s;
    s.compositionTime = u"20261209010203"_s;
    s.totalText = u"A卷总分：30"_s;
    s.similarityText = u"相似度：0%"_s;
    s.paper = u"A卷"_s;
    s.generationTime = u"20261209060708"_s;
    s.majorLabels = {QString(), u"一"_s, u"二"_s};
    s.majorSuffix = u"、"_s;
    s.majorScoreNote = true;
    s.optionLineBreak = true;
    s.types = {PaperType{u"选择"_s, u"5"_s, false, u"10"_s, u"请选出正确答案"_s},
               PaperType{u"简答"_s, u"0"_s, true, u"20"_s, QString()}};
    PaperRow pictured = row({}, u"看图选择( )"_s, u"选择"_s, u"A"_s, 2);
    pictured.stemPictureMark = u"√"_s;
    pictured.answerPictureMark = u"√"_s;
    PaperRow options = row({}, u"下列说法正确的是（ ）"_s, u"选择"_s, u"B"_s, 1);
    options.stem2 = u"A. 甲     B. 乙     "_s;
    PaperRow title = row(u"0"_s, u"阅读材料\r\n第二行"_s, u"简答"_s, QString(), 3);
    title.score = 10;
    PaperRow second = row(u"2"_s, u"问二"_s, u"简答"_s, u"答二"_s, 5);
    second.answerPictureMark = u"√"_s;
    paper.rows = {options, pictured, title, row(u"1"_s, u"问一"_s, u"简答"_s, u"答一\r\n续"_s, 4), second};
    return paper;
}

// A small PNG of its own for every record and slot.
QByteArray picture(qint64 id, bool answer) {
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(qRgb(int(id) * 20, answer ? 200 : 100, 50));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The written bytes with the folder replaced, so that the golden file does not
// depend on where the test runs; updated with HELAN_UPDATE_GOLDEN=1.
void expectGolden(const QString& path, const QString& folder, const QString& golden) {
    QByteArray bytes = readFile(path);
    // Pictures are referred to by file URL.
    bytes.replace(QUrl::fromLocalFile(folder).toString(QUrl::FullyEncoded).toUtf8(), "file://@T@/");
    bytes.replace(folder.toUtf8(), "@T@/");
    const QString goldenPath = QStringLiteral(HELAN_GOLDEN_DIR) + u'/' + golden;
    if (qEnvironmentVariableIsSet("HELAN_UPDATE_GOLDEN")) {
        QFile out(goldenPath);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    EXPECT_EQ(bytes, readFile(goldenPath)) << golden.toStdString();
}

} // namespace

TEST(HtmlPaperWriter, smallPaperAndAnswerSheetMatchTheirGoldenFiles) {
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const AssembledPaper paper = smallPaper();
    RecordingOpener opener;
    HtmlPaperWriter writer(paper, picture, opener, folder);
    writer.writeHtmlPaper();
    writer.writeHtmlAnswers();
    EXPECT_TRUE(writer.failures().isEmpty());

    const QString paperFile =
        folder + u"物理  20261209010203  A卷总分：30  相似度：0%  A卷  20261209060708  试题.html"_s;
    const QString answerFile =
        folder + u"物理  20261209010203  A卷总分：30  相似度：0%  A卷  20261209060708  答案.html"_s;
    EXPECT_EQ(opener.opened, (QStringList{paperFile, answerFile}));
    expectGolden(paperFile, folder, u"paper_a.html"_s);
    expectGolden(answerFile, folder, u"answers_a.html"_s);

    EXPECT_EQ(readFile(folder + u"A卷试题0.jpg"_s), picture(2, false));
    EXPECT_EQ(readFile(folder + u"A卷答案0.jpg"_s), picture(2, true));
    EXPECT_EQ(readFile(folder + u"A卷答案1.jpg"_s), picture(5, true));
    EXPECT_FALSE(QFile::exists(folder + u"A卷试题1.jpg"_s));
}

TEST(HtmlPaperWriter, optionsRunOnWithoutOptionLineBreakAndPaperBKeepsItsOwnPictures) {
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    AssembledPaper paper = smallPaper();
    paper.settings.optionLineBreak = false;
    paper.settings.paper = u"B卷"_s;
    RecordingOpener opener;
    HtmlPaperWriter writer(paper, picture, opener, folder);
    const QString html = writer.paperHtml();
    EXPECT_TRUE(html.contains(
        u"<div style='text-indent:2.5em'><div>A. 甲&nbsp&nbsp&nbsp&nbspB. 乙&nbsp&nbsp&nbsp&nbsp</div></div>"_s));
    EXPECT_TRUE(QFile::exists(folder + u"B卷试题0.jpg"_s));
    EXPECT_FALSE(QFile::exists(folder + u"A卷试题0.jpg"_s));
    EXPECT_TRUE(opener.opened.isEmpty());
}

TEST(HtmlPaperWriter, filesThatCannotBeWrittenAreListedAndNotOpened) {
    QTemporaryDir dir;
    const QString folder = dir.path() + u"/missing/"_s;
    const AssembledPaper paper = smallPaper();
    RecordingOpener opener;
    HtmlPaperWriter writer(paper, picture, opener, folder);
    writer.writeHtmlPaper();
    writer.writeHtmlAnswers();
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_EQ(writer.failures(),
              (QStringList{folder + u"A卷试题0.jpg"_s, writer.paperPath(), folder + u"A卷答案0.jpg"_s,
                           folder + u"A卷答案1.jpg"_s, writer.answersPath()}));
}

// A link planted under a picture's name is not followed: its target keeps its
// bytes and the picture is reported as not written.
TEST(HtmlPaperWriter, aPlantedLinkIsNeverWrittenThrough) {
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QFile target(folder + u"elsewhere.txt"_s);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write("untouched");
    target.close();
    ASSERT_TRUE(QFile::link(target.fileName(), folder + u"A卷试题0.jpg"_s));
    const AssembledPaper paper = smallPaper();
    RecordingOpener opener;
    HtmlPaperWriter writer(paper, picture, opener, folder);
    writer.writeHtmlPaper();
    EXPECT_EQ(readFile(target.fileName()), "untouched");
    EXPECT_EQ(writer.failures(), QStringList{folder + u"A卷试题0.jpg"_s});
}
