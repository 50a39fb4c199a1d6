#pragma once

#include <memory>
#include <optional>

#include <QStringList>

#include "EditorFixture.h"
#include "PaperFiles.h"
#include "editor/CourseTransfer.h"
#include "editor/PaperImport.h"

namespace helan::test {

// What a corpus paper must give back for one question.
struct Expected {
    Expected(QString number, QString type, QString stem, QStringList options, QString answer, int score,
             bool stemPicture = false, bool answerPicture = false, QStringList notes = {},
             int groupNumber = -1)
        : number(std::move(number)), type(std::move(type)), stem(std::move(stem)),
          options(std::move(options)), answer(std::move(answer)), score(score), stemPicture(stemPicture),
          answerPicture(answerPicture), notes(std::move(notes)), groupNumber(groupNumber) {}

    QString number; // "材料" for a group's passage
    QString type;
    QString stem;
    QStringList options;
    QString answer;
    int score = 0;
    bool stemPicture = false;
    bool answerPicture = false;
    // Substrings that the question's notes must hold (all of them); the notes
    // must be empty when there are none.
    QStringList notes;
    int groupNumber = -1;
};

// The course "语文" with the five default types, its editor open, and the paper
// import over it.
class PaperImportFixture : public EditorFixture {
protected:
    void SetUp() override;

    QString paperFile(const QString& name) const { return m_folder.file(name); }
    // Reads the file into a fresh PaperImport; fails the test when it is refused.
    PaperImport& readPaper(const QString& path);
    // Every question as expected, in order.
    void expectQuestions(const QList<Expected>& expected);
    // Imports the ticked questions through CourseTransfer, answering the
    // prompts with the script given.
    void importTicked();
    // The bank's records as "分组名|分组号|题文1|题文2|答案|题型|分值|选择|题图|答图".
    QStringList bankRows();

    std::unique_ptr<PaperImport> m_import;
    std::unique_ptr<CourseTransfer> m_transfer;
};

} // namespace helan::test
