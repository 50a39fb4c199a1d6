#include <cctype>
#include <string>

#include <gtest/gtest.h>

#include "Printers.h"
#include "base/Gbk.h"
#include "model/QuestionRules.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

using Values = QuestionRules::Values;

const QString kMark = u"√"_s;

// A complete ordinary question; each case changes what it is about.
Values plain(const QString& answer = u"x=2"_s)
{
    Values v;
    v.stemText1 = u"方程2x+3=7的解是________。"_s;
    v.answer = answer;
    v.type = u"填空"_s;
    return v;
}

Values textChoice(const QString& options, const QString& answer)
{
    Values v;
    v.stemText1 = u"下列各项中，正确的是（　）。"_s;
    v.stemText2 = options;
    v.answer = answer;
    v.type = u"选择"_s;
    v.choice = true;
    return v;
}

Values pictureChoice(const QString& answer)
{
    Values v;
    v.stemText1 = u"下列图形中，是轴对称图形的是（　）。"_s;
    v.stemPicture = kMark;
    v.answer = answer;
    v.type = u"选择"_s;
    v.choice = true;
    return v;
}

struct Case {
    const char* name;
    Values values;
    int rule; // 0: passes
    QString message = {};
    int column = 0;
    bool messageOnly = false;
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

class QuestionRulesTable : public ::testing::TestWithParam<Case> {};

TEST_P(QuestionRulesTable, FirstFailingRuleDecides)
{
    const Case& c = GetParam();
    const QuestionRules::Verdict verdict = QuestionRules::check(c.values);
    EXPECT_EQ(verdict.rule, c.rule);
    EXPECT_EQ(verdict.passed(), c.rule == 0);
    EXPECT_EQ(verdict.message, c.message);
    EXPECT_EQ(verdict.column, c.column);
    EXPECT_EQ(verdict.messageOnly, c.messageOnly);
}

// Test names made of the case names: letters and digits, words joined by "_".
std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    std::string name;
    for (const char* p = info.param.name; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

Values with(Values v, void (*change)(Values&))
{
    change(v);
    return v;
}

// ---- Stem, type and answer
const Case kBasicCases[] = {
    {"complete ordinary question", plain(), 0},
    {"stem picture alone is no stem",
     with(plain(), [](Values& v) { v.stemText1.clear(); v.stemPicture = u"√"_s; }), 2, u"请输入题目！"_s, 3},
    {"second stem text alone is a stem", with(plain(), [](Values& v) { v.stemText2.swap(v.stemText1); }), 0},
    {"stem is checked before type",
     with(plain(), [](Values& v) { v.stemText1.clear(); v.type.clear(); }), 2, u"请输入题目！"_s, 3},
    {"missing type", with(plain(), [](Values& v) { v.type.clear(); }), 3, u"请选择题型！"_s, 8},
    {"missing answer", plain(QString()), 5, u"请输入答案！"_s, 6},
    {"placeholder answer", plain(u"请输入答案"_s), 6, u"请完善答案！"_s, 6},
    {"placeholder with more text is an answer", plain(u"请输入答案。"_s), 0},
    {"group title needs no answer", with(plain(QString()), [](Values& v) { v.groupNumber = u"0"_s; }), 0},
    {"group title may keep the placeholder",
     with(plain(u"请输入答案"_s), [](Values& v) { v.groupNumber = u"0"_s; }), 0},
    {"00 is not a title", with(plain(QString()), [](Values& v) { v.groupNumber = u"00"_s; }), 5,
     u"请输入答案！"_s, 6},
    {"sub-question needs an answer", with(plain(QString()), [](Values& v) { v.groupNumber = u"3"_s; }), 5,
     u"请输入答案！"_s, 6},
    {"options are not checked without the choice mark",
     with(plain(), [](Values& v) { v.stemText2 = u"甲\r\n甲"_s; }), 0},
};
INSTANTIATE_TEST_SUITE_P(Basic, QuestionRulesTable, ::testing::ValuesIn(kBasicCases), caseName);

// ---- Text options in 题文2
const Case kTextOptionCases[] = {
    {"choice without options anywhere",
     textChoice(QString(), u"甲"_s), 8,
     u"选择栏选中表示为选择型题目，题图或题文2应放置题目选项！"_s, 5},
    {"two options", textChoice(u"甲\r\n乙"_s, u"甲"_s), 0},
    {"final line break adds no option", textChoice(u"甲\r\n乙\r\n"_s, u"甲\r\n乙"_s), 0},
    {"empty line between is a third option", textChoice(u"甲\r\n\r\n乙"_s, u"甲\r\n\r\n乙"_s), 0},
    {"same answers exceed two options", textChoice(u"甲\r\n乙"_s, u"甲\r\n\r\n乙"_s), 13,
     u"答案选项数不能多于题目选项数！"_s, 6},
    {"one option", textChoice(u"甲"_s, u"甲"_s), 9, u"题目选项错误！"_s, 5},
    {"one option and a line break", textChoice(u"甲\r\n"_s, u"甲"_s), 9, u"题目选项错误！"_s, 5},
    {"a bare line break", textChoice(u"\r\n"_s, u"甲"_s), 9, u"题目选项错误！"_s, 5},
    {"LF alone does not split", textChoice(u"甲\n乙"_s, u"甲"_s), 9, u"题目选项错误！"_s, 5},
    {"repeated option", textChoice(u"甲\r\n乙\r\n甲"_s, u"乙"_s), 9, u"题目选项重复！"_s, 5},
    {"options compared exactly", textChoice(u"a\r\nA\r\na "_s, u"A"_s), 0},
    {"choice title without answer", with(textChoice(u"甲\r\n乙"_s, QString()), [](Values& v) {
         v.groupNumber = u"0"_s;
     }),
     10, u"请完善答案！"_s, 6},
    {"answer twice", textChoice(u"甲\r\n乙"_s, u"甲\r\n甲"_s), 11, u"答案选项重复！"_s, 6},
    {"answer not among options", textChoice(u"甲\r\n乙"_s, u"丙"_s), 13,
     u"答案选项内容不能超出题目选项内容！"_s, 6, true},
    {"repeat found before the contents", textChoice(u"甲\r\n乙"_s, u"甲\r\n乙\r\n甲"_s), 11,
     u"答案选项重复！"_s, 6},
    {"second answer outside", textChoice(u"甲\r\n乙\r\n丙"_s, u"乙\r\n丁"_s), 13,
     u"答案选项内容不能超出题目选项内容！"_s, 6, true},
    {"answer is content, not a label", textChoice(u"甲\r\n乙"_s, u"A"_s), 13,
     u"答案选项内容不能超出题目选项内容！"_s, 6, true},
    {"picture and text options: text rules only",
     with(textChoice(u"甲\r\n乙"_s, u"A"_s), [](Values& v) { v.stemPicture = u"√"_s; }), 13,
     u"答案选项内容不能超出题目选项内容！"_s, 6, true},
    {"picture and text options: content answer",
     with(textChoice(u"甲\r\n乙"_s, u"乙"_s), [](Values& v) { v.stemPicture = u"√"_s; }), 0},
};
INSTANTIATE_TEST_SUITE_P(TextOptions, QuestionRulesTable, ::testing::ValuesIn(kTextOptionCases), caseName);

// ---- Options drawn in the stem picture: the answer is labels
const QString kFirstLabel = u"题目选项放在题图里时答案编号只能为大写字母或带圈数字！"_s;
const QString kOneKind = u"题目选项放在题图里时答案编号只能大写字母或带圈数字一种！"_s;
const Case kPictureOptionCases[] = {
    {"one letter", pictureChoice(u"A"_s), 0},
    {"letters in a row", pictureChoice(u"BD"_s), 0},
    {"last letter label", pictureChoice(u"I"_s), 0},
    {"one circled number", pictureChoice(u"②"_s), 0},
    {"circled numbers in a row", pictureChoice(u"①②"_s), 0},
    {"ninth circled number", pictureChoice(u"⑨"_s), 0},
    {"letter beyond I", pictureChoice(u"J"_s), 12, kFirstLabel, 6},
    {"lower-case letter", pictureChoice(u"a"_s), 12, kFirstLabel, 6},
    {"tenth circled number", pictureChoice(u"⑩"_s), 12, kFirstLabel, 6},
    {"content instead of label", pictureChoice(u"甲"_s), 12, kFirstLabel, 6},
    {"letter then circled", pictureChoice(u"A①"_s), 12, kOneKind, 6},
    {"circled then letter", pictureChoice(u"①A"_s), 12, kOneKind, 6},
    {"space between letters", pictureChoice(u"A B"_s), 12, kOneKind, 6},
    {"letters on two lines", pictureChoice(u"A\r\nB"_s), 12, kOneKind, 6},
    {"letter then J", pictureChoice(u"AJ"_s), 12, kOneKind, 6},
    // Bytes, not characters: 丄 is 0x81 0x41 in GBK, and 0x41 is "A".
    {"circled then a trail byte that reads as a letter", pictureChoice(u"①丄"_s), 12, kOneKind, 6},
    {"circled then other text", pictureChoice(u"①②和③"_s), 0},
    {"repeated letter line before labels", pictureChoice(u"A\r\nA"_s), 11, u"答案选项重复！"_s, 6},
    {"missing picture and text options", with(pictureChoice(u"A"_s), [](Values& v) { v.stemPicture.clear(); }),
     8, u"选择栏选中表示为选择型题目，题图或题文2应放置题目选项！"_s, 5},
};
INSTANTIATE_TEST_SUITE_P(PictureOptions, QuestionRulesTable, ::testing::ValuesIn(kPictureOptionCases), caseName);

TEST(QuestionRuleLabels, NineLettersOfOneByteAndNineCircledNumbersOfTwo)
{
    const QStringList& letters = QuestionRules::optionLetters();
    const QStringList& circled = QuestionRules::circledNumbers();
    ASSERT_EQ(letters.size(), 9);
    ASSERT_EQ(circled.size(), 9);
    EXPECT_EQ(letters.join(QString()), u"ABCDEFGHI"_s);
    EXPECT_EQ(circled.join(QString()), u"①②③④⑤⑥⑦⑧⑨"_s);
    for (qsizetype i = 0; i < 9; ++i) {
        EXPECT_EQ(gbkLength(letters.at(i)), 1);
        EXPECT_EQ(gbkLength(circled.at(i)), 2);
    }
}

} // namespace
