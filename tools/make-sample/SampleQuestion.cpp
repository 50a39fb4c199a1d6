#include "SampleQuestion.h"

#include "model/QuestionRecord.h"

namespace helan {

namespace {
QString markFor(const QByteArray& picture)
{
    return picture.isEmpty() ? QString() : QuestionRecord::pictureMark();
}
} // namespace

QVariantList SampleQuestion::toValues() const
{
    return {
        knowledgePoints, groupName, groupNumber, stemText1, markFor(stemPictureData), stemText2, answer,
        markFor(answerPictureData), type, difficulty, score, choice, fixedScore, blocked, stemPictureData,
        answerPictureData,
    };
}

} // namespace helan
