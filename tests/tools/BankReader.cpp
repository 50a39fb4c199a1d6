#include "BankReader.h"

#include <map>

#include <QImage>

#include "model/QuestionRecord.h"
#include "model/QuestionRules.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan::test {

namespace {

using Field = QuestionRecord::Field;

QString where(const BankReader::Question& q)
{
    return u"record "_s + QString::number(q.record) + u" ("_s + q.fields.stemText1.left(20) + u")"_s;
}

QString checkPicture(const BankReader::Question& q, const QString& mark, const QByteArray& bytes,
                     const QString& name)
{
    const bool consistent = bytes.isEmpty() ? mark.isEmpty() : mark == QuestionRecord::pictureMark();
    if (!consistent)
        return where(q) + u": "_s + name + u" mark \""_s + mark + u"\" disagrees with its bytes"_s;
    if (!bytes.isEmpty() && QImage::fromData(bytes).isNull())
        return where(q) + u": "_s + name + u" does not decode"_s;
    return {};
}

} // namespace

QList<BankReader::Question> BankReader::read(RecordStore& store)
{
    QList<Question> questions;
    for (int record = 1; record <= store.recordCount(); ++record) {
        store.goTo(record);
        Question q;
        q.record = record;
        q.stemPicture = store.readText(Field::StemPicture);
        q.answerPicture = store.readText(Field::AnswerPicture);
        SampleQuestion& f = q.fields;
        f.knowledgePoints = store.readText(Field::KnowledgePoints);
        f.groupName = store.readText(Field::GroupName);
        f.groupNumber = store.readText(Field::GroupNumber);
        f.stemText1 = store.readText(Field::StemText1);
        f.stemText2 = store.readText(Field::StemText2);
        f.answer = store.readText(Field::Answer);
        f.type = store.readText(Field::Type);
        f.difficulty = store.readInt(Field::Difficulty);
        f.score = store.readInt(Field::Score);
        f.choice = store.readBool(Field::Choice);
        f.fixedScore = store.readBool(Field::FixedScore);
        f.blocked = store.readBool(Field::Blocked);
        f.stemPictureData = store.readBytes(Field::StemPictureData);
        f.answerPictureData = store.readBytes(Field::AnswerPictureData);
        questions.append(q);
    }
    return questions;
}

QStringList BankReader::ruleFailures(const QList<Question>& questions)
{
    QStringList problems;
    for (const Question& q : questions) {
        const SampleQuestion& f = q.fields;
        const QuestionRules::Verdict verdict = QuestionRules::check(
            {f.groupNumber, f.stemText1, q.stemPicture, f.stemText2, f.answer, f.type, f.choice});
        if (!verdict.passed())
            problems.append(where(q) + u": "_s + verdict.message);
    }
    return problems;
}

QStringList BankReader::groupProblems(const QList<Question>& questions)
{
    QStringList problems;
    // Record order of each group's members.
    std::map<QString, QList<const Question*>> groups;
    for (const Question& q : questions) {
        if (!q.fields.groupName.isEmpty())
            groups[q.fields.groupName].append(&q);
        else if (!q.fields.groupNumber.isEmpty())
            problems.append(where(q) + u": a group number without a group"_s);
    }
    for (const auto& [name, members] : groups) {
        const Question& title = *members.first();
        if (!QuestionRecord::isGroupTitle(title.fields.groupNumber)) {
            problems.append(u"group "_s + name + u": the first record is not the title"_s);
            continue;
        }
        if (!title.fields.answer.isEmpty() || !title.answerPicture.isEmpty() || title.fields.choice)
            problems.append(u"group "_s + name + u": the title has an answer or is a choice question"_s);
        int total = 0;
        for (qsizetype i = 1; i < members.size(); ++i) {
            const SampleQuestion& sub = members[i]->fields;
            const int number = sub.groupNumber.toInt();
            if (number < 1 || number > 99 || sub.groupNumber != QString::number(number))
                problems.append(where(*members[i]) + u": group number \""_s + sub.groupNumber + u"\""_s);
            if (sub.type != title.fields.type || sub.difficulty != title.fields.difficulty
                || sub.fixedScore != title.fields.fixedScore)
                problems.append(where(*members[i]) + u": differs from its title in type, difficulty or 定分"_s);
            if (!sub.blocked)
                total += sub.score;
        }
        if (members.size() < 2)
            problems.append(u"group "_s + name + u" has no sub-questions"_s);
        if (title.fields.score != total) {
            problems.append(u"group "_s + name + u": title score "_s + QString::number(title.fields.score)
                            + u", unblocked sub-questions "_s + QString::number(total));
        }
    }
    return problems;
}

QStringList BankReader::pictureProblems(const QList<Question>& questions)
{
    QStringList problems;
    for (const Question& q : questions) {
        for (const QString& problem :
             {checkPicture(q, q.stemPicture, q.fields.stemPictureData, u"题图"_s),
              checkPicture(q, q.answerPicture, q.fields.answerPictureData, u"答图"_s)}) {
            if (!problem.isEmpty())
                problems.append(problem);
        }
    }
    return problems;
}

} // namespace helan::test
