#pragma once

#include <functional>
#include <optional>

#include <QPageLayout>
#include <QString>

#include "compose/AssembledPaper.h"

class QPagedPaintDevice;

namespace helan {

class Prompter;

// "打印…": the last paper generated in the composition window and its answer
// sheet, laid out as for the PDF (PaperPages) and printed in one job through
// the system's print dialog, for teachers without a word processor.
class PaperPrinting {
public:
    enum class Outcome { Printed, Cancelled, Failed };
    // Paints the paper and then the answer sheet onto the printer; false when
    // a page could not be painted.
    using Paint = std::function<bool(QPagedPaintDevice& printer)>;
    // The print dialog and the printer: offered pages of layout under the job's
    // name; when the teacher prints, it calls paint and says whether the printer
    // took the job. The window shows the system's dialog, tests a fake one.
    using PrintDialog = std::function<Outcome(const QPageLayout& layout, const QString& job, const Paint& paint)>;

    PaperPrinting(Prompter& prompter, PrintDialog dialog);

    // Kept after every generation; pictures are read again when printing.
    void remember(const AssembledPaper& paper, PaperPictures pictures);
    bool hasPaper() const { return m_paper.has_value(); }

    // Shows the dialog; a failed job is said, a cancelled one is not.
    void print();

    static QString failedMessage() { return QStringLiteral("试卷和答案未能打印，请检查打印机后再试。"); }

private:
    Prompter& m_prompter;
    PrintDialog m_dialog;
    std::optional<AssembledPaper> m_paper;
    PaperPictures m_pictures;
};

} // namespace helan
