#include "compose/PaperPages.h"

#include <cmath>

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "compose/PaperPrintForm.h"
#include "compose/PaperTypesetter.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

// Where a block's first line starts and where its last (or first) line ends,
// in document dots.
double lineTop(const QTextBlock& block) {
    const QTextLayout* layout = block.layout();
    const double y = layout->position().y();
    return layout->lineCount() > 0 ? y + layout->lineAt(0).y() : y;
}

double lineBottom(const QTextBlock& block, bool firstLineOnly) {
    const QTextLayout* layout = block.layout();
    const double y = layout->position().y();
    if (layout->lineCount() == 0)
        return y;
    const QTextLine line = layout->lineAt(firstLineOnly ? 0 : layout->lineCount() - 1);
    return y + line.y() + line.height();
}

void setBreakBefore(const QTextBlock& block, bool on) {
    QTextBlockFormat format = block.blockFormat();
    format.setPageBreakPolicy(on ? QTextFormat::PageBreak_AlwaysBefore : QTextFormat::PageBreak_Auto);
    QTextCursor(block).setBlockFormat(format);
}

// The text document has no "keep with next": a range that a page break cuts
// gets a page break before it, which is taken back when the range does not fit
// on a page even so.
void keepTogether(QTextDocument& document, const QList<PaperTypesetter::KeepRange>& ranges) {
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    const double page = document.pageSize().height();
    const auto spansPages = [&](const PaperTypesetter::KeepRange& range) {
        const QTextBlock first = document.findBlockByNumber(range.firstBlock);
        const QTextBlock last = document.findBlockByNumber(range.lastBlock);
        layout->blockBoundingRect(last); // lays the document out up to here
        const double top = lineTop(first);
        const double bottom = lineBottom(last, range.firstLineOnly);
        return std::floor(top / page) != std::floor((bottom - 1) / page);
    };
    for (const PaperTypesetter::KeepRange& range : ranges) {
        const QTextBlock first = document.findBlockByNumber(range.firstBlock);
        if (!first.isValid() || !document.findBlockByNumber(range.lastBlock).isValid() || !spansPages(range))
            continue;
        setBreakBefore(first, true);
        if (spansPages(range))
            setBreakBefore(first, false);
    }
}

} // namespace

PaperPages::PaperPages(const AssembledPaper& paper, const PaperPictures& pictures, Kind kind)
    : m_paper(paper), m_kind(kind), m_pageSize(QPageSize::A4) {
    const PaperHeader& header = paper.settings.header;
    const bool twoColumns = header.on && header.twoColumns();
    m_sealed = twoColumns && kind == Kind::Paper;
    if (twoColumns) {
        // B4 as Chinese copiers have it (257 × 364 mm).
        m_pageSize = QPageSize(header.page == PaperHeader::Page::A3 ? QPageSize::A3 : QPageSize::JisB4);
        m_orientation = QPageLayout::Landscape;
        m_columns = 2;
        m_sheet = m_pageSize.size(QPageSize::Point).transposed();
        // The left margin holds the sealing line on the paper.
        m_margins = QMarginsF(m_sealed ? 99 : 48, 42, 48, 54);
        m_gap = 42;
    } else {
        m_sheet = m_pageSize.size(QPageSize::Point);
        m_margins = QMarginsF(62, 56, 56, 62);
    }
    const QSizeF column((m_sheet.width() - m_margins.left() - m_margins.right() - m_gap * (m_columns - 1)) /
                            m_columns,
                        m_sheet.height() - m_margins.top() - m_margins.bottom());
    const QSizeF columnDots(dots(column.width()), dots(column.height()));

    // Laid out for a device of fixed resolution, so that the PDF and the
    // printer get the same lines and pages.
    m_nowhere.open(QIODevice::WriteOnly);
    m_layoutDevice = std::make_unique<QPdfWriter>(&m_nowhere);
    m_layoutDevice->setResolution(kResolution);
    m_document = std::make_unique<QTextDocument>();
    m_document->documentLayout()->setPaintDevice(m_layoutDevice.get());
    m_document->setUseDesignMetrics(true);
    m_document->setDocumentMargin(0);
    const QString family = PaperTypesetter::fontFamily();
    if (family.isEmpty())
        m_failures.append(u"没有找到中文字体，PDF中的汉字无法显示（请安装 fonts-noto-cjk）"_s);
    QFont body;
    body.setFamilies(PaperTypesetter::fontFamilies());
    body.setPointSizeF(PaperTypesetter::kBodyPoints);
    m_document->setDefaultFont(body);
    m_document->setPageSize(columnDots);

    PaperTypesetter typesetter(paper, pictures, *m_document, dots(1), columnDots);
    if (kind == Kind::Paper)
        typesetter.typePaper(twoColumns);
    else
        typesetter.typeAnswers();
    m_failures += typesetter.failures();
    keepTogether(*m_document, typesetter.keepRanges());
}

PaperPages::~PaperPages() = default;

QPageLayout PaperPages::pageLayout() const {
    return QPageLayout(m_pageSize, m_orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

int PaperPages::sheetCount() const {
    return (m_document->pageCount() + m_columns - 1) / m_columns;
}

QString PaperPages::title() const {
    return m_paper.documentTitle(m_kind == Kind::Paper ? u"试题"_s : u"答案"_s);
}

bool PaperPages::paint(QPainter& painter, QPagedPaintDevice& device) const {
    const int sheets = sheetCount();
    // The device's own resolution (a printer's differs) maps onto the layout's.
    const double scale = double(device.logicalDpiX()) / kResolution;
    for (int sheet = 0; sheet < sheets; ++sheet) {
        if (sheet > 0 && !device.newPage())
            return false;
        painter.save();
        painter.scale(scale, scale);
        paintSheet(painter, sheet, sheets);
        painter.restore();
    }
    return true;
}

void PaperPages::paintSheet(QPainter& painter, int sheet, int sheets) const {
    const double page = m_document->pageSize().height();
    const double columnWidth = m_document->pageSize().width();
    for (int c = 0; c < m_columns; ++c) {
        const int column = sheet * m_columns + c;
        if (column >= m_document->pageCount())
            break;
        painter.save();
        const double x = dots(m_margins.left()) + c * (columnWidth + dots(m_gap));
        painter.translate(x, dots(m_margins.top()) - column * page);
        // A line moved to the next page may start a hair above it; it must
        // not show (nor be embedded again) at the foot of this one.
        m_document->drawContents(&painter, QRectF(0, column * page, columnWidth, page - dots(0.5)));
        painter.restore();
    }

    // The footer: the sheet's number, and the internal title below it in small print.
    QFont font;
    font.setFamilies(PaperTypesetter::fontFamilies());
    font.setPixelSize(int(dots(9)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const double left = dots(m_margins.left());
    const double width = dots(m_sheet.width() - m_margins.left() - m_margins.right());
    const double footer = dots(m_sheet.height() - m_margins.bottom());
    painter.drawText(QRectF(left, footer + dots(14), width, dots(14)), Qt::AlignHCenter | Qt::AlignVCenter,
                     PaperPrintForm::pageNumber(sheet + 1, sheets));
    if (m_paper.settings.header.on) {
        font.setPixelSize(int(dots(6.5)));
        painter.setFont(font);
        painter.drawText(QRectF(left, footer + dots(30), width, dots(10)), Qt::AlignHCenter | Qt::AlignVCenter,
                         title());
    }
    if (m_sealed)
        paintSealingLine(painter);
}

// Along the left edge, read from the bottom up: the candidate fields, and to
// their right the dashed line with 密, 封 and 线 standing in it.
void PaperPages::paintSealingLine(QPainter& painter) const {
    const double length = dots(m_sheet.height() - m_margins.top() - m_margins.bottom());
    const double middle = dots(m_margins.top()) + length / 2;
    QFont font;
    font.setFamilies(PaperTypesetter::fontFamilies());
    font.setPixelSize(int(dots(PaperTypesetter::kBodyPoints)));

    painter.save();
    painter.translate(dots(34), middle);
    painter.rotate(-90);
    painter.setFont(font);
    painter.drawText(QRectF(-length / 2, -dots(10), length, dots(20)), Qt::AlignCenter,
                     PaperPrintForm::candidateLine(m_paper.settings.header, 18));
    painter.restore();

    painter.save();
    painter.translate(dots(66), middle);
    painter.rotate(-90);
    QPen dashed(Qt::black, dots(0.6), Qt::DashLine);
    painter.setPen(dashed);
    painter.drawLine(QPointF(-length / 2, 0), QPointF(length / 2, 0));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QString seal = PaperPrintForm::sealCaption();
    const double box = dots(PaperTypesetter::kBodyPoints * 1.6);
    for (int i = 0; i < seal.size(); ++i) {
        const double at = length * (double(i) - (seal.size() - 1) / 2.0) / 4.0;
        const QRectF place(at - box / 2, -box / 2, box, box);
        painter.fillRect(place, Qt::white);
        painter.drawText(place, Qt::AlignCenter, seal.at(i));
    }
    painter.restore();
}

} // namespace helan
