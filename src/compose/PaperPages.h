#pragma once

#include <memory>

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QSizeF>
#include <QStringList>

#include "compose/AssembledPaper.h"

class QPagedPaintDevice;
class QPainter;
class QPdfWriter;
class QTextDocument;

namespace helan {

// A paper or its answer sheet laid out on sheets by the program itself, for
// the PDF and the printer alike: A4 upright in one column, or with the
// printed form on A3 or B4 across in two columns with the sealing line
// (密封线) and the candidate fields in the left margin. The footer numbers the
// sheets ("第 X 页 共 Y 页") and, with the printed form on, carries the internal
// title in small print so that a paper and its answer sheet can be matched.
// A question stays on one page with its picture and options where they fit.
class PaperPages {
public:
    enum class Kind { Paper, Answers };

    // Dots an inch of the layout, whatever device it is painted on.
    static constexpr int kResolution = 300;

    PaperPages(const AssembledPaper& paper, const PaperPictures& pictures, Kind kind);
    ~PaperPages();
    PaperPages(const PaperPages&) = delete;
    PaperPages& operator=(const PaperPages&) = delete;

    // The sheet: its size and orientation, without margins (the pages draw their own).
    QPageLayout pageLayout() const;
    int columns() const { return m_columns; }
    int sheetCount() const;
    // The title of the document (for the PDF's properties and the print job).
    QString title() const;

    // Paints every sheet; painter is active on device, whose first page is
    // open and whose pages have pageLayout(). False when a page could not be started.
    bool paint(QPainter& painter, QPagedPaintDevice& device) const;

    // Questions whose pictures cannot be shown, and a missing Chinese font.
    const QStringList& failures() const { return m_failures; }

private:
    void paintSheet(QPainter& painter, int sheet, int sheets) const;
    void paintSealingLine(QPainter& painter) const;
    double dots(double points) const { return points * kResolution / 72.0; }

    const AssembledPaper& m_paper;
    Kind m_kind;
    bool m_sealed = false;
    int m_columns = 1;
    QPageSize m_pageSize;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QSizeF m_sheet;        // points
    QMarginsF m_margins;   // points
    double m_gap = 0;      // points between the columns
    QBuffer m_nowhere;     // the layout device writes nothing
    std::unique_ptr<QPdfWriter> m_layoutDevice;
    std::unique_ptr<QTextDocument> m_document;
    QStringList m_failures;
};

} // namespace helan
