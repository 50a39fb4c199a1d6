#pragma once

#include <memory>
#include <ostream>

#include <QString>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "compose/PaperComposer.h"
#include "compose/WordProcessor.h"
#include "store/RecordStore.h"

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(QStringLiteral(" | ")).toStdString() << '}';
}

namespace helan::test {

// One question as the tests write it into the bank before the window opens.
struct Question {
    QString type;
    int score = 1;
    QString groupName;
    QString groupNumber;
    int difficulty = 1;
    bool fixedScore = false;
    bool blocked = false;
    QString knowledge;
    QString stem1 = QStringLiteral("题文");
    bool stemPicture = false;

    Question& inGroup(const QString& name, const QString& number) {
        groupName = name;
        groupNumber = number;
        return *this;
    }
    Question& withDifficulty(int value) {
        difficulty = value;
        return *this;
    }
    Question& fixed() {
        fixedScore = true;
        return *this;
    }
    Question& blockedQuestion() {
        blocked = true;
        return *this;
    }
    Question& withKnowledge(const QString& text) {
        knowledge = text;
        return *this;
    }
    Question& withStem(const QString& text) {
        stem1 = text;
        return *this;
    }
    Question& withPicture() {
        stemPicture = true;
        return *this;
    }
};

inline Question question(const QString& type = QStringLiteral("判断"), int score = 1) {
    Question q;
    q.type = type;
    q.score = score;
    return q;
}

class FixedWordProcessor : public WordProcessor {
public:
    bool installed = true;
    bool isWordInstalled() const override { return installed; }
};

// A catalogue with the course "语文" (its difficulty description "易1难9"), the
// type library with its five default types, the course's bank, and a
// PaperComposer over it driven the way the window drives it.
class ComposerFixture : public ::testing::Test {
protected:
    using P = PaperComposer;
    static QString course() { return QStringLiteral("语文"); }

    void SetUp() override;

    qint32 addRecord(const Question& question);
    // A group: its title (score the sum of the unblocked sub-questions) and the
    // sub-questions 1, 2, … with the scores given. Returns the record IDs, title first.
    QList<qint32> addGroup(const QString& name, const QList<int>& scores,
                           const QString& type = QStringLiteral("阅读"));
    // Writes a numbering file with label rows 1 … rows.
    void writeNumbering(int labelRows);
    void openComposer();
    void reopenComposer();

    PaperComposer& composer() { return *m_composer; }
    GridModel& grid() { return m_composer->questionGrid(); }
    GridModel& types() { return m_composer->typeOrderTable(); }
    int rowOf(qint32 recordId) const;

    // What the grid view raises for a left click on a cell.
    void click(int row, int column);
    void clickType(int row, int column);
    // The click that makes the cell current, then the in-place edit.
    bool edit(int row, int column, const QVariant& value);
    bool editType(int row, int column, const QVariant& value);
    // Ticks or unticks a paper box of a question, as a click on it does.
    bool tick(qint32 id, P::Paper paper, bool on = true);
    void rightClick(int row, int column);

    QString text(qint32 id, int column) const;
    int score(qint32 id) const { return text(id, P::ScoreColumn).toInt(); }
    bool checked(qint32 id, int column) const;
    QVariant field(qint32 recordId, int field);
    // The type library's record of a type.
    QVariant typeField(const QString& type, int field);
    QStringList paperRows(P::Paper paper) const; // "type=sum" per row

    TempFolder m_folder;
    RecordStore m_store;
    ScriptedPrompter m_prompter;
    FixedWordProcessor m_word;
    std::unique_ptr<PaperComposer> m_composer;
    QList<P::Preview> m_previews;
};

} // namespace helan::test
