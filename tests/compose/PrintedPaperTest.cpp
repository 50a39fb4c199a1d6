// The printed form of a paper (卷头设置 on): its settings file, and what the
// .docx and HTML writers put on the page for each paper size. With the form
// off the writers' golden files stand unchanged (DocxWriterTest, HtmlPaperWriterTest).
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "DocxReader.h"
#include "RecordingOpener.h"
#include "ScriptedPrompter.h"
#include "base/WriteFaults.h"
#include "compose/DocumentOpener.h"
#include "compose/HtmlPaperWriter.h"
#include "compose/PaperHeaderSettings.h"
#include "compose/WordPaperWriter.h"

using namespace Qt::StringLiterals;
using namespace helan;
using helan::test::DocxReader;

namespace {

QByteArray png() {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Two major questions: choice questions with options, then a group whose title
// has a picture and a sub-question.
AssembledPaper paper(PaperHeader::Page page) {
    AssembledPaper p;
    p.settings.courseName = u"数学"_s;
    p.settings.paper = u"A卷"_s;
    p.settings.totalText = u"100"_s;
    p.settings.generationTime = u"20261209060708"_s;
    p.settings.majorLabels = {QString(), u"一"_s, u"二"_s};
    p.settings.majorSuffix = u"、"_s;
    p.settings.types = {PaperType{u"选择"_s, u"4"_s, false, u"8"_s, QString()},
                        PaperType{u"阅读"_s, u"0"_s, true, u"92"_s, QString()}};
    PaperHeader& h = p.settings.header;
    h.on = true;
    h.examTitle = u"2026—2027学年第一学期期末考试"_s;
    h.minutes = 120;
    h.numberCaption = u"考号"_s;
    h.notes = u"1. 答案写在答题卡上。\n2. 不得使用计算器。"_s;
    h.page = page;
    for (int i = 1; i <= 2; ++i) {
        PaperRow row;
        row.type = u"选择"_s;
        row.stem1 = u"若 a<b & b<c，则 题"_s + QString::number(i);
        row.stem2 = u"A. x     B. y     "_s;
        row.answer = u"A"_s;
        row.score = 4;
        p.rows.append(row);
    }
    PaperRow title;
    title.type = u"阅读"_s;
    title.groupNumber = u"0"_s;
    title.stem1 = u"阅读下面的材料"_s;
    title.stemPictureMark = u"√"_s;
    title.recordId = 7;
    p.rows.append(title);
    PaperRow sub;
    sub.type = u"阅读"_s;
    sub.groupNumber = u"1"_s;
    sub.stem1 = u"小题"_s;
    sub.answer = u"答"_s;
    sub.score = 92;
    p.rows.append(sub);
    return p;
}

QString part(const DocxReader& docx, const QString& name) {
    return QString::fromUtf8(docx.parts().value(name));
}

TEST(PrintedPaperTest, SettingsComeBackAsSavedAndDefaultsStandInForAMissingFile) {
    QTemporaryDir dir;
    const QString home = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_FALSE(PaperHeaderSettings::load(u"数学"_s).on);
    EXPECT_EQ(PaperHeaderSettings::load(u"数学"_s).page, PaperHeader::Page::A4);
    PaperHeader h = paper(PaperHeader::Page::B4).settings.header;
    h.subject = u"代数"_s;
    h.classField = false;
    h.scoreTable = false;
    ASSERT_TRUE(PaperHeaderSettings::save(u"数学"_s, h));
    const PaperHeader back = PaperHeaderSettings::load(u"数学"_s);
    EXPECT_EQ(std::tuple(back.on, back.examTitle, back.subject, back.minutes, back.classField, back.nameField,
                         back.numberField, back.numberCaption, back.scoreTable, back.notes, back.page),
              std::tuple(h.on, h.examTitle, h.subject, h.minutes, h.classField, h.nameField, h.numberField,
                         h.numberCaption, h.scoreTable, h.notes, h.page));
    EXPECT_FALSE(PaperHeaderSettings::load(u"英语"_s).on) << "settings are per course";

    // A write that fails is said, and the file keeps what it held.
    helan::test::ScriptedPrompter said;
    PaperHeaderSettings settings(said, u"数学"_s);
    settings.open();
    settings.header().examTitle = u"新名称"_s;
    WriteFaults::failNth(WriteFaults::Kind::FileWrite, 1);
    EXPECT_FALSE(settings.accept());
    WriteFaults::reset();
    EXPECT_EQ(said.messages(), QStringList{u"卷头设置无法保存：无法写入文件“卷头设置-数学”。"_s});
    EXPECT_EQ(PaperHeaderSettings::load(u"数学"_s).examTitle, h.examTitle);
    EXPECT_TRUE(settings.accept());
    EXPECT_EQ(PaperHeaderSettings::load(u"数学"_s).examTitle, u"新名称"_s);
    QDir::setCurrent(home);
}

TEST(PrintedPaperTest, DocxCarriesTheHeaderScoreTableFooterAndPageForEverySize) {
    struct Case {
        PaperHeader::Page page;
        QString width;
        bool twoColumns;
    };
    for (const Case& c : {Case{PaperHeader::Page::A4, u"11906"_s, false}, Case{PaperHeader::Page::A3, u"23811"_s, true},
                          Case{PaperHeader::Page::B4, u"20636"_s, true}}) {
        SCOPED_TRACE(c.width.toStdString());
        QTemporaryDir dir;
        const AssembledPaper p = paper(c.page);
        helan::test::RecordingOpener opener;
        WordPaperWriter writer(p, [](qint64, bool) { return png(); }, opener, dir.path() + u'/');
        writer.writeWordPaper();
        writer.writeWordAnswers();
        ASSERT_TRUE(writer.failures().isEmpty()) << writer.failures().join(u' ').toStdString();

        const DocxReader docx(writer.paperPath());
        ASSERT_TRUE(docx.opened());
        EXPECT_EQ(docx.problems(), QStringList());
        QStringList texts;
        for (const DocxReader::Paragraph& para : docx.paragraphs())
            texts << para.text;
        const QString all = texts.join(u'\n');
        for (const QString& line : {u"2026—2027学年第一学期期末考试"_s, u"数学（A卷）"_s,
                                    u"考试时间：120分钟　　满分：100分"_s, u"注意事项："_s, u"2. 不得使用计算器。"_s})
            EXPECT_TRUE(texts.contains(line)) << line.toStdString();
        // The candidate writes in the header on A4, on the sealing line across A3 and B4.
        EXPECT_EQ(all.contains(u"班级：＿＿＿＿＿＿＿＿　　姓名：＿＿＿＿＿＿＿＿　　考号："_s), !c.twoColumns);
        EXPECT_FALSE(all.contains(p.documentTitle(u"试题"_s))) << "the internal title is not on the page";

        const QString document = part(docx, u"word/document.xml"_s);
        // One column per major question between 题号 and 总分; the table's
        // cells are read as paragraphs too.
        EXPECT_EQ(document.count(u"<w:gridCol "_s), 4);
        for (const QString& cell : {u"题号"_s, u"一"_s, u"二"_s, u"总分"_s, u"得分"_s})
            EXPECT_TRUE(texts.contains(cell)) << cell.toStdString();
        // The stems with options, the group's title and its picture keep with what follows.
        const QRegularExpression keep(u"<w:keepNext/>.*?</w:p>"_s,
                                      QRegularExpression::DotMatchesEverythingOption);
        QStringList kept;
        for (auto it = keep.globalMatch(document); it.hasNext();) {
            const QString p2 = it.next().captured();
            QString text;
            const QRegularExpression t(u"<w:t[^>]*>([^<]*)</w:t>"_s);
            for (auto j = t.globalMatch(p2); j.hasNext();)
                text += j.next().captured(1);
            kept << text;
        }
        // (texts as the XML holds them)
        EXPECT_TRUE(kept.contains(u"1. 若 a&lt;b &amp; b&lt;c，则 题1"_s) ||
                    kept.contains(u"1. 若 a&lt;b &amp; b&lt;c，则 题2"_s))
            << kept.join(u'|').toStdString();
        EXPECT_TRUE(kept.contains(u"阅读下面的材料"_s));
        EXPECT_TRUE(kept.contains(u"一、选择"_s));
        EXPECT_FALSE(kept.contains(u"1. 小题"_s)) << "a plain question keeps nothing";

        const QString footer = part(docx, u"word/footer1.xml"_s);
        EXPECT_TRUE(footer.contains(u" PAGE "_s) && footer.contains(u" NUMPAGES "_s));
        EXPECT_TRUE(footer.contains(u"第 "_s) && footer.contains(u" 页 共 "_s));
        EXPECT_TRUE(footer.contains(p.documentTitle(u"试题"_s).toHtmlEscaped()));
        EXPECT_TRUE(document.contains(u"<w:pgSz w:w=\""_s + c.width + u'"'));
        EXPECT_EQ(document.contains(u"w:orient=\"landscape\""_s), c.twoColumns);
        EXPECT_EQ(document.contains(u"<w:cols w:num=\"2\""_s), c.twoColumns);
        const QString seal = part(docx, u"word/header1.xml"_s);
        EXPECT_EQ(seal.contains(u"……………密……………封……………线……………"_s), c.twoColumns);
        EXPECT_EQ(seal.contains(u"姓名：＿＿＿＿＿＿＿＿＿＿　　考号："_s), c.twoColumns);
        EXPECT_EQ(seal.contains(u"w:val=\"btLr\""_s), c.twoColumns);

        const DocxReader answers(writer.answersPath());
        ASSERT_FALSE(answers.paragraphs().isEmpty());
        EXPECT_EQ(answers.paragraphs().first().text, u"2026—2027学年第一学期期末考试参考答案"_s);
        EXPECT_TRUE(part(answers, u"word/footer1.xml"_s).contains(p.documentTitle(u"答案"_s).toHtmlEscaped()));
        EXPECT_FALSE(answers.parts().contains(u"word/header1.xml"_s)) << "no sealing line on the answer sheet";
    }
}

TEST(PrintedPaperTest, HtmlCarriesTheHeaderAndTheTitleMovesToTheFoot) {
    for (const PaperHeader::Page page : {PaperHeader::Page::A4, PaperHeader::Page::A3}) {
        QTemporaryDir dir;
        const AssembledPaper p = paper(page);
        helan::test::RecordingOpener opener;
        HtmlPaperWriter writer(p, [](qint64, bool) { return png(); }, opener, dir.path() + u'/');
        const QString html = writer.paperHtml();
        for (const QString& text : {u"2026—2027学年第一学期期末考试"_s, u"数学（A卷）"_s, u"满分：100分"_s,
                                    u"<td>题号</td><td>一</td><td>二</td><td>总分</td>"_s, u"注意事项："_s,
                                    u"若 a&lt;b &amp; b&lt;c"_s})
            EXPECT_TRUE(html.contains(text)) << text.toStdString();
        EXPECT_GT(html.indexOf(p.documentTitle(u"试题"_s)), html.indexOf(u"小题"_s)) << "the title is at the foot";
        const bool wide = page == PaperHeader::Page::A3;
        EXPECT_EQ(html.contains(u"column-count:2"_s), wide);
        EXPECT_EQ(html.contains(u"class='seal'"_s), wide);
        EXPECT_TRUE(writer.answersHtml().contains(u"2026—2027学年第一学期期末考试参考答案"_s));
    }
}

} // namespace
