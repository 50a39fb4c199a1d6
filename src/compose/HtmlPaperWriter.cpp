#include "compose/HtmlPaperWriter.h"

#include <QFile>

#include "base/Gbk.h"
#include "compose/DocumentOpener.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

QString lineBreaks(QString text) {
    return text.replace(u"\r\n"_s, u"<br>"_s);
}

// Fill-in questions leave a gap after an opening parenthesis; on paper it must be
// wide enough to write in.
QString blankOpenings(QString text) {
    const QString gap = u"&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp"_s;
    text.replace(u"( "_s, u"("_s + gap);
    text.replace(u"（ "_s, u"（"_s + gap);
    return text;
}

// Browsers outside a Chinese locale would not guess GBK.
const QString kHead = u"<meta charset=\"gbk\">"_s;

} // namespace

HtmlPaperWriter::HtmlPaperWriter(const AssembledPaper& paper, PaperPictures pictures, DocumentOpener& opener,
                                 QString folder)
    : m_paper(paper), m_pictures(std::move(pictures)), m_opener(opener), m_folder(std::move(folder)) {}

QString HtmlPaperWriter::paperPath() const {
    return m_folder + m_paper.documentTitle(u"试题"_s) + u".html"_s;
}

QString HtmlPaperWriter::answersPath() const {
    return m_folder + m_paper.documentTitle(u"答案"_s) + u".html"_s;
}

QString HtmlPaperWriter::paperHtml() {
    const PaperSettings& s = m_paper.settings;
    QString h = kHead + u"<body><center>"_s + m_paper.documentTitle(u"试题"_s) + u"</center>"_s + u"<br>"_s;
    const QList<int> majors = m_paper.majorStarts();
    const QList<int> minors = m_paper.minorNumbers();
    int pictureCount = 0;
    for (qsizetype i = 0; i < m_paper.rows.size(); ++i) {
        const PaperRow& row = m_paper.rows[i];
        if (const int k = majors[i]; k > 0) {
            if (k > 1)
                h += u"<br>"_s;
            h += u"<strong><font size='5'>"_s + m_paper.majorHeading(k, row.type);
            h += u"</strong><font size='4'>"_s;
            h += m_paper.scoreNote(row.type);
            if (const QString note = m_paper.description(row.type); !note.isEmpty())
                h += u"<div style='text-indent: 1em'>"_s + note + u"</div>"_s;
            h += u"<br>"_s;
        }
        h += u"<br></strong><font size='4'><div style='text-indent: 1em'>"_s;
        if (!row.isTitle())
            h += u"<div>"_s + QString::number(minors[i]) + u". "_s;
        h += blankOpenings(lineBreaks(row.stem1));
        if (row.hasStemPicture()) {
            const QString path = writePicture(
                s.paper + u"试题"_s + QString::number(pictureCount++) + u".jpg"_s, row.recordId, false);
            h += u"<div style='text-indent:2.5em'><div>"_s + u"<img src='"_s + path + u"'/></div></div>"_s;
        }
        if (!row.stem2.isEmpty()) {
            QString options = row.stem2;
            options.replace(u"     "_s, s.optionLineBreak ? u"</div><div>"_s : u"&nbsp&nbsp&nbsp&nbsp"_s);
            h += u"<div style='text-indent:2.5em'><div>"_s + options + u"</div></div>"_s;
        }
        h += u"</div></div>"_s;
    }
    h += u"</body>"_s;
    return h;
}

QString HtmlPaperWriter::answersHtml() {
    const PaperSettings& s = m_paper.settings;
    QString h = kHead + u"<body><center>"_s + m_paper.documentTitle(u"答案"_s) + u"</center>"_s + u"<br>"_s;
    const QList<int> majors = m_paper.majorStarts();
    const QList<int> minors = m_paper.minorNumbers();
    int pictureCount = 0;
    bool broken = false;
    for (qsizetype i = 0; i < m_paper.rows.size(); ++i) {
        const PaperRow& row = m_paper.rows[i];
        if (const int k = majors[i]; k > 0) {
            broken = m_paper.answerLineBreak(row.type);
            if (k > 1)
                h += broken ? u"<div>&nbsp</div>"_s : u"<br><br>"_s;
            h += u"<strong><font size='5'>"_s + m_paper.majorHeading(k, row.type) +
                 u"</strong><font size='4'>"_s;
            h += m_paper.scoreNote(row.type);
            h += u"<br><br><div style='text-indent: 1em'>"_s;
        }
        if (row.isTitle())
            continue;
        if (broken)
            h += u"<div>"_s;
        h += QString::number(minors[i]) + u". "_s + lineBreaks(row.answer);
        if (row.hasAnswerPicture()) {
            const QString path = writePicture(
                s.paper + u"答案"_s + QString::number(pictureCount++) + u".jpg"_s, row.recordId, true);
            h += u"<img src='"_s + path + u"'/>"_s;
        }
        h += broken ? u"</div><div>&nbsp</div>"_s : u"&nbsp&nbsp&nbsp&nbsp"_s;
    }
    h += u"</body>"_s;
    return h;
}

void HtmlPaperWriter::writeHtmlPaper() {
    const QString html = paperHtml();
    if (writeFile(paperPath(), toGbk(html)))
        m_opener.openDocument(paperPath());
}

void HtmlPaperWriter::writeHtmlAnswers() {
    const QString html = answersHtml();
    if (writeFile(answersPath(), toGbk(html)))
        m_opener.openDocument(answersPath());
}

QString HtmlPaperWriter::writePicture(const QString& name, qint64 recordId, bool answerPicture) {
    const QString path = m_folder + name;
    writeFile(path, m_pictures ? m_pictures(recordId, answerPicture) : QByteArray());
    return path;
}

bool HtmlPaperWriter::writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() ||
        !file.flush()) {
        m_failures.append(path);
        return false;
    }
    return true;
}

} // namespace helan
