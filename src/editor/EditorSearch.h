#pragma once

#include <QObject>
#include <QString>

namespace helan {

class BankEditor;
class Prompter;

// The 查找 box of the bank editor: finds a text in the question columns 知识点 …
// 答图, visiting them column by column (every row of one column before the next
// column), ASCII letters compared without regard to case. A search never wraps
// around: it ends at the last row of 答图.
class EditorSearch : public QObject {
    Q_OBJECT
public:
    static constexpr int kLastColumn = 7;

    EditorSearch(BankEditor& editor, Prompter& prompter, QObject* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return m_text; }
    void searchFromStart();
    void searchFromCurrent();
    void searchNext();

    int searchRow() const { return m_searchRow; }
    int searchColumn() const { return m_searchColumn; }
    bool startEnabled() const { return !m_text.isEmpty(); }
    bool nextEnabled() const { return m_nextEnabled; }

    // Whether text contains what, ASCII letters in either case.
    static bool containsIgnoringAsciiCase(const QString& text, const QString& what);

Q_SIGNALS:
    void buttonsChanged(bool startEnabled, bool nextEnabled);

private:
    // Searches from (row, column) in search order; true on a match.
    bool searchFrom(int row, int column);
    void setNextEnabled(bool on);

    BankEditor& m_editor;
    Prompter& m_prompter;
    QString m_text;
    int m_searchRow = 1;
    int m_searchColumn = 0;
    bool m_nextEnabled = false;
};

} // namespace helan
