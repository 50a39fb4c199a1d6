#include "editor/EditorSearch.h"

#include <algorithm>

#include "base/Prompter.h"
#include "editor/BankEditor.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

char16_t foldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

} // namespace

EditorSearch::EditorSearch(BankEditor& editor, Prompter& prompter, QObject* parent)
    : QObject(parent), m_editor(editor), m_prompter(prompter) {}

bool EditorSearch::containsIgnoringAsciiCase(const QString& text, const QString& what) {
    // Only ASCII letters are folded: Qt's case-insensitive search would also fold
    // full-width and other letters, which the search must tell apart.
    const qsizetype n = what.size();
    if (n == 0)
        return true;
    const char16_t* t = reinterpret_cast<const char16_t*>(text.constData());
    const char16_t* w = reinterpret_cast<const char16_t*>(what.constData());
    for (qsizetype start = 0; start + n <= text.size(); ++start) {
        qsizetype k = 0;
        while (k < n && foldAscii(t[start + k]) == foldAscii(w[k]))
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

void EditorSearch::setText(const QString& text) {
    m_text = text;
    m_searchRow = 1;
    m_searchColumn = 0;
    m_nextEnabled = false;
    Q_EMIT buttonsChanged(startEnabled(), m_nextEnabled);
}

void EditorSearch::searchFromStart() {
    if (m_text.isEmpty())
        return;
    if (!searchFrom(1, 0))
        m_prompter.message(u"没有找到指定文本"_s);
}

void EditorSearch::searchFromCurrent() {
    if (m_text.isEmpty())
        return;
    const int row = std::max(m_editor.currentRow(), 1);
    if (!searchFrom(row, m_editor.currentColumn()))
        m_prompter.message(u"没有找到指定文本"_s);
}

void EditorSearch::searchNext() {
    if (m_text.isEmpty())
        return;
    int row = std::max(m_searchRow, 1) + 1;
    int column = m_searchColumn;
    if (row >= m_editor.grid().rowCount()) {
        row = 1;
        ++column;
    }
    if (!searchFrom(row, column))
        m_prompter.message(u"没有找到指定文本"_s);
}

bool EditorSearch::searchFrom(int row, int column) {
    const GridModel& grid = m_editor.grid();
    const int rows = grid.rowCount();
    for (int c = column; c <= kLastColumn; ++c) {
        for (int r = c == column ? row : 1; r < rows; ++r) {
            if (!containsIgnoringAsciiCase(grid.text(r, c), m_text))
                continue;
            m_searchRow = r;
            m_searchColumn = c;
            m_editor.moveToCell(r, c);
            setNextEnabled(true);
            return true;
        }
    }
    return false;
}

void EditorSearch::setNextEnabled(bool on) {
    m_nextEnabled = on;
    Q_EMIT buttonsChanged(startEnabled(), m_nextEnabled);
}

} // namespace helan
