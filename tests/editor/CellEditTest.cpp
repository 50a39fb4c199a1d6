// Editing cells in place and through the text dialog: the rule of each column,
// what reaches the record, and the one message of a refusal.
#include "EditorFixture.h"

#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;
using namespace helan;
using namespace helan::test;

namespace {

using Q = QuestionRecord;

struct InPlaceCase {
    const char* name;
    int column;
    QVariant typed;
    QString cellAfter; // text of the cell after the edit
    QString message;   // empty: none
    bool stored;       // the record took the cell's value
};

// The question edited: 判断, 难度 3, 分值 5, ungrouped.
const InPlaceCase kInPlaceCases[] = {
    {"difficulty 12", 9, u"12"_s, u"3"_s, u"难度值从1到9，可直接选择！"_s, false},
    {"difficulty letters", 9, u"ab"_s, u"3"_s, u"难度值从1到9，可直接选择！"_s, false},
    {"difficulty 0", 9, u"0"_s, u"3"_s, u"难度值从1到9，可直接选择！"_s, false},
    {"difficulty unchanged", 9, u"3"_s, u"3"_s, {}, false},
    {"difficulty 9", 9, u"9"_s, u"9"_s, {}, true},
    {"difficulty 1", 9, u"1"_s, u"1"_s, {}, true},
    {"score unchanged", 10, 5, u"5"_s, {}, false},
    {"score 0", 10, 0, u"5"_s, u"分值范围为1-100整数！"_s, false},
    {"score 101", 10, 101, u"5"_s, u"分值范围为1-100整数！"_s, false},
    {"score negative", 10, -2, u"5"_s, u"分值范围为1-100整数！"_s, false},
    {"score 1", 10, 1, u"1"_s, {}, true},
    {"score 100", 10, 100, u"100"_s, {}, true},
    {"type from the library", 8, u"填空"_s, u"填空"_s, {}, true},
    {"type unknown", 8, u"作文"_s, u"判断"_s, u"请直接选择题型！"_s, false},
    {"type cleared", 8, QString(), u"判断"_s, {}, false},
    {"type unchanged", 8, u"判断"_s, u"判断"_s, {}, false},
    {"group number alone", 2, u"5"_s, QString(), u"不能单独添加标题分组序号！"_s, false},
    {"group number title alone", 2, u"0"_s, QString(), u"不能单独添加标题分组序号！"_s, false},
    {"group number letters", 2, u"ab"_s, QString(), u"只能输入0-99的数字！"_s, false},
    {"group number 00", 2, u"00"_s, QString(), u"只能输入0-99的数字！"_s, false},
    {"group number 100", 2, u"100"_s, QString(), u"只能输入0-99的数字！"_s, false},
    {"choice ticked", 11, true, u"真"_s, {}, true},
    {"fixed score ticked", 12, true, u"真"_s, {}, true},
    {"blocked ticked", 13, true, u"真"_s, {}, true},
};

class InPlaceEdits : public EditorFixture, public ::testing::WithParamInterface<InPlaceCase> {};

Question ungrouped() {
    Question q;
    q.stem1 = u"地球是圆的"_s;
    q.answer = u"对"_s;
    q.difficulty = 3;
    q.score = 5;
    return q;
}

} // namespace

TEST_P(InPlaceEdits, EachColumnAppliesItsRule) {
    const InPlaceCase& edit = GetParam();
    const qint32 id = addRecord(ungrouped());
    openEditor();
    const QVariant before = field(id, edit.column + 1);

    ASSERT_TRUE(editCell(1, edit.column, edit.typed));
    EXPECT_EQ(text(1, edit.column), edit.cellAfter);
    EXPECT_EQ(m_prompter.messages(), edit.message.isEmpty() ? QStringList() : QStringList{edit.message});
    const QVariant after = field(id, edit.column + 1);
    if (edit.stored)
        EXPECT_NE(after, before);
    else
        EXPECT_EQ(after, before);
    expectBankMatchesGrid();
}

INSTANTIATE_TEST_SUITE_P(Editor, InPlaceEdits, ::testing::ValuesIn(kInPlaceCases),
                         [](const ::testing::TestParamInfo<InPlaceCase>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

class CellEditing : public EditorFixture {};

TEST_F(CellEditing, EditingInPlaceOnlyWhereTheColumnAllowsIt) {
    Question title = ungrouped();
    title.groupName = u"阅读"_s;
    title.groupNumber = u"0"_s;
    title.answer.clear();
    addRecord(title);
    openEditor();
    for (const int column : {0, 1, 3, 4, 5, 6, 7}) {
        click(1, column);
        EXPECT_FALSE(grid().editingAllowed()) << column;
    }
    for (const int column : {2, 8, 9, 11, 12, 13}) {
        click(1, column);
        EXPECT_TRUE(grid().editingAllowed()) << column;
    }
    // A title's score is computed, never typed.
    click(1, BankEditor::ScoreColumn);
    EXPECT_FALSE(grid().editingAllowed());
    // A block selection does not start an edit.
    Q_EMIT grid().events().leftButtonDown(0, 0, Qt::NoModifier);
    grid().setCursor(1, 9);
    grid().selectRange(1, 8, 1, 9);
    Q_EMIT grid().events().leftButtonUp(0, 0, Qt::NoModifier);
    EXPECT_FALSE(grid().editingAllowed());
}

// The cursor moved by the keyboard is not the current cell: no edit starts there.
TEST_F(CellEditing, OnlyTheCurrentCellIsEdited) {
    addRecord(ungrouped());
    addRecord(ungrouped());
    openEditor();
    click(1, BankEditor::DifficultyColumn);
    EXPECT_FALSE(grid().editInPlace(2, BankEditor::DifficultyColumn, u"7"_s));
    EXPECT_EQ(text(2, BankEditor::DifficultyColumn), u"3"_s);
    EXPECT_TRUE(grid().editInPlace(1, BankEditor::DifficultyColumn, u"7"_s));
    EXPECT_EQ(text(1, BankEditor::DifficultyColumn), u"7"_s);
    expectBankMatchesGrid();
}

TEST_F(CellEditing, EmptyTypeTakesTheLibrarysFirst) {
    Question q = ungrouped();
    q.type.clear();
    const qint32 id = addRecord(q);
    openEditor();
    ASSERT_TRUE(editCell(1, BankEditor::TypeColumn, QString()));
    EXPECT_EQ(text(1, BankEditor::TypeColumn), u"判断"_s);
    EXPECT_EQ(field(id, Q::Type).toString(), u"判断"_s);
    EXPECT_EQ(editor().typeNames(), (QStringList{u"判断"_s, u"选择"_s, u"填空"_s, u"名词"_s, u"问答"_s}));
    expectBankMatchesGrid();
}

TEST_F(CellEditing, ChoiceAndFixedScoreCannotBeTickedOnATitle) {
    Question title = ungrouped();
    title.groupName = u"阅读"_s;
    title.groupNumber = u"0"_s;
    title.answer.clear();
    const qint32 id = addRecord(title);
    openEditor();
    for (const int column : {11, 12}) {
        ASSERT_TRUE(editCell(1, column, true));
        EXPECT_FALSE(grid().checked(1, column));
        EXPECT_FALSE(field(id, column + 1).toBool());
    }
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    expectBankMatchesGrid();
}

TEST_F(CellEditing, DeleteKeyIsSwallowedAndEditBeginClearsTheStatus) {
    addRecord(ungrouped());
    openEditor();
    EXPECT_TRUE(grid().events().offerKey(Qt::Key_Delete, Qt::NoModifier));
    EXPECT_FALSE(grid().events().offerKey(Qt::Key_A, Qt::NoModifier));
    editor().setStatusText(u"导入中"_s);
    ASSERT_TRUE(editCell(1, BankEditor::DifficultyColumn, u"4"_s));
    EXPECT_EQ(editor().statusText(), QString());
    expectBankMatchesGrid();
}

struct DialogCase {
    const char* name;
    int column;
    bool choice;
    QString typed;
    QString stored;  // the cell and the record afterwards
    QString message; // empty: none
    bool closes;
};

const DialogCase kDialogCases[] = {
    {"knowledge pieces", 0, false, u" 代数 | |几何 |"_s, u"代数|几何"_s, {}, true},
    {"knowledge inner spaces", 0, false, u"二次 方程|　函数|"_s, u"二次方程|函数"_s, {}, true},
    {"knowledge leading bar", 0, false, u"||代数"_s, u"代数"_s, {}, true},
    {"knowledge too long", 0, false, QString(257, QChar(0x6570)), u"旧点"_s, u"知识点长度超标！"_s, false},
    {"knowledge of 512 bytes", 0, false, QString(256, QChar(0x6570)), QString(256, QChar(0x6570)), {}, true},
    {"stem trimmed", 3, false, u"  新题目\r\n\r\n"_s, u"新题目"_s, {}, true},
    {"space before the break stays", 3, false, u"新题目　\r\n"_s, u"新题目　"_s, {}, true},
    {"stem keeps inner breaks", 3, false, u"第一行\r\n\r\n第二行"_s, u"第一行\r\n\r\n第二行"_s, {}, true},
    {"unchanged stem", 3, false, u"旧题目\r\n"_s, u"旧题目"_s, {}, true},
    {"options of a choice", 5, true, u"甲\r\n\r\n乙\r\n\r\n丙\r\n"_s, u"甲\r\n乙\r\n丙"_s, {}, true},
    {"stem 2 of a non-choice", 5, false, u"甲\r\n\r\n乙"_s, u"甲\r\n\r\n乙"_s, {}, true},
    {"answers of a choice", 6, true, u"\r\n甲\r\n\r\n乙"_s, u"甲\r\n乙"_s, {}, true},
    {"answer of a non-choice", 6, false, u"\r\n甲\r\n\r\n乙"_s, u"\r\n甲\r\n\r\n乙"_s, {}, true},
    {"answer cleared", 6, false, u"  "_s, u"旧答案"_s, u"答案不能为空！"_s, true},
};

class DialogEdits : public EditorFixture, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(DialogEdits, OkCleansTheTextByColumn) {
    const DialogCase& edit = GetParam();
    Question q;
    q.knowledge = u"旧点"_s;
    q.stem1 = u"旧题目"_s;
    q.stem2 = u"旧选项"_s;
    q.answer = u"旧答案"_s;
    q.choice = edit.choice;
    const qint32 id = addRecord(q);
    openEditor();

    EXPECT_EQ(editInDialog(1, edit.column, edit.typed), edit.closes);
    EXPECT_EQ(text(1, edit.column), edit.stored);
    EXPECT_EQ(field(id, edit.column + 1).toString(), edit.stored);
    EXPECT_EQ(m_prompter.messages(), edit.message.isEmpty() ? QStringList() : QStringList{edit.message});
    expectBankMatchesGrid();
}

INSTANTIATE_TEST_SUITE_P(Editor, DialogEdits, ::testing::ValuesIn(kDialogCases),
                         [](const ::testing::TestParamInfo<DialogCase>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST_F(CellEditing, DialogStateAndWhereItDoesNotOpen) {
    Question q = ungrouped();
    q.knowledge = u"力学"_s;
    addRecord(q);
    Question title = ungrouped();
    title.stem1 = u"阅读材料"_s;
    title.groupName = u"阅读"_s;
    title.groupNumber = u"0"_s;
    title.answer.clear();
    const qint32 titleId = addRecord(title);
    openEditor();
    const int plainRow = rowOf(titleId) == 1 ? 2 : 1;

    doubleClick(plainRow, BankEditor::KnowledgeColumn);
    EXPECT_EQ(textDialogsRequested(), 1);
    EXPECT_EQ(editor().dialogCaption(), u"编辑知识点"_s);
    EXPECT_EQ(editor().dialogInitialText(), u"力学"_s);
    EXPECT_EQ(editor().dialogRow(), plainRow);
    EXPECT_EQ(editor().dialogTypingLimit(), 20);
    doubleClick(plainRow, BankEditor::StemText1Column);
    EXPECT_EQ(editor().dialogCaption(), u"编辑题文1"_s);
    EXPECT_EQ(editor().dialogTypingLimit(), 0);
    EXPECT_EQ(textDialogsRequested(), 2);

    // Picture cells without a picture, the group number, a title's answer: nothing.
    for (const int column : {2, 4, 7})
        doubleClick(plainRow, column);
    doubleClick(rowOf(titleId), BankEditor::AnswerColumn);
    doubleClick(rowOf(titleId), BankEditor::AnswerPictureColumn);
    EXPECT_EQ(textDialogsRequested(), 2);

    // Emptying both stem texts is refused and the dialog closes.
    EXPECT_TRUE(editInDialog(plainRow, BankEditor::StemText1Column, u" "_s));
    EXPECT_EQ(m_prompter.messages(), QStringList{u"题目不能为空！"_s});
    EXPECT_EQ(text(plainRow, BankEditor::StemText1Column), u"地球是圆的"_s);
    // A title's answer is empty and may stay so.
    expectBankMatchesGrid();
}
