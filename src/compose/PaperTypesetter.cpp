#include "compose/PaperTypesetter.h"

#include <algorithm>
#include <cmath>

#include <QFontDatabase>
#include <QImage>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

#include "compose/PaperPrintForm.h"
#include "compose/PaperText.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

const QChar kLineBreak(QChar::LineSeparator);
const QString kRunOnSeparator = u"        "_s; // eight spaces, as in the word-processor document
const QString kOptionSeparator = u"     "_s;  // what the assembly puts after each option

// A bank text as one paragraph: its line breaks stay line breaks, and nothing
// in it can start a new paragraph or reach the layout as a control character.
QString plain(const QString& text) {
    QString out = PaperText::xmlSafe(text);
    out.replace(u"\r\n"_s, QString(kLineBreak));
    for (const QChar c : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::ParagraphSeparator)})
        out.replace(c, kLineBreak);
    return out;
}

// Fill-in questions leave a gap after an opening parenthesis; on paper it must
// be wide enough to write in (the HTML writer widens it the same way).
QString stemText(const QString& stem) {
    const QString gap(8, QChar(QChar::Nbsp));
    QString text = plain(stem);
    text.replace(u"( "_s, u"("_s + gap);
    text.replace(u"（ "_s, u"（"_s + gap);
    return text;
}

// The options on one line with a wide gap, or one under the other when 选项换行 is on.
QString optionsText(const QString& stem2, bool lineBreak) {
    QStringList options = plain(stem2).split(kOptionSeparator);
    while (options.size() > 1 && options.last().trimmed().isEmpty())
        options.removeLast();
    return options.join(lineBreak ? QString(kLineBreak) : u"\u3000\u3000"_s);
}

// How far a number "m. " hangs: one and a half characters for one digit, half a
// character more for each further digit.
double hangPoints(int number) {
    return PaperTypesetter::kBodyPoints * (0.5 * double(QString::number(number).size()) + 1.0);
}

} // namespace

PaperTypesetter::PaperTypesetter(const AssembledPaper& paper, const PaperPictures& pictures, QTextDocument& document,
                                 double dotsPerPoint, QSizeF column)
    : m_paper(paper), m_pictures(pictures), m_document(document), m_cursor(&document),
      m_dotsPerPoint(dotsPerPoint), m_column(column) {}

QString PaperTypesetter::fontFamily() {
    static const QString family = [] {
        const QStringList preferred{u"SimSun"_s,           u"宋体"_s,           u"NSimSun"_s,
                                    u"新宋体"_s,           u"Noto Serif CJK SC"_s, u"Noto Sans CJK SC"_s,
                                    u"Source Han Serif SC"_s, u"Source Han Sans SC"_s};
        const auto pick = [&] {
            const QStringList families = QFontDatabase::families();
            for (const QString& name : preferred)
                if (families.contains(name, Qt::CaseInsensitive))
                    return name;
            return QString();
        };
        QString found = pick();
        // Where fontconfig does not list them, the files of fonts-noto-cjk are loaded directly.
        for (const QString& path : {u"/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc"_s,
                                    u"/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"_s}) {
            if (!found.isEmpty())
                break;
            if (QFontDatabase::addApplicationFont(path) >= 0)
                found = pick();
        }
        return found;
    }();
    return family;
}

QStringList PaperTypesetter::fontFamilies() {
    static const QStringList families = [] {
        // Letters and digits in a Latin face, as a word processor sets them: the
        // Chinese faces give digits after a letter glyphs of their own, which a
        // PDF cannot name, so that they would be lost when text is copied out.
        const QStringList latin{u"Times New Roman"_s, u"Liberation Serif"_s, u"DejaVu Serif"_s};
        const QStringList installed = QFontDatabase::families();
        QStringList chosen;
        for (const QString& name : latin) {
            if (installed.contains(name, Qt::CaseInsensitive)) {
                chosen << name;
                break;
            }
        }
        if (const QString chinese = fontFamily(); !chinese.isEmpty())
            chosen << chinese;
        return chosen;
    }();
    return families;
}

QTextCharFormat PaperTypesetter::chars(double points, bool bold) const {
    QTextCharFormat format;
    if (const QStringList families = fontFamilies(); !families.isEmpty())
        format.setFontFamilies(families);
    format.setFontPointSize(points);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    return format;
}

QTextBlockFormat PaperTypesetter::block(Qt::Alignment alignment, double leftPoints, double indentPoints) const {
    QTextBlockFormat format;
    format.setAlignment(alignment);
    format.setLeftMargin(dots(leftPoints));
    format.setTextIndent(dots(indentPoints));
    return format;
}

int PaperTypesetter::currentBlock() const {
    return m_cursor.blockNumber();
}

void PaperTypesetter::startBlock(const QTextBlockFormat& block, const QTextCharFormat& chars) {
    if (m_emptyBlock) {
        m_cursor.setBlockFormat(block);
        m_cursor.setBlockCharFormat(chars);
        m_emptyBlock = false;
        return;
    }
    m_cursor.insertBlock(block, chars);
}

void PaperTypesetter::typeText(const QString& text, const QTextCharFormat& chars) {
    m_cursor.insertText(text, chars);
}

void PaperTypesetter::typeMajorHeading(int k, const QString& type, double topPoints) {
    QTextBlockFormat format = block(Qt::AlignLeft);
    format.setTopMargin(dots(topPoints));
    format.setBottomMargin(dots(3));
    startBlock(format, chars(kHeadingPoints, true));
    typeText(plain(m_paper.majorHeading(k, type)), chars(kHeadingPoints, true));
    if (const QString note = m_paper.scoreNote(type); !note.isEmpty())
        typeText(plain(note), chars(kBodyPoints));
}

bool PaperTypesetter::typePicture(const PaperRow& row, bool answer, double indentPoints, const QString& question) {
    QImage image = QImage::fromData(m_pictures ? m_pictures(row.recordId, answer) : QByteArray());
    if (image.isNull()) {
        const QString failure = question + (answer ? u"的答案图片无法显示"_s : u"的图片无法显示"_s);
        if (!m_failures.contains(failure))
            m_failures.append(failure);
        return false;
    }
    // As large as in the word-processor document (a pixel at 96 dpi), but
    // never wider than the column nor taller than most of it.
    double width = dots(image.width() * 0.75);
    double height = dots(image.height() * 0.75);
    const double scale = std::min({1.0, (m_column.width() - dots(indentPoints)) / width,
                                   m_column.height() * 0.6 / height});
    width *= scale;
    height *= scale;
    // Printing needs no more than 300 pixels an inch; a photograph from a
    // telephone would otherwise make the file huge.
    const int enough = int(std::ceil(width / m_dotsPerPoint / 72.0 * 300.0));
    if (image.width() > enough)
        image = image.scaledToWidth(enough, Qt::SmoothTransformation);
    const QUrl name(u"picture:"_s + QString::number(m_pictureCount++));
    m_document.addResource(QTextDocument::ImageResource, name, image);
    // The document takes image sizes in pixels of 96 dpi and scales them to its device.
    const double pixel = m_dotsPerPoint * 72.0 / 96.0;
    startBlock(block(Qt::AlignLeft, indentPoints), chars(kBodyPoints));
    QTextImageFormat format;
    format.setName(name.toString());
    format.setWidth(width / pixel);
    format.setHeight(height / pixel);
    m_cursor.insertImage(format);
    return true;
}

void PaperTypesetter::typeScoreTable() {
    const QStringList labels = PaperPrintForm::majorLabels(m_paper);
    if (labels.isEmpty())
        return;
    const int columns = int(labels.size()) + 2;
    QTextTableFormat format;
    format.setAlignment(Qt::AlignHCenter);
    // Tables and line heights are given in pixels of 96 dpi, which the
    // document scales to its device.
    const auto pixels = [](double points) { return points * 96.0 / 72.0; };
    format.setBorder(pixels(0.75));
    format.setBorderBrush(Qt::black);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(pixels(2));
    format.setTopMargin(pixels(8));
    format.setBottomMargin(pixels(4));
    const double cell = std::min(kBodyPoints * 3.4, m_column.width() / m_dotsPerPoint / columns);
    format.setColumnWidthConstraints(QList<QTextLength>(columns, QTextLength(QTextLength::FixedLength, pixels(cell))));
    QTextTable* table = m_cursor.insertTable(2, columns, format);
    const QStringList top = QStringList{PaperPrintForm::numberCaption()} + labels + QStringList{PaperPrintForm::totalCaption()};
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < 2; ++r) {
            QTextCursor cursor = table->cellAt(r, c).firstCursorPosition();
            QTextBlockFormat cellBlock = block(Qt::AlignHCenter);
            if (r == 1) // room to write a score in
                cellBlock.setLineHeight(pixels(24), QTextBlockFormat::MinimumHeight);
            cursor.setBlockFormat(cellBlock);
            const QString text = r == 0 ? top[c] : (c == 0 ? PaperPrintForm::scoreCaption() : QString());
            cursor.insertText(plain(text), chars(kBodyPoints));
        }
    }
    m_cursor.movePosition(QTextCursor::End);
    m_emptyBlock = true;
}

void PaperTypesetter::typeHeader(bool twoColumns) {
    const PaperHeader& h = m_paper.settings.header;
    const auto centred = [this](double topPoints) {
        QTextBlockFormat format = block(Qt::AlignHCenter);
        format.setTopMargin(dots(topPoints));
        return format;
    };
    if (!h.examTitle.trimmed().isEmpty()) {
        startBlock(centred(0), chars(kTitlePoints, true));
        typeText(plain(h.examTitle.trimmed()), chars(kTitlePoints, true));
    }
    startBlock(centred(4), chars(kHeadingPoints, true));
    typeText(plain(PaperPrintForm::subjectLine(m_paper)), chars(kHeadingPoints, true));
    startBlock(centred(4), chars(kBodyPoints));
    typeText(PaperPrintForm::timeAndScoreLine(m_paper), chars(kBodyPoints));
    if (const QString line = PaperPrintForm::candidateLine(h); !twoColumns && !line.isEmpty()) {
        startBlock(centred(8), chars(kBodyPoints));
        typeText(plain(line), chars(kBodyPoints));
    }
    if (h.scoreTable)
        typeScoreTable();
    if (!h.notes.trimmed().isEmpty()) {
        QTextBlockFormat caption = block(Qt::AlignLeft);
        caption.setTopMargin(dots(6));
        startBlock(caption, chars(kBodyPoints, true));
        typeText(PaperPrintForm::notesCaption(), chars(kBodyPoints, true));
        startBlock(block(Qt::AlignJustify), chars(kBodyPoints));
        typeText(plain(h.notes.trimmed()), chars(kBodyPoints));
    }
}

void PaperTypesetter::typePaper(bool twoColumns) {
    const PaperSettings& s = m_paper.settings;
    if (s.header.on) {
        typeHeader(twoColumns);
    } else {
        startBlock(block(Qt::AlignHCenter), chars(kBodyPoints));
        typeText(plain(m_paper.documentTitle(u"试题"_s)), chars(kBodyPoints));
    }
    const QList<int> majors = m_paper.majorStarts();
    const QList<int> minors = m_paper.minorNumbers();
    int major = 0;
    int titleStart = -1; // a group's title waiting for its first sub-question
    for (qsizetype i = 0; i < m_paper.rows.size(); ++i) {
        const PaperRow& row = m_paper.rows[i];
        int start = -1;
        if (const int k = majors[i]; k > 0) {
            major = k;
            titleStart = -1;
            typeMajorHeading(k, row.type, k > 1 ? 14 : 8);
            start = currentBlock();
            if (const QString description = m_paper.description(row.type); !description.isEmpty()) {
                startBlock(block(Qt::AlignJustify), chars(kBodyPoints));
                typeText(plain(description), chars(kBodyPoints));
            }
        }
        const bool numbered = !row.isTitle();
        const double indent = numbered ? hangPoints(minors[i]) : 0;
        QTextBlockFormat stem = block(Qt::AlignJustify, indent, -indent);
        stem.setTopMargin(dots(3));
        stem.setLineHeight(130, QTextBlockFormat::ProportionalHeight);
        startBlock(stem, chars(kBodyPoints));
        if (start < 0)
            start = currentBlock();
        const QString number = numbered ? QString::number(minors[i]) + u". "_s : QString();
        typeText(number + stemText(row.stem1), chars(kBodyPoints));
        if (row.hasStemPicture())
            typePicture(row, false, indent, PaperText::questionName(row, m_paper.majorLabel(major), minors[i]));
        if (!row.stem2.isEmpty()) {
            QTextBlockFormat options = block(Qt::AlignLeft, indent);
            options.setLineHeight(130, QTextBlockFormat::ProportionalHeight);
            startBlock(options, chars(kBodyPoints));
            typeText(optionsText(row.stem2, s.optionLineBreak), chars(kBodyPoints));
        }
        const KeepRange own{start, currentBlock()};
        if (row.isTitle()) {
            titleStart = start;
        } else if (titleStart >= 0) {
            // Before the sub-question's own range: once the title has moved
            // on, the sub-question follows it.
            m_keep.append({titleStart, own.lastBlock});
            titleStart = -1;
        }
        m_keep.append(own);
    }
}

void PaperTypesetter::typeAnswers() {
    if (m_paper.settings.header.on) {
        startBlock(block(Qt::AlignHCenter), chars(kTitlePoints, true));
        typeText(plain(PaperPrintForm::answersTitle(m_paper)), chars(kTitlePoints, true));
    } else {
        startBlock(block(Qt::AlignHCenter), chars(kBodyPoints));
        typeText(plain(m_paper.documentTitle(u"答案"_s)), chars(kBodyPoints));
    }
    const QList<int> majors = m_paper.majorStarts();
    const QList<int> minors = m_paper.minorNumbers();
    int major = 0;
    bool broken = false;
    bool runOpen = false; // run-on answers continue the open block
    int heading = -1;
    for (qsizetype i = 0; i < m_paper.rows.size(); ++i) {
        const PaperRow& row = m_paper.rows[i];
        if (const int k = majors[i]; k > 0) {
            major = k;
            broken = m_paper.answerLineBreak(row.type);
            runOpen = false;
            typeMajorHeading(k, row.type, k > 1 ? 14 : 8);
            heading = currentBlock();
        }
        if (row.isTitle())
            continue;
        const double indent = broken ? hangPoints(minors[i]) : kBodyPoints;
        const QString text = QString::number(minors[i]) + u". "_s + plain(row.answer);
        if (runOpen) {
            typeText(kRunOnSeparator, chars(kBodyPoints));
        } else {
            QTextBlockFormat format = broken ? block(Qt::AlignJustify, indent, -indent) : block(Qt::AlignJustify, indent);
            format.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
            startBlock(format, chars(kBodyPoints));
            runOpen = !broken;
        }
        typeText(text, chars(kBodyPoints));
        if (heading >= 0) {
            m_keep.append({heading, currentBlock(), true});
            heading = -1;
        }
        if (row.hasAnswerPicture() &&
            typePicture(row, true, indent, PaperText::questionName(row, m_paper.majorLabel(major), minors[i])))
            runOpen = false;
    }
}

} // namespace helan
