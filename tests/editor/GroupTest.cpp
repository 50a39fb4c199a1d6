// Question groups: order, membership through 分组号 and 分组名, the effects of a
// title's 题型, 难度 and 屏蔽 on its group, and how a title's score follows.
#include <functional>

#include "EditorFixture.h"

#include "editor/NewGroupNameCheck.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;
using namespace helan;
using namespace helan::test;

namespace {

using Q = QuestionRecord;
constexpr int kName = BankEditor::GroupNameColumn;
constexpr int kNumber = BankEditor::GroupNumberColumn;
constexpr int kScore = BankEditor::ScoreColumn;

Question member(const QString& group, const QString& number, const QString& stem, int score) {
    Question q;
    q.groupName = group;
    q.groupNumber = number;
    q.stem1 = stem;
    q.answer = number == u"0"_s ? QString() : u"答"_s + stem;
    q.score = score;
    q.difficulty = 2;
    return q;
}

Question single(const QString& stem, int score = 4) {
    Question q;
    q.stem1 = stem;
    q.answer = u"答"_s + stem;
    q.score = score;
    q.difficulty = 2;
    return q;
}

// Group 阅读: title 10 = sub-questions 1 (3) + 2 (7); group 完形: title 5 = 1 (5);
// two ungrouped questions with scores 4 and 6.
class Groups : public EditorFixture {
protected:
    void build() {
        m_title = addRecord(member(u"阅读"_s, u"0"_s, u"阅读材料"_s, 10));
        m_sub1 = addRecord(member(u"阅读"_s, u"1"_s, u"第一问"_s, 3));
        m_sub2 = addRecord(member(u"阅读"_s, u"2"_s, u"第二问"_s, 7));
        m_other = addRecord(member(u"完形"_s, u"0"_s, u"完形材料"_s, 5));
        m_otherSub = addRecord(member(u"完形"_s, u"1"_s, u"完形一"_s, 5));
        m_single = addRecord(single(u"单题"_s, 4));
        m_single2 = addRecord(single(u"另一单题"_s, 6));
        openEditor();
    }
    int score(qint32 id) const { return number(rowOf(id), kScore); }
    QString names() const {
        QStringList out;
        for (int r = 1; r < m_editor->grid().rowCount(); ++r)
            out << text(r, BankEditor::StemText1Column);
        return out.join(u',');
    }
    qint32 m_title = 0, m_sub1 = 0, m_sub2 = 0, m_other = 0, m_otherSub = 0, m_single = 0, m_single2 = 0;
};

} // namespace

TEST_F(Groups, LoadPutsTitlesFirstAndNumbersInNumericOrder) {
    addRecord(single(u"无组一"_s));
    addRecord(member(u"阅读"_s, u"10"_s, u"十"_s, 1));
    addRecord(member(u"阅读"_s, u"2"_s, u"二"_s, 1));
    addRecord(member(u"阅读"_s, u"0"_s, u"题"_s, 2));
    addRecord(single(u"无组二"_s));
    addRecord(member(u"阅读"_s, u"1"_s, u"一"_s, 0));
    openEditor();
    EXPECT_EQ(grid().rowCount(), 7);
    QStringList order;
    for (int r = 1; r < 7; ++r)
        order << text(r, BankEditor::StemText1Column);
    EXPECT_EQ(order, (QStringList{u"题"_s, u"一"_s, u"二"_s, u"十"_s, u"无组一"_s, u"无组二"_s}));
    EXPECT_EQ(editor().questionCount(), 3);
    EXPECT_EQ(editor().caption(), u"题库编辑 —— 语文（共 3 题）"_s);
}

TEST_F(Groups, AJoinedQuestionTakesNumberOneAndTheGroupKeepsNumericOrder) {
    addRecord(member(u"阅读"_s, u"10"_s, u"十"_s, 1));
    addRecord(member(u"阅读"_s, u"0"_s, u"题"_s, 2));
    const qint32 joining = addRecord(single(u"新"_s, 2));
    addRecord(member(u"阅读"_s, u"2"_s, u"二"_s, 1));
    openEditor();
    EXPECT_TRUE(editInDialog(rowOf(joining), kName, u"阅读"_s));
    QStringList order;
    for (int r = 1; r < grid().rowCount(); ++r)
        order << text(r, BankEditor::StemText1Column);
    EXPECT_EQ(order, (QStringList{u"题"_s, u"新"_s, u"二"_s, u"十"_s}));
    EXPECT_EQ(number(1, kScore), 4);
    EXPECT_EQ(editor().questionCount(), 1);
    expectBankMatchesGrid();
}

TEST_F(Groups, JoiningPutsTheQuestionIntoItsGroupAndCountsItOut) {
    build();
    EXPECT_EQ(editor().caption(), u"题库编辑 —— 语文（共 4 题）"_s);
    EXPECT_TRUE(editInDialog(rowOf(m_single), kName, u"阅 读"_s));
    EXPECT_EQ(text(rowOf(m_single), kName), u"阅读"_s);
    EXPECT_EQ(text(rowOf(m_single), kNumber), u"1"_s);
    EXPECT_EQ(score(m_title), 14);
    EXPECT_EQ(editor().caption(), u"题库编辑 —— 语文（共 3 题）"_s);
    // In group order: after the title and the other number 1, and still current.
    EXPECT_EQ(rowOf(m_single), rowOf(m_title) + 2);
    EXPECT_EQ(editor().currentRow(), rowOf(m_single));

    // Leaving by clearing 分组号 takes the score back and counts it in again.
    m_prompter.answerOkCancel(true, u"确定要删除该试题的分组吗？"_s);
    ASSERT_TRUE(editCell(rowOf(m_single), kNumber, QString()));
    EXPECT_EQ(score(m_title), 10);
    EXPECT_EQ(text(rowOf(m_single), kName), QString());
    EXPECT_EQ(editor().caption(), u"题库编辑 —— 语文（共 4 题）"_s);
    EXPECT_TRUE(m_prompter.done());
    expectBankMatchesGrid();
}

TEST_F(Groups, JoiningRefusesAnotherTypeAndAsksAboutDifficulty) {
    build();
    const int row = rowOf(m_single);
    ASSERT_TRUE(editCell(row, BankEditor::TypeColumn, u"填空"_s));
    EXPECT_FALSE(editInDialog(row, kName, u"阅读"_s));
    EXPECT_EQ(m_prompter.messages(), QStringList{u"当前题型与分组 阅读 题型不一致！"_s});
    EXPECT_EQ(text(row, kName), QString());
    ASSERT_TRUE(editCell(row, BankEditor::TypeColumn, u"判断"_s));
    ASSERT_TRUE(editCell(row, BankEditor::DifficultyColumn, u"5"_s));

    m_prompter.answerOkCancel(false, u"将该题加入分组 阅读 会改变该题难度，确定加入吗？"_s);
    EXPECT_FALSE(editInDialog(row, kName, u"阅读"_s));
    EXPECT_EQ(text(row, kName), QString());
    m_prompter.answerOkCancel(true, u"将该题加入分组 阅读 会改变该题难度，确定加入吗？"_s);
    EXPECT_TRUE(editInDialog(row, kName, u"阅读"_s));
    EXPECT_EQ(text(rowOf(m_single), BankEditor::DifficultyColumn), u"2"_s);
    EXPECT_TRUE(m_prompter.done());
    expectBankMatchesGrid();
}

TEST_F(Groups, CreatingATitleDropsTheAnswerAndRenamingCarriesTheName) {
    build();
    m_prompter.answerOkCancel(false);
    EXPECT_FALSE(editInDialog(rowOf(m_single), kName, u"听力"_s));
    EXPECT_EQ(text(rowOf(m_single), kName), QString());
    m_prompter.answerOkCancel(
        true, u"将该题转为标题分组试题将删除该题的答案和答案图片，确定将该题转为标题分组试题吗？"_s);
    EXPECT_TRUE(editInDialog(rowOf(m_single), kName, u"听力"_s));
    const int row = rowOf(m_single);
    EXPECT_EQ(text(row, kNumber), u"0"_s);
    EXPECT_EQ(text(row, BankEditor::AnswerColumn), QString());
    EXPECT_EQ(text(row, kScore), u"0"_s);
    EXPECT_EQ(editor().questionCount(), 4);

    EXPECT_TRUE(editInDialog(rowOf(m_title), kName, u"完形"_s));
    EXPECT_EQ(m_prompter.messages().last(), u"新分组名的标题试题已经存在！"_s);
    m_prompter.answerOkCancel(true, u"确定要更改标题分组名吗？"_s);
    EXPECT_TRUE(editInDialog(rowOf(m_title), kName, u"阅读理解"_s));
    for (const qint32 id : {m_title, m_sub1, m_sub2})
        EXPECT_EQ(text(rowOf(id), kName), u"阅读理解"_s);
    EXPECT_TRUE(m_prompter.done());
    expectBankMatchesGrid();
}

TEST_F(Groups, ATitleWithSubQuestionsKeepsItsNameAndNumber) {
    build();
    ASSERT_TRUE(editCell(rowOf(m_title), kNumber, QString()));
    EXPECT_TRUE(editInDialog(rowOf(m_title), kName, QString()));
    EXPECT_EQ(m_prompter.messages(), (QStringList{u"不能删除带有子分组试题的标题分组序号！"_s,
                                                  u"不能删除带有子分组试题的标题分组名！"_s}));
    EXPECT_EQ(text(rowOf(m_title), kNumber), u"0"_s);
    EXPECT_EQ(text(rowOf(m_title), kName), u"阅读"_s);

    // Once its only sub-question has left, the title may go: it becomes a question
    // with an answer still to write.
    EXPECT_TRUE(editInDialog(rowOf(m_otherSub), kName, QString()));
    EXPECT_EQ(score(m_other), 0);
    m_prompter.answerOkCancel(true, u"确定要删除该试题分组吗？"_s);
    ASSERT_TRUE(editCell(rowOf(m_other), kNumber, QString()));
    const int row = rowOf(m_other);
    EXPECT_EQ(text(row, kName), QString());
    EXPECT_EQ(text(row, BankEditor::AnswerColumn), u"请输入答案"_s);
    EXPECT_EQ(text(row, kScore), u"0"_s);
    EXPECT_EQ(editor().questionCount(), 5);
    EXPECT_TRUE(m_prompter.done());
    expectBankMatchesGrid();
}

TEST_F(Groups, GroupNumberRulesOnMembers) {
    build();
    ASSERT_TRUE(editCell(rowOf(m_sub2), kNumber, u"0"_s));
    ASSERT_TRUE(editCell(rowOf(m_title), kNumber, u"3"_s));
    EXPECT_EQ(m_prompter.messages(), (QStringList{u"已存在标题分组序号！"_s, u"不能更改标题分组序号！"_s}));
    ASSERT_TRUE(editCell(rowOf(m_sub2), kNumber, u"07"_s));
    EXPECT_EQ(text(rowOf(m_sub2), kNumber), u"7"_s);
    EXPECT_EQ(field(m_sub2, Q::GroupNumber).toString(), u"7"_s);
    m_prompter.answerOkCancel(false, u"确定要删除该试题的分组吗？"_s);
    ASSERT_TRUE(editCell(rowOf(m_sub2), kNumber, QString()));
    EXPECT_EQ(text(rowOf(m_sub2), kNumber), u"7"_s);
    EXPECT_TRUE(m_prompter.done());
    expectBankMatchesGrid();
}

TEST_F(Groups, TitleTypeAndDifficultyGoToTheWholeGroup) {
    build();
    m_prompter.answerOkCancel(true, u"确定要更改该标题分组试题的题型吗？"_s);
    ASSERT_TRUE(editCell(rowOf(m_title), BankEditor::TypeColumn, u"问答"_s));
    m_prompter.answerOkCancel(true, u"确定要更改该分组试题分组的难度吗？"_s);
    ASSERT_TRUE(editCell(rowOf(m_title), BankEditor::DifficultyColumn, u"6"_s));
    for (const qint32 id : {m_title, m_sub1, m_sub2}) {
        EXPECT_EQ(text(rowOf(id), BankEditor::TypeColumn), u"问答"_s);
        EXPECT_EQ(field(id, Q::Difficulty).toInt(), 6);
    }
    EXPECT_EQ(text(rowOf(m_otherSub), BankEditor::TypeColumn), u"判断"_s);

    m_prompter.answerOkCancel(false, u"确定要更改该标题分组试题的题型吗？"_s);
    ASSERT_TRUE(editCell(rowOf(m_title), BankEditor::TypeColumn, u"填空"_s));
    EXPECT_EQ(text(rowOf(m_title), BankEditor::TypeColumn), u"问答"_s);
    ASSERT_TRUE(editCell(rowOf(m_sub1), BankEditor::TypeColumn, u"填空"_s));
    ASSERT_TRUE(editCell(rowOf(m_sub1), BankEditor::DifficultyColumn, u"1"_s));
    ASSERT_TRUE(editCell(rowOf(m_title), BankEditor::TypeColumn, u"作文"_s));
    EXPECT_EQ(m_prompter.messages(),
              (QStringList{u"不能改变非标题分组试题的题型！"_s, u"不能更改非标题分组试题的难度值！"_s,
                           u"请直接选择题型！"_s}));
    EXPECT_EQ(text(rowOf(m_sub1), BankEditor::DifficultyColumn), u"6"_s);
    EXPECT_TRUE(m_prompter.done());
    expectBankMatchesGrid();
}

class TitleScores;

struct ScoreCase {
    const char* name;
    std::function<void(TitleScores&)> act;
    int titleScore; // 阅读's title afterwards (10 before)
    int otherScore; // 完形's title afterwards (5 before)
};

class TitleScores : public Groups, public ::testing::WithParamInterface<ScoreCase> {
public:
    int row(qint32 id) const { return rowOf(id); }
    qint32 title() const { return m_title; }
    qint32 sub1() const { return m_sub1; }
    qint32 sub2() const { return m_sub2; }
    qint32 single() const { return m_single; }
    void edit(qint32 id, int column, const QVariant& value) {
        ASSERT_TRUE(editCell(rowOf(id), column, value));
    }
    void dialog(qint32 id, int column, const QString& text) { editInDialog(rowOf(id), column, text); }
    void answerOk() { m_prompter.answerOkCancel(true); }
    // 定分 cannot be ticked on a title in the grid; it comes with imported data.
    void fixTitleScore() {
        ASSERT_TRUE(m_store.setCurrent(course()));
        ASSERT_TRUE(m_store.goToRecordId(m_title));
        ASSERT_TRUE(m_store.write(Q::FixedScore, true));
        grid().setChecked(rowOf(m_title), BankEditor::FixedScoreColumn, true);
    }
};

// Each row of the table of how a title's score moves.
const ScoreCase kScoreCases[] = {
    {"joins", [](TitleScores& g) { g.dialog(g.single(), kName, u"阅读"_s); }, 14, 5},
    // A title never carries 定分: one that came with it loses it, and joiners count.
    {"joins a fixed-score title",
     [](TitleScores& g) {
         g.fixTitleScore();
         g.dialog(g.single(), kName, u"阅读"_s);
     },
     14, 5},
    {"leaves by number",
     [](TitleScores& g) {
         g.answerOk();
         g.edit(g.sub1(), kNumber, QString());
     },
     7, 5},
    {"leaves by name", [](TitleScores& g) { g.dialog(g.sub2(), kName, QString()); }, 3, 5},
    {"moves to another group",
     [](TitleScores& g) {
         g.answerOk();
         g.dialog(g.sub2(), kName, u"完形"_s);
     },
     3, 12},
    {"moves to a new group",
     [](TitleScores& g) {
         g.answerOk();
         g.answerOk();
         g.dialog(g.sub2(), kName, u"听力"_s);
     },
     3, 5},
    {"score changes", [](TitleScores& g) { g.edit(g.sub1(), kScore, 8); }, 15, 5},
    {"blocked score changes",
     [](TitleScores& g) {
         g.edit(g.sub1(), BankEditor::BlockedColumn, true);
         g.edit(g.sub1(), kScore, 8);
     },
     7, 5},
    {"blocked", [](TitleScores& g) { g.edit(g.sub2(), BankEditor::BlockedColumn, true); }, 3, 5},
    {"blocked then unblocked",
     [](TitleScores& g) {
         g.edit(g.sub2(), BankEditor::BlockedColumn, true);
         g.edit(g.sub2(), BankEditor::BlockedColumn, false);
     },
     10, 5},
    {"title blocked", [](TitleScores& g) { g.edit(g.title(), BankEditor::BlockedColumn, true); }, 0, 5},
    {"sub of a blocked title stays blocked",
     [](TitleScores& g) {
         g.edit(g.title(), BankEditor::BlockedColumn, true);
         g.edit(g.sub1(), BankEditor::BlockedColumn, false);
     },
     0, 5},
    {"title unblocked counts every sub",
     [](TitleScores& g) {
         g.edit(g.sub1(), BankEditor::BlockedColumn, true);
         g.edit(g.title(), BankEditor::BlockedColumn, true);
         g.edit(g.title(), BankEditor::BlockedColumn, false);
     },
     10, 5},
};

TEST_P(TitleScores, FollowsItsSubQuestions) {
    build();
    GetParam().act(*this);
    EXPECT_EQ(score(m_title), GetParam().titleScore);
    EXPECT_EQ(score(m_other), GetParam().otherScore);
    EXPECT_EQ(field(m_title, Q::Score).toInt(), GetParam().titleScore);
    EXPECT_TRUE(m_prompter.done());
    expectBankMatchesGrid();
}

INSTANTIATE_TEST_SUITE_P(Editor, TitleScores, ::testing::ValuesIn(kScoreCases),
                         [](const ::testing::TestParamInfo<ScoreCase>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST_F(Groups, BlockingATitleBlocksItsGroupAndUnblockingFreesIt) {
    build();
    ASSERT_TRUE(editCell(rowOf(m_title), BankEditor::BlockedColumn, true));
    for (const qint32 id : {m_title, m_sub1, m_sub2}) {
        EXPECT_TRUE(grid().checked(rowOf(id), BankEditor::BlockedColumn));
        EXPECT_TRUE(field(id, Q::Blocked).toBool());
    }
    EXPECT_FALSE(grid().checked(rowOf(m_otherSub), BankEditor::BlockedColumn));
    ASSERT_TRUE(editCell(rowOf(m_title), BankEditor::BlockedColumn, false));
    for (const qint32 id : {m_title, m_sub1, m_sub2})
        EXPECT_FALSE(field(id, Q::Blocked).toBool());
    expectBankMatchesGrid();
}

TEST_F(Groups, UnderABlockedTitleASubQuestionsBoxGoesBack) {
    build();
    ASSERT_TRUE(editCell(rowOf(m_title), BankEditor::BlockedColumn, true));
    // Joined while the group was blocked, the question is not blocked itself.
    EXPECT_TRUE(editInDialog(rowOf(m_single), kName, u"阅读"_s));
    EXPECT_FALSE(grid().checked(rowOf(m_single), BankEditor::BlockedColumn));
    ASSERT_TRUE(editCell(rowOf(m_single), BankEditor::BlockedColumn, true));
    EXPECT_FALSE(grid().checked(rowOf(m_single), BankEditor::BlockedColumn));
    ASSERT_TRUE(editCell(rowOf(m_sub1), BankEditor::BlockedColumn, false));
    EXPECT_TRUE(grid().checked(rowOf(m_sub1), BankEditor::BlockedColumn));
    // A blocked title counts nothing, whoever joined it.
    EXPECT_EQ(score(m_title), 0);
    expectBankMatchesGrid();
}

TEST_F(Groups, TitleScoreIsNotTyped) {
    build();
    // The grid does not let it be edited; the rule holds even so.
    click(rowOf(m_title), kScore);
    grid().setEditingAllowed(true);
    ASSERT_TRUE(grid().editInPlace(rowOf(m_title), kScore, 30));
    EXPECT_EQ(score(m_title), 10);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"不能更改标题分组试题分值！"_s});
    expectBankMatchesGrid();
}

TEST_F(Groups, NewGroupNameDialogRefusesNamesInUse) {
    build();
    NewGroupNameCheck check(grid(), m_prompter);
    EXPECT_FALSE(check.accept(QString()));
    EXPECT_FALSE(check.accept(u"阅读"_s));
    EXPECT_FALSE(check.accept(u"完形"_s));
    EXPECT_EQ(m_prompter.messages(),
              (QStringList{u"分组名不能为空！"_s, u"该分组名已经存在！"_s, u"该分组名已经存在！"_s}));
    EXPECT_TRUE(check.accept(u"听力"_s));
    EXPECT_EQ(check.chosenGroupName(), u"听力"_s);
    m_prompter.answerOkCancel(false, u"确定取消更改源分组名并跳过该题吗"_s);
    EXPECT_FALSE(check.cancel());
    m_prompter.answerOkCancel(true);
    EXPECT_TRUE(check.cancel());
    EXPECT_EQ(check.chosenGroupName(), u"听力"_s);
}
