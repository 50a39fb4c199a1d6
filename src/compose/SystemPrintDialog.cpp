#include "compose/SystemPrintDialog.h"

#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>

namespace helan {

PaperPrinting::PrintDialog systemPrintDialog(QWidget* parent) {
    return [parent = QPointer<QWidget>(parent)](const QPageLayout& layout, const QString& job,
                                                 const PaperPrinting::Paint& paint) {
        QPrinter printer(QPrinter::HighResolution);
        // The pages draw their own margins from the sheet's edge.
        printer.setFullPage(true);
        printer.setPageLayout(layout);
        printer.setDocName(job);
        QPrintDialog dialog(&printer, parent);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        if (dialog.exec() != QDialog::Accepted)
            return PaperPrinting::Outcome::Cancelled;
        if (!paint(printer) || printer.printerState() == QPrinter::Error)
            return PaperPrinting::Outcome::Failed;
        return PaperPrinting::Outcome::Printed;
    };
}

} // namespace helan
