#include "compose/HtmlPaperWriter.h"

#include "base/Gbk.h"
#include "compose/DocumentOpener.h"
#include "compose/PaperOutputFolder.h"
#include "compose/PaperText.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

// Bank texts are escaped first; the program's own markup is added afterwards.
QString escaped(const QString& text) {
    return PaperText::htmlEscaped(text);
}

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

// The printed form's page: its size when printed from the browser, two columns
// on A3 and B4 with the sealing line down the left margin of every page.
QString printedStyle(const PaperHeader& h, bool answers) {
    QString css = u"<style>table.score{border-collapse:collapse;margin:6px auto}"
                  u"table.score td{border:1px solid #000;min-width:3em;height:2em;text-align:center}"
                  u".head{column-span:all}.foot{column-span:all;font-size:8pt;text-align:center;margin-top:2em}"_s;
    switch (h.page) {
    case PaperHeader::Page::A4:
        css += u"@page{size:A4 portrait}"_s;
        break;
    case PaperHeader::Page::A3:
        css += u"@page{size:A3 landscape}"_s;
        break;
    case PaperHeader::Page::B4:
        css += u"@page{size:257mm 364mm landscape}"_s;
        break;
    }
    if (h.twoColumns()) {
        css += u"body{column-count:2;column-gap:1.5cm}"_s;
        if (!answers)
            css += u"body{margin-left:3.5cm}.seal{position:fixed;left:0.6cm;top:0;bottom:0;width:1.4cm;"
                   u"writing-mode:vertical-rl;transform:rotate(180deg);text-align:center;"
                   u"border-left:1px dashed #000}"_s;
    }
    return css + u"</style>"_s;
}

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

// The printed form's header in place of the title line.
QString HtmlPaperWriter::printedHeader() const {
    const PaperHeader& head = m_paper.settings.header;
    QString h = kHead + printedStyle(head, false) + u"<body>"_s;
    if (head.twoColumns())
        h += u"<div class='seal'>"_s + escaped(m_paper.sealingLineText()) + u"</div>"_s;
    h += u"<div class='head'><center>"_s;
    if (!head.examTitle.isEmpty())
        h += u"<strong><font size='6'>"_s + escaped(head.examTitle) + u"</font></strong><br>"_s;
    h += u"<strong><font size='5'>"_s + escaped(m_paper.headerSubjectLine()) + u"</font></strong><br>"_s;
    h += u"<font size='3'>"_s + escaped(m_paper.headerTimeLine()) + u"</font><br>"_s;
    if (const QString candidate = m_paper.headerCandidateLine(); !candidate.isEmpty())
        h += u"<font size='3'>"_s + escaped(candidate) + u"</font><br>"_s;
    if (head.scoreTable) {
        h += u"<table class='score'>"_s;
        for (const QStringList& row : m_paper.scoreTable()) {
            h += u"<tr>"_s;
            for (const QString& cell : row)
                h += u"<td>"_s + (cell.isEmpty() ? u"&nbsp;"_s : escaped(cell)) + u"</td>"_s;
            h += u"</tr>"_s;
        }
        h += u"</table>"_s;
    }
    h += u"</center>"_s;
    if (!head.notes.isEmpty()) {
        h += u"<div><strong>注意事项：</strong></div>"_s;
        for (const QString& line : head.notes.split(u'\n'))
            if (!line.trimmed().isEmpty())
                h += u"<div><font size='2'>"_s + escaped(line.trimmed()) + u"</font></div>"_s;
    }
    return h + u"</div><br>"_s;
}

QString HtmlPaperWriter::printedFooter(const QString& kind) const {
    return u"<div class='foot'>"_s + escaped(m_paper.documentTitle(kind)) + u"</div>"_s;
}

QString HtmlPaperWriter::paperHtml() {
    const PaperSettings& s = m_paper.settings;
    QString h = s.header.on ? printedHeader()
                            : kHead + u"<body><center>"_s + escaped(m_paper.documentTitle(u"试题"_s)) +
                                  u"</center>"_s + u"<br>"_s;
    const QList<int> majors = m_paper.majorStarts();
    const QList<int> minors = m_paper.minorNumbers();
    int pictureCount = 0;
    int major = 0;
    for (qsizetype i = 0; i < m_paper.rows.size(); ++i) {
        const PaperRow& row = m_paper.rows[i];
        if (const int k = majors[i]; k > 0) {
            major = k;
            if (k > 1)
                h += u"<br>"_s;
            h += u"<strong><font size='5'>"_s + escaped(m_paper.majorHeading(k, row.type));
            h += u"</strong><font size='4'>"_s;
            h += escaped(m_paper.scoreNote(row.type));
            if (const QString note = m_paper.description(row.type); !note.isEmpty())
                h += u"<div style='text-indent: 1em'>"_s + escaped(note) + u"</div>"_s;
            h += u"<br>"_s;
        }
        h += u"<br></strong><font size='4'><div style='text-indent: 1em'>"_s;
        if (!row.isTitle())
            h += u"<div>"_s + QString::number(minors[i]) + u". "_s;
        h += blankOpenings(lineBreaks(escaped(row.stem1)));
        if (row.hasStemPicture()) {
            const QString path =
                writePicture(s.paper + u"试题"_s + QString::number(pictureCount++) + u".jpg"_s, row, false,
                             PaperText::questionName(row, m_paper.majorLabel(major), minors[i]));
            h += u"<div style='text-indent:2.5em'><div>"_s + u"<img src='"_s + PaperText::fileUrl(path) +
                 u"'/></div></div>"_s;
        }
        if (!row.stem2.isEmpty()) {
            QString options = escaped(row.stem2);
            options.replace(u"     "_s, s.optionLineBreak ? u"</div><div>"_s : u"&nbsp&nbsp&nbsp&nbsp"_s);
            h += u"<div style='text-indent:2.5em'><div>"_s + options + u"</div></div>"_s;
        }
        h += u"</div></div>"_s;
    }
    if (s.header.on)
        h += printedFooter(u"试题"_s);
    h += u"</body>"_s;
    return h;
}

QString HtmlPaperWriter::answersHtml() {
    const PaperSettings& s = m_paper.settings;
    QString h = s.header.on ? kHead + printedStyle(s.header, true) + u"<body><div class='head'><center><strong>"
                                  u"<font size='6'>"_s + escaped(m_paper.answerSheetTitle()) +
                                  u"</font></strong></center></div><br>"_s
                            : kHead + u"<body><center>"_s + escaped(m_paper.documentTitle(u"答案"_s)) +
                                  u"</center>"_s + u"<br>"_s;
    const QList<int> majors = m_paper.majorStarts();
    const QList<int> minors = m_paper.minorNumbers();
    int pictureCount = 0;
    int major = 0;
    bool broken = false;
    for (qsizetype i = 0; i < m_paper.rows.size(); ++i) {
        const PaperRow& row = m_paper.rows[i];
        if (const int k = majors[i]; k > 0) {
            major = k;
            broken = m_paper.answerLineBreak(row.type);
            if (k > 1)
                h += broken ? u"<div>&nbsp</div>"_s : u"<br><br>"_s;
            h += u"<strong><font size='5'>"_s + escaped(m_paper.majorHeading(k, row.type)) +
                 u"</strong><font size='4'>"_s;
            h += escaped(m_paper.scoreNote(row.type));
            h += u"<br><br><div style='text-indent: 1em'>"_s;
        }
        if (row.isTitle())
            continue;
        if (broken)
            h += u"<div>"_s;
        h += QString::number(minors[i]) + u". "_s + lineBreaks(escaped(row.answer));
        if (row.hasAnswerPicture()) {
            const QString path =
                writePicture(s.paper + u"答案"_s + QString::number(pictureCount++) + u".jpg"_s, row, true,
                             PaperText::questionName(row, m_paper.majorLabel(major), minors[i]));
            h += u"<img src='"_s + PaperText::fileUrl(path) + u"'/>"_s;
        }
        h += broken ? u"</div><div>&nbsp</div>"_s : u"&nbsp&nbsp&nbsp&nbsp"_s;
    }
    if (s.header.on)
        h += printedFooter(u"答案"_s);
    h += u"</body>"_s;
    return h;
}

void HtmlPaperWriter::writeHtmlPaper() {
    const QString html = paperHtml();
    if (writeFile(paperPath(), toGbk(html)) && !m_opener.openDocument(paperPath()))
        m_unopened.append(paperPath());
}

void HtmlPaperWriter::writeHtmlAnswers() {
    const QString html = answersHtml();
    if (writeFile(answersPath(), toGbk(html)) && !m_opener.openDocument(answersPath()))
        m_unopened.append(answersPath());
}

// The bytes go out unchanged; a picture no program can show is still written,
// and named by its question in the failures.
QString HtmlPaperWriter::writePicture(const QString& name, const PaperRow& row, bool answerPicture,
                                      const QString& question) {
    const QString path = m_folder + name;
    const QByteArray bytes = m_pictures ? m_pictures(row.recordId, answerPicture) : QByteArray();
    if (!PaperText::pictureDecodes(bytes))
        m_failures.append(question + (answerPicture ? u"的答案图片无法显示"_s : u"的图片无法显示"_s));
    writeFile(path, bytes);
    return path;
}

bool HtmlPaperWriter::writeFile(const QString& path, const QByteArray& bytes) {
    if (!PaperOutputFolder::writeNewFile(path, bytes)) {
        m_failures.append(path);
        return false;
    }
    return true;
}

} // namespace helan
