// Adding, deleting and copying questions, and the check made when the editor closes.
#include "EditorFixture.h"

#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;
using namespace helan;
using namespace helan::test;

namespace {

using Q = QuestionRecord;

Question single(const QString& stem, int score = 4) {
    Question q;
    q.stem1 = stem;
    q.answer = u"答"_s + stem;
    q.score = score;
    return q;
}

Question member(const QString& group, const QString& number, const QString& stem, int score) {
    Question q = single(stem, score);
    q.groupName = group;
    q.groupNumber = number;
    if (number == u"0"_s)
        q.answer.clear();
    return q;
}

Question pictureOption(const QString& stem, const QString& answer) {
    Question q = single(stem);
    q.choice = true;
    q.stemPicture = true;
    q.answer = answer;
    q.type = u"选择"_s;
    return q;
}

class Rows : public EditorFixture {
protected:
    QString caption(int count) const { return u"题库编辑 —— 语文（共 %1 题）"_s.arg(count); }
};

} // namespace

TEST_F(Rows, AddingWithNoCurrentRowPutsTheQuestionFirstAndOpensTheStemDialog) {
    addRecord(single(u"甲"_s));
    openEditor();
    EXPECT_FALSE(editor().deleteEnabled());
    editor().addQuestion();
    EXPECT_EQ(grid().rowCount(), 3);
    EXPECT_EQ(editor().currentRow(), 1);
    EXPECT_EQ(text(1, BankEditor::DifficultyColumn), u"1"_s);
    EXPECT_EQ(text(1, BankEditor::ScoreColumn), u"0"_s);
    EXPECT_EQ(grid().cursorRow(), 1);
    EXPECT_EQ(grid().cursorColumn(), BankEditor::StemText1Column);
    EXPECT_TRUE(editor().deleteEnabled());
    EXPECT_EQ(editor().caption(), caption(2));
    EXPECT_EQ(textDialogsRequested(), 1);
    EXPECT_EQ(editor().dialogCaption(), u"编辑题文1"_s);
    EXPECT_EQ(field(idOf(1), Q::Difficulty).toInt(), 1);

    // Accepted unchanged, the empty question goes again and nothing is said.
    EXPECT_TRUE(editor().acceptTextDialog(QString()));
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    EXPECT_EQ(grid().rowCount(), 2);
    // The dialog has closed: a late accept writes into no other question.
    EXPECT_TRUE(editor().acceptTextDialog(u"新题"_s));
    EXPECT_EQ(field(idOf(1), Q::StemText1).toString(), u"甲"_s);
    expectBankMatchesGrid();

    editor().addQuestion();
    EXPECT_TRUE(editor().acceptTextDialog(u"新题"_s));
    EXPECT_EQ(field(idOf(2), Q::StemText1).toString(), u"新题"_s);
    expectBankMatchesGrid();
}

TEST_F(Rows, AddingBelowTheCurrentRowChecksTheRowFirst) {
    addRecord(single(u"甲"_s));
    addRecord(single(u"乙"_s));
    openEditor();
    click(1, BankEditor::TypeColumn);
    editor().addQuestion();
    EXPECT_EQ(editor().currentRow(), 2);
    EXPECT_EQ(text(3, BankEditor::StemText1Column), u"乙"_s);
    EXPECT_EQ(grid().rowCount(), 4);
    EXPECT_TRUE(editor().acceptTextDialog(u"丙"_s));

    // The new question has no type yet: leaving it puts the user back, and
    // adding below it is refused.
    click(3, BankEditor::AnswerColumn);
    EXPECT_EQ(editor().currentRow(), 2);
    EXPECT_EQ(grid().cursorColumn(), BankEditor::TypeColumn);
    editor().addQuestion();
    EXPECT_EQ(m_prompter.messages(), (QStringList{u"请选择题型！"_s, u"请选择题型！"_s}));
    EXPECT_EQ(grid().rowCount(), 4);
    EXPECT_EQ(editor().caption(), caption(3));
    expectBankMatchesGrid();
}

TEST_F(Rows, DeletingNeedsASelectionAndConfirmation) {
    openEditor();
    editor().deleteSelectedQuestions();
    EXPECT_EQ(m_prompter.messages(), QStringList{u"请选择试题！"_s});

    addRecord(single(u"甲"_s));
    editor().loadEditorGrid();
    click(1, 3);
    m_prompter.answerOkCancel(false, u"删除试题后将不能恢复，确定要删除所选试题吗"_s);
    editor().deleteSelectedQuestions();
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_TRUE(m_prompter.done());
    expectBankMatchesGrid();
}

TEST_F(Rows, DeletingSubQuestionsAdjustsTheTitleAndTheCount) {
    addRecord(member(u"阅读"_s, u"0"_s, u"材料"_s, 7));
    const qint32 sub1 = addRecord(member(u"阅读"_s, u"1"_s, u"一"_s, 3));
    addRecord(member(u"阅读"_s, u"2"_s, u"二"_s, 4));
    const qint32 alone = addRecord(single(u"单"_s));
    openEditor();
    EXPECT_EQ(editor().caption(), caption(2));

    // A selection with a title that still has a score is refused as a whole.
    grid().selectRange(1, 0, 2, 3);
    editor().deleteSelectedQuestions();
    EXPECT_EQ(m_prompter.messages(),
              QStringList{u"选择试题中包含带有子试题而不能被删除的标题试题，请重新选择！"_s});
    EXPECT_EQ(grid().rowCount(), 5);

    m_prompter.clear();
    m_prompter.answerOkCancel(true);
    click(rowOf(sub1), 3);
    editor().deleteSelectedQuestions();
    EXPECT_EQ(rowOf(sub1), 0);
    EXPECT_EQ(number(1, BankEditor::ScoreColumn), 4);
    EXPECT_EQ(editor().caption(), caption(2));
    EXPECT_EQ(editor().currentRow(), 1);

    m_prompter.answerOkCancel(true);
    click(rowOf(alone), 3);
    editor().deleteSelectedQuestions();
    EXPECT_EQ(editor().caption(), caption(1));
    expectBankMatchesGrid();
}

TEST_F(Rows, ATitleWithoutScoreIsDeletedAndItsSubQuestionsStay) {
    addRecord(member(u"阅读"_s, u"0"_s, u"材料"_s, 0));
    Question blocked = member(u"阅读"_s, u"1"_s, u"一"_s, 3);
    blocked.blocked = true;
    addRecord(blocked);
    openEditor();
    m_prompter.answerOkCancel(true);
    click(1, 3);
    editor().deleteSelectedQuestions();
    ASSERT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(text(1, BankEditor::GroupNameColumn), u"阅读"_s);
    EXPECT_EQ(editor().caption(), caption(0));
    expectBankMatchesGrid();
}

TEST_F(Rows, TheRowAboveTheDeletedBlockBecomesCurrent) {
    for (int i = 1; i <= 8; ++i)
        addRecord(single(QString::number(i)));
    openEditor();
    grid().selectRange(4, 3, 6, 3);
    m_prompter.answerOkCancel(true);
    editor().deleteSelectedQuestions();
    EXPECT_EQ(editor().currentRow(), 3);
    EXPECT_EQ(grid().cursorRow(), 3);
    EXPECT_EQ(grid().rowCount(), 6);

    grid().selectRange(1, 3, 3, 3);
    m_prompter.answerOkCancel(true);
    editor().deleteSelectedQuestions();
    EXPECT_EQ(editor().currentRow(), 1);
    EXPECT_EQ(text(1, BankEditor::StemText1Column), u"7"_s);
    EXPECT_TRUE(editor().deleteEnabled());

    grid().selectRange(1, 0, 2, 14);
    m_prompter.answerOkCancel(true);
    editor().deleteSelectedQuestions();
    EXPECT_EQ(editor().currentRow(), 0);
    EXPECT_FALSE(editor().deleteEnabled());
    EXPECT_EQ(editor().caption(), caption(0));
    expectBankMatchesGrid();
}

TEST_F(Rows, CopyingPutsTheCopyBelowWithItsGroupOrAlone) {
    addRecord(member(u"阅读"_s, u"0"_s, u"材料"_s, 3));
    const qint32 sub = addRecord(member(u"阅读"_s, u"2"_s, u"二"_s, 3));
    Question pictured = single(u"图题"_s);
    pictured.stemPicture = true;
    pictured.choice = true;
    const qint32 alone = addRecord(pictured);
    openEditor();
    EXPECT_EQ(editor().caption(), caption(2));

    click(rowOf(sub), 3);
    editor().copyQuestionBelow();
    EXPECT_EQ(editor().currentRow(), 3);
    EXPECT_EQ(text(3, BankEditor::GroupNameColumn), u"阅读"_s);
    EXPECT_EQ(text(3, BankEditor::GroupNumberColumn), u"2"_s);
    // The copied sub-question counts in its title's score.
    EXPECT_EQ(number(1, BankEditor::ScoreColumn), 6);
    EXPECT_EQ(editor().caption(), caption(2));

    // The copy is a duplicate and holds the user until it is changed.
    EXPECT_TRUE(editor().isDuplicate(3));
    EXPECT_TRUE(editInDialog(3, BankEditor::StemText1Column, u"二之二"_s));
    click(1, 3);
    editor().copyQuestionBelow();
    EXPECT_EQ(text(2, BankEditor::GroupNameColumn), QString());
    EXPECT_EQ(text(2, BankEditor::GroupNumberColumn), QString());
    EXPECT_EQ(editor().caption(), caption(3));
    EXPECT_TRUE(editInDialog(2, BankEditor::AnswerColumn, u"答"_s));

    click(rowOf(alone), 3);
    editor().copyQuestionBelow();
    const qint32 copy = idOf(editor().currentRow());
    EXPECT_NE(copy, alone);
    EXPECT_EQ(field(copy, Q::StemPictureData).toByteArray(), QByteArray("stem-picture"));
    EXPECT_TRUE(field(copy, Q::Choice).toBool());
    EXPECT_EQ(editor().caption(), caption(4));
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    expectBankMatchesGrid();
}

// One letter version and one circled version is what the guide asks for: no
// question then. Only a kind that is missing is asked for, by its name.
TEST_F(Rows, ClosingAsksOnlyForAMissingLabelKind) {
    addRecord(pictureOption(u"看图"_s, u"A"_s));
    addRecord(pictureOption(u"看图"_s, u"①"_s));
    addRecord(pictureOption(u"圈图"_s, u"②"_s));
    addRecord(pictureOption(u"字母图"_s, u"B"_s));
    addRecord(pictureOption(u"字母图"_s, u"C"_s));
    openEditor();
    const QString circled = u"题目 圈图 缺少备选的字母编号选项的试题，是否现在编辑完善？"_s;
    m_prompter.answerYesNo(true, circled);
    EXPECT_FALSE(editor().mayCloseEditor());
    EXPECT_EQ(grid().cursorColumn(), BankEditor::StemText1Column);
    EXPECT_EQ(text(editor().currentRow(), BankEditor::StemText1Column), u"圈图"_s);
    m_prompter.answerYesNo(false, circled);
    EXPECT_TRUE(editor().mayCloseEditor());
    EXPECT_TRUE(m_prompter.done());
}

TEST_F(Rows, ClosingNamesTheCircledKindWhenOnlyLettersExist) {
    addRecord(pictureOption(u"看图"_s, u"A"_s));
    addRecord(pictureOption(u"看图"_s, u"①"_s));
    addRecord(pictureOption(u"看图"_s, u"②"_s));
    addRecord(pictureOption(u"字母图"_s, u"C"_s));
    openEditor();
    m_prompter.answerYesNo(false, u"题目 字母图 缺少备选的数字编号选项的试题，是否现在编辑完善？"_s);
    EXPECT_TRUE(editor().mayCloseEditor());
    EXPECT_TRUE(m_prompter.done());
}

TEST_F(Rows, ClosingOnADuplicateRowStaysOpen) {
    addRecord(single(u"甲"_s));
    addRecord(single(u"甲"_s));
    openEditor();
    click(1, 3);
    EXPECT_FALSE(editor().mayCloseEditor());
    EXPECT_EQ(m_prompter.messages(), QStringList{u"试题重复！"_s});
}
