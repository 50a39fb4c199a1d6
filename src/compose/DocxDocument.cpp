#include "compose/DocxDocument.h"

#include <algorithm>
#include <cstdlib>

#include <QFile>
#include <QXmlStreamWriter>

#include "compose/PaperOutputFolder.h"
#include "compose/PaperText.h"

#include <zip.h>

using namespace Qt::StringLiterals;

namespace helan {

namespace {

const QString kW = u"http://schemas.openxmlformats.org/wordprocessingml/2006/main"_s;
const QString kR = u"http://schemas.openxmlformats.org/officeDocument/2006/relationships"_s;
const QString kWp = u"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"_s;
const QString kA = u"http://schemas.openxmlformats.org/drawingml/2006/main"_s;
const QString kPic = u"http://schemas.openxmlformats.org/drawingml/2006/picture"_s;
const QString kPackageRels = u"http://schemas.openxmlformats.org/package/2006/relationships"_s;
const QString kImageRel = u"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image"_s;

// A4 with the usual Chinese margins: 3.17 cm left and right, 2.54 cm top and bottom.
constexpr int kPageWidth = 11906;
constexpr int kPageHeight = 16838;
constexpr int kMarginSide = 1800;
constexpr int kMarginEdge = 1440;
constexpr qint64 kEmuPerTwip = 635;
constexpr qint64 kEmuPerPixel = 9525; // at 96 dpi
constexpr qint64 kTextWidthEmu = (kPageWidth - 2 * kMarginSide) * kEmuPerTwip;
constexpr int kColumnGap = 851; // 1.5 cm between the two columns of a wide page

// The style that stands for the word processor's body text.
const QString kBodyStyle = u"正文"_s;

unsigned byteAt(const QByteArray& b, qsizetype i) {
    return i < b.size() ? static_cast<unsigned char>(b[i]) : 0U;
}
unsigned be16(const QByteArray& b, qsizetype i) {
    return byteAt(b, i) << 8 | byteAt(b, i + 1);
}
unsigned le16(const QByteArray& b, qsizetype i) {
    return byteAt(b, i) | byteAt(b, i + 1) << 8;
}
quint32 be32(const QByteArray& b, qsizetype i) {
    return quint32(be16(b, i)) << 16 | be16(b, i + 2);
}
qint32 le32(const QByteArray& b, qsizetype i) {
    return qint32(quint32(le16(b, i)) | quint32(le16(b, i + 2)) << 16);
}

QString styleId(const QString& style) {
    return style == kBodyStyle ? u"Normal"_s : u"S"_s + QString::number(qHash(style), 16);
}

QString number(double value) {
    return QString::number(qRound64(value));
}

// Text as w:t pieces with a w:br for every line break it holds. Characters XML
// cannot hold are dropped first; a document.xml with one of them opens nowhere.
void writeText(QXmlStreamWriter& x, const QString& text) {
    const QStringList lines =
        PaperText::xmlSafe(text).replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n').split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            x.writeEmptyElement(kW, u"br"_s);
        if (lines[i].isEmpty())
            continue;
        x.writeStartElement(kW, u"t"_s);
        x.writeAttribute(u"xml:space"_s, u"preserve"_s);
        x.writeCharacters(lines[i]);
        x.writeEndElement();
    }
}

void writeRunProperties(QXmlStreamWriter& x, const DocxDocument::Run& run) {
    x.writeStartElement(kW, u"rPr"_s);
    if (run.bold) {
        x.writeEmptyElement(kW, u"b"_s);
        x.writeEmptyElement(kW, u"bCs"_s);
    }
    x.writeEmptyElement(kW, u"sz"_s);
    x.writeAttribute(kW, u"val"_s, number(run.size * 2));
    x.writeEmptyElement(kW, u"szCs"_s);
    x.writeAttribute(kW, u"val"_s, number(run.size * 2));
    x.writeEndElement();
}

void writePicture(QXmlStreamWriter& x, const DocxDocument::Picture& picture, int index, qint64 textWidthEmu) {
    qint64 cx = picture.width * kEmuPerPixel;
    qint64 cy = picture.height * kEmuPerPixel;
    if (cx > textWidthEmu) {
        cy = cy * textWidthEmu / cx;
        cx = textWidthEmu;
    }
    const QString id = QString::number(index + 1);
    x.writeStartElement(kW, u"drawing"_s);
    x.writeStartElement(kWp, u"inline"_s);
    for (const QString& d : {u"distT"_s, u"distB"_s, u"distL"_s, u"distR"_s})
        x.writeAttribute(d, u"0"_s);
    x.writeEmptyElement(kWp, u"extent"_s);
    x.writeAttribute(u"cx"_s, QString::number(cx));
    x.writeAttribute(u"cy"_s, QString::number(cy));
    x.writeEmptyElement(kWp, u"docPr"_s);
    x.writeAttribute(u"id"_s, id);
    x.writeAttribute(u"name"_s, u"Picture "_s + id);
    x.writeStartElement(kWp, u"cNvGraphicFramePr"_s);
    x.writeEmptyElement(kA, u"graphicFrameLocks"_s);
    x.writeAttribute(u"noChangeAspect"_s, u"1"_s);
    x.writeEndElement();
    x.writeStartElement(kA, u"graphic"_s);
    x.writeStartElement(kA, u"graphicData"_s);
    x.writeAttribute(u"uri"_s, kPic);
    x.writeStartElement(kPic, u"pic"_s);
    x.writeStartElement(kPic, u"nvPicPr"_s);
    x.writeEmptyElement(kPic, u"cNvPr"_s);
    x.writeAttribute(u"id"_s, id);
    x.writeAttribute(u"name"_s, u"image"_s + id + u'.' + picture.extension);
    x.writeEmptyElement(kPic, u"cNvPicPr"_s);
    x.writeEndElement();
    x.writeStartElement(kPic, u"blipFill"_s);
    x.writeEmptyElement(kA, u"blip"_s);
    x.writeAttribute(kR, u"embed"_s, u"rIdImage"_s + id);
    x.writeStartElement(kA, u"stretch"_s);
    x.writeEmptyElement(kA, u"fillRect"_s);
    x.writeEndElement();
    x.writeEndElement();
    x.writeStartElement(kPic, u"spPr"_s);
    x.writeStartElement(kA, u"xfrm"_s);
    x.writeEmptyElement(kA, u"off"_s);
    x.writeAttribute(u"x"_s, u"0"_s);
    x.writeAttribute(u"y"_s, u"0"_s);
    x.writeEmptyElement(kA, u"ext"_s);
    x.writeAttribute(u"cx"_s, QString::number(cx));
    x.writeAttribute(u"cy"_s, QString::number(cy));
    x.writeEndElement();
    x.writeStartElement(kA, u"prstGeom"_s);
    x.writeAttribute(u"prst"_s, u"rect"_s);
    x.writeEmptyElement(kA, u"avLst"_s);
    x.writeEndElement();
    x.writeEndElement(); // spPr
    x.writeEndElement(); // pic
    x.writeEndElement(); // graphicData
    x.writeEndElement(); // graphic
    x.writeEndElement(); // inline
    x.writeEndElement(); // drawing
}

void writeParagraph(QXmlStreamWriter& x, const DocxDocument::Paragraph& p,
                    const QList<DocxDocument::Picture>& pictures, qint64 textWidthEmu) {
    x.writeStartElement(kW, u"p"_s);
    x.writeStartElement(kW, u"pPr"_s);
    if (!p.style.isEmpty()) {
        x.writeEmptyElement(kW, u"pStyle"_s);
        x.writeAttribute(kW, u"val"_s, styleId(p.style));
    }
    if (p.keepNext)
        x.writeEmptyElement(kW, u"keepNext"_s);
    if (p.lineSpacingRule == 1) {
        x.writeEmptyElement(kW, u"spacing"_s);
        x.writeAttribute(kW, u"line"_s, u"360"_s);
        x.writeAttribute(kW, u"lineRule"_s, u"auto"_s);
    }
    if (p.leftIndent != 0 || p.firstLineIndent != 0) {
        // Character units, with twips at the paragraph's font size for readers
        // that do not know them.
        double size = 10.5;
        for (const DocxDocument::Run& run : p.runs)
            if (run.picture < 0) {
                size = run.size;
                break;
            }
        x.writeEmptyElement(kW, u"ind"_s);
        x.writeAttribute(kW, u"leftChars"_s, number(p.leftIndent * 100));
        x.writeAttribute(kW, u"left"_s, number(p.leftIndent * size * 20));
        if (p.firstLineIndent < 0) {
            x.writeAttribute(kW, u"hangingChars"_s, number(-p.firstLineIndent * 100));
            x.writeAttribute(kW, u"hanging"_s, number(-p.firstLineIndent * size * 20));
        } else {
            x.writeAttribute(kW, u"firstLineChars"_s, number(p.firstLineIndent * 100));
            x.writeAttribute(kW, u"firstLine"_s, number(p.firstLineIndent * size * 20));
        }
    }
    x.writeEmptyElement(kW, u"jc"_s);
    x.writeAttribute(kW, u"val"_s, p.alignment == 1 ? u"center"_s : p.alignment == 3 ? u"both"_s : u"left"_s);
    x.writeEndElement(); // pPr
    for (const DocxDocument::Run& run : p.runs) {
        x.writeStartElement(kW, u"r"_s);
        writeRunProperties(x, run);
        if (run.picture >= 0)
            writePicture(x, pictures[run.picture], run.picture, textWidthEmu);
        else
            writeText(x, run.text);
        x.writeEndElement();
    }
    x.writeEndElement(); // p
}

// A centred table with single borders; the first row in bold. Cells share the
// width evenly, the first (the captions) a little wider.
void writeTable(QXmlStreamWriter& x, const QList<QStringList>& rows, qint64 textWidthEmu) {
    const int columns = rows.isEmpty() ? 0 : int(rows.first().size());
    if (columns == 0)
        return;
    const int total = int(std::min<qint64>(textWidthEmu / kEmuPerTwip, 900LL * (columns + 1)));
    const int first = total * 3 / (2 * columns + 1);
    const int other = columns > 1 ? (total - first) / (columns - 1) : 0;
    x.writeStartElement(kW, u"tbl"_s);
    x.writeStartElement(kW, u"tblPr"_s);
    x.writeEmptyElement(kW, u"tblW"_s);
    x.writeAttribute(kW, u"w"_s, QString::number(first + other * (columns - 1)));
    x.writeAttribute(kW, u"type"_s, u"dxa"_s);
    x.writeEmptyElement(kW, u"jc"_s);
    x.writeAttribute(kW, u"val"_s, u"center"_s);
    x.writeStartElement(kW, u"tblBorders"_s);
    for (const QString& side : {u"top"_s, u"left"_s, u"bottom"_s, u"right"_s, u"insideH"_s, u"insideV"_s}) {
        x.writeEmptyElement(kW, side);
        x.writeAttribute(kW, u"val"_s, u"single"_s);
        x.writeAttribute(kW, u"sz"_s, u"4"_s);
        x.writeAttribute(kW, u"space"_s, u"0"_s);
        x.writeAttribute(kW, u"color"_s, u"000000"_s);
    }
    x.writeEndElement(); // tblBorders
    x.writeEndElement(); // tblPr
    x.writeStartElement(kW, u"tblGrid"_s);
    for (int c = 0; c < columns; ++c) {
        x.writeEmptyElement(kW, u"gridCol"_s);
        x.writeAttribute(kW, u"w"_s, QString::number(c == 0 ? first : other));
    }
    x.writeEndElement();
    for (int r = 0; r < rows.size(); ++r) {
        x.writeStartElement(kW, u"tr"_s);
        x.writeStartElement(kW, u"trPr"_s);
        x.writeEmptyElement(kW, u"trHeight"_s);
        x.writeAttribute(kW, u"val"_s, u"454"_s); // 8 mm: room to write a score
        x.writeEndElement();
        for (int c = 0; c < columns; ++c) {
            x.writeStartElement(kW, u"tc"_s);
            x.writeStartElement(kW, u"tcPr"_s);
            x.writeEmptyElement(kW, u"tcW"_s);
            x.writeAttribute(kW, u"w"_s, QString::number(c == 0 ? first : other));
            x.writeAttribute(kW, u"type"_s, u"dxa"_s);
            x.writeEmptyElement(kW, u"vAlign"_s);
            x.writeAttribute(kW, u"val"_s, u"center"_s);
            x.writeEndElement();
            DocxDocument::Paragraph cell;
            cell.alignment = 1;
            const QString text = rows[r].value(c);
            if (!text.isEmpty())
                cell.runs.append(DocxDocument::Run{text, 10.5, r == 0 || c == 0, -1});
            writeParagraph(x, cell, {}, textWidthEmu);
            x.writeEndElement(); // tc
        }
        x.writeEndElement(); // tr
    }
    x.writeEndElement(); // tbl
}

void writeBlocks(QXmlStreamWriter& x, const QList<DocxDocument::Paragraph>& blocks,
                 const QList<DocxDocument::Picture>& pictures, qint64 textWidthEmu) {
    for (const DocxDocument::Paragraph& p : blocks) {
        if (p.table.isEmpty())
            writeParagraph(x, p, pictures, textWidthEmu);
        else
            writeTable(x, p.table, textWidthEmu);
    }
}

void writeField(QXmlStreamWriter& x, const QString& instruction, double size) {
    DocxDocument::Run run{QString(), size, false, -1};
    x.writeStartElement(kW, u"r"_s);
    writeRunProperties(x, run);
    x.writeEmptyElement(kW, u"fldChar"_s);
    x.writeAttribute(kW, u"fldCharType"_s, u"begin"_s);
    x.writeEndElement();
    x.writeStartElement(kW, u"r"_s);
    writeRunProperties(x, run);
    x.writeStartElement(kW, u"instrText"_s);
    x.writeAttribute(u"xml:space"_s, u"preserve"_s);
    x.writeCharacters(u" "_s + instruction + u" "_s);
    x.writeEndElement();
    x.writeEndElement();
    x.writeStartElement(kW, u"r"_s);
    writeRunProperties(x, run);
    x.writeEmptyElement(kW, u"fldChar"_s);
    x.writeAttribute(kW, u"fldCharType"_s, u"separate"_s);
    x.writeEndElement();
    x.writeStartElement(kW, u"r"_s);
    writeRunProperties(x, run);
    writeText(x, u"1"_s);
    x.writeEndElement();
    x.writeStartElement(kW, u"r"_s);
    writeRunProperties(x, run);
    x.writeEmptyElement(kW, u"fldChar"_s);
    x.writeAttribute(kW, u"fldCharType"_s, u"end"_s);
    x.writeEndElement();
}

void writeTextRun(QXmlStreamWriter& x, const QString& text, double size) {
    const DocxDocument::Run run{text, size, false, -1};
    x.writeStartElement(kW, u"r"_s);
    writeRunProperties(x, run);
    writeText(x, text);
    x.writeEndElement();
}

const QString kFooterRel = u"http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer"_s;
const QString kHeaderRel = u"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header"_s;

} // namespace

DocxDocument::DocxDocument() {
    m_paragraphs.append(Paragraph{});
}

void DocxDocument::typeText(const QString& text) {
    if (text.isEmpty())
        return;
    QList<Run>& runs = m_paragraphs.last().runs;
    if (!runs.isEmpty() && runs.last().picture < 0 && runs.last().size == m_size &&
        runs.last().bold == m_bold)
        runs.last().text += text;
    else
        runs.append(Run{text, m_size, m_bold, -1});
}

void DocxDocument::typeParagraph() {
    Paragraph next = m_paragraphs.last();
    next.runs.clear();
    next.keepNext = false;
    m_paragraphs.append(next);
}

void DocxDocument::setKeepWithNext(bool on) {
    m_paragraphs.last().keepNext = on;
}

void DocxDocument::addTable(const QList<QStringList>& rows) {
    if (rows.isEmpty())
        return;
    Paragraph table;
    table.table = rows;
    if (m_paragraphs.last().runs.isEmpty()) {
        m_paragraphs.insert(m_paragraphs.size() - 1, table);
        return;
    }
    Paragraph next = m_paragraphs.last();
    next.runs.clear();
    next.keepNext = false;
    m_paragraphs.append(table);
    m_paragraphs.append(next);
}

void DocxDocument::setPageSetup(const WordPageSetup& setup) {
    m_pageSetup = setup;
}

qint64 DocxDocument::textWidthEmu() const {
    if (!m_pageSetup)
        return kTextWidthEmu;
    const WordPageSetup& s = *m_pageSetup;
    const int columns = std::max(s.columns, 1);
    const int text = (s.width - s.leftMargin - s.rightMargin - (columns - 1) * kColumnGap) / columns;
    return qint64(std::max(text, 1440)) * kEmuPerTwip;
}

void DocxDocument::typeBackspace() {
    Paragraph& p = m_paragraphs.last();
    if (p.runs.isEmpty()) {
        // At the start of a paragraph the break before it goes.
        if (m_paragraphs.size() > 1)
            m_paragraphs.removeLast();
        return;
    }
    Run& run = p.runs.last();
    if (run.picture < 0 && run.text.size() > 1)
        run.text.chop(run.text.endsWith(u"\r\n"_s) || run.text.at(run.text.size() - 1).isLowSurrogate() ? 2
                                                                                                        : 1);
    else
        p.runs.removeLast();
}

void DocxDocument::setAlignment(int alignment) {
    if (alignment == 0 || alignment == 1 || alignment == 3)
        m_paragraphs.last().alignment = alignment;
}

void DocxDocument::setAlignmentName(const QString& name) {
    if (name == u"wdAlignParagraphJustify"_s)
        m_paragraphs.last().alignment = 3;
    else if (name == u"wdAlignParagraphCenter"_s)
        m_paragraphs.last().alignment = 1;
    else if (name == u"wdAlignParagraphLeft"_s)
        m_paragraphs.last().alignment = 0;
}

void DocxDocument::setLeftIndent(double characters) {
    m_paragraphs.last().leftIndent = characters;
}

void DocxDocument::setFirstLineIndent(double characters) {
    m_paragraphs.last().firstLineIndent = characters;
}

void DocxDocument::setLineSpacingRule(int rule) {
    m_paragraphs.last().lineSpacingRule = rule;
}

void DocxDocument::setStyle(const QString& style) {
    m_paragraphs.last().style = style;
}

void DocxDocument::setFontSize(double points) {
    if (points > 0)
        m_size = points;
}

void DocxDocument::setBold(int on) {
    m_bold = on != 0;
}

void DocxDocument::addPicture(const QByteArray& bytes) {
    Picture picture;
    if (!readPictureHeader(bytes, picture)) {
        m_errors.append(u"图片无法识别"_s);
        return;
    }
    picture.bytes = bytes;
    m_pictures.append(picture);
    m_paragraphs.last().runs.append(Run{QString(), m_size, m_bold, int(m_pictures.size() - 1)});
}

bool DocxDocument::readPictureHeader(const QByteArray& b, Picture& picture) {
    if (b.startsWith("\x89PNG\r\n\x1a\n")) {
        picture.extension = u"png"_s;
        picture.contentType = u"image/png"_s;
        picture.width = int(be32(b, 16));
        picture.height = int(be32(b, 20));
    } else if (b.startsWith("GIF8")) {
        picture.extension = u"gif"_s;
        picture.contentType = u"image/gif"_s;
        picture.width = int(le16(b, 6));
        picture.height = int(le16(b, 8));
    } else if (b.startsWith("BM") && b.size() > 26) {
        picture.extension = u"bmp"_s;
        picture.contentType = u"image/bmp"_s;
        if (le32(b, 14) == 12) {
            picture.width = int(le16(b, 18));
            picture.height = int(le16(b, 20));
        } else {
            picture.width = le32(b, 18);
            picture.height = std::abs(le32(b, 22));
        }
    } else if (b.startsWith("\xff\xd8")) {
        picture.extension = u"jpeg"_s;
        picture.contentType = u"image/jpeg"_s;
        qsizetype i = 2;
        while (i + 8 < b.size()) {
            if (byteAt(b, i) != 0xff)
                return false;
            const unsigned marker = byteAt(b, i + 1);
            if (marker == 0xff) {
                ++i;
                continue;
            }
            if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd9)) {
                i += 2;
                continue;
            }
            if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc) {
                picture.height = int(be16(b, i + 5));
                picture.width = int(be16(b, i + 7));
                break;
            }
            i += 2 + be16(b, i + 2);
        }
    } else {
        return false;
    }
    return picture.width > 0 && picture.height > 0;
}

QByteArray DocxDocument::documentXml() const {
    QByteArray bytes;
    QXmlStreamWriter x(&bytes);
    x.writeStartDocument(u"1.0"_s, true);
    x.writeNamespace(kW, u"w"_s);
    x.writeNamespace(kR, u"r"_s);
    x.writeNamespace(kWp, u"wp"_s);
    x.writeNamespace(kA, u"a"_s);
    x.writeNamespace(kPic, u"pic"_s);
    x.writeStartElement(kW, u"document"_s);
    x.writeStartElement(kW, u"body"_s);
    writeBlocks(x, m_paragraphs, m_pictures, textWidthEmu());
    x.writeStartElement(kW, u"sectPr"_s);
    if (m_pageSetup) {
        if (!m_pageSetup->sealingLine.isEmpty()) {
            x.writeEmptyElement(kW, u"headerReference"_s);
            x.writeAttribute(kW, u"type"_s, u"default"_s);
            x.writeAttribute(kR, u"id"_s, u"rIdHeader"_s);
        }
        x.writeEmptyElement(kW, u"footerReference"_s);
        x.writeAttribute(kW, u"type"_s, u"default"_s);
        x.writeAttribute(kR, u"id"_s, u"rIdFooter"_s);
    }
    const WordPageSetup page = m_pageSetup.value_or(WordPageSetup());
    x.writeEmptyElement(kW, u"pgSz"_s);
    x.writeAttribute(kW, u"w"_s, QString::number(m_pageSetup ? page.width : kPageWidth));
    x.writeAttribute(kW, u"h"_s, QString::number(m_pageSetup ? page.height : kPageHeight));
    if (m_pageSetup && page.landscape)
        x.writeAttribute(kW, u"orient"_s, u"landscape"_s);
    x.writeEmptyElement(kW, u"pgMar"_s);
    for (const auto& [side, value] :
         {std::pair{u"top"_s, kMarginEdge}, std::pair{u"right"_s, m_pageSetup ? page.rightMargin : kMarginSide},
          std::pair{u"bottom"_s, kMarginEdge}, std::pair{u"left"_s, m_pageSetup ? page.leftMargin : kMarginSide},
          std::pair{u"header"_s, 851}, std::pair{u"footer"_s, 992}, std::pair{u"gutter"_s, 0}})
        x.writeAttribute(kW, side, QString::number(value));
    if (m_pageSetup && page.columns > 1) {
        x.writeEmptyElement(kW, u"cols"_s);
        x.writeAttribute(kW, u"num"_s, QString::number(page.columns));
        x.writeAttribute(kW, u"space"_s, QString::number(kColumnGap));
    }
    x.writeEndElement(); // sectPr
    x.writeEndElement(); // body
    x.writeEndElement(); // document
    x.writeEndDocument();
    return x.hasError() ? QByteArray() : bytes;
}

// The footer of a printed paper: the paper's own title in small print, so that
// a paper and its answer sheet can be matched, and the page numbers.
QByteArray DocxDocument::footerXml() const {
    QByteArray bytes;
    QXmlStreamWriter x(&bytes);
    x.writeStartDocument(u"1.0"_s, true);
    x.writeNamespace(kW, u"w"_s);
    x.writeNamespace(kR, u"r"_s);
    x.writeStartElement(kW, u"ftr"_s);
    Paragraph centred;
    centred.alignment = 1;
    if (!m_pageSetup->footerText.isEmpty()) {
        centred.runs.append(Run{m_pageSetup->footerText, 7.5, false, -1});
        writeParagraph(x, centred, {}, textWidthEmu());
        centred.runs.clear();
    }
    if (m_pageSetup->pageNumbers) {
        x.writeStartElement(kW, u"p"_s);
        x.writeStartElement(kW, u"pPr"_s);
        x.writeEmptyElement(kW, u"jc"_s);
        x.writeAttribute(kW, u"val"_s, u"center"_s);
        x.writeEndElement();
        writeTextRun(x, u"第 "_s, 9);
        writeField(x, u"PAGE"_s, 9);
        writeTextRun(x, u" 页 共 "_s, 9);
        writeField(x, u"NUMPAGES"_s, 9);
        writeTextRun(x, u" 页"_s, 9);
        x.writeEndElement(); // p
    }
    x.writeEndElement(); // ftr
    x.writeEndDocument();
    return x.hasError() ? QByteArray() : bytes;
}

// The sealing line: a frame the height of the page in the left margin, its
// text running upwards, the dashed line on its right. It lives in the page
// header so that every page carries it.
QByteArray DocxDocument::sealingLineXml() const {
    const WordPageSetup& page = *m_pageSetup;
    const int frameWidth = 700;
    const int frameHeight = page.height - 2 * kMarginEdge;
    QByteArray bytes;
    QXmlStreamWriter x(&bytes);
    x.writeStartDocument(u"1.0"_s, true);
    x.writeNamespace(kW, u"w"_s);
    x.writeNamespace(kR, u"r"_s);
    x.writeStartElement(kW, u"hdr"_s);
    x.writeStartElement(kW, u"tbl"_s);
    x.writeStartElement(kW, u"tblPr"_s);
    x.writeEmptyElement(kW, u"tblpPr"_s);
    x.writeAttribute(kW, u"leftFromText"_s, u"0"_s);
    x.writeAttribute(kW, u"rightFromText"_s, u"0"_s);
    x.writeAttribute(kW, u"horzAnchor"_s, u"page"_s);
    x.writeAttribute(kW, u"vertAnchor"_s, u"page"_s);
    x.writeAttribute(kW, u"tblpX"_s, QString::number(std::max(page.leftMargin - frameWidth - 400, 200)));
    x.writeAttribute(kW, u"tblpY"_s, QString::number(kMarginEdge));
    x.writeEmptyElement(kW, u"tblW"_s);
    x.writeAttribute(kW, u"w"_s, QString::number(frameWidth));
    x.writeAttribute(kW, u"type"_s, u"dxa"_s);
    x.writeStartElement(kW, u"tblBorders"_s);
    for (const QString& side : {u"top"_s, u"left"_s, u"bottom"_s, u"right"_s}) {
        x.writeEmptyElement(kW, side);
        const bool line = side == u"right"_s;
        x.writeAttribute(kW, u"val"_s, line ? u"dashed"_s : u"nil"_s);
        if (line) {
            x.writeAttribute(kW, u"sz"_s, u"6"_s);
            x.writeAttribute(kW, u"space"_s, u"0"_s);
            x.writeAttribute(kW, u"color"_s, u"000000"_s);
        }
    }
    x.writeEndElement(); // tblBorders
    x.writeEndElement(); // tblPr
    x.writeStartElement(kW, u"tblGrid"_s);
    x.writeEmptyElement(kW, u"gridCol"_s);
    x.writeAttribute(kW, u"w"_s, QString::number(frameWidth));
    x.writeEndElement();
    x.writeStartElement(kW, u"tr"_s);
    x.writeStartElement(kW, u"trPr"_s);
    x.writeEmptyElement(kW, u"trHeight"_s);
    x.writeAttribute(kW, u"val"_s, QString::number(frameHeight));
    x.writeAttribute(kW, u"hRule"_s, u"exact"_s);
    x.writeEndElement();
    x.writeStartElement(kW, u"tc"_s);
    x.writeStartElement(kW, u"tcPr"_s);
    x.writeEmptyElement(kW, u"tcW"_s);
    x.writeAttribute(kW, u"w"_s, QString::number(frameWidth));
    x.writeAttribute(kW, u"type"_s, u"dxa"_s);
    x.writeEmptyElement(kW, u"textDirection"_s);
    x.writeAttribute(kW, u"val"_s, u"btLr"_s);
    x.writeEmptyElement(kW, u"vAlign"_s);
    x.writeAttribute(kW, u"val"_s, u"center"_s);
    x.writeEndElement(); // tcPr
    Paragraph line;
    line.alignment = 1;
    line.runs.append(Run{page.sealingLine, 10.5, false, -1});
    writeParagraph(x, line, {}, textWidthEmu());
    x.writeEndElement(); // tc
    x.writeEndElement(); // tr
    x.writeEndElement(); // tbl
    // A header ends with a paragraph of its own.
    Paragraph empty;
    writeParagraph(x, empty, {}, textWidthEmu());
    x.writeEndElement(); // hdr
    x.writeEndDocument();
    return x.hasError() ? QByteArray() : bytes;
}

QByteArray DocxDocument::stylesXml() const {
    QByteArray bytes;
    QXmlStreamWriter x(&bytes);
    x.writeStartDocument(u"1.0"_s, true);
    x.writeNamespace(kW, u"w"_s);
    x.writeStartElement(kW, u"styles"_s);
    x.writeStartElement(kW, u"docDefaults"_s);
    x.writeStartElement(kW, u"rPrDefault"_s);
    x.writeStartElement(kW, u"rPr"_s);
    // Chinese text in a Song face, Latin text in Times.
    x.writeEmptyElement(kW, u"rFonts"_s);
    x.writeAttribute(kW, u"ascii"_s, u"Times New Roman"_s);
    x.writeAttribute(kW, u"hAnsi"_s, u"Times New Roman"_s);
    x.writeAttribute(kW, u"eastAsia"_s, u"宋体"_s);
    x.writeAttribute(kW, u"cs"_s, u"Times New Roman"_s);
    x.writeEmptyElement(kW, u"sz"_s);
    x.writeAttribute(kW, u"val"_s, u"21"_s);
    x.writeEmptyElement(kW, u"lang"_s);
    x.writeAttribute(kW, u"val"_s, u"en-US"_s);
    x.writeAttribute(kW, u"eastAsia"_s, u"zh-CN"_s);
    x.writeEndElement();
    x.writeEndElement();
    x.writeEndElement(); // docDefaults

    QStringList styles{kBodyStyle};
    for (const Paragraph& p : m_paragraphs)
        if (!p.style.isEmpty() && !styles.contains(p.style))
            styles.append(p.style);
    for (const QString& style : styles) {
        x.writeStartElement(kW, u"style"_s);
        x.writeAttribute(kW, u"type"_s, u"paragraph"_s);
        if (style == kBodyStyle)
            x.writeAttribute(kW, u"default"_s, u"1"_s);
        x.writeAttribute(kW, u"styleId"_s, styleId(style));
        x.writeEmptyElement(kW, u"name"_s);
        x.writeAttribute(kW, u"val"_s, style == kBodyStyle ? u"Normal"_s : PaperText::xmlSafe(style));
        if (style == kBodyStyle) {
            x.writeEmptyElement(kW, u"aliases"_s);
            x.writeAttribute(kW, u"val"_s, kBodyStyle);
        } else {
            x.writeEmptyElement(kW, u"basedOn"_s);
            x.writeAttribute(kW, u"val"_s, u"Normal"_s);
        }
        x.writeEmptyElement(kW, u"qFormat"_s);
        x.writeStartElement(kW, u"pPr"_s);
        x.writeEmptyElement(kW, u"widowControl"_s);
        x.writeAttribute(kW, u"val"_s, u"0"_s);
        x.writeEmptyElement(kW, u"jc"_s);
        x.writeAttribute(kW, u"val"_s, u"both"_s);
        x.writeEndElement();
        x.writeEndElement(); // style
    }
    x.writeEndElement();
    x.writeEndDocument();
    return x.hasError() ? QByteArray() : bytes;
}

QByteArray DocxDocument::contentTypesXml() const {
    const QString ns = u"http://schemas.openxmlformats.org/package/2006/content-types"_s;
    QByteArray bytes;
    QXmlStreamWriter x(&bytes);
    x.writeStartDocument(u"1.0"_s, true);
    x.writeDefaultNamespace(ns);
    x.writeStartElement(ns, u"Types"_s);
    QList<std::pair<QString, QString>> defaults{
        {u"rels"_s, u"application/vnd.openxmlformats-package.relationships+xml"_s},
        {u"xml"_s, u"application/xml"_s}};
    for (const Picture& picture : m_pictures)
        if (std::find_if(defaults.begin(), defaults.end(),
                         [&](const auto& d) { return d.first == picture.extension; }) == defaults.end())
            defaults.append({picture.extension, picture.contentType});
    for (const auto& [extension, type] : defaults) {
        x.writeEmptyElement(ns, u"Default"_s);
        x.writeAttribute(u"Extension"_s, extension);
        x.writeAttribute(u"ContentType"_s, type);
    }
    x.writeEmptyElement(ns, u"Override"_s);
    x.writeAttribute(u"PartName"_s, u"/word/document.xml"_s);
    x.writeAttribute(u"ContentType"_s,
                     u"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"_s);
    x.writeEmptyElement(ns, u"Override"_s);
    x.writeAttribute(u"PartName"_s, u"/word/styles.xml"_s);
    x.writeAttribute(u"ContentType"_s,
                     u"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"_s);
    if (m_pageSetup) {
        x.writeEmptyElement(ns, u"Override"_s);
        x.writeAttribute(u"PartName"_s, u"/word/footer1.xml"_s);
        x.writeAttribute(u"ContentType"_s,
                         u"application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml"_s);
        if (!m_pageSetup->sealingLine.isEmpty()) {
            x.writeEmptyElement(ns, u"Override"_s);
            x.writeAttribute(u"PartName"_s, u"/word/header1.xml"_s);
            x.writeAttribute(u"ContentType"_s,
                             u"application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"_s);
        }
    }
    x.writeEndElement();
    x.writeEndDocument();
    return x.hasError() ? QByteArray() : bytes;
}

QByteArray DocxDocument::documentRelationshipsXml() const {
    QByteArray bytes;
    QXmlStreamWriter x(&bytes);
    x.writeStartDocument(u"1.0"_s, true);
    x.writeDefaultNamespace(kPackageRels);
    x.writeStartElement(kPackageRels, u"Relationships"_s);
    x.writeEmptyElement(kPackageRels, u"Relationship"_s);
    x.writeAttribute(u"Id"_s, u"rIdStyles"_s);
    x.writeAttribute(u"Type"_s,
                     u"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles"_s);
    x.writeAttribute(u"Target"_s, u"styles.xml"_s);
    if (m_pageSetup) {
        x.writeEmptyElement(kPackageRels, u"Relationship"_s);
        x.writeAttribute(u"Id"_s, u"rIdFooter"_s);
        x.writeAttribute(u"Type"_s, kFooterRel);
        x.writeAttribute(u"Target"_s, u"footer1.xml"_s);
        if (!m_pageSetup->sealingLine.isEmpty()) {
            x.writeEmptyElement(kPackageRels, u"Relationship"_s);
            x.writeAttribute(u"Id"_s, u"rIdHeader"_s);
            x.writeAttribute(u"Type"_s, kHeaderRel);
            x.writeAttribute(u"Target"_s, u"header1.xml"_s);
        }
    }
    for (qsizetype i = 0; i < m_pictures.size(); ++i) {
        const QString id = QString::number(i + 1);
        x.writeEmptyElement(kPackageRels, u"Relationship"_s);
        x.writeAttribute(u"Id"_s, u"rIdImage"_s + id);
        x.writeAttribute(u"Type"_s, kImageRel);
        x.writeAttribute(u"Target"_s, u"media/image"_s + id + u'.' + m_pictures[i].extension);
    }
    x.writeEndElement();
    x.writeEndDocument();
    return x.hasError() ? QByteArray() : bytes;
}

QList<std::pair<QString, QByteArray>> DocxDocument::parts() const {
    QByteArray packageRels;
    {
        QXmlStreamWriter x(&packageRels);
        x.writeStartDocument(u"1.0"_s, true);
        x.writeDefaultNamespace(kPackageRels);
        x.writeStartElement(kPackageRels, u"Relationships"_s);
        x.writeEmptyElement(kPackageRels, u"Relationship"_s);
        x.writeAttribute(u"Id"_s, u"rId1"_s);
        x.writeAttribute(
            u"Type"_s,
            u"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument"_s);
        x.writeAttribute(u"Target"_s, u"word/document.xml"_s);
        x.writeEndElement();
        x.writeEndDocument();
    }
    QList<std::pair<QString, QByteArray>> parts{
        {u"[Content_Types].xml"_s, contentTypesXml()},
        {u"_rels/.rels"_s, packageRels},
        {u"word/document.xml"_s, documentXml()},
        {u"word/styles.xml"_s, stylesXml()},
        {u"word/_rels/document.xml.rels"_s, documentRelationshipsXml()},
    };
    if (m_pageSetup) {
        parts.append({u"word/footer1.xml"_s, footerXml()});
        if (!m_pageSetup->sealingLine.isEmpty())
            parts.append({u"word/header1.xml"_s, sealingLineXml()});
    }
    for (qsizetype i = 0; i < m_pictures.size(); ++i)
        parts.append({u"word/media/image"_s + QString::number(i + 1) + u'.' + m_pictures[i].extension,
                      m_pictures[i].bytes});
    return parts;
}

bool DocxDocument::save(const QString& path) {
    const QByteArray package = packageBytes();
    if (package.isEmpty() || !PaperOutputFolder::writeNewFile(path, package)) {
        m_errors.append(path);
        return false;
    }
    return true;
}

// The whole package in memory, so that the file is written once, new, and only
// when every part came out whole.
QByteArray DocxDocument::packageBytes() const {
    const QList<std::pair<QString, QByteArray>> content = parts();
    for (const auto& [name, bytes] : content) {
        if (bytes.isEmpty() && (name.endsWith(u".xml"_s) || name.endsWith(u".rels"_s)))
            return {};
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
    zip_error_fini(&error);
    if (!archive) {
        if (buffer)
            zip_source_free(buffer);
        return {};
    }
    // Kept past zip_close, which writes the archive into it.
    zip_source_keep(buffer);
    bool ok = true;
    for (const auto& [name, bytes] : content) {
        zip_source_t* source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!source || zip_file_add(archive, name.toUtf8().constData(), source,
                                    ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
            if (source)
                zip_source_free(source);
            ok = false;
            break;
        }
        // Pictures are compressed already.
        if (name.startsWith(u"word/media/"_s))
            zip_set_file_compression(archive, zip_uint64_t(zip_get_num_entries(archive, 0) - 1), ZIP_CM_STORE,
                                     0);
    }
    if (!ok || zip_close(archive) != 0) {
        zip_discard(archive);
        zip_source_free(buffer);
        return {};
    }
    QByteArray out;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) && zip_source_open(buffer) == 0) {
        out.resize(qsizetype(stat.size));
        if (zip_source_read(buffer, out.data(), stat.size) != zip_int64_t(stat.size))
            out.clear();
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return out;
}

} // namespace helan
