#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include "model/PaperParser.h"

namespace helan {

class CourseTransfer;
class Prompter;
class RecordStore;

// The logic of 试题 › "从Word/文本导入…": reads a paper written in Word (.docx) or
// as text, shows what it understood question by question before anything is
// stored, and hands the questions the teacher kept to the bank's import
// (CourseTransfer), so that they pass the same duplicate test, group handling
// and batches as questions imported from another bank.
//
// Reading is done by the headless readers and the paper-convention parser of
// the model; this class adds what the preview needs: the teacher's choices (the
// ticks, a type, 难度 and 知识点 for all), each question checked against the
// question rules as it would be stored, and the records themselves, pictures
// converted as the editor converts a picture file.
class PaperImport {
public:
    // One line of the preview.
    struct Row {
        bool ticked = true;
        bool title = false;   // a group's passage
        bool member = false;  // a sub-question of a group
        QString number;       // as the paper numbers it; "材料" for a passage
        QString group;        // "第1组" for a group's passage and its sub-questions
        QString type;         // the type it will be stored with
        bool newType = false; // not in the type library
        QString stem;
        QStringList options;
        QString answer; // as it will be stored (with the explanation when kept)
        int score = 0;
        bool stemPicture = false;
        bool answerPicture = false;
        // Why the question is not complete by the question rules; empty when it is.
        QString incomplete;
        // Whatever else was not fully understood.
        QStringList notes;
    };

    static constexpr int kDefaultDifficulty = 5;

    // The editor must be open on its course, whose bank is open under the course
    // name; the type library is read from the store.
    PaperImport(RecordStore& store, Prompter& prompter, const QString& courseName);

    // The file dialog, then read(); false when nothing is to be shown (cancelled,
    // or the file could not be read, which has been said).
    bool chooseAndRead();
    // Reads a paper; the program's own paper documents find their answer sheet
    // beside them ("…  试题.docx" → "…  答案.docx"). False, after telling the
    // teacher why, when the file cannot be read or holds no question.
    bool read(const QString& path);
    // Reads a separate answer sheet for the paper read last (the button
    // "读取答案文件…"); false after telling why when it cannot be read.
    bool chooseAnswers();
    bool readAnswers(const QString& path);

    static QString fileFilter();
    QString fileName() const { return m_fileName; }
    QString answerFileName() const { return m_answerFileName; }

    // ---- The preview
    int rowCount() const { return int(m_paper.questions.size()); }
    Row row(int index) const;
    // A group comes in whole or not at all: ticking a sub-question ticks its
    // passage, unticking a passage unticks its sub-questions.
    void setTicked(int index, bool on);
    void setAllTicked(bool on);
    int tickedCount() const;
    // The types of the library, for the type chooser.
    QStringList typeNames() const;
    // A type for every question; empty for the types the paper gives.
    void setTypeForAll(const QString& type);
    QString typeForAll() const { return m_typeForAll; }
    void setDifficulty(int difficulty);
    int difficulty() const { return m_difficulty; }
    void setKnowledge(const QString& knowledge) { m_knowledge = knowledge; }
    QString knowledge() const { return m_knowledge; }
    // "保留解析": explanations are appended to the answers instead of dropped.
    void setKeepExplanations(bool on) { m_keepExplanations = on; }
    bool keepExplanations() const { return m_keepExplanations; }

    // "读出N道试题（其中M组阅读材料），K道不完整，J道需要留意。"
    QString summary() const;
    // About the paper as a whole: what was left out, answers without a question.
    QStringList report() const { return m_paper.report; }

    // ---- Storing
    // The sixteen field values of each ticked question in schema order, and
    // whether each fails the question rules.
    QList<QVariantList> records(QList<bool>* incomplete) const;
    // "导入": asks about types the library lacks, then imports the ticked
    // questions through the bank's import. False when nothing was imported
    // because the teacher must change something first (the message is shown).
    bool importTicked(CourseTransfer& transfer);

    const ParsedPaper& paper() const { return m_paper; }

private:
    struct Effective {
        QString type;
        QString answer;
    };
    Effective effective(const ParsedQuestion& q) const;
    bool readFile(const QString& path, bool answers);
    void checkPictures();
    QByteArray storedPicture(int index) const;
    QString groupName(int group) const;
    void readTypeLibrary();

    RecordStore& m_store;
    Prompter& m_prompter;
    QString m_courseName;
    QList<PaperParser::TypeInfo> m_types;

    QString m_path;
    QString m_fileName;
    QString m_answerFileName;
    PaperSource m_source;
    PaperSource m_answers;
    bool m_hasAnswers = false;
    ParsedPaper m_paper;
    QList<bool> m_ticked;

    QString m_typeForAll;
    int m_difficulty = kDefaultDifficulty;
    QString m_knowledge;
    bool m_keepExplanations = false;
};

} // namespace helan
