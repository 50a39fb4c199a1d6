#include "compose/PdfPaperWriter.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>

#include "compose/DocumentOpener.h"
#include "compose/PaperOutputFolder.h"
#include "compose/PaperPages.h"
#include "compose/PaperTypesetter.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

constexpr char16_t kFirstRadical = 0x2E80;
constexpr char16_t kLastRadical = 0x2FDF;

// Radical → ideograph: what the Chinese font draws with one glyph (the font
// knows best which radical stands for which ideograph), and otherwise what
// Unicode says the radical is compatible with.
QHash<char16_t, char16_t> radicalIdeographs() {
    QHash<char16_t, char16_t> ideographOf;
    QFont font;
    font.setFamily(PaperTypesetter::fontFamily());
    if (const QRawFont raw = QRawFont::fromFont(font); raw.isValid()) {
        QString radicals;
        for (char16_t r = kFirstRadical; r <= kLastRadical; ++r)
            radicals += QChar(r);
        QHash<quint32, char16_t> radicalOf;
        const QList<quint32> radicalGlyphs = raw.glyphIndexesForString(radicals);
        for (qsizetype i = 0; i < radicalGlyphs.size() && i < radicals.size(); ++i)
            if (radicalGlyphs[i] != 0 && !radicalOf.contains(radicalGlyphs[i]))
                radicalOf.insert(radicalGlyphs[i], radicals[i].unicode());
        QString ideographs;
        for (char16_t u = 0x4E00; u <= 0x9FFF; ++u)
            ideographs += QChar(u);
        for (char16_t u = 0x3400; u <= 0x4DBF; ++u)
            ideographs += QChar(u);
        const QList<quint32> glyphs = raw.glyphIndexesForString(ideographs);
        for (qsizetype i = 0; i < glyphs.size() && i < ideographs.size(); ++i)
            if (const auto found = radicalOf.constFind(glyphs[i]);
                found != radicalOf.constEnd() && !ideographOf.contains(*found))
                ideographOf.insert(*found, ideographs[i].unicode());
    }
    for (char16_t r = kFirstRadical; r <= kLastRadical; ++r) {
        const QString unified = QChar(r).decomposition();
        if (!ideographOf.contains(r) && QChar(r).decompositionTag() == QChar::Compat && unified.size() == 1)
            ideographOf.insert(r, unified.at(0).unicode());
    }
    return ideographOf;
}

// The ideograph a radical stands for (⼀ → 一), or 0.
char16_t ideographOf(char16_t radical) {
    if (radical < kFirstRadical || radical > kLastRadical)
        return 0;
    static const QHash<char16_t, char16_t> ideographs = radicalIdeographs();
    return ideographs.value(radical, 0);
}

qsizetype hexToken(const QByteArray& pdf, qsizetype from, qsizetype end, qsizetype* tokenEnd) {
    const qsizetype open = pdf.indexOf('<', from);
    if (open < 0 || open >= end)
        return -1;
    const qsizetype close = pdf.indexOf('>', open);
    if (close < 0 || close >= end)
        return -1;
    *tokenEnd = close + 1;
    return open;
}

// A <XXXX> destination of a ToUnicode map rewritten where it names a radical;
// the length stays, so no offset of the file moves.
void fixDestination(QByteArray& pdf, qsizetype open, qsizetype tokenEnd) {
    if (tokenEnd - open != 6)
        return;
    bool ok = false;
    const uint code = QByteArray(pdf.constData() + open + 1, 4).toUInt(&ok, 16);
    if (!ok)
        return;
    if (const char16_t unified = ideographOf(char16_t(code)); unified != 0)
        pdf.replace(open + 1, 4, QByteArray::number(uint(unified), 16).toUpper().rightJustified(4, '0'));
    else if (code == 0x09) // the space's glyph, named by the tab before it
        pdf.replace(open + 1, 4, "0020");
}

// bfchar: pairs <glyph> <text>; bfrange: <first> <last> followed by [<text> …]
// or by the text of the first glyph (left alone: the range's texts run on).
void fixSection(QByteArray& pdf, qsizetype from, qsizetype end, bool ranges) {
    qsizetype at = from;
    qsizetype tokenEnd = 0;
    while (true) {
        qsizetype open = hexToken(pdf, at, end, &tokenEnd); // the source glyph
        if (open < 0)
            return;
        at = tokenEnd;
        if (ranges) {
            if (hexToken(pdf, at, end, &tokenEnd) < 0) // the last glyph of the range
                return;
            at = tokenEnd;
            while (at < end && (pdf.at(at) == ' ' || pdf.at(at) == '\n' || pdf.at(at) == '\r'))
                ++at;
            if (at < end && pdf.at(at) == '[') {
                const qsizetype close = pdf.indexOf(']', at);
                if (close < 0 || close >= end)
                    return;
                while ((open = hexToken(pdf, at, close, &tokenEnd)) >= 0) {
                    fixDestination(pdf, open, tokenEnd);
                    at = tokenEnd;
                }
                at = close + 1;
                continue;
            }
        }
        open = hexToken(pdf, at, end, &tokenEnd);
        if (open < 0)
            return;
        if (!ranges)
            fixDestination(pdf, open, tokenEnd);
        at = tokenEnd;
    }
}

} // namespace

void PdfPaperWriter::nameGlyphsByIdeographs(QByteArray& pdf) {
    for (const auto& [begin, finish, ranges] :
         {std::tuple{"beginbfchar", "endbfchar", false}, std::tuple{"beginbfrange", "endbfrange", true}}) {
        qsizetype at = 0;
        while ((at = pdf.indexOf(begin, at)) >= 0) {
            const qsizetype end = pdf.indexOf(finish, at);
            if (end < 0)
                break;
            fixSection(pdf, at, end, ranges);
            at = end;
        }
    }
}

PdfPaperWriter::PdfPaperWriter(const AssembledPaper& paper, PaperPictures pictures, DocumentOpener& opener,
                               QString folder)
    : m_paper(paper), m_pictures(std::move(pictures)), m_opener(opener), m_folder(std::move(folder)) {}

QString PdfPaperWriter::paperPath() const {
    return m_folder + m_paper.documentTitle(u"试题"_s) + u".pdf"_s;
}

QString PdfPaperWriter::answersPath() const {
    return m_folder + m_paper.documentTitle(u"答案"_s) + u".pdf"_s;
}

void PdfPaperWriter::writePdfPaper() {
    writeDocument(false, paperPath());
}

void PdfPaperWriter::writePdfAnswers() {
    writeDocument(true, answersPath());
}

void PdfPaperWriter::writeDocument(bool answers, const QString& path) {
    const PaperPages pages(m_paper, m_pictures, answers ? PaperPages::Kind::Answers : PaperPages::Kind::Paper);
    for (const QString& failure : pages.failures())
        if (!m_failures.contains(failure))
            m_failures.append(failure);

    // Made in memory and written as a new file in one piece, as every file of
    // a generation is.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    bool painted = buffer.open(QIODevice::WriteOnly);
    if (painted) {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(pages.pageLayout());
        writer.setResolution(PaperPages::kResolution);
        writer.setTitle(pages.title());
        writer.setCreator(u"禾岚"_s);
        QPainter painter;
        painted = painter.begin(&writer) && pages.paint(painter, writer);
        painted = painter.end() && painted;
    }
    if (!painted || bytes.isEmpty()) {
        m_failures.append(path);
        return;
    }
    nameGlyphsByIdeographs(bytes);
    if (!PaperOutputFolder::writeNewFile(path, bytes)) {
        m_failures.append(path);
        return;
    }
    if (!m_opener.openDocument(path))
        m_unopened.append(path);
}

} // namespace helan
