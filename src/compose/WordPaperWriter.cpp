#include "compose/WordPaperWriter.h"

#include "compose/DocumentOpener.h"
#include "compose/DocxDocument.h"
#include "compose/PaperText.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

const QString kBody = u"正文"_s;
const QString kRunOnSeparator = u"        "_s; // eight spaces

// Numbers of one digit hang by one and a half characters, longer ones by two.
void numberIndents(WordSelection& s, int m) {
    if (m < 10) {
        s.setLeftIndent(1.5);
        s.setFirstLineIndent(-1.5);
    } else {
        s.setLeftIndent(1);
        s.setFirstLineIndent(-2);
    }
}

void continuationIndents(WordSelection& s) {
    s.setLeftIndent(3.2);
    s.setFirstLineIndent(0.01);
}

// The first line where the number hangs, the rest under the text. keep: both
// paragraphs stay on the page of what follows them.
void typeSplit(WordSelection& s, const QString& text, bool indentRest, bool keep = false) {
    const qsizetype at = text.indexOf(u"\r\n"_s);
    if (at < 0) {
        s.typeText(text);
        if (keep)
            s.setKeepWithNext(true);
        return;
    }
    s.typeText(text.left(at));
    if (keep)
        s.setKeepWithNext(true);
    s.typeParagraph();
    if (indentRest)
        continuationIndents(s);
    s.typeText(text.mid(at + 2));
    if (keep)
        s.setKeepWithNext(true);
}

// The printed page of a paper: A4 upright, or A3 / B4 across in two columns
// with a wide left margin for the sealing line.
WordPageSetup pageSetupFor(const AssembledPaper& paper, bool answers) {
    WordPageSetup setup;
    switch (paper.settings.header.page) {
    case PaperHeader::Page::A4:
        break;
    case PaperHeader::Page::A3:
        setup.width = 23811;
        setup.height = 16838;
        break;
    case PaperHeader::Page::B4: // JIS B4, 257 × 364 mm
        setup.width = 20636;
        setup.height = 14570;
        break;
    }
    if (paper.settings.header.twoColumns()) {
        setup.landscape = true;
        setup.columns = 2;
        setup.leftMargin = 2835;
        setup.rightMargin = 1134;
        if (!answers)
            setup.sealingLine = paper.sealingLineText();
    }
    setup.footerText = paper.documentTitle(answers ? u"答案"_s : u"试题"_s);
    setup.pageNumbers = true;
    return setup;
}

} // namespace

WordPaperWriter::WordPaperWriter(const AssembledPaper& paper, PaperPictures pictures, DocumentOpener& opener,
                                 QString folder)
    : m_paper(paper), m_pictures(std::move(pictures)), m_opener(opener), m_folder(std::move(folder)) {}

QString WordPaperWriter::paperPath() const {
    return m_folder + m_paper.documentTitle(u"试题"_s) + u".docx"_s;
}

QString WordPaperWriter::answersPath() const {
    return m_folder + m_paper.documentTitle(u"答案"_s) + u".docx"_s;
}

void WordPaperWriter::typeTitle(WordSelection& s, const QString& kind) const {
    s.setAlignment(1);
    s.typeText(m_paper.documentTitle(kind));
    s.typeParagraph();
    s.setAlignment(0);
}

// A picture that no program could show is left out and named by its question:
// in the document it would only be a blank area.
void WordPaperWriter::addPicture(WordSelection& s, const PaperRow& row, bool answer, const QString& question) const {
    const QByteArray bytes = m_pictures ? m_pictures(row.recordId, answer) : QByteArray();
    if (!PaperText::pictureDecodes(bytes)) {
        const QString failure = question + (answer ? u"的答案图片无法显示"_s : u"的图片无法显示"_s);
        if (!m_pictureFailures.contains(failure))
            m_pictureFailures.append(failure);
        return;
    }
    s.addPicture(bytes);
}

// The printed form's header in place of the title line: exam, subject, time and
// full marks, the candidate's blanks, the score table and the notes.
void WordPaperWriter::typeHeader(WordSelection& s) const {
    const PaperHeader& h = m_paper.settings.header;
    s.setPageSetup(pageSetupFor(m_paper, false));
    s.setAlignment(1);
    s.setBold(1);
    if (!h.examTitle.isEmpty()) {
        s.setFontSize(16);
        s.typeText(h.examTitle);
        s.typeParagraph();
    }
    s.setFontSize(14);
    s.typeText(m_paper.headerSubjectLine());
    s.typeParagraph();
    s.setFontSize(10.5);
    s.setBold(0);
    s.typeText(m_paper.headerTimeLine());
    s.typeParagraph();
    if (const QString candidate = m_paper.headerCandidateLine(); !candidate.isEmpty()) {
        s.typeText(candidate);
        s.typeParagraph();
    }
    if (h.scoreTable)
        s.addTable(m_paper.scoreTable());
    s.setAlignment(0);
    if (!h.notes.isEmpty()) {
        s.setBold(1);
        s.typeText(u"注意事项："_s);
        s.typeParagraph();
        s.setBold(0);
        s.setFontSize(9);
        for (const QString& line : h.notes.split(u'\n'))
            if (!line.trimmed().isEmpty()) {
                s.typeText(line.trimmed());
                s.typeParagraph();
            }
        s.setFontSize(10.5);
    }
}

void WordPaperWriter::typePaper(WordSelection& s) const {
    const bool printed = m_paper.settings.header.on;
    if (printed)
        typeHeader(s);
    else
        typeTitle(s, u"试题"_s);
    const QList<int> majors = m_paper.majorStarts();
    const QList<int> minors = m_paper.minorNumbers();
    int major = 0;
    for (qsizetype i = 0; i < m_paper.rows.size(); ++i) {
        const PaperRow& row = m_paper.rows[i];
        if (majors[i] > 0)
            major = majors[i];
        if (const int k = majors[i]; k > 0) {
            s.typeParagraph();
            if (k > 1)
                s.typeParagraph();
            s.setLeftIndent(0.01);
            s.setFontSize(14);
            s.setBold(1);
            s.typeText(m_paper.majorHeading(k, row.type));
            if (const QString note = m_paper.scoreNote(row.type); !note.isEmpty())
                s.typeText(note);
            if (printed)
                s.setKeepWithNext(true);
            if (const QString description = m_paper.description(row.type); !description.isEmpty()) {
                s.typeParagraph();
                s.setAlignment(3);
                s.setStyle(kBody);
                s.setFontSize(10);
                s.setBold(0);
                s.typeText(description);
                if (printed)
                    s.setKeepWithNext(true);
            }
        }
        s.typeParagraph();
        s.setAlignment(3);
        s.setStyle(kBody);
        s.setFontSize(10);
        s.setBold(0);
        const bool numbered = !row.isTitle();
        if (numbered) {
            numberIndents(s, minors[i]);
            s.typeText(QString::number(minors[i]) + u". "_s);
        }
        // On a printed paper a stem keeps its picture and options on its page,
        // and a group's title its first sub-question.
        const bool keepStem = printed && (row.isTitle() || row.hasStemPicture() || !row.stem2.isEmpty());
        typeSplit(s, row.stem1, numbered, keepStem);
        if (row.hasStemPicture()) {
            s.typeParagraph();
            if (numbered)
                continuationIndents(s);
            addPicture(s, row, false, PaperText::questionName(row, m_paper.majorLabel(major), minors[i]));
            if (printed && !row.stem2.isEmpty())
                s.setKeepWithNext(true);
        }
        if (!row.stem2.isEmpty()) {
            s.typeParagraph();
            if (numbered)
                continuationIndents(s);
            s.typeText(row.stem2);
            if (m_paper.settings.optionLineBreak)
                s.typeParagraph();
        }
    }
}

void WordPaperWriter::typeAnswers(WordSelection& s) const {
    if (m_paper.settings.header.on) {
        s.setPageSetup(pageSetupFor(m_paper, true));
        s.setAlignment(1);
        s.setFontSize(16);
        s.setBold(1);
        s.typeText(m_paper.answerSheetTitle());
        s.typeParagraph();
        s.setFontSize(10.5);
        s.setBold(0);
        s.setAlignment(0);
    } else {
        typeTitle(s, u"答案"_s);
    }
    const QList<int> majors = m_paper.majorStarts();
    const QList<int> minors = m_paper.minorNumbers();
    bool separatorPending = false; // the run-on separator after the last answer typed
    int major = 0;
    for (qsizetype i = 0; i < m_paper.rows.size(); ++i) {
        const PaperRow& row = m_paper.rows[i];
        if (majors[i] > 0)
            major = majors[i];
        const bool runOn = !m_paper.answerLineBreak(row.type);
        if (const int k = majors[i]; k > 0) {
            if (separatorPending)
                for (int j = 0; j < kRunOnSeparator.size(); ++j)
                    s.typeBackspace();
            separatorPending = false;
            s.typeParagraph();
            if (k > 1)
                s.typeParagraph();
            s.setLeftIndent(-0.1);
            s.setFontSize(14);
            s.setBold(1);
            s.typeText(m_paper.majorHeading(k, row.type));
            if (const QString note = m_paper.scoreNote(row.type); !note.isEmpty())
                s.typeText(note);
            s.typeParagraph();
        } else if (!runOn) {
            s.typeParagraph();
        }
        s.setLineSpacingRule(1);
        s.setAlignmentName(u"wdAlignParagraphJustify"_s);
        s.setFontSize(10);
        s.setBold(0);
        if (row.isTitle())
            continue;
        if (runOn) {
            s.setLeftIndent(1);
            s.setFirstLineIndent(0.01);
        } else {
            numberIndents(s, minors[i]);
        }
        s.typeText(QString::number(minors[i]) + u". "_s);
        typeSplit(s, row.answer, true);
        if (row.hasAnswerPicture()) {
            s.typeParagraph();
            addPicture(s, row, true, PaperText::questionName(row, m_paper.majorLabel(major), minors[i]));
        }
        if (runOn) {
            s.typeText(kRunOnSeparator);
            separatorPending = true;
        }
    }
}

void WordPaperWriter::typeDocument(bool answers, const QString& path) {
    DocxDocument document;
    if (answers)
        typeAnswers(document);
    else
        typePaper(document);
    const bool saved = document.save(path);
    for (const QString& error : document.errors() + m_pictureFailures)
        if (!m_failures.contains(error))
            m_failures.append(error);
    if (saved && !m_opener.openDocument(path))
        m_unopened.append(path);
}

void WordPaperWriter::writeWordPaper() {
    typeDocument(false, paperPath());
}

void WordPaperWriter::writeWordAnswers() {
    typeDocument(true, answersPath());
}

} // namespace helan
