#pragma once

#include <QList>
#include <QStringList>

#include "SampleQuestion.h"

namespace helan {
class RecordStore;
}

namespace helan::test {

// Reads a bank back through the store and lists what is wrong with it, one text
// per problem, so that a failing test names the questions.
class BankReader {
public:
    struct Question {
        int record = 0;
        QString stemPicture;   // 题图 as stored
        QString answerPicture; // 答图 as stored
        SampleQuestion fields;
    };

    // Every record of the store's current table, in record order.
    static QList<Question> read(RecordStore& store);

    // Questions that fail the validation rules.
    static QStringList ruleFailures(const QList<Question>& questions);
    // Groups whose title is not their first record, missing or doubled, or whose
    // score is not the total of the unblocked sub-questions; sub-questions that do
    // not share the title's type and difficulty.
    static QStringList groupProblems(const QList<Question>& questions);
    // Picture marks that disagree with the bytes, and pictures that do not decode.
    static QStringList pictureProblems(const QList<Question>& questions);
};

} // namespace helan::test
