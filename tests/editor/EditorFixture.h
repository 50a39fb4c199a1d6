#pragma once

#include <memory>
#include <ostream>

#include <QString>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "editor/BankEditor.h"
#include "store/RecordStore.h"

// Readable failure output for the texts the tests compare.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(QStringLiteral(" | ")).toStdString() << '}';
}

namespace helan::test {

// One question as the tests write it into the bank before the editor opens.
struct Question {
    QString stem1;
    QString stem2;
    QString answer;
    QString type = QStringLiteral("判断");
    QString groupName;
    QString groupNumber;
    int difficulty = 1;
    int score = 1;
    bool choice = false;
    bool fixedScore = false;
    bool blocked = false;
    bool stemPicture = false;
    bool answerPicture = false;
    QString knowledge;
};

// A course bank "语文" in a fresh folder, the type library with its five default
// types, and a BankEditor over it driven the way the window drives it.
class EditorFixture : public ::testing::Test {
protected:
    static QString course() { return QStringLiteral("语文"); }

    void SetUp() override;

    // Appends a record to the bank; returns its record ID.
    qint32 addRecord(const Question& question);
    // Opens the editor on the bank (a grid 1000 pixels wide).
    void openEditor();

    BankEditor& editor() { return *m_editor; }
    GridModel& grid() { return m_editor->grid(); }
    int rowOf(qint32 recordId) const;
    qint32 idOf(int row) const;

    // What the grid view raises for a left click on a cell.
    void click(int row, int column);
    // A click followed by a double click on the same cell.
    void doubleClick(int row, int column);
    // A whole in-place edit: the click that makes the cell current, then the edit.
    bool editCell(int row, int column, const QVariant& value);
    // Double click, then 确定 with the text; true when the dialog closed. Fails the
    // test when the dialog did not open.
    bool editInDialog(int row, int column, const QString& text);
    int textDialogsRequested() const { return m_dialogRequests; }

    QVariant field(qint32 recordId, int field);
    QString text(int row, int column) const { return m_editor->grid().text(row, column); }
    int number(int row, int column) const { return text(row, column).toInt(); }

    // Reopens the bank from its files and checks that it holds exactly the
    // questions of the grid, field by field, found by record ID.
    void expectBankMatchesGrid();

    TempFolder m_folder;
    RecordStore m_store;
    ScriptedPrompter m_prompter;
    std::unique_ptr<BankEditor> m_editor;
    int m_dialogRequests = 0;
};

} // namespace helan::test
