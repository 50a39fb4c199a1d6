// The row checks made when the user leaves a row: the question rules in order,
// each pointing at its cell, and the duplicate check.
#include "EditorFixture.h"

using namespace Qt::StringLiterals;
using namespace helan;
using namespace helan::test;

namespace {

struct RuleCase {
    const char* name;
    Question question;
    QString message; // empty: the row passes
    int column;      // the cell the cursor is put on; -1 when it stays on the clicked row
};

Question plain(const QString& stem, const QString& answer) {
    Question q;
    q.stem1 = stem;
    q.answer = answer;
    return q;
}

Question textChoice(const QString& options, const QString& answer) {
    Question q = plain(u"下列哪个正确"_s, answer);
    q.stem2 = options;
    q.choice = true;
    q.type = u"选择"_s;
    return q;
}

Question pictureChoice(const QString& answer) {
    Question q = plain(u"看图选择"_s, answer);
    q.choice = true;
    q.stemPicture = true;
    q.type = u"选择"_s;
    return q;
}

Question with(Question q, const std::function<void(Question&)>& change) {
    change(q);
    return q;
}

const QString kPickerMessage = u"选择栏选中表示为选择型题目，题图或题文2应放置题目选项！"_s;
const QString kFirstLabel = u"题目选项放在题图里时答案编号只能为大写字母或带圈数字！"_s;
const QString kOneKind = u"题目选项放在题图里时答案编号只能大写字母或带圈数字一种！"_s;

const RuleCase kRuleCases[] = {
    {"complete question", plain(u"1+1=2"_s, u"对"_s), {}, 0},
    {"stem picture only", with(plain({}, u"对"_s), [](Question& q) { q.stemPicture = true; }),
     u"请输入题目！"_s, 3},
    {"stem text 2 only counts", with(plain({}, u"对"_s), [](Question& q) { q.stem2 = u"题"_s; }), {}, 0},
    {"no type", with(plain(u"题"_s, u"对"_s), [](Question& q) { q.type.clear(); }), u"请选择题型！"_s, 8},
    {"no answer", plain(u"题"_s, {}), u"请输入答案！"_s, 6},
    {"placeholder answer", plain(u"题"_s, u"请输入答案"_s), u"请完善答案！"_s, 6},
    {"title without answer",
     with(plain(u"阅读材料"_s, {}),
          [](Question& q) {
              q.groupName = u"阅读"_s;
              q.groupNumber = u"0"_s;
          }),
     {},
     0},
    {"number 00 is no title",
     with(plain(u"阅读材料"_s, {}),
          [](Question& q) {
              q.groupName = u"阅读"_s;
              q.groupNumber = u"00"_s;
          }),
     u"请输入答案！"_s, 6},
    {"choice without options", with(plain(u"题"_s, u"A"_s), [](Question& q) { q.choice = true; }),
     kPickerMessage, 5},
    {"one text option", textChoice(u"甲"_s, u"甲"_s), u"题目选项错误！"_s, 5},
    {"equal options", textChoice(u"甲\r\n乙\r\n甲"_s, u"甲"_s), u"题目选项重复！"_s, 5},
    {"trailing break adds no option", textChoice(u"甲\r\n乙\r\n"_s, u"乙"_s), {}, 0},
    {"blank line is an empty option", textChoice(u"甲\r\n\r\n乙"_s, u"甲"_s), {}, 0},
    {"choice title without answer",
     with(textChoice(u"甲\r\n乙"_s, {}),
          [](Question& q) {
              q.groupName = u"组"_s;
              q.groupNumber = u"0"_s;
          }),
     u"请完善答案！"_s, 6},
    {"same answer twice", textChoice(u"甲\r\n乙"_s, u"甲\r\n甲"_s), u"答案选项重复！"_s, 6},
    {"repeat found before excess", textChoice(u"甲\r\n乙"_s, u"甲\r\n乙\r\n甲"_s), u"答案选项重复！"_s, 6},
    {"more answers than options", textChoice(u"甲\r\n乙"_s, u"甲\r\n乙\r\n丙"_s),
     u"答案选项数不能多于题目选项数！"_s, 6},
    {"answer outside the options", textChoice(u"甲\r\n乙"_s, u"丙"_s),
     u"答案选项内容不能超出题目选项内容！"_s, -1},
    {"two of the options", textChoice(u"甲\r\n乙\r\n丙"_s, u"丙\r\n甲"_s), {}, 0},
    {"picture letter", pictureChoice(u"A"_s), {}, 0},
    {"picture letters", pictureChoice(u"BD"_s), {}, 0},
    {"picture circled numbers", pictureChoice(u"①②"_s), {}, 0},
    {"letter then circled", pictureChoice(u"A①"_s), kOneKind, 6},
    {"circled then letter", pictureChoice(u"①A"_s), kOneKind, 6},
    {"space between letters", pictureChoice(u"A B"_s), kOneKind, 6},
    {"J is no label", pictureChoice(u"J"_s), kFirstLabel, 6},
    {"picture and text options: text rules",
     with(textChoice(u"甲\r\n乙"_s, u"A"_s), [](Question& q) { q.stemPicture = true; }),
     u"答案选项内容不能超出题目选项内容！"_s, -1},
};

class RowRules : public EditorFixture, public ::testing::WithParamInterface<RuleCase> {};

} // namespace

// The row is left by a click on another row: a failing rule reports, makes the row
// current again and puts the cursor on its cell; the answer-contents rule only
// reports. Nothing is written either way.
TEST_P(RowRules, LeavingTheRowChecksTheRulesInOrder) {
    const RuleCase& rule = GetParam();
    const qint32 id = addRecord(rule.question);
    addRecord(plain(u"另一题"_s, u"错"_s));
    openEditor();
    const int row = rowOf(id);
    const int other = row == 1 ? 2 : 1;
    click(row, BankEditor::KnowledgeColumn);
    m_prompter.clear();
    click(other, BankEditor::TypeColumn);

    if (rule.message.isEmpty()) {
        EXPECT_TRUE(m_prompter.messages().isEmpty()) << m_prompter.messages().join(u' ').toStdString();
        EXPECT_EQ(editor().currentRow(), other);
        EXPECT_EQ(grid().cursorRow(), other);
    } else {
        EXPECT_EQ(m_prompter.messages(), QStringList{rule.message});
        if (rule.column >= 0) {
            EXPECT_EQ(editor().currentRow(), row);
            EXPECT_EQ(grid().cursorRow(), row);
            EXPECT_EQ(grid().cursorColumn(), rule.column);
            EXPECT_EQ(grid().selectionStartRow(), row);
            EXPECT_EQ(grid().selectionEndColumn(), rule.column);
        } else {
            EXPECT_EQ(editor().currentRow(), other);
            EXPECT_EQ(grid().cursorRow(), other);
        }
    }
    EXPECT_EQ(editor().validateQuestionRow(0), true);
    expectBankMatchesGrid();
}

INSTANTIATE_TEST_SUITE_P(Editor, RowRules, ::testing::ValuesIn(kRuleCases),
                         [](const ::testing::TestParamInfo<RuleCase>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

class DuplicateCheck : public EditorFixture {};

// A duplicate holds the user on its row (the first click leaves row 1, where the
// cursor starts).
TEST_F(DuplicateCheck, JoinedStemTextsAndAnswerMakeADuplicate) {
    Question first = plain(u"ab"_s, u"对"_s);
    first.stem2 = u"c"_s;
    Question second = plain(u"a"_s, u"对"_s);
    second.stem2 = u"bc"_s;
    const qint32 a = addRecord(first);
    const qint32 b = addRecord(second);
    const qint32 c = addRecord(plain(u"abc"_s, u"其他"_s));
    openEditor();
    ASSERT_EQ(rowOf(a), 1);

    click(1, BankEditor::AnswerColumn);
    click(rowOf(c), BankEditor::TypeColumn);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"试题重复！"_s});
    EXPECT_EQ(editor().currentRow(), 1);
    EXPECT_EQ(grid().cursorRow(), 1);
    EXPECT_EQ(grid().cursorColumn(), BankEditor::StemText1Column);
    // Stay: the click's column is not taken.
    EXPECT_EQ(editor().currentColumn(), BankEditor::AnswerColumn);

    // Another answer makes it no duplicate; the check follows the edit.
    m_prompter.clear();
    EXPECT_TRUE(editInDialog(1, BankEditor::AnswerColumn, u"错"_s));
    click(rowOf(c), BankEditor::TypeColumn);
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    EXPECT_EQ(editor().currentRow(), rowOf(c));

    // Made equal to the first question through its own answer: caught again.
    EXPECT_TRUE(editInDialog(rowOf(c), BankEditor::AnswerColumn, u"错"_s));
    click(rowOf(b), BankEditor::TypeColumn);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"试题重复！"_s});
    EXPECT_EQ(editor().currentRow(), rowOf(c));
    expectBankMatchesGrid();
}

TEST_F(DuplicateCheck, ComparesExactlyAndTellsPicturesApart) {
    Question upper = plain(u"ABC"_s, u"对"_s);
    upper.stemPicture = true;
    addRecord(upper);
    const qint32 lower = addRecord(plain(u"abc"_s, u"对"_s));
    const qint32 same = addRecord(plain(u"ABC"_s, u"对"_s));
    const qint32 pictured = addRecord(upper);
    openEditor();

    click(1, BankEditor::TypeColumn);
    click(rowOf(lower), BankEditor::TypeColumn);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"试题重复！"_s});
    EXPECT_TRUE(editor().isDuplicate(rowOf(pictured)));
    EXPECT_FALSE(editor().isDuplicate(rowOf(same)));
    EXPECT_FALSE(editor().isDuplicate(rowOf(lower)));
}

// A row failing a rule is reported but not held: the duplicate check is not run.
TEST_F(DuplicateCheck, RuleFailureComesFirstAndDoesNotHoldTheUser) {
    addRecord(plain(u"题"_s, {}));
    addRecord(plain(u"题"_s, {}));
    openEditor();
    click(1, BankEditor::TypeColumn);
    click(2, BankEditor::TypeColumn);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"请输入答案！"_s});
    EXPECT_EQ(editor().checkRowBeforeLeaving(1), BankEditor::Leave::Proceed);
}
