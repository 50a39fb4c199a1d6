#include "compose/PaperComposer.h"

#include <QHash>
#include <QSet>

#include "base/Prompter.h"
#include "base/TextRules.h"
#include "compose/TypeColourSettings.h"
#include "grid/GridSort.h"
#include "model/QuestionTypeLibrary.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

// ---- TypeOrderTable events

void PaperComposer::rememberTypeRow(int row, int column) {
    m_currentRow = row;
    m_currentColumn = column;
    m_savedOrder = intValue(m_typeOrder.text(row, OrderColumn));
    m_savedScore = intValue(m_typeOrder.text(row, TypeScoreColumn));
}

void PaperComposer::typeButtonUp() {
    const int r = m_typeOrder.cursorRow();
    const int c = m_typeOrder.cursorColumn();
    if (r < 1)
        return;
    if (c == TypeNameColumn || (c == TypeScoreColumn && m_autoComposerOpen)) {
        m_typeOrder.setEditingAllowed(false);
        return;
    }
    m_typeOrder.setEditingAllowed(true);
    rememberTypeRow(r, c);
}

void PaperComposer::typeEditBegins() {
    rememberTypeRow(m_typeOrder.cursorRow(), m_typeOrder.cursorColumn());
}

void PaperComposer::typeEditEnded() {
    const int r = m_currentRow;
    if (r < 1 || r >= m_typeOrder.rowCount())
        return;
    switch (m_currentColumn) {
    case OrderColumn:
        orderEdited(r);
        break;
    case TypeScoreColumn:
        typeScoreEdited(r);
        break;
    case AnswerLineBreakColumn:
        storeAnswerLineBreak(r);
        break;
    default:
        break;
    }
}

void PaperComposer::typeCursorMoved() {
    const int r = m_typeOrder.cursorRow();
    if (r >= 1 && m_typeOrder.cursorColumn() >= AnswerLineBreakColumn)
        storeAnswerLineBreak(r);
}

void PaperComposer::orderEdited(int r) {
    // A number below 1 would sort the type above the header row: refused like 0.
    const bool negative = m_typeOrder.numberValue(r, OrderColumn) < 0;
    const int n = intValue(m_typeOrder.text(r, OrderColumn));
    if (!negative && n == m_savedOrder)
        return;
    if (negative || n == 0)
        m_typeOrder.setNumber(r, OrderColumn, m_savedOrder);
    sortRows(m_typeOrder, OrderColumn, 0, m_typeOrder.rowCount() - 1, SortKind::Number, m_prompter, true,
             true);
    formatTypeOrderTable();
    recomputePaperState();
    applyTypeColours();
}

void PaperComposer::typeScoreEdited(int r) {
    const QString text = m_typeOrder.text(r, TypeScoreColumn);
    const int n = intValue(text);
    if (n < 1 || text == QString::number(m_savedScore))
        return;
    if (!m_prompter.okCancel(u"确定要改变题型分值吗？"_s)) {
        m_typeOrder.setNumber(r, TypeScoreColumn, m_savedScore);
        return;
    }
    const QString type = m_typeOrder.text(r, TypeNameColumn);
    for (int q = 1; q < m_questions.rowCount(); ++q) {
        if (cell(q, TypeColumn) == type && !isTitle(q) && !m_questions.checked(q, FixedScoreColumn))
            m_questions.setNumber(q, ScoreColumn, n);
    }
    QuestionTypeLibrary library(m_store, m_prompter);
    if (library.openTypeLibrary() == OpenOutcome::Ready &&
        m_store.goToRecordId(intValue(m_typeOrder.text(r, TypeRecordIdColumn))))
        if (!m_store.write(QuestionTypeLibrary::Score, n))
            noteWriteFailure();
    m_savedScore = n;
    // Titles keep meaning their group's score.
    recomputeTitleScores();
    recomputePaperState();
    writeBackQuestions();
}

void PaperComposer::storeAnswerLineBreak(int r) {
    const int id = intValue(m_typeOrder.text(r, TypeRecordIdColumn));
    if (id <= 0)
        return;
    QuestionTypeLibrary library(m_store, m_prompter);
    if (library.openTypeLibrary() == OpenOutcome::Ready && m_store.goToRecordId(id))
        if (!m_store.write(QuestionTypeLibrary::AnswerLineBreak, m_typeOrder.checked(r, AnswerLineBreakColumn)))
            noteWriteFailure();
    bankCurrent();
    reportWriteFailure();
}

} // namespace helan
