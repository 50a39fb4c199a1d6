// Opening the composition window, the paper state and the write-back.
#include "ComposerFixture.h"

#include "base/WriteFaults.h"
#include "compose/NumberingSettings.h"
#include "compose/PaperComposerHelp.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {

namespace {

using Q = QuestionRecord;
using Paper = PaperComposer::Paper;

class PaperStateTest : public ComposerFixture {};

TEST_F(PaperStateTest, OpeningShowsTheCourseWithBothPapersEmptyEveryTime) {
    const qint32 a = addRecord(question(u"判断"_s, 2));
    addGroup(u"g"_s, {2, 3});
    addRecord(question(u"填空"_s, 4));
    openComposer();

    EXPECT_EQ(composer().caption(), u"组卷 —— 语文（共 3 题）"_s);
    EXPECT_EQ(composer().difficultyNote(), u"易1难9"_s);
    EXPECT_EQ(composer().totalText(Paper::A), u"0"_s);
    EXPECT_EQ(composer().totalText(Paper::B), u"0"_s);
    EXPECT_EQ(composer().similarityText(), u"0"_s);
    EXPECT_FALSE(composer().generateEnabled(Paper::A));
    EXPECT_FALSE(composer().generateEnabled(Paper::B));
    EXPECT_EQ(composer().compositionTime().size(), 14);

    const QStringList headers = {u"知识点"_s, u"分组名"_s, u"分组号"_s, u"题文1"_s, u"题图"_s,
                                 u"题文2"_s,  u"题型"_s,   u"难度"_s,   u"分值"_s,  u"定分"_s,
                                 u"屏蔽"_s,   u"A卷"_s,    u"B卷"_s,    QString()};
    for (int c = 0; c < PaperComposer::kColumnCount; ++c)
        EXPECT_EQ(grid().text(0, c), headers.at(c)) << "column " << c;
    EXPECT_EQ(grid().columnWidth(PaperComposer::RecordIdColumn), 0);
    EXPECT_EQ(grid().columnWidth(PaperComposer::StemText1Column), 271);
    EXPECT_EQ(grid().listItems(PaperComposer::DifficultyColumn).size(), 9);
    EXPECT_TRUE(grid().isReadOnly(1, PaperComposer::TypeColumn));
    EXPECT_FALSE(grid().isReadOnly(1, PaperComposer::DifficultyColumn));
    EXPECT_EQ(composer().paperTypeScores(Paper::A).text(0, 0), u"题型"_s);
    EXPECT_EQ(composer().paperTypeScores(Paper::A).text(0, 1), u"分值"_s);

    ASSERT_TRUE(tick(a, Paper::A));
    ASSERT_TRUE(tick(a, Paper::B));
    EXPECT_EQ(composer().totalText(Paper::A), u"2"_s);
    reopenComposer();
    EXPECT_FALSE(checked(a, PaperComposer::PaperAColumn));
    EXPECT_FALSE(checked(a, PaperComposer::PaperBColumn));
    EXPECT_EQ(composer().totalText(Paper::A), u"0"_s);
    EXPECT_EQ(composer().similarityText(), u"0"_s);
}

TEST_F(PaperStateTest, GroupsComeTogetherTitleFirstAndUngroupedLast) {
    const qint32 loose1 = addRecord(question());
    const QList<qint32> g = addGroup(u"乙"_s, {1, 1});
    const qint32 loose2 = addRecord(question());
    const QList<qint32> h = addGroup(u"甲"_s, {1});
    openComposer();
    QList<qint32> order;
    for (int r = 1; r < grid().rowCount(); ++r)
        order << grid().text(r, PaperComposer::RecordIdColumn).toInt();
    // Descending by group name (GBK bytes: 乙 D2D2 after 甲 BCD7), ungrouped last in record order.
    EXPECT_EQ(order, (QList<qint32>{g[0], g[1], g[2], h[0], h[1], loose1, loose2}));
    EXPECT_FALSE(composer().groupOrdered());
}

TEST_F(PaperStateTest, OnlyUngroupedQuestionsAndTitlesWithAScoreCount) {
    const qint32 single = addRecord(question(u"判断"_s, 3));
    const QList<qint32> group = addGroup(u"g"_s, {2, 5});
    const QList<qint32> dead = addGroup(u"d"_s, {4});
    openComposer();
    GridModel& g = grid();
    // Boxes set directly: no group rule between them and the sums.
    g.setChecked(rowOf(group[1]), PaperComposer::PaperAColumn, true);
    g.setChecked(rowOf(group[2]), PaperComposer::PaperAColumn, true);
    composer().recomputePaperState();
    EXPECT_EQ(composer().totalText(Paper::A), u"0"_s) << "sub-questions never count alone";

    g.setChecked(rowOf(dead[0]), PaperComposer::PaperAColumn, true);
    g.setNumber(rowOf(dead[0]), PaperComposer::ScoreColumn, 0);
    composer().recomputePaperState();
    EXPECT_EQ(composer().totalText(Paper::A), u"0"_s) << "a title of score 0 never counts";

    g.setChecked(rowOf(group[0]), PaperComposer::PaperAColumn, true);
    g.setChecked(rowOf(single), PaperComposer::PaperAColumn, true);
    g.setChecked(rowOf(single), PaperComposer::PaperBColumn, true);
    composer().recomputePaperState();
    EXPECT_EQ(composer().totalText(Paper::A), u"10"_s);
    EXPECT_EQ(composer().totalText(Paper::B), u"3"_s);
    EXPECT_EQ(composer().similarityText(), u"30"_s);
    EXPECT_TRUE(composer().countsFor(rowOf(single), Paper::B));
    EXPECT_FALSE(composer().countsFor(rowOf(group[1]), Paper::A));
}

TEST_F(PaperStateTest, SimilarityIsTheCommonShareOfTheLargerPaperRoundedDown) {
    struct Case {
        int onlyA, onlyB, common;
        QString similarity;
    };
    const QList<Case> cases = {
        {30, 10, 30, "50"_L1},                                        // A 60, B 40, common 30
        {0, 0, 7, "100"_L1},   {1, 2, 0, "0"_L1}, {2, 0, 1, "33"_L1}, // 1/3 of 100 stays 33
        {0, 0, 0, "0"_L1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.similarity.toStdString());
        const qint32 a = addRecord(question(u"判断"_s, std::max(c.onlyA, 1)));
        const qint32 b = addRecord(question(u"选择"_s, std::max(c.onlyB, 1)));
        const qint32 both = addRecord(question(u"填空"_s, std::max(c.common, 1)));
        openComposer();
        if (c.onlyA)
            tick(a, Paper::A);
        if (c.onlyB)
            tick(b, Paper::B);
        if (c.common) {
            tick(both, Paper::A);
            tick(both, Paper::B);
        }
        EXPECT_EQ(composer().similarityText(), c.similarity);
        m_composer.reset();
        ASSERT_TRUE(m_store.setCurrent(course()));
        for (const qint32 id : {a, b, both}) {
            ASSERT_TRUE(m_store.goToRecordId(id));
            m_store.markDeleted();
        }
        m_store.purge();
    }
}

TEST_F(PaperStateTest, TypeScoresFollowTheTypeOrderNotTheQuestionOrder) {
    const qint32 fill = addRecord(question(u"填空"_s, 4));
    const qint32 judge = addRecord(question(u"判断"_s, 2));
    const qint32 judge2 = addRecord(question(u"判断"_s, 3));
    addRecord(question(u"问答"_s, 9));
    openComposer();
    // Types in order of first occurrence, with the library's score and line break.
    ASSERT_EQ(types().rowCount(), 4);
    EXPECT_EQ(types().text(0, PaperComposer::OrderColumn), u"排序"_s);
    EXPECT_EQ(types().text(1, PaperComposer::TypeNameColumn), u"填空"_s);
    EXPECT_EQ(types().text(2, PaperComposer::TypeNameColumn), u"判断"_s);
    EXPECT_EQ(types().text(3, PaperComposer::TypeNameColumn), u"问答"_s);
    EXPECT_EQ(types().text(3, PaperComposer::OrderColumn), u"3"_s);
    EXPECT_TRUE(types().checked(3, PaperComposer::AnswerLineBreakColumn));
    EXPECT_EQ(types().columnWidth(PaperComposer::TypeRecordIdColumn), 0);

    tick(judge, Paper::A);
    tick(judge2, Paper::A);
    tick(fill, Paper::A);
    EXPECT_EQ(paperRows(Paper::A), (QStringList{u"填空=4"_s, u"判断=5"_s}));
    EXPECT_TRUE(paperRows(Paper::B).isEmpty()) << "types without a score are left out";
    // 填空 to the end of the order.
    ASSERT_TRUE(editType(1, PaperComposer::OrderColumn, 9));
    EXPECT_EQ(paperRows(Paper::A), (QStringList{u"判断=5"_s, u"填空=4"_s}));
}

TEST_F(PaperStateTest, ATypeTheLibraryLacksLeavesAnEmptyRowAndNeverCounts) {
    const qint32 odd = addRecord(question(u"连线"_s, 5));
    const qint32 judge = addRecord(question(u"判断"_s, 2));
    openComposer();
    ASSERT_EQ(types().rowCount(), 3);
    EXPECT_EQ(types().text(1, PaperComposer::TypeNameColumn), QString());
    tick(odd, Paper::A);
    tick(judge, Paper::A);
    EXPECT_EQ(composer().totalText(Paper::A), u"2"_s);
}

TEST_F(PaperStateTest, TooFewMajorNumbersDisableBothButtons) {
    const qint32 judge = addRecord(question(u"判断"_s, 2));
    const qint32 fill = addRecord(question(u"填空"_s, 4));
    writeNumbering(1);
    openComposer();
    EXPECT_EQ(composer().numberingStyles(), QStringList{u"数字"_s});
    tick(judge, Paper::B);
    EXPECT_TRUE(composer().generateEnabled(Paper::B));
    tick(judge, Paper::A);
    EXPECT_TRUE(composer().generateEnabled(Paper::A));
    EXPECT_TRUE(m_prompter.messages().isEmpty());

    tick(fill, Paper::A);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"大题编号不够用！"_s});
    EXPECT_FALSE(composer().generateEnabled(Paper::A));
    EXPECT_FALSE(composer().generateEnabled(Paper::B));

    writeNumbering(2);
    composer().loadNumberingStyles();
    EXPECT_TRUE(composer().generateEnabled(Paper::A));
    EXPECT_TRUE(composer().generateEnabled(Paper::B));
}

TEST_F(PaperStateTest, WithoutANumberingFileTheSettingsWindowRunsAndItsStylesAreOffered) {
    addRecord(question());
    int runs = 0;
    m_composer = std::make_unique<PaperComposer>(m_store, m_prompter, course(), m_word);
    PaperComposer::Hooks hooks;
    hooks.runNumberingSettings = [&] {
        ++runs;
        NumberingSettings settings(m_prompter);
        settings.open();
        ASSERT_TRUE(settings.mayClose());
        ASSERT_TRUE(settings.close());
    };
    m_composer->setHooks(hooks);
    m_composer->open();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(composer().numberingStyles(), (QStringList{u"大写"_s, u"罗马"_s}));
    EXPECT_EQ(composer().numberingStyleIndex(), 0);
    reopenComposer();
    EXPECT_EQ(runs, 1) << "the file exists now";
}

TEST_F(PaperStateTest, ClosingStoresDifficultyScoreFixedAndBlockedOnly) {
    const qint32 a = addRecord(question(u"判断"_s, 2).withDifficulty(3));
    const qint32 b = addRecord(question(u"填空"_s, 4));
    openComposer();
    ASSERT_TRUE(edit(rowOf(a), PaperComposer::DifficultyColumn, u"7"_s));
    ASSERT_TRUE(edit(rowOf(a), PaperComposer::ScoreColumn, 6));
    ASSERT_TRUE(edit(rowOf(b), PaperComposer::FixedScoreColumn, true));
    ASSERT_TRUE(edit(rowOf(b), PaperComposer::BlockedColumn, true));
    tick(a, Paper::A);
    tick(a, Paper::B);
    // Sorting moves rows: the write-back goes by record ID.
    rightClick(1, PaperComposer::ScoreColumn);
    composer().sortCurrentColumn(false);
    composer().close();
    m_composer.reset();

    EXPECT_EQ(field(a, Q::Difficulty).toInt(), 7);
    EXPECT_EQ(field(a, Q::Score).toInt(), 6);
    EXPECT_FALSE(field(a, Q::FixedScore).toBool());
    EXPECT_FALSE(field(a, Q::Blocked).toBool());
    EXPECT_EQ(field(b, Q::Score).toInt(), 4);
    EXPECT_TRUE(field(b, Q::FixedScore).toBool());
    EXPECT_TRUE(field(b, Q::Blocked).toBool());
    // Nothing else of the records changed.
    EXPECT_EQ(field(a, Q::Type).toString(), u"判断"_s);
    EXPECT_EQ(field(a, Q::StemText1).toString(), u"题文"_s);
    EXPECT_EQ(field(b, Q::Difficulty).toInt(), 1);
}

TEST_F(PaperStateTest, WordOutputIsOfferedOnlyWhenTheWordProcessorIsThere) {
    addRecord(question());
    openComposer();
    EXPECT_TRUE(composer().outputChoiceEnabled());
    EXPECT_TRUE(composer().wordSelected());
    composer().setWordSelected(false);
    EXPECT_FALSE(composer().wordSelected());

    m_word.installed = false;
    reopenComposer();
    EXPECT_FALSE(composer().outputChoiceEnabled());
    EXPECT_FALSE(composer().wordSelected());
    composer().setWordSelected(true);
    EXPECT_FALSE(composer().wordSelected()) << "html only";
}

TEST_F(PaperStateTest, TheHelpTextIsItsTwentyFourLinesJoinedByCrLf)
{
    const QStringList lines = PaperComposerHelp::text().split(u"\r\n"_s);
    ASSERT_EQ(lines.size(), PaperComposerHelp::kLineCount);
    EXPECT_EQ(lines.at(0), QString());
    EXPECT_EQ(lines.at(1), u"     可进行人工组卷和自动组卷。对不想利用的试题可进行屏蔽。组卷设计时即刻"_s);
    EXPECT_EQ(lines.at(2), u" "_s);
    EXPECT_EQ(lines.at(23), u" 的选项随机排序，只有试卷生成时间相同的试题和答案才是配套的。"_s);
    EXPECT_FALSE(PaperComposerHelp::text().endsWith(u"\n"_s));
}

TEST_F(PaperStateTest, TheDifficultyRangeNeverCrosses) {
    addRecord(question());
    openComposer();
    EXPECT_EQ(composer().lowestDifficulty(), u"1"_s);
    EXPECT_EQ(composer().highestDifficulty(), u"9"_s);
    composer().highestDifficultyPressed();
    composer().chooseHighestDifficulty(u"5"_s);
    composer().lowestDifficultyPressed();
    EXPECT_EQ(composer().lowestDifficultyItems(), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}));
    composer().chooseLowestDifficulty(u"7"_s);
    EXPECT_EQ(composer().lowestDifficulty(), u"1"_s) << "not offered";
    composer().chooseLowestDifficulty(u"4"_s);
    composer().highestDifficultyPressed();
    EXPECT_EQ(composer().highestDifficultyItems(),
              (QStringList{u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s}));
    EXPECT_EQ(composer().highestDifficulty(), u"5"_s);
}

TEST_F(PaperStateTest, AutoCompositionWritesBackAndLocksUntilItsWindowGoes) {
    const qint32 a = addRecord(question(u"判断"_s, 2));
    openComposer();
    int shown = 0;
    composer().hooks().showAutoComposer = [&] { ++shown; };
    ASSERT_TRUE(edit(rowOf(a), PaperComposer::ScoreColumn, 5));
    composer().startAutoComposition();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(field(a, Q::Score).toInt(), 5) << "written back before it opens";
    EXPECT_TRUE(composer().isAutoComposerOpen());
    EXPECT_FALSE(composer().difficultyListsEnabled());
    EXPECT_FALSE(composer().autoComposeEnabled());

    // Locked: 难度, 分值, 定分, 屏蔽 and the type score; the boxes and the order are free.
    for (const int c :
         {int(P::DifficultyColumn), int(P::ScoreColumn), int(P::FixedScoreColumn), int(P::BlockedColumn)}) {
        click(rowOf(a), c);
        EXPECT_FALSE(
            grid().editInPlace(rowOf(a), c, c == P::DifficultyColumn ? QVariant(u"3"_s) : QVariant(true)))
            << "column " << c;
    }
    EXPECT_TRUE(tick(a, Paper::A));
    EXPECT_FALSE(editType(1, PaperComposer::TypeScoreColumn, 7));
    EXPECT_TRUE(editType(1, PaperComposer::OrderColumn, 3));

    composer().autoComposerClosed();
    EXPECT_TRUE(composer().difficultyListsEnabled());
    EXPECT_TRUE(composer().autoComposeEnabled());
    EXPECT_TRUE(edit(rowOf(a), PaperComposer::BlockedColumn, true));
}

TEST_F(PaperStateTest, DeleteIsSwallowedAndTheTextColumnsAreNotEditable) {
    const qint32 a = addRecord(question());
    openComposer();
    bool swallowed = false;
    Q_EMIT grid().events().keyDown(Qt::Key_Delete, Qt::NoModifier, swallowed);
    EXPECT_TRUE(swallowed);
    swallowed = false;
    Q_EMIT types().events().keyDown(Qt::Key_Delete, Qt::NoModifier, swallowed);
    EXPECT_TRUE(swallowed);
    swallowed = false;
    Q_EMIT grid().events().keyDown(Qt::Key_A, Qt::NoModifier, swallowed);
    EXPECT_FALSE(swallowed);
    for (int c = 0; c <= P::TypeColumn; ++c)
        EXPECT_FALSE(edit(rowOf(a), c, u"x"_s)) << "column " << c;
    EXPECT_FALSE(editType(1, PaperComposer::TypeNameColumn, u"x"_s));
}

TEST_F(PaperStateTest, DoubleClickPreviewsTheStemWithItsPicture) {
    const qint32 a = addRecord(question(u"判断"_s).withStem(u"看图"_s).withPicture());
    const qint32 b = addRecord(question(u"判断"_s).withStem(u"无图"_s));
    openComposer();
    click(rowOf(a), P::StemText1Column);
    Q_EMIT grid().events().doubleClick(0, 0, Qt::NoModifier);
    click(rowOf(b), P::KnowledgeColumn);
    Q_EMIT grid().events().doubleClick(0, 0, Qt::NoModifier);
    ASSERT_EQ(m_previews.size(), 2);
    EXPECT_EQ(m_previews[0].stem1, u"看图"_s);
    EXPECT_EQ(m_previews[0].stemPicture, QByteArray("picture"));
    EXPECT_EQ(m_previews[0].stem2, u"题文二"_s);
    EXPECT_EQ(m_previews[1].stem1, u"无图"_s);
    EXPECT_TRUE(m_previews[1].stemPicture.isEmpty());
}

TEST_F(PaperStateTest, TheRowHeightBarSizesEveryRowAndSortsKeepIt) {
    addRecord(question());
    addRecord(question());
    openComposer();
    click(2, P::TypeColumn);
    composer().rowHeightChanged(30);
    EXPECT_EQ(grid().rowHeight(1), 54);
    EXPECT_EQ(grid().rowHeight(2), 54);
    EXPECT_EQ(grid().cursorRow(), 2);
    EXPECT_EQ(grid().cursorColumn(), P::StemPictureColumn);
    rightClick(2, P::KnowledgeColumn);
    composer().sortCurrentColumn(true);
    EXPECT_EQ(grid().rowHeight(1), 54);
    EXPECT_TRUE(grid().isReadOnly(1, P::KnowledgeColumn));
    EXPECT_EQ(grid().alignment(1, P::TypeColumn), CellAlignment::Centre);
}

TEST_F(PaperStateTest, GeneratingHandsThePaperToItsHookWithTheGenerationTime) {
    const qint32 a = addRecord(question(u"判断"_s, 2));
    openComposer();
    QStringList papers;
    composer().hooks().generatePaper = [&](PaperComposer& c, const QString& paper) {
        EXPECT_EQ(c.generationTime().size(), 14);
        papers << paper;
    };
    composer().generatePaper(Paper::A);
    EXPECT_TRUE(papers.isEmpty()) << "nothing to generate yet";
    tick(a, Paper::A);
    tick(a, Paper::B);
    composer().generatePaper(Paper::A);
    composer().generatePaper(Paper::B);
    EXPECT_EQ(papers, (QStringList{u"A卷"_s, u"B卷"_s}));
}

} // namespace

} // namespace helan::test

namespace helan::test {

// A write the disk refuses is said once, whether it is an immediate save (屏蔽,
// 定分) or the write-back of the edited scores when the window closes.
TEST_F(PaperStateTest, WritesThatFailAreSaidOnce) {
    const qint32 a = addRecord(question(u"判断"_s, 2));
    openComposer();
    const QString said = u"修改未能写入题库："_s;
    for (const int column : {int(P::BlockedColumn), int(P::FixedScoreColumn)}) {
        SCOPED_TRACE(column);
        m_prompter.clear();
        WriteFaults::failNth(WriteFaults::Kind::StoreChange, 1);
        EXPECT_TRUE(edit(rowOf(a), column, true));
        WriteFaults::reset();
        ASSERT_EQ(m_prompter.messages().size(), 1);
        EXPECT_TRUE(m_prompter.messages().first().startsWith(said));
    }
    m_prompter.clear();
    ASSERT_TRUE(edit(rowOf(a), PaperComposer::ScoreColumn, 5));
    WriteFaults::failNth(WriteFaults::Kind::StoreCommit, 1);
    composer().close();
    WriteFaults::reset();
    ASSERT_EQ(m_prompter.messages().size(), 1);
    EXPECT_TRUE(m_prompter.messages().first().startsWith(said));
    // The store's reason is in the message, not an empty one.
    EXPECT_FALSE(m_prompter.messages().first().startsWith(said + u"。"_s));
    EXPECT_EQ(field(a, Q::Score).toInt(), 2);
}

} // namespace helan::test
