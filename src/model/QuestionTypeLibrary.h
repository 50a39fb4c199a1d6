#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "model/OpenOutcome.h"
#include "store/StoreTypes.h"

namespace helan {

class Prompter;
class RecordStore;

// The table 题型库: the question types shared by every course, each with a
// default score, a description and whether its answers go on a line of their own.
class QuestionTypeLibrary {
public:
    enum Field : int {
        TypeName = 1,        // 题型: compared exactly with 题型 of questions
        Score = 2,           // 分值: the type's default score
        Description = 3,     // 说明: printed under the type's heading when not empty
        AnswerLineBreak = 4, // 答案换行
    };
    static constexpr int kTypeNameWidth = 512;
    static constexpr int kDescriptionWidth = 512;

    static QString tableName(); // "题型库", also the alias
    static QString fileName();  // "题型库.edb"
    static QString fieldName(Field field);
    static QList<FieldDef> fieldDefs();

    QuestionTypeLibrary(RecordStore& store, Prompter& prompter);

    // Makes the library open and current, creating it when its file is missing.
    // An empty library gets the five default types. A failure is shown to the
    // user and the program must end.
    [[nodiscard]] OpenOutcome openTypeLibrary();

    // The type names in record order (opens the library first).
    QStringList typeNames();

private:
    RecordStore& m_store;
    Prompter& m_prompter;
};

} // namespace helan
