#include "compose/PaperPrinting.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include "base/Prompter.h"
#include "compose/PaperPages.h"

using namespace Qt::StringLiterals;

namespace helan {

PaperPrinting::PaperPrinting(Prompter& prompter, PrintDialog dialog)
    : m_prompter(prompter), m_dialog(std::move(dialog)) {}

void PaperPrinting::remember(const AssembledPaper& paper, PaperPictures pictures) {
    m_paper = paper;
    m_pictures = std::move(pictures);
}

void PaperPrinting::print() {
    if (!m_paper) {
        m_prompter.message(u"本次还没有生成试卷。"_s);
        return;
    }
    const PaperPages paper(*m_paper, m_pictures, PaperPages::Kind::Paper);
    const PaperPages answers(*m_paper, m_pictures, PaperPages::Kind::Answers);
    // The answer sheet begins on a sheet of its own.
    const Paint paint = [&](QPagedPaintDevice& printer) {
        QPainter painter;
        if (!painter.begin(&printer))
            return false;
        const bool painted = paper.paint(painter, printer) && printer.newPage() && answers.paint(painter, printer);
        return painter.end() && painted;
    };
    if (!m_dialog || m_dialog(paper.pageLayout(), paper.title(), paint) == Outcome::Failed)
        m_prompter.message(failedMessage(), {}, Prompter::Icon::Warning);
}

} // namespace helan
