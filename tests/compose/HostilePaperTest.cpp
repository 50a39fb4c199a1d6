// Texts from a colleague's bank that look like markup, entities, quotes, emoji,
// characters outside GBK and characters XML cannot hold, through assembly into
// both writers: the page and the document show exactly what was typed, and no
// element comes from a bank.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "DocxReader.h"
#include "base/Gbk.h"
#include "compose/DocumentOpener.h"
#include "compose/HtmlPaperWriter.h"
#include "compose/WordPaperWriter.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

class NullOpener : public DocumentOpener {
public:
    bool openDocument(const QString&) override { return true; }
};

const QStringList kHostile = {
    u"若 a<b，则 b>a。比较 a<b 与 c>d"_s,
    u"<script>alert(1)</script>"_s,
    u"<img src=x onerror=alert(2)>"_s,
    u"</div></div></body>"_s,
    u"他说\"对\" & '错'"_s,
    u"&nbsp&lt;不是空格"_s,
    u"笑脸😀和𠀀字"_s,
};

QByteArray png() {
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

AssembledPaper hostilePaper(const QString& extra = {}) {
    AssembledPaper paper;
    PaperSettings& s = paper.settings;
    s.courseName = u"物理&化学"_s;
    s.compositionTime = u"20261209010203"_s;
    s.totalText = u"A卷总分：30"_s;
    s.similarityText = u"相似度：0%"_s;
    s.paper = u"A卷"_s;
    s.generationTime = u"20261209060708"_s;
    s.majorLabels = {QString(), u"一"_s, u"二"_s};
    s.majorSuffix = u"、"_s;
    s.majorScoreNote = true;
    s.types = {PaperType{u"<b>选择</b>"_s, u"5"_s, false, u"35"_s, u"<i>选出</i> & 说明"_s}};
    QStringList texts = kHostile;
    if (!extra.isEmpty())
        texts << extra;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        PaperRow row;
        row.stem1 = u"题"_s + texts[i];
        row.answer = u"答"_s + texts[i];
        row.type = s.types[0].name;
        row.score = 5;
        row.recordId = i + 1;
        if (i == 0) {
            row.stem2 = u"<x>     &y     "_s;
            row.stemPictureMark = u"√"_s;
        }
        paper.rows.append(row);
    }
    return paper;
}

// The page's text: the markup's own tags removed, character references decoded.
// Also the names of the tags, to see that none came from a bank.
QString pageText(const QString& html, QSet<QString>* tags) {
    static const QRegularExpression tag(u"<(/?)([a-zA-Z]+)[^>]*>"_s);
    QString text;
    qsizetype at = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        text += html.mid(at, m.capturedStart() - at);
        at = m.capturedEnd();
        tags->insert(m.captured(2).toLower());
    }
    text += html.mid(at);
    text.replace(u"&nbsp"_s, u" "_s);
    text.replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&quot;"_s, u"\""_s);
    text.replace(u"&#39;"_s, u"'"_s).replace(u"&amp;"_s, u"&"_s);
    return text;
}

} // namespace

TEST(HostilePaper, htmlShowsEveryTextOnceAndNoElementFromABank) {
    QTemporaryDir dir;
    const AssembledPaper paper = hostilePaper();
    NullOpener opener;
    HtmlPaperWriter writer(paper, [](qint64, bool) { return png(); }, opener, dir.path() + u'/');
    writer.writeHtmlPaper();
    writer.writeHtmlAnswers();
    EXPECT_TRUE(writer.failures().isEmpty()) << writer.failures().join(u' ').toStdString();

    const QSet<QString> ours{u"meta"_s, u"body"_s, u"center"_s, u"br"_s, u"strong"_s,
                             u"font"_s, u"div"_s,  u"img"_s};
    for (const bool answers : {false, true}) {
        SCOPED_TRACE(answers ? "answer sheet" : "paper");
        QFile file(answers ? writer.answersPath() : writer.paperPath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        // Written as GB18030, so characters outside GBK come back too.
        const QString html = fromGbk(file.readAll());
        QSet<QString> tags;
        const QString text = pageText(html, &tags);
        EXPECT_TRUE(tags.subtract(ours).isEmpty()) << QStringList(tags.values()).join(u',').toStdString();
        EXPECT_EQ(html.count(u"<img"_s), answers ? 0 : 1);
        for (const QString& t : kHostile)
            EXPECT_EQ(text.count((answers ? u"答"_s : u"题"_s) + t), 1) << t.toStdString();
        EXPECT_EQ(text.count(u"物理&化学"_s), 1);
        EXPECT_EQ(text.count(u"<b>选择</b>"_s), 1);
        if (!answers) {
            EXPECT_EQ(text.count(u"<i>选出</i> & 说明"_s), 1);
            EXPECT_EQ(text.count(u"<x>"_s), 1);
        }
    }
}

TEST(HostilePaper, docxPartsParseAndParagraphsHoldTheTextsLessWhatXmlCannotHold) {
    QTemporaryDir dir;
    // A lone surrogate, a control character and Word's vertical tab.
    const QString unsafe = u"甲"_s + QChar(0xD800) + u"乙\u0001丙\u000B丁"_s;
    const AssembledPaper paper = hostilePaper(unsafe);
    NullOpener opener;
    WordPaperWriter writer(paper, [](qint64, bool) { return png(); }, opener, dir.path() + u'/');
    writer.writeWordPaper();
    writer.writeWordAnswers();
    EXPECT_TRUE(writer.failures().isEmpty()) << writer.failures().join(u' ').toStdString();
    for (const QString& path : {writer.paperPath(), writer.answersPath()}) {
        SCOPED_TRACE(path.toStdString());
        const test::DocxReader docx(path);
        ASSERT_TRUE(docx.opened());
        EXPECT_EQ(docx.problems(), QStringList());
        QString all;
        for (const test::DocxReader::Paragraph& p : docx.paragraphs())
            all += p.text + u'\n';
        const QString prefix = path == writer.paperPath() ? u"题"_s : u"答"_s;
        for (const QString& t : kHostile)
            EXPECT_EQ(all.count(prefix + t), 1) << t.toStdString();
        EXPECT_EQ(all.count(prefix + u"甲乙丙\n丁"_s), 1);
        EXPECT_EQ(all.count(u"物理&化学"_s), 1);
    }
}
