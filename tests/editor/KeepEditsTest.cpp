// What a teacher sees in the editor is what the bank holds: no text typed where
// it is not stored, the keyboard checks rows as clicks do, titles keep the right
// score, typed line breaks and labels are cleaned, a cancelled 添加 leaves
// nothing, pictures tell questions apart, rows keep their heights.
#include "EditorFixture.h"

#include "model/QuestionRecord.h"
#include "model/QuestionTypeLibrary.h"

#include <QFile>

using namespace Qt::StringLiterals;
using namespace helan;
using namespace helan::test;

namespace {

using Q = QuestionRecord;
constexpr int kName = BankEditor::GroupNameColumn;
constexpr int kScore = BankEditor::ScoreColumn;
constexpr int kStem1 = BankEditor::StemText1Column;
constexpr int kStem2 = BankEditor::StemText2Column;
constexpr int kAnswer = BankEditor::AnswerColumn;

Question single(const QString& stem, int score = 4) {
    Question q;
    q.stem1 = stem;
    q.answer = u"答"_s + stem;
    q.score = score;
    q.difficulty = 2;
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

class KeepEdits : public EditorFixture {
protected:
    // What the grid view raises when an arrow key moves the cursor.
    void keyTo(int row, int column) {
        const int fromRow = grid().cursorRow();
        const int fromColumn = grid().cursorColumn();
        grid().setCursor(row, column);
        Q_EMIT grid().events().cursorKeyMoved(fromRow, fromColumn);
    }
    QString caption(int count) const { return u"题库编辑 —— 语文（共 %1 题）"_s.arg(count); }
};

} // namespace

TEST_F(KeepEdits, TextAndPictureCellsOpenTheirDialogNeverAnInPlaceEditor) {
    const qint32 id = addRecord(single(u"甲"_s));
    openEditor();
    // Where 添加, a search match or a picture leave the cursor, with editing on.
    for (const int c : {0, 1, 3, 4, 5, 6, 7, 14}) {
        editor().moveToCell(1, c);
        grid().setEditingAllowed(true);
        EXPECT_FALSE(grid().editInPlace(1, c, u"typed"_s)) << "column " << c;
    }
    for (const int c : {0, 1, 3, 5, 6}) {
        editor().moveToCell(1, c);
        const int before = textDialogsRequested();
        EXPECT_TRUE(grid().events().offerKey(Qt::Key_Return, Qt::NoModifier)) << "column " << c;
        EXPECT_EQ(textDialogsRequested(), before + 1) << "column " << c;
        EXPECT_EQ(editor().dialogColumn(), c);
    }
    editor().moveToCell(1, BankEditor::StemPictureColumn);
    EXPECT_FALSE(grid().events().offerKey(Qt::Key_F2, Qt::NoModifier));
    EXPECT_TRUE(editCell(1, BankEditor::DifficultyColumn, 5));
    EXPECT_EQ(field(id, Q::Difficulty).toInt(), 5);
    EXPECT_EQ(field(id, Q::StemText1).toString(), u"甲"_s);
    expectBankMatchesGrid();
}

TEST_F(KeepEdits, KeysLeaveARowWithTheChecksOfAClick) {
    addRecord(single(u"甲"_s));
    Question missing = single(u"乙"_s);
    missing.answer.clear();
    const qint32 noAnswer = addRecord(missing);
    const qint32 twin = addRecord(single(u"丙"_s));
    addRecord(single(u"丙"_s));
    const qint32 last = addRecord(single(u"丁"_s));
    openEditor();
    click(1, BankEditor::TypeColumn);
    keyTo(2, BankEditor::TypeColumn);
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    EXPECT_EQ(editor().currentRow(), rowOf(noAnswer));

    keyTo(3, BankEditor::TypeColumn);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"请输入答案！"_s});
    EXPECT_EQ(editor().currentRow(), rowOf(noAnswer));
    EXPECT_EQ(grid().cursorRow(), rowOf(noAnswer));
    EXPECT_EQ(grid().cursorColumn(), kAnswer);

    // A duplicate holds the row; typing after a key move reaches the record.
    EXPECT_TRUE(editInDialog(rowOf(noAnswer), kAnswer, u"有了"_s));
    m_prompter.clear();
    click(rowOf(twin), BankEditor::TypeColumn);
    keyTo(rowOf(last), BankEditor::TypeColumn);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"试题重复！"_s});
    EXPECT_EQ(editor().currentRow(), rowOf(twin));
    keyTo(rowOf(twin), BankEditor::DifficultyColumn);
    EXPECT_TRUE(grid().editInPlace(rowOf(twin), BankEditor::DifficultyColumn, 7));
    EXPECT_EQ(field(twin, Q::Difficulty).toInt(), 7);
    expectBankMatchesGrid();
}

TEST_F(KeepEdits, TitleScoreFollowsItsGroupInEveryCase) {
    const qint32 title = addRecord(member(u"阅读"_s, u"0"_s, u"材料"_s, 3));
    const qint32 sub = addRecord(member(u"阅读"_s, u"1"_s, u"一"_s, 3));
    Question blocked = member(u"阅读"_s, u"2"_s, u"二"_s, 5);
    blocked.blocked = true;
    const qint32 blockedSub = addRecord(blocked);
    Question fixed = single(u"定分题"_s, 6);
    fixed.fixedScore = true;
    const qint32 founder = addRecord(fixed);
    const qint32 joiner = addRecord(single(u"加入题"_s, 2));
    openEditor();
    const auto score = [&](qint32 id) { return number(rowOf(id), kScore); };
    EXPECT_EQ(score(title), 3);

    // A blocked sub-question leaving takes nothing away: it never counted.
    EXPECT_TRUE(editInDialog(rowOf(blockedSub), kName, QString()));
    EXPECT_EQ(score(title), 3);
    // A sub-question's score change counts; a copy counts like its original.
    ASSERT_TRUE(editCell(rowOf(sub), kScore, 4));
    EXPECT_EQ(score(title), 4);
    click(rowOf(sub), kStem1);
    editor().copyQuestionBelow();
    EXPECT_EQ(score(title), 8);
    EXPECT_TRUE(editInDialog(editor().currentRow(), kStem1, u"一之二"_s));

    // A question with 定分 founding a group gives it up: every joiner then counts.
    m_prompter.answerOkCancel(true);
    EXPECT_TRUE(editInDialog(rowOf(founder), kName, u"新组"_s));
    EXPECT_FALSE(grid().checked(rowOf(founder), BankEditor::FixedScoreColumn));
    EXPECT_FALSE(field(founder, Q::FixedScore).toBool());
    EXPECT_TRUE(editInDialog(rowOf(joiner), kName, u"新组"_s));
    EXPECT_EQ(score(founder), 2);
    EXPECT_EQ(editor().caption(), caption(3));
    expectBankMatchesGrid();
}

TEST_F(KeepEdits, DriftedTitleScoresAreMendedWhenTheEditorOpens) {
    const qint32 title = addRecord(member(u"阅读"_s, u"0"_s, u"材料"_s, -7));
    addRecord(member(u"阅读"_s, u"1"_s, u"一"_s, 3));
    openEditor();
    EXPECT_EQ(number(rowOf(title), kScore), 3);
    EXPECT_EQ(field(title, Q::Score).toInt(), 3);
    expectBankMatchesGrid();
}

TEST_F(KeepEdits, AnEnterTypedAfterANameOrKnowledgePointIsNotKept) {
    addRecord(member(u"阅读"_s, u"0"_s, u"材料"_s, 0));
    const qint32 id = addRecord(single(u"甲"_s));
    openEditor();
    // Joins 阅读 (no question about founding a new group) and keeps its answer.
    EXPECT_TRUE(editInDialog(rowOf(id), kName, u"阅读\r\n"_s));
    EXPECT_EQ(field(id, Q::GroupName).toString(), u"阅读"_s);
    EXPECT_EQ(field(id, Q::Answer).toString(), u"答甲"_s);
    EXPECT_TRUE(editInDialog(rowOf(id), BankEditor::KnowledgeColumn, u"代数\r\n\r\n"_s));
    EXPECT_EQ(field(id, Q::KnowledgePoints).toString(), u"代数"_s);
    EXPECT_TRUE(m_prompter.prompts().isEmpty());
    expectBankMatchesGrid();
}

TEST_F(KeepEdits, ACancelledNewQuestionLeavesNothingBehind) {
    addRecord(single(u"甲"_s));
    openEditor();
    click(1, kStem1);
    // 取消, then 确定 on an empty stem: the new row and its record go again.
    editor().addQuestion();
    EXPECT_EQ(grid().rowCount(), 3);
    editor().cancelTextDialog();
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(editor().caption(), caption(1));
    EXPECT_EQ(editor().currentRow(), 1);
    editor().addQuestion();
    EXPECT_TRUE(editor().acceptTextDialog(u"  "_s));
    EXPECT_EQ(grid().rowCount(), 2);
    expectBankMatchesGrid();

    editor().addQuestion();
    EXPECT_TRUE(editor().acceptTextDialog(u"新题"_s));
    // Cancelling a later dialog on it keeps it.
    editor().cancelTextDialog();
    EXPECT_EQ(grid().rowCount(), 3);
    EXPECT_EQ(text(2, kStem1), u"新题"_s);
    EXPECT_EQ(editor().caption(), caption(2));
    // Closing checks the half-written question it leaves.
    m_prompter.clear();
    EXPECT_TRUE(editor().mayCloseEditor());
    EXPECT_EQ(m_prompter.messages(), QStringList{u"请选择题型！"_s});
    expectBankMatchesGrid();
}

TEST_F(KeepEdits, OptionLabelsAndLetterAnswersAreTakenAsTeachersTypeThem) {
    struct Case {
        const char* name;
        bool choice;
        QString options;
        QString answer;
        QString storedOptions;
        QString storedAnswer;
    };
    const Case cases[] = {
        {"labels removed, letter answer", true, u"A. 3\r\nB、-3\r\n(C) ±3"_s, u"C"_s, u"3\r\n-3\r\n±3"_s, u"±3"_s},
        {"two letters", true, u"A．甲\r\nB）乙\r\nC) 丙"_s, u"AC"_s, u"甲\r\n乙\r\n丙"_s, u"甲\r\n丙"_s},
        {"labels out of order stay", true, u"B. 3\r\nA. 4"_s, u"4"_s, u"B. 3\r\nA. 4"_s, u"4"_s},
        {"options that are letters", true, u"A\r\nB"_s, u"A"_s, u"A\r\nB"_s, u"A"_s},
        {"no choice: as typed", false, u"A. 3\r\nB. 4"_s, u"B"_s, u"A. 3\r\nB. 4"_s, u"B"_s},
        {"a letter beyond the options", true, u"3\r\n4"_s, u"C"_s, u"3\r\n4"_s, u"C"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Question q = single(QString::fromUtf8(c.name));
        q.choice = c.choice;
        q.type = u"选择"_s;
        const qint32 id = addRecord(q);
        openEditor();
        EXPECT_TRUE(editInDialog(rowOf(id), kStem2, c.options));
        EXPECT_TRUE(editInDialog(rowOf(id), kAnswer, c.answer));
        EXPECT_EQ(field(id, Q::StemText2).toString(), c.storedOptions);
        EXPECT_EQ(field(id, Q::Answer).toString(), c.storedAnswer);
        expectBankMatchesGrid();
    }
    // An answer typed as a letter before the options is read once they come.
    Question early = single(u"先答"_s);
    early.choice = true;
    early.answer = u"B"_s;
    const qint32 id = addRecord(early);
    openEditor();
    EXPECT_TRUE(editInDialog(rowOf(id), kStem2, u"A、对\r\nB、错"_s));
    EXPECT_EQ(field(id, Q::Answer).toString(), u"错"_s);
    expectBankMatchesGrid();
}

TEST_F(KeepEdits, RowHeightsAndDraggedWidthsOutliveSortsJoinsAddsAndCopies) {
    addRecord(member(u"阅读"_s, u"0"_s, u"材料"_s, 0));
    const qint32 longText = addRecord(single(QString(45, u'长'))); // 3 lines at 20 a line
    const qint32 shortText = addRecord(single(u"短"_s));
    openEditor();
    editor().setTextMeasure([](int, const QString& text) { return int(text.size() + 19) / 20; }, 26);
    EXPECT_GE(grid().columnWidth(BankEditor::KnowledgeColumn), 80);
    EXPECT_GE(grid().columnWidth(kName), 80);

    editor().rowHeightSliderMoved(30); // 40 pixels
    editor().autoRowHeightClicked();
    const auto height = [&](qint32 id) { return grid().rowHeight(rowOf(id)); };
    EXPECT_EQ(height(longText), 3 * 26 + 4);
    EXPECT_EQ(height(shortText), 40);

    click(rowOf(shortText), kStem1);
    editor().sortCurrentColumn(true);
    EXPECT_EQ(height(longText), 3 * 26 + 4);
    EXPECT_EQ(height(shortText), 40);
    EXPECT_TRUE(editInDialog(rowOf(shortText), kName, u"阅读"_s));
    EXPECT_EQ(height(longText), 3 * 26 + 4);
    EXPECT_EQ(height(shortText), 40);
    click(rowOf(longText), kStem1);
    editor().copyQuestionBelow();
    EXPECT_EQ(grid().rowHeight(editor().currentRow()), 3 * 26 + 4);
    editor().addQuestion();
    EXPECT_TRUE(editor().acceptTextDialog(QString(30, u'新')));
    EXPECT_EQ(grid().rowHeight(editor().currentRow()), 2 * 26 + 4);

    // A width the teacher dragged stays when the window is resized.
    grid().setColumnWidth(BankEditor::KnowledgeColumn, 150);
    Q_EMIT grid().events().columnResized(BankEditor::KnowledgeColumn);
    editor().setGridWidth(1400);
    EXPECT_EQ(grid().columnWidth(BankEditor::KnowledgeColumn), 150);
    EXPECT_EQ(grid().columnWidth(kStem1), (1400 - BankEditor::kFixedColumnsWidth - 70) / 3);
    expectBankMatchesGrid();
}

// A type library that can no longer be opened ends the program, said once,
// rather than leaving an editor that refuses every type.
TEST_F(KeepEdits, ALostTypeLibraryEndsTheProgram) {
    addRecord(single(u"甲"_s));
    ASSERT_TRUE(m_store.close(QuestionTypeLibrary::tableName()));
    {
        QFile junk(QuestionTypeLibrary::fileName());
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
        junk.write("not a table");
    }
    m_editor = std::make_unique<BankEditor>(m_store, m_prompter, course(), nullptr);
    int ended = 0;
    m_editor->setPlug(BankEditor::Plug::ProgramMustEnd, [&] { ++ended; });
    m_editor->open(1000);
    EXPECT_TRUE(m_editor->typeLibraryLost());
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"打开题型库错误！"_s});
}

// 自动 on more rows than are measured at once: every row gets a height at once
// (estimated from its texts), and the rows the view reports in sight are
// measured exactly, also after a sort and after the slider.
TEST_F(KeepEdits, AutoHeightsOfALargeBankAreMeasuredWhereTheyAreSeen) {
    {
        RecordStore::Batch batch(m_store, course());
        for (int k = 0; k < 3100; ++k)
            addRecord(single((k % 3 == 0 ? QString(45, u'长') : u"短"_s) + QString::number(k)));
        ASSERT_TRUE(batch.commit());
    }
    openEditor();
    const auto measured = [](int, const QString& text) { return int(text.size() + 19) / 20; };
    editor().setTextMeasure(measured, 26);
    editor().rowHeightSliderMoved(30); // 40 pixels
    editor().autoRowHeightClicked();
    const auto exact = [&](int r) {
        const int lines = measured(0, text(r, kStem1));
        return lines > 1 ? lines * 26 + 4 : 40;
    };
    const auto shown = [&](int first, int last) {
        Q_EMIT grid().events().rowsShown(first, last);
        for (int r = first; r <= last; ++r)
            EXPECT_EQ(grid().rowHeight(r), exact(r)) << r;
    };
    for (int r = 1; r < grid().rowCount(); ++r)
        ASSERT_GT(grid().rowHeight(r), 0);
    shown(1, 30);
    shown(2000, 2040);
    shown(3050, 3100);
    click(1, kStem1);
    editor().sortCurrentColumn(false);
    shown(1, 40);
    shown(1500, 1530);
    // The slider ends 自动: every row takes its height.
    editor().rowHeightSliderMoved(20);
    Q_EMIT grid().events().rowsShown(1, 50);
    for (const int r : {1, 700, 3100})
        EXPECT_EQ(grid().rowHeight(r), 30) << r;
}
