#include "model/QuestionRules.h"

#include <QByteArray>

#include "base/Gbk.h"
#include "base/TextRules.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

// The answer the editor puts into a question whose answer is still to be written.
const QString& answerPlaceholder()
{
    static const QString placeholder = u"请输入答案"_s;
    return placeholder;
}

QuestionRules::Verdict fail(int rule, int column, const QString& message, bool messageOnly = false)
{
    return {rule, column, message, messageOnly};
}

bool hasEqualPair(const QStringList& lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        for (qsizetype j = i + 1; j < lines.size(); ++j) {
            if (lines.at(i) == lines.at(j))
                return true;
        }
    }
    return false;
}

bool isLetterLabelByte(char byte)
{
    static const QByteArray letterBytes = toGbk(QuestionRules::optionLetters().join(QString()));
    return letterBytes.contains(byte);
}

bool startsWithCircledNumber(const QByteArray& bytes)
{
    for (const QString& label : QuestionRules::circledNumbers()) {
        if (bytes.startsWith(toGbk(label)))
            return true;
    }
    return false;
}

// Labels of options drawn in the picture, checked on the GBK bytes of the whole
// answer: the first label decides the kind, and every later byte must agree with
// it about being a letter label. A circled number's bytes are never letters, so a
// letter anywhere after one breaks the rule.
QuestionRules::Verdict checkPictureLabels(const QString& answer)
{
    const QByteArray bytes = toGbk(answer);
    const bool firstIsLetter = isLetterLabelByte(bytes.front());
    if (!firstIsLetter && !startsWithCircledNumber(bytes)) {
        return fail(12, QuestionRules::AnswerColumn,
                    u"题目选项放在题图里时答案编号只能为大写字母或带圈数字！"_s);
    }
    for (qsizetype i = 1; i < bytes.size(); ++i) {
        if (isLetterLabelByte(bytes.at(i)) != firstIsLetter) {
            return fail(12, QuestionRules::AnswerColumn,
                        u"题目选项放在题图里时答案编号只能大写字母或带圈数字一种！"_s);
        }
    }
    return {};
}

QuestionRules::Verdict checkTextOptionAnswers(const QStringList& options, const QStringList& answers)
{
    if (answers.size() > options.size())
        return fail(13, QuestionRules::AnswerColumn, u"答案选项数不能多于题目选项数！"_s);
    for (const QString& answer : answers) {
        if (!options.contains(answer))
            return fail(13, QuestionRules::AnswerColumn, u"答案选项内容不能超出题目选项内容！"_s, true);
    }
    return {};
}

QStringList splitLabels(const QString& joined)
{
    return joined.split(u'/');
}

} // namespace

const QStringList& QuestionRules::optionLetters()
{
    static const QStringList letters = splitLabels(u"A/B/C/D/E/F/G/H/I"_s);
    return letters;
}

const QStringList& QuestionRules::circledNumbers()
{
    static const QStringList numbers = splitLabels(u"①/②/③/④/⑤/⑥/⑦/⑧/⑨"_s);
    return numbers;
}

QuestionRules::Verdict QuestionRules::check(const Values& values)
{
    if (values.stemText1.isEmpty() && values.stemText2.isEmpty())
        return fail(2, StemText1Column, u"请输入题目！"_s);
    if (values.type.isEmpty())
        return fail(3, TypeColumn, u"请选择题型！"_s);

    // A group title has no answer of its own.
    if (!QuestionRecord::isGroupTitle(values.groupNumber)) {
        if (values.answer.isEmpty())
            return fail(5, AnswerColumn, u"请输入答案！"_s);
        if (values.answer == answerPlaceholder())
            return fail(6, AnswerColumn, u"请完善答案！"_s);
    }
    if (!values.choice)
        return {};

    // Options are the lines of 题文2 when it has any, whatever the picture holds;
    // otherwise they must be drawn in the stem picture.
    const bool textOptions = !values.stemText2.isEmpty();
    QStringList options;
    if (!textOptions) {
        if (values.stemPicture.isEmpty()) {
            return fail(8, StemText2Column,
                        u"选择栏选中表示为选择型题目，题图或题文2应放置题目选项！"_s);
        }
    } else {
        options = splitCrLfLines(values.stemText2);
        if (options.size() < 2)
            return fail(9, StemText2Column, u"题目选项错误！"_s);
        if (hasEqualPair(options))
            return fail(9, StemText2Column, u"题目选项重复！"_s);
    }

    // Only a group title that is also marked as a choice question gets here empty.
    if (values.answer.isEmpty())
        return fail(10, AnswerColumn, u"请完善答案！"_s);
    const QStringList answers = splitCrLfLines(values.answer);
    if (hasEqualPair(answers))
        return fail(11, AnswerColumn, u"答案选项重复！"_s);

    if (!textOptions)
        return checkPictureLabels(values.answer);
    return checkTextOptionAnswers(options, answers);
}

} // namespace helan
